#!/usr/bin/env bash
# Vudo.exe started from a folder whose path passes 260 characters keeps its
# settings beside itself and writes nothing into a drive's root. Wine starts
# it by its Unix path (no Windows call starts a program that deep); the window
# is closed with a real Alt+F4. Needs an X display.
# Usage: program_folder_test.sh VUDO.EXE WINE-RUN
set -uo pipefail
exe=$1
wine_run=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
folder=$scratch
while [ ${#folder} -lt 300 ]; do folder+=/a_folder_with_a_rather_long_name; done
mkdir -p "$folder" && cp "$exe" "$folder/Vudo.exe" || { echo "FAIL: cannot copy Vudo.exe"; exit 1; }
printf 'searchdir=C:\\Kept\\\r\n' >"$folder/Vudo.ini"
# The tests' own prefix, found from the build tree rather than from the copy.
export VUDO_WINE_BUILD=$(cd "$(dirname "$exe")/.." && pwd)
prefix=$VUDO_WINE_BUILD/wineprefix
roots=("$prefix/drive_c/Vudo.ini" /Vudo.ini)
for root in "${roots[@]}"; do [ -e "$root" ] && fail "$root exists before the test"; done

"$wine_run" "$folder/Vudo.exe" &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Vudo \(Pathquest\)$' | head -1)
if [ -z "$window" ]; then
  fail "no window came"
else
  # The window takes the focus as it shows; Alt+F4 closes it and saves.
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    xdotool key --clearmodifiers alt+F4
    sleep 0.2
  done
fi
timeout 30 tail --pid="$pid" -f /dev/null || { fail "Vudo did not end"; kill "$pid" 2>/dev/null; }

printf 'searchdir = C:\\Kept\\\r\nfilename = \r\ncontains = \r\n' >"$scratch/expected.ini"
cmp -s -n "$(stat -c %s "$scratch/expected.ini")" "$folder/Vudo.ini" "$scratch/expected.ini" && echo "ok: the settings were read and written beside the program" \
  || fail "Vudo.ini beside the program holds: $(od -c "$folder/Vudo.ini" | head -5)"
for root in "${roots[@]}"; do [ -e "$root" ] && { fail "$root was written"; rm -f "$root"; }; done
exit $failed
