#!/usr/bin/env bash
# Installs what the build and the tests need, from Debian's packages. Quick when all is present.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake make ninja-build mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
         libz-mingw-w64-dev googletest wine wine32:i386 wine64 xvfb x11-apps x11-utils imagemagick fonts-nanum libssl-dev zlib1g-dev g++ pkg-config; do
  have "$p" || need+=("$p")
done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${need[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" >/dev/null
