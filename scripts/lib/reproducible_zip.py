#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' names, contents and order.

Usage: reproducible_zip.py ZIP FILE...

Each FILE goes in under its own name (no folders), in the order given, with
the earliest time a zip can hold, MS-DOS attributes rather than the owner and
mode bits of the machine that packed it, and the same compression every time.
The zip is written beside its final name and then moved there, so a failed
run never leaves half an archive under that name.
"""
import os
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)
ARCHIVE_ATTRIBUTE = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows itself writes it


def write(target, files):
    partial = target + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=FIXED_TIME)
            entry.create_system = 0  # MS-DOS
            entry.external_attr = ARCHIVE_ATTRIBUTE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(partial, target)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: reproducible_zip.py ZIP FILE...")
    write(sys.argv[1], sys.argv[2:])
