#!/usr/bin/env bash
# Installs what is missing, then builds the native test tools and the Windows deliverables.
# TOVI_BUILD_ROOT picks the build folder (default: build/ in the checkout).
# Where only the 64-bit form can run (see scripts/wine-arch.sh), the 32-bit form that ships is
# built as well, deliverables only, into win32/ of the build root.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
root="${TOVI_BUILD_ROOT:-$src/build}"
jobs="${TOVI_JOBS:-$(nproc)}"

"$src/scripts/deps.sh"
mkdir -p "$root"
. "$src/scripts/wine-arch.sh"
tovi_wine_arch "$root"

gen=(-G Ninja)
cmake -S "$src/testserver" -B "$root/native" "${gen[@]}" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/native" -j "$jobs"

# A tree configured for the other form keeps its compilers cached: start that one afresh.
if [ -f "$root/win/CMakeCache.txt" ] && ! grep -q "^CMAKE_CXX_COMPILER_AR:.*/$TOVI_ARCH-w64-mingw32" "$root/win/CMakeCache.txt"; then
  rm -rf "$root/win"
fi
cmake -S "$src" -B "$root/win" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-$TOVI_ARCH.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DTOVI_NATIVE_DIR="$root/native" >/dev/null
cmake --build "$root/win" -j "$jobs"

if [ "$TOVI_ARCH" = x86_64 ]; then
  cmake -S "$src" -B "$root/win32" "${gen[@]}" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTOVI_BUILD_TESTS=OFF >/dev/null
  cmake --build "$root/win32" -j "$jobs"
fi
