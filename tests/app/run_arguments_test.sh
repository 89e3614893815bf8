#!/usr/bin/env bash
# What scripts/run hands Vudo for its start directory: a relative folder taken
# from the caller's current directory, a Windows path as it is (a folder with
# its trailing backslash), and a path that names nothing refused with one
# line and exit status 2, before anything is built.
set -u
run=$1
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/here/sub" "$scratch/two words"
touch "$scratch/here/file.txt"
# No Wine prefix: another drive than Z: cannot be looked into, and is handed
# over unchecked.
export WINEPREFIX=$scratch/no-prefix
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
check 'Z:\tmp\' 'Z:\tmp'
check "Z:$z\\here\\sub\\" "Z:$z\\here\\sub"
check "Z:$z\\here\\file.txt" "Z:$z\\here\\file.txt"
for missing in missing "Z:$z\\here\\missing"; do
  output=$(cd "$scratch/here" && DISPLAY=:99 VUDO_RUN_SHOW_ONLY=1 "$run" "$missing" 2>&1)
  status=$?
  [ "$status" -eq 2 ] || { echo "FAIL: '$missing' gave exit status $status"; failed=1; }
  [ "$(wc -l <<<"$output")" -eq 1 ] && grep -qF "no such folder: $missing" <<<"$output" \
    && echo "ok: $output" || { echo "FAIL: '$missing' said: $output"; failed=1; }
done
exit $failed
