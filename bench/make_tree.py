#!/usr/bin/env python3
"""Makes the benchmark's data deterministically (same bytes on every machine):

  make_tree.py tree DIR    about 300,000 small files in nested directories
  make_tree.py bigfile F   one 1 GiB text file
  make_tree.py encodings D  the same 256 MiB of text as UTF-8 and as UTF-16 (with a mark)

Texts are built from a fixed word list with a fixed-seed generator. The word
"define" is frequent; the benchmark's absent text never occurs."""
import os
import random
import sys

WORDS = ("the of and to in is for that with on as by this be are from at or an it not "
         "value return struct static const define int char void size buffer count index "
         "file path name list entry data block table error result state number offset "
         "length window control search pattern match text line string").split()

TOP, MIDDLE, FILES = 20, 25, 600  # 300,000 files
EXTENSIONS = (".h", ".c", ".txt", ".md", ".cpp", ".py", ".json", ".log")


def paragraph(rng, words):
    return " ".join(rng.choice(WORDS) for _ in range(words)) + "\n"


def make_tree(root):
    stamp = os.path.join(root, ".complete")
    if os.path.exists(stamp):
        return
    rng = random.Random(20261207)
    # A few hundred distinct bodies keep generation fast; files pick from them.
    bodies = [paragraph(rng, rng.randint(20, 400)).encode() for _ in range(512)]
    for top in range(TOP):
        for middle in range(MIDDLE):
            directory = os.path.join(root, f"module{top:02d}", f"part{middle:02d}")
            os.makedirs(directory, exist_ok=True)
            for n in range(FILES):
                stem = rng.choice(WORDS) + rng.choice(WORDS) + str(n)
                name = stem + rng.choice(EXTENSIONS)
                with open(os.path.join(directory, name), "wb") as f:
                    f.write(rng.choice(bodies))
    open(stamp, "w").close()


def make_bigfile(path):
    size = 1 << 30
    if os.path.exists(path) and os.path.getsize(path) == size:
        return
    rng = random.Random(1)
    chunk = "".join(paragraph(rng, 60) for _ in range(12000)).encode()
    with open(path, "wb") as f:
        written = 0
        while written < size:
            piece = chunk[: size - written]
            f.write(piece)
            written += len(piece)


def make_encodings(directory):
    os.makedirs(directory, exist_ok=True)
    utf8, utf16 = os.path.join(directory, "utf8.txt"), os.path.join(directory, "utf16.txt")
    size = 1 << 28
    if os.path.exists(utf16) and os.path.getsize(utf8) == size:
        return
    rng = random.Random(2)
    chunk = "".join(paragraph(rng, 60) for _ in range(12000))
    text = (chunk * (size // len(chunk) + 1))[:size]
    with open(utf8, "wb") as f:
        f.write(text.encode())
    with open(utf16, "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))


if __name__ == "__main__":
    kind, target = sys.argv[1], sys.argv[2]
    {"tree": make_tree, "bigfile": make_bigfile, "encodings": make_encodings}[kind](target)
