#!/usr/bin/env bash
# Builds the client and starts it under Wine, on the user's display or, without one, under
# Xvfb with a screenshot saved.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
root="${TOVI_BUILD_ROOT:-$src/build}"
export TOVI_BUILD_ROOT="$root"
"$src/scripts/build.sh"

export WINEPREFIX="$root/wine-run" HOME="$root/wine-run-home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
mkdir -p "$HOME"
"$src/tests/wine-prefix.sh" "$WINEPREFIX" "$root"

if [ -z "${DISPLAY:-}" ]; then
  d=71
  while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
  Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$d"
  trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
  sleep 1
  wine "$root/win/bin/CorvaneIXO.exe" "$@" &
  sleep 8
  shot="$root/client.png"
  xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$shot"
  echo "No display: the client ran under Xvfb; its screenshot is $shot"
else
  exec wine "$root/win/bin/CorvaneIXO.exe" "$@"
fi
