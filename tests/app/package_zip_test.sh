#!/usr/bin/env bash
# The zips scripts/package writes depend only on the files' names, contents
# and order: the same files with other times, modes and places give the same
# bytes, and the entries come out in the order given, under their own names,
# with the fixed time and their contents whole.
# Usage: package_zip_test.sh REPRODUCIBLE_ZIP.PY
set -u
zip_tool=$(realpath "$1")
failed=0
fail() { echo "FAIL: $*"; failed=1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/one" "$scratch/two/deeper"
head -c 70000 /dev/urandom >"$scratch/one/Vudo.exe"
head -c 30000 /dev/urandom >"$scratch/one/vudo-find.exe"
printf 'Vudo\r\nread me\r\n' >"$scratch/one/Read-me.txt"
names=(Vudo.exe vudo-find.exe Read-me.txt)
cp "${names[@]/#/$scratch/one/}" "$scratch/two/deeper/"
touch -d '2001-02-03 04:05:06' "$scratch/one/"*
touch -d '2024-07-08 09:10:11' "$scratch/two/deeper/"*
chmod 600 "$scratch/one/"*
chmod 755 "$scratch/two/deeper/"*

python3 "$zip_tool" "$scratch/first.zip" "${names[@]/#/$scratch/one/}" || fail "the first zip was not written"
(cd "$scratch/two" && umask 077 && python3 "$zip_tool" "$scratch/second.zip" "${names[@]/#/deeper/}") ||
  fail "the second zip was not written"
cmp -s "$scratch/first.zip" "$scratch/second.zip" && echo "ok: the same bytes from other times, modes and places" ||
  fail "the two zips differ"
[ -e "$scratch/first.zip.partial" ] && fail "a partial zip was left behind"

python3 - "$scratch/first.zip" "$scratch/one" "${names[@]}" <<'PY' || failed=1
import sys, zipfile
target, folder, *names = sys.argv[1:]
entries = zipfile.ZipFile(target).infolist()
problems = []
if [e.filename for e in entries] != names:
    problems.append(f"entries {[e.filename for e in entries]}, not {names}")
for e in entries:
    if e.date_time != (1980, 1, 1, 0, 0, 0):
        problems.append(f"{e.filename} has the time {e.date_time}")
    if e.filename in names and zipfile.ZipFile(target).read(e) != open(f"{folder}/{e.filename}", "rb").read():
        problems.append(f"{e.filename} does not come out as it went in")
for problem in problems:
    print("FAIL:", problem)
if not problems:
    print("ok: the entries in the order given, at the fixed time, whole")
sys.exit(1 if problems else 0)
PY
exit $failed
