#!/usr/bin/env bash
# Runs a Windows test with drive Q: mapped to an empty directory, so that it
# sees a drive root with no entries at all (not even "." and "..").
# Usage: with_empty_drive.sh BUILD-DIR WINE-RUN EXE [ARGS...]
set -euo pipefail
build=$1
shift
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
"$@" --gtest_list_tests >/dev/null  # makes the prefix on a first run
empty=$(mktemp -d)
link=$WINEPREFIX/dosdevices/q:
trap 'rm -f "$link"; rmdir "$empty"' EXIT
ln -sfn "$empty" "$link"
"$@"
