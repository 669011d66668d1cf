#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages. Quick when all is present.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake make ninja-build mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
         libz-mingw-w64-dev googletest wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick fonts-nanum libssl-dev zlib1g-dev g++ pkg-config sqlite3; do
  have "$p" || need+=("$p")
done
# npm comes with nodejs in some installs; Debian's own npm package otherwise.
command -v npm >/dev/null || need+=(npm)

# SQLite: the amalgamation shipped in one pinned better-sqlite3 package, cross-compiled by the
# build (dbutil/). Kept in deps/sqlite3 (git-ignored). Every run checks the two files against
# their pinned digests; a changed pin or a file that does not match fetches the package again,
# whose tarball must match its own digest.
sqlite_ver=12.11.1
sqlite_tgz_sum=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
sqlite_c_sum=60d2f39a3726cd6b9021da6f4e868608d66fbb6528a9f513dc8ffcc640493422
sqlite_h_sum=9e69a1353a4288450b0d5239ede11fc7f1f4c8e5eb07491fc8317eacb5b7de7e
sqlite_pin="$sqlite_ver $sqlite_tgz_sum $sqlite_c_sum $sqlite_h_sum"

sqlite_ok() {
  local dest="$1"
  [ "$(cat "$dest/PIN" 2>/dev/null)" = "$sqlite_pin" ] || return 1
  printf '%s  %s\n%s  %s\n' "$sqlite_c_sum" "$dest/sqlite3.c" "$sqlite_h_sum" "$dest/sqlite3.h" |
    sha256sum -c --status 2>/dev/null
}

fetch_sqlite() {
  local root dest tmp
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  dest="$root/deps/sqlite3"
  sqlite_ok "$dest" && return 0
  if [ -e "$dest" ]; then
    echo "deps/sqlite3 does not match its pin ($sqlite_ver): fetching it again" >&2
  fi
  tmp="$(mktemp -d)"
  (cd "$tmp" && npm pack "better-sqlite3@$sqlite_ver" --silent >/dev/null)
  if ! echo "$sqlite_tgz_sum  $tmp/better-sqlite3-$sqlite_ver.tgz" | sha256sum -c --status; then
    echo "better-sqlite3-$sqlite_ver.tgz: digest mismatch" >&2; rm -rf "$tmp"; return 1
  fi
  tar xzf "$tmp/better-sqlite3-$sqlite_ver.tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  rm -rf "$dest"
  mkdir -p "$dest"
  mv "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$dest/"
  echo "$sqlite_ver" > "$dest/VERSION"
  echo "$sqlite_pin" > "$dest/PIN"
  rm -rf "$tmp"
  if ! sqlite_ok "$dest"; then
    echo "deps/sqlite3: the package's files do not match their pinned digests" >&2; return 1
  fi
}

if [ ${#need[@]} -eq 0 ]; then fetch_sqlite; exit 0; fi

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${need[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
fetch_sqlite
