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
# build (dbutil/). Fetched once into deps/sqlite3 (git-ignored); the tarball must match its digest.
fetch_sqlite() {
  local root dest ver sum tmp
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  dest="$root/deps/sqlite3"
  ver=12.11.1
  sum=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
  [ -f "$dest/sqlite3.c" ] && [ -f "$dest/sqlite3.h" ] && return 0
  tmp="$(mktemp -d)"
  (cd "$tmp" && npm pack "better-sqlite3@$ver" --silent >/dev/null)
  if ! echo "$sum  $tmp/better-sqlite3-$ver.tgz" | sha256sum -c --status; then
    echo "better-sqlite3-$ver.tgz: digest mismatch" >&2; rm -rf "$tmp"; return 1
  fi
  tar xzf "$tmp/better-sqlite3-$ver.tgz" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
  mkdir -p "$dest"
  mv "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$dest/"
  echo "$ver" > "$dest/VERSION"
  rm -rf "$tmp"
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
