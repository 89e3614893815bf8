#!/usr/bin/env bash
# End-to-end checks of the console finder against find and grep.
# Usage: vudo_find_test.sh PATH-TO-VUDO-FIND PATH-TO-VUDO-FIND-LIMITED
# (the second a build whose memory runs out at VUDO_ALLOCATION_LIMIT bytes)
set -uo pipefail
finder=$1
limited=$2
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

# Workers reading ahead change nothing of the output, line by line: the same
# hits in the same order as the walk alone (-j 1).
for dir in "$tree" /usr/include /usr/share/doc; do
  for args in "* --contains hello" "*.h" "*.h --contains template" "* --contains zzqqxxnotthere" "?*.?"; do
    read -r pattern contains_flag text <<<"$args"
    extra=()
    [ -n "${contains_flag:-}" ] && extra=(--contains "$text")
    "$finder" -j 1 "$dir" "$pattern" "${extra[@]}" >"$work/j1" 2>/dev/null
    for jobs in 2 8; do
      "$finder" -j "$jobs" "$dir" "$pattern" "${extra[@]}" >"$work/jn" 2>/dev/null
      check "-j $jobs lists what -j 1 does, in its order: '$args' in $dir" cmp -s "$work/j1" "$work/jn"
    done
  done
done

"$finder" "$tree" '*.txt' >/dev/null; check "exit 0 when found" test $? -eq 0
"$finder" "$tree" '*.none' >/dev/null; check "exit 1 when nothing found" test $? -eq 1
"$finder" "$tree/missing" 2>"$work/err" >/dev/null; check "exit 2 for a missing directory" test $? -eq 2
check "a message for a missing directory" grep -q "cannot read directory" "$work/err"
# Of a ';' list of folders, one that cannot be read is reported and passed
# over; only when none can be is it an error.
"$finder" "$tree/missing;$tree/a" '*' >"$work/v" 2>"$work/err"; check "exit 0 with one folder of two missing" test $? -eq 0
check "the other folder of two searched" test "$(wc -l <"$work/v")" -eq 3
check "the missing folder of two reported" grep -q "cannot read directory '$tree/missing" "$work/err"
"$finder" "$tree/missing;$tree/gone" '*' >/dev/null 2>&1; check "exit 2 when every folder is missing" test $? -eq 2
"$finder" --bogus "$tree" 2>"$work/err" >/dev/null; check "exit 2 for a bad option" test $? -eq 2
check "a message for a bad option" grep -q "unknown option" "$work/err"
"$finder" --help | grep -q Usage; check "--help prints usage" test $? -eq 0

# A tree 2,000 levels deep, searched whole with only 1,024 file handles.
deep=$work/deep
bottom="$deep/$(printf 'd/%.0s' $(seq 2000))"
mkdir -p "$bottom" && touch "$bottom/bottom.txt"
for jobs in 1 4; do
  (ulimit -n 1024 && "$finder" -j "$jobs" "$deep" 'bottom.txt' >"$work/v" 2>"$work/err")
  check "2,000 levels deep under a 1,024-file limit (-j $jobs)" test "$(wc -l <"$work/v")" -eq 1
  check "nothing reported for the deep tree (-j $jobs)" test ! -s "$work/err"
done

# A directory that cannot be read for another reason than permission is
# reported on stderr: here, a path beyond PATH_MAX.
long=$work/long
mkdir -p "$long"
(cd "$long" && name=$(printf 'l%.0s' $(seq 200)) && for _ in $(seq 25); do mkdir "$name" && cd "$name" || exit 1; done)
"$finder" "$long" '*' >/dev/null 2>"$work/err"
check "exit 1 when the only directory is too deep" test $? -eq 1
check "the unreadable directory reported" grep -q "cannot read directory .*too long" "$work/err"

# UTF-8 names: letter case folds for the Latin capitals, '?' takes one character.
utf=$work/utf
mkdir -p "$utf"
touch "$utf/$(printf '\xc3\x89t\xc3\xa9.txt')" "$utf/$(printf '\xc3\x9f.txt')" "$utf/$(printf '\xe3\xa9\x80')"
"$finder" "$utf" "$(printf '\xc3\xa9t\xc3\xa9.txt')" >"$work/v"
check "ete.txt finds Ete.txt" test "$(cat "$work/v")" = "$utf/$(printf '\xc3\x89t\xc3\xa9.txt')"
"$finder" "$utf" '?.txt' >"$work/v"
check "?.txt finds the sharp s" test "$(cat "$work/v")" = "$utf/$(printf '\xc3\x9f.txt')"
"$finder" "$utf" "$(printf '\xc3\xa9?')" >"$work/v"
check "e? does not find U+3A40" test ! -s "$work/v"

# Line feeds in names and directories print whole; -0 for xargs -0.
lf=$work/lf
mkdir -p "$lf/dir
with feed"
touch "$lf/dir
with feed/name
with feed.txt" "$lf/plain.txt"
"$finder" -0 "$lf" '*.txt' >"$work/v"
find "$lf" -iname '*.txt' -type f -print0 >"$work/f"
check "-0 prints the true paths" cmp -s <(tr '\0' '\n' <"$work/v" | sort) <(tr '\0' '\n' <"$work/f" | sort)
check "-0 ends every path with NUL" test "$(tr -cd '\0' <"$work/v" | wc -c)" -eq 2
"$finder" "$lf" '*.txt' | grep -q "^$lf/dir\$"
check "without -0 the path is printed whole, feed included" test $? -eq 0

# --stats says how it went on standard error, and changes nothing else.
"$finder" "$tree" '*.txt' >"$work/plain" 2>/dev/null
"$finder" --stats "$tree" '*.txt' >"$work/v" 2>"$work/err"
check "--stats leaves the output as it is" cmp -s "$work/plain" "$work/v"
check "--stats counts the files found" grep -qxE "$(wc -l <"$work/plain") files? found in [0-9.]+ s" "$work/err"
"$finder" --stats "$tree" 'nothing*' >/dev/null 2>"$work/err"
check "--stats when nothing was found" grep -qx "No files found." "$work/err"

# Output that cannot be written is an error.
"$finder" "$tree" '*' >/dev/full 2>"$work/err"
check "exit 2 when the output cannot be written" test $? -eq 2
check "a message when the output cannot be written" grep -q "cannot write the output" "$work/err"

# A file that reports more than it holds is searched for what it holds only.
if [ -r /sys/devices/system/cpu/online ] && [ "$(stat -c %s /sys/devices/system/cpu/online)" -gt 10 ]; then
  "$finder" --contains '  ' /sys/devices/system/cpu '*' 2>/dev/null >"$work/v"
  check "no padded hit in /sys" test "$(grep -c '/cpu/online$' "$work/v")" -eq 0
fi

# Ctrl+C while a large file is being scanned: exit 130, complete lines only.
big=$work/big
mkdir -p "$big"
printf 'found early' >"$big/aaa.txt"
truncate -s 8G "$big/zzz.txt"
for jobs in 1 4; do
  "$finder" -j "$jobs" --contains 'absent text' "$big" '*.txt' >"$work/out" &
  pid=$!
  for _ in $(seq 1 2000); do
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q zzz.txt && break
    sleep 0.01
  done
  kill -INT "$pid"
  wait "$pid"
  check "exit 130 on Ctrl+C (-j $jobs)" test $? -eq 130
  check "complete lines after Ctrl+C (-j $jobs)" test "$(tail -c1 "$work/out" | od -An -c | tr -d ' ')" = '\n' -o ! -s "$work/out"
done

# Memory that runs out: the paths found before are printed whole, then the
# reason, and the exit status is 2. Deeper than the levels the walk keeps
# open, a directory is read whole before it is walked: one of 3,000 long
# names needs more than the limit leaves, with or without workers, after the
# files of the levels above.
deep=$work/deep
level=$deep
for i in $(seq 0 33); do
  level=$level/l$i
  mkdir -p "$level"
  : >"$level/f$i.txt"
done
for f in $(seq 1 3000); do : >"$level/$(printf 'f%04d_%0200d' "$f" 0)"; done
"$finder" -j 1 "$deep" '*' >"$work/all"
for run in "-j 1 400000" "-j 4 400000" "-j 1 1"; do
  set -- $run
  VUDO_ALLOCATION_LIMIT=$3 "$limited" "$1" "$2" "$deep" '*' >"$work/out" 2>"$work/err"
  check "exit 2 when memory runs out ($run)" test $? -eq 2
  check "says so when memory runs out ($run)" grep -qx "vudo-find: out of memory" "$work/err"
  check "the paths before it, whole, in their order ($run)" \
    cmp -s "$work/out" <(head -n "$(wc -l <"$work/out")" "$work/all")
done
check "memory ran out partway" test "$(VUDO_ALLOCATION_LIMIT=400000 "$limited" -j 1 "$deep" '*' 2>/dev/null | wc -l)" -gt 0

echo "vudo-find: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
