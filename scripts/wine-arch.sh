# Sourced by the build and run scripts: which Windows form this machine's Wine can run.
# The product is 32-bit; a kernel that runs no 32-bit programs (so no 32-bit Wine) gets the
# 64-bit form of the same sources, run by 64-bit Wine. TOVI_ARCH (i686 or x86_64) overrides.
tovi_wine_arch() {
  local root="$1"
  if [ -z "${TOVI_ARCH:-}" ]; then
    if /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then TOVI_ARCH=i686; else TOVI_ARCH=x86_64; fi
  fi
  export TOVI_ARCH
  # Debian's wine wrapper always takes the 32-bit loader when it is installed, so the 64-bit form
  # gets a wrapper of its own, first on PATH for every script (wineboot calls wine-stable).
  rm -rf "$root/wine-bin"
  if [ "$TOVI_ARCH" = x86_64 ]; then
    mkdir -p "$root/wine-bin"
    for n in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$root/wine-bin/$n"
      chmod +x "$root/wine-bin/$n"
    done
  fi
  export PATH="$root/wine-bin:$PATH"
}
