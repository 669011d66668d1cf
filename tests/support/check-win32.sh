#!/usr/bin/env bash
# Checks the 32-bit deliverables built beside the 64-bit test tree: each one is there, is a
# 32-bit PE file and imports no DLL that its 64-bit form (the one the tests ran) does not.
# Usage: check-win32.sh WIN64_BIN WIN32_BIN
set -uo pipefail
win64="$1"; win32="$2"
deliverables=(CorvaneIXO.exe CorvaneUpdate.exe ToviInterface.dll ToviConnect.dll libFramework.dll
              ToviLanguage.dll ToviMessage.dll ToviDBUtil.dll)

# Imported DLL names, lower case, without the compiler's runtime DLLs: the 32-bit form's
# unwinder (libgcc_s_dw2-1.dll) is needed by modules whose 64-bit form unwinds without a DLL.
# Those ship beside the programs and are checked for presence instead.
runtime='^(libgcc_s_dw2-1|libgcc_s_seh-1|libwinpthread-1)\.dll$'
imports() {
  "$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | grep -Ev "$runtime" | sort -u
}
runtime_imports() {
  i686-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | grep -E "$runtime" | sort -u
}

status=0
for f in "${deliverables[@]}"; do
  if [ ! -f "$win32/$f" ]; then
    echo "missing 32-bit deliverable: $win32/$f"; status=1; continue
  fi
  if [ ! -f "$win64/$f" ]; then
    echo "missing 64-bit deliverable: $win64/$f"; status=1; continue
  fi
  if ! i686-w64-mingw32-objdump -f "$win32/$f" | grep -q 'file format pei-i386'; then
    echo "not a 32-bit program: $win32/$f"; status=1; continue
  fi
  for dll in $(runtime_imports "$win32/$f"); do
    [ -f "$win32/$dll" ] || { echo "$f: needs $dll, which is not beside it"; status=1; }
  done
  extra=$(comm -23 <(imports i686-w64-mingw32-objdump "$win32/$f") <(imports x86_64-w64-mingw32-objdump "$win64/$f"))
  if [ -n "$extra" ]; then
    echo "$f: the 32-bit form imports what the 64-bit form does not: $(echo $extra)"; status=1
  else
    echo "$f: 32-bit form present, imports match"
  fi
done
exit $status
