#!/usr/bin/env bash
# scripts/run without a display: one clear message, pointing at scripts/find,
# and exit status 2, before anything is built or installed.
set -u
run=$1
output=$(env -u DISPLAY "$run" /usr/include 2>&1)
status=$?
[ "$status" -eq 2 ] || { echo "FAIL: exit status $status, not 2"; exit 1; }
grep -q "needs a display" <<<"$output" || { echo "FAIL: no word of the display: $output"; exit 1; }
grep -q "scripts/find" <<<"$output" || { echo "FAIL: scripts/find not named: $output"; exit 1; }
echo "ok: $output"
