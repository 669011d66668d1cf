#!/usr/bin/env bash
# Starts the protocol test server (toviserver) in the background and prints "PORT CONTROLPORT".
#
#   start-server.sh [--state DIR] [--port-file PATH] [other toviserver options]
#   start-server.sh --stop PORTFILE     asks the server named in PORTFILE to end (QUIT)
#
# Without --state the server gets a fresh temporary folder, removed when it ends; without
# --port-file the ports are written to DIR/ports as well. Paths may be given as T:\... : the
# Windows tests under Wine see the build root as drive T:. The server ends with the program
# that called this script (unless that is init, as for a program started from Wine), after
# --idle-exit seconds without any connection (300 unless given), on QUIT, or as the other
# toviserver options say (--exit-with-control suits a Wine test holding a control connection).
# The server binary is the one beside this script, else $TOVI_SERVER_BIN, else
# $TOVI_NATIVE_DIR/bin, $TOVI_BUILD_ROOT/native/bin or build/native/bin of the checkout.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"

if [ "${1:-}" = "--stop" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 --stop PORTFILE" >&2; exit 2; }
  read -r _ control < "$2"
  exec 3<>"/dev/tcp/127.0.0.1/$control"
  echo QUIT >&3
  read -r -t 10 reply <&3 || true
  exec 3>&-
  [ "${reply:-}" = "OK" ]
  exit
fi

if [ -x "$here/toviserver" ]; then
  bin="$here/toviserver"
  root="${TOVI_BUILD_ROOT:-$(cd "$here/../.." && pwd)}"
else
  root="${TOVI_BUILD_ROOT:-}"
  [ -z "$root" ] && [ -n "${TOVI_NATIVE_DIR:-}" ] && root="$(dirname "$TOVI_NATIVE_DIR")"
  [ -z "$root" ] && root="$here/../build"
  bin="${TOVI_SERVER_BIN:-}"
  [ -z "$bin" ] && [ -n "${TOVI_NATIVE_DIR:-}" ] && bin="$TOVI_NATIVE_DIR/bin/toviserver"
  [ -z "$bin" ] && bin="$root/native/bin/toviserver"
fi
[ -x "$bin" ] || { echo "start-server.sh: no server binary at $bin (build testserver first)" >&2; exit 1; }

# T:\a\b -> <build root>/a/b
unix_path() {
  case "$1" in
    [Tt]:[\\/]*) local rest="${1:3}"; printf '%s/%s' "$root" "${rest//\\//}" ;;
    *) printf '%s' "$1" ;;
  esac
}

state=""; portfile=""; args=(); have_parent=0; have_idle=0
while [ $# -gt 0 ]; do
  case "$1" in
    --state) state="$(unix_path "$2")"; shift 2 ;;
    --port-file) portfile="$(unix_path "$2")"; shift 2 ;;
    --parent-pid) have_parent=1; args+=("$1" "$2"); shift 2 ;;
    --idle-exit) have_idle=1; args+=("$1" "$2"); shift 2 ;;
    --exit-on-stdin-eof) echo "start-server.sh: the server runs detached from stdin" >&2; exit 2 ;;
    *) args+=("$(unix_path "$1")"); shift ;;
  esac
done

if [ -z "$state" ]; then
  state="$(mktemp -d "${TMPDIR:-/tmp}/toviserver.XXXXXX")"
  args+=(--remove-state)
fi
mkdir -p "$state"
[ -z "$portfile" ] && portfile="$state/ports"
rm -f "$portfile"
[ $have_parent -eq 0 ] && [ "$PPID" -gt 1 ] && args+=(--parent-pid "$PPID")
[ $have_idle -eq 0 ] && args+=(--idle-exit 300)

# Detached from the caller's terminal and pipes: ctest waits for a test's output to close.
launcher=(); command -v setsid >/dev/null && launcher=(setsid)
"${launcher[@]}" "$bin" --state "$state" --port-file "$portfile" "${args[@]}" \
  </dev/null >>"$state/console.log" 2>&1 &
pid=$!

for _ in $(seq 200); do
  if [ -s "$portfile" ]; then
    cat "$portfile"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
echo "start-server.sh: the server did not start; see $state/console.log" >&2
cat "$state/console.log" >&2 2>/dev/null || true
exit 1
