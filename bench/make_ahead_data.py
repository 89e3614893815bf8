#!/usr/bin/env python3
"""Makes the read-ahead benchmark's data once (scripts/bench-read-ahead),
deterministically, below ROOT:

  flat-8000, flat-20000   one directory of that many small text files
  wide-N                  N subdirectories (N = 4000, 8000, 8500, 12000), each
                          holding one empty folder and 3 small files, one of
                          them a .txt
  million                 one directory of 1,000,000 files, every fourth a
                          .txt, every sixteenth holding a line of text and the
                          rest empty

  make_ahead_data.py ROOT

Texts come from make_tree.py's word list; the benchmark's absent text never
occurs. Each set is written under a temporary name and renamed when whole,
so an interrupted run starts that set again instead of measuring half of
it."""
import os
import random
import shutil
import sys

from make_tree import WORDS, paragraph

FLAT = (8000, 20000)
WIDE = (4000, 8000, 8500, 12000)
MILLION = 1_000_000
EXTENSIONS = (".txt", ".c", ".md", ".h")


def bodies(seed):
    rng = random.Random(seed)
    return [paragraph(rng, rng.randint(20, 200)).encode() for _ in range(256)]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def make_flat(directory, count):
    texts = bodies(count)
    os.makedirs(directory)
    for n in range(count):
        write(os.path.join(directory, f"file{n:05d}{EXTENSIONS[n % 4]}"), texts[n % len(texts)])


def make_wide(directory, count):
    texts = bodies(count)
    os.makedirs(directory)
    for n in range(count):
        sub = os.path.join(directory, f"dir{n:05d}")
        os.makedirs(os.path.join(sub, "folder"))
        for i, name in enumerate(("notes.txt", "main.c", "readme.md")):
            write(os.path.join(sub, name), texts[(3 * n + i) % len(texts)])


def make_million(directory):
    line = b"the value of one line of text\n"
    os.makedirs(directory)
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL
    for n in range(MILLION):
        fd = os.open(os.path.join(directory, f"f{n:07d}{'.txt' if n % 4 == 0 else '.dat'}"), flags, 0o644)
        if n % 16 == 0:
            os.write(fd, line)
        os.close(fd)


def make(root, name, maker, *args):
    target = os.path.join(root, name)
    if os.path.isdir(target):
        return
    print(f"make_ahead_data: {name}", file=sys.stderr, flush=True)
    partial = target + ".partial"
    shutil.rmtree(partial, ignore_errors=True)
    maker(partial, *args)
    os.rename(partial, target)


def main(root):
    os.makedirs(root, exist_ok=True)
    for count in FLAT:
        make(root, f"flat-{count}", make_flat, count)
    for count in WIDE:
        make(root, f"wide-{count}", make_wide, count)
    make(root, "million", make_million)


if __name__ == "__main__":
    main(sys.argv[1])
