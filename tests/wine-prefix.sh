#!/usr/bin/env bash
# Creates the private Wine prefix once: real user folders instead of links into $HOME,
# no Z: drive (the client deletes caches under Documents), and T: for the build root.
set -u
pfx="$1"; root="$2"
# A prefix made by the other Wine (32- or 64-bit form) is not reused.
arch=i686; [ -x "$root/wine-bin/wine" ] && arch=x86_64
ready="$pfx/.tovi-ready-$arch-2"
[ -f "$ready" ] && exit 0
mkdir -p "$root/wine-home"
(
  flock 9
  [ -f "$ready" ] && exit 0
  rm -rf "$pfx"
  WINEPREFIX="$pfx" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d" \
    HOME="$root/wine-home" wineboot -i >/dev/null 2>&1
  # No window manager runs on the test display: unmanaged windows spare the 2 s that Wine
  # otherwise waits for one whenever a captioned window is hidden or destroyed.
  WINEPREFIX="$pfx" WINEDEBUG=-all HOME="$root/wine-home" \
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Korean texts need Hangul glyphs that Wine's own fonts lack: the Korean faces the windows
  # ask for map to Nanum Gothic.
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for f in "맑은 고딕" "Malgun Gothic" "돋움" "Dotum" "굴림" "Gulim" "바탕" "Batang"; do
      printf '"%s"="NanumGothic"\r\n' "$f"
    done
  } | iconv -f UTF-8 -t UTF-16 >"$root/korean-fonts.reg"
  WINEPREFIX="$pfx" WINEDEBUG=-all HOME="$root/wine-home" \
    wine regedit /S "Z:${root//\//\\}\\korean-fonts.reg" >/dev/null 2>&1
  WINEPREFIX="$pfx" wineserver -w
  for u in "$pfx"/drive_c/users/*; do
    [ "$(basename "$u")" = Public ] && continue
    for d in "$u"/*; do
      if [ -L "$d" ]; then rm -f "$d"; mkdir -p "$d"; fi
    done
    mkdir -p "$u/Documents" "$u/Desktop"
  done
  rm -f "$pfx/dosdevices/z:"
  ln -sfn "$root" "$pfx/dosdevices/t:"
  touch "$ready"
) 9>"$root/.wine-prefix.lock"
