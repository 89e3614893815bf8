#!/usr/bin/env bash
# End-to-end checks of the console finder against find and grep.
# Usage: vudo_find_test.sh PATH-TO-VUDO-FIND
set -uo pipefail
finder=$1
failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

same_sets() {  # same_sets FILE-A FILE-B
  sort -o "$1" "$1"; sort -o "$2" "$2"
  diff -q "$1" "$2" >/dev/null || { diff "$1" "$2" | head -5; return 1; }
}

# A small tree with the awkward cases: links, case, NULs, deep nesting.
tree=$work/tree
mkdir -p "$tree/a/b/c" "$tree/Upper" "$tree/loop"
printf 'Hello World\n' >"$tree/a/hello.TXT"
printf 'x\0hello\0x' >"$tree/a/b/binary.bin"
printf 'nothing here' >"$tree/a/b/c/plain.txt"
printf 'HELLO again' >"$tree/Upper/README"
ln -s "$tree" "$tree/loop/back"
ln -s "$tree/a/hello.TXT" "$tree/link.txt"
ln -s "$tree/missing" "$tree/dangling.txt"

for dir in "$tree" /usr/include; do
  for pattern in '*.h' '*.txt' '?*.?' '*' 'std*.h'; do
    "$finder" "$dir" "$pattern" >"$work/v" 2>/dev/null
    find "$dir" -iname "$pattern" \( -type f -o -xtype f \) >"$work/f"
    check "names '$pattern' in $dir" same_sets "$work/v" "$work/f"
  done
  for text in hello 'free software foundation' '#include <' zzqqxxnotthere; do
    "$finder" --contains "$text" "$dir" '*' >"$work/v" 2>/dev/null
    find "$dir" \( -type f -o -xtype f \) -print0 | LC_ALL=C xargs -0 grep -liaF -e "$text" -- >"$work/f" 2>/dev/null
    check "contains '$text' in $dir" same_sets "$work/v" "$work/f"
  done
done

"$finder" "$tree" '*.txt' >/dev/null; check "exit 0 when found" test $? -eq 0
"$finder" "$tree" '*.none' >/dev/null; check "exit 1 when nothing found" test $? -eq 1
"$finder" "$tree/missing" 2>"$work/err" >/dev/null; check "exit 2 for a missing directory" test $? -eq 2
check "a message for a missing directory" grep -q "cannot read directory" "$work/err"
"$finder" --bogus "$tree" 2>"$work/err" >/dev/null; check "exit 2 for a bad option" test $? -eq 2
check "a message for a bad option" grep -q "unknown option" "$work/err"
"$finder" --help | grep -q Usage; check "--help prints usage" test $? -eq 0

# Ctrl+C while a large file is being scanned: exit 130, complete lines only.
big=$work/big
mkdir -p "$big"
printf 'found early' >"$big/aaa.txt"
truncate -s 8G "$big/zzz.txt"
"$finder" --contains 'absent text' "$big" '*.txt' >"$work/out" &
pid=$!
for _ in $(seq 1 2000); do
  ls -l "/proc/$pid/fd" 2>/dev/null | grep -q zzz.txt && break
  sleep 0.01
done
kill -INT "$pid"
wait "$pid"
check "exit 130 on Ctrl+C" test $? -eq 130
check "complete lines after Ctrl+C" test "$(tail -c1 "$work/out" | od -An -c | tr -d ' ')" = '\n' -o ! -s "$work/out"

echo "vudo-find: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
