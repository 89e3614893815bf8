#!/usr/bin/env bash
# What scripts/run hands Vudo for its start directory: a relative folder taken
# from the caller's current directory, a Windows path as it is, and a folder
# that does not exist refused with one line and exit status 2, before
# anything is built.
set -u
run=$1
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/here/sub" "$scratch/two words"
check() {  # check EXPECTED ARGUMENT: run from $scratch/here
  local got
  got=$(cd "$scratch/here" && DISPLAY=:99 VUDO_RUN_SHOW_ONLY=1 "$run" "$2" 2>&1)
  if [ "$got" = "$1" ]; then echo "ok: '$2' -> '$got'"; else echo "FAIL: '$2' gave '$got', not '$1'"; failed=1; fi
}
z=${scratch//\//\\}
check "Z:$z\\here\\sub\\" sub
check "Z:$z\\here\\" .
check "Z:$z\\two words\\." "../two words"
check "C:\\Data\\" 'C:\Data\'
check 'Z:\tmp' 'Z:\tmp'
output=$(cd "$scratch/here" && DISPLAY=:99 VUDO_RUN_SHOW_ONLY=1 "$run" missing 2>&1)
status=$?
[ "$status" -eq 2 ] || { echo "FAIL: a missing folder gave exit status $status"; failed=1; }
[ "$(wc -l <<<"$output")" -eq 1 ] && grep -q "no such folder: missing" <<<"$output" \
  && echo "ok: $output" || { echo "FAIL: a missing folder said: $output"; failed=1; }
exit $failed
