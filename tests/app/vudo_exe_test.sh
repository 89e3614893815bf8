#!/usr/bin/env bash
# Checks the built Vudo.exe as a file: a Windows program for the build's
# machine (x86: a 32-bit x86 PE file that may use 4 GB of addresses; amd64: a
# 64-bit x86-64 PE file), with no link time in its header, that imports only
# system libraries (everything else is linked in), and an icon that
# scripts/make-icon reproduces byte for byte.
# Usage: vudo_exe_test.sh VUDO.EXE SOURCE-DIR [x86|amd64]
set -uo pipefail
exe=$1
source_dir=$2
machine=${3:-x86}
failed=0
fail() { echo "FAIL: $*"; failed=1; }

case $machine in
  x86) objdump=i686-w64-mingw32-objdump format=pei-i386 words="a 32-bit x86 PE file" ;;
  amd64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 words="a 64-bit x86-64 PE file" ;;
  *) echo "FAIL: unknown machine $machine"; exit 1 ;;
esac
dump=$($objdump -p "$exe") || { echo "FAIL: objdump could not read $exe"; exit 1; }
grep -q "file format $format\$" <<<"$dump" && echo "ok: $words" || fail "not $words"
grep -qE '^Subsystem\s+0*2\s' <<<"$dump" || fail "not a windows-subsystem program"

# IMAGE_FILE_LARGE_ADDRESS_AWARE: without it a 32-bit program gets 2 GB of
# addresses even on 64-bit Windows. 64-bit programs have it by default.
characteristics=$(sed -n 's/^Characteristics\s\+0x\([0-9a-fA-F]\+\).*/\1/p' <<<"$dump")
if [ -z "$characteristics" ]; then
  fail "no Characteristics in the header"
elif (( (16#$characteristics & 0x20) != 0 )); then
  echo "ok: large address aware (characteristics 0x$characteristics)"
else
  fail "not large address aware (characteristics 0x$characteristics)"
fi

# The header's TimeDateStamp (four bytes after the machine field) stays 0, so
# two builds of the same sources give the same bytes.
header=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j$((header + 8)) -N4 "$exe" | tr -d ' ')
[ "$stamp" = 0 ] && echo "ok: no link time in the header" || fail "the header holds a link time ($stamp)"

allowed='^(kernel32|user32|gdi32|comctl32|shell32|ole32|oleaut32|advapi32|comdlg32|version|msvcrt)\.dll$'
mapfile -t dlls < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump")
[ ${#dlls[@]} -gt 0 ] || fail "no imports found"
for dll in "${dlls[@]}"; do
  lower=${dll,,}
  if [[ $lower =~ $allowed ]]; then echo "ok: imports $dll"; else fail "imports $dll, which is no system library"; fi
done

scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT
python3 "$source_dir/scripts/make-icon" "$scratch" || fail "make-icon failed"
cmp -s "$scratch" "$source_dir/src/app/resources/vudo.ico" && echo "ok: icon reproduced by scripts/make-icon" \
  || fail "src/app/resources/vudo.ico differs from what scripts/make-icon draws"
exit $failed
