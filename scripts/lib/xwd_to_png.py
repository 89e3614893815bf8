#!/usr/bin/env python3
"""Converts an X window dump (xwd, 24 or 32 bits per pixel, ZPixmap) to PNG.

Usage: xwd_to_png.py IN.xwd OUT.png [X Y WIDTH HEIGHT]
The optional rectangle crops the picture. Only the standard library is used,
so screenshots need no image package.
"""
import struct
import sys
import zlib


def read_xwd(data):
    header = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = header[:6]
    byte_order, bitmap_unit, bitmap_bit_order, bitmap_pad, bits_per_pixel, bytes_per_line = header[7:13]
    red_mask, green_mask, blue_mask = header[14:17]
    colormap_entries = header[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise SystemExit("xwd_to_png: only 24/32-bit ZPixmap dumps are supported")
    offset = header_size + colormap_entries * 12
    step = bits_per_pixel // 8

    def shift_of(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift_of(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * step]
        out = bytearray(width * 3)
        for x in range(width):
            chunk = line[x * step:(x + 1) * step]
            value = int.from_bytes(chunk, "little" if byte_order == 0 else "big")
            out[x * 3] = (value >> shifts[0]) & 0xFF
            out[x * 3 + 1] = (value >> shifts[1]) & 0xFF
            out[x * 3 + 2] = (value >> shifts[2]) & 0xFF
        rows.append(bytes(out))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    if len(sys.argv) not in (3, 7):
        raise SystemExit(__doc__)
    with open(sys.argv[1], "rb") as f:
        width, height, rows = read_xwd(f.read())
    if len(sys.argv) == 7:
        x, y, w, h = (int(v) for v in sys.argv[3:7])
        x, y = max(0, x), max(0, y)
        w, h = min(w, width - x), min(h, height - y)
        rows = [row[x * 3:(x + w) * 3] for row in rows[y:y + h]]
        width, height = w, h
    write_png(sys.argv[2], width, height, rows)


if __name__ == "__main__":
    main()
