#!/usr/bin/env bash
# Builds the client, starts the protocol test server with its demo account, points the client's
# settings in a private Wine prefix at it, and starts the client logged in as the demo user: on
# the user's display or, without one, under Xvfb with a screenshot saved. The demo account has
# colleagues in a few groups, shared and guest folders, a file with versions and one with a link,
# items in the recycle bin, alerts and shortcuts. TOVI_LANG=en or ko chooses the language.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
root="${TOVI_BUILD_ROOT:-$src/build}"
export TOVI_BUILD_ROOT="$root"
"$src/scripts/build.sh"
# The 64-bit form's Wine wrapper, where build.sh made one (see scripts/wine-arch.sh).
export PATH="$root/wine-bin:$PATH"

export WINEPREFIX="$root/wine-run" HOME="$root/wine-run-home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
mkdir -p "$HOME"
"$src/tests/wine-prefix.sh" "$WINEPREFIX" "$root"
cd "$root"   # drive T: in the prefix, which has no Z: for the checkout

# The test server makes the demo account afresh on each start; its log and store are in
# demo-server/. It ends with this script (told our process id), or after an idle hour.
state="$root/demo-server"
ports="$state/ports"
xvfb=""
client=""
cleanup() {
  if [ -n "$client" ] && kill -0 "$client" 2>/dev/null; then kill "$client" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  [ -s "$ports" ] && "$root/native/bin/start-server.sh" --stop "$ports" >/dev/null 2>&1 || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
"$root/native/bin/start-server.sh" --demo --host 127.0.0.1 --state "$state" --port-file "$ports" \
  --parent-pid $$ --idle-exit 3600 >/dev/null
read -r port _ < "$ports"
echo "Test server on 127.0.0.1:$port (demo account demo / demo1234; state in $state)"

key='HKCU\Software\Varivivod\VariruDAD'
wine reg add "$key" /v ServerIP /t REG_SZ /d 127.0.0.1 /f >/dev/null
wine reg add "$key" /v ServerPort /t REG_DWORD /d "$port" /f >/dev/null
# TOVI_LANG=en or ko picks the program's language (otherwise the last one chosen stays).
case "${TOVI_LANG:-}" in
  en) wine reg add "$key" /v Language /t REG_SZ /d 1033 /f >/dev/null ;;
  ko) wine reg add "$key" /v Language /t REG_SZ /d 1042 /f >/dev/null ;;
  "") ;;
  *) echo "TOVI_LANG is en or ko" >&2; exit 2 ;;
esac

# The demo account is stored for automatic log-in, so that the log-in dialog logs straight in.
wine "$root/win/bin/AppStoreLogin.exe" demo demo1234 >/dev/null
# Wine must find the display when its server starts: let this one end first.
wineserver -w
exe="$root/win/bin/CorvaneIXO.exe"

# The prefix is made for test displays without a window manager; the user's display has one.
managed=N; [ -n "${DISPLAY:-}" ] && managed=Y
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  wine "$exe" /NOUPDATE "$@"
  exit
fi

d=71
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$d"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$d" ] && break; sleep 0.1; done

wine "$exe" /NOUPDATE "$@" &
client=$!
# Wait for the window, then give the log-in and the listing a moment.
shown=0
for i in $(seq 60); do
  if command -v xwininfo >/dev/null; then
    # The main window: the program's one wide top-level window (the tray's is small).
    xwininfo -root -tree 2>/dev/null | grep '"corvaneixo.exe"' | grep -Eq ' [0-9]{3,4}x[0-9]{3,4}\+' && { shown=1; break; }
  elif [ "$i" -ge 10 ]; then
    shown=1; break
  fi
  kill -0 "$client" 2>/dev/null || break
  sleep 0.5
done
sleep 3
shot="$root/client.png"
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$shot"
[ $shown -eq 1 ] || echo "The client's window did not appear (see the screenshot)." >&2
echo "No display: the client ran under Xvfb; its screenshot is $shot"

# Close the window as a user would, so that the client logs out.
wine taskkill /im CorvaneIXO.exe >/dev/null 2>&1 || true
for _ in $(seq 40); do kill -0 "$client" 2>/dev/null || break; sleep 0.25; done
