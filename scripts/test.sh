#!/usr/bin/env bash
# Builds everything and runs every test: Windows programs under Wine on a private prefix with
# one wineserver and an Xvfb display for the whole run, native tests directly.
# Arguments go to both ctest runs: `scripts/test.sh -R Upload` runs the matching tests only.
# TOVI_SKIP_BUILD=1 runs the tests of the build that is there.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
root="${TOVI_BUILD_ROOT:-$src/build}"
export TOVI_BUILD_ROOT="$root"
if [ "${TOVI_SKIP_BUILD:-0}" = 1 ]; then
  . "$src/scripts/wine-arch.sh"
  tovi_wine_arch "$root"
else
  "$src/scripts/build.sh"
fi
# The 64-bit form's Wine wrapper, where build.sh made one (see scripts/wine-arch.sh).
export PATH="$root/wine-bin:$PATH"

export WINEPREFIX="$root/wine" HOME="$root/wine-home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"

# A free display number for Xvfb (TOVI_DISPLAY picks where to start looking).
d="${TOVI_DISPLAY:-91}"; d="${d#:}"
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done

"$src/tests/wine-prefix.sh" "$WINEPREFIX" "$root"
wineserver -p >/dev/null 2>&1
# Start Wine's own services now, detached from ctest's output pipes, or ctest waits on them.
wine cmd /c exit >/dev/null 2>&1 </dev/null
set +e
status=0
# Finding no tests is a failure: each set must have tests, or, when arguments choose tests, the
# two sets together; a set that the arguments leave empty is skipped.
found() { ctest --test-dir "$1" -N "${@:2}" 2>/dev/null | sed -n 's/^Total Tests: //p'; }
native=$(found "$root/native" "$@"); native=${native:-0}
win=$(found "$root/win" "$@"); win=${win:-0}
if [ $# -eq 0 ] && { [ "$native" -eq 0 ] || [ "$win" -eq 0 ]; }; then
  echo "test.sh: no tests found (native $native, Windows $win)" >&2; status=1
elif [ "$native" -eq 0 ] && [ "$win" -eq 0 ]; then
  echo "test.sh: no test matches $*" >&2; status=1
fi
if [ "$native" -gt 0 ]; then
  ctest --test-dir "$root/native" --output-on-failure --no-tests=error -j "${TOVI_JOBS:-$(nproc)}" "$@" || status=1
fi
if [ "$win" -gt 0 ]; then
  ctest --test-dir "$root/win" --output-on-failure --no-tests=error -j "${TOVI_JOBS:-$(nproc)}" "$@" || status=1
fi
exit $status
