#!/usr/bin/env python3
"""Writes the icon theme's PNG files from the one square RGBA icon: one SIZE.png for each
size given, scaled down by area average (the icon script's own decoder and scaler).

Usage: png_sizes.py INPUT.png OUTPUT_FOLDER SIZE...
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "win32"))
from png_to_ico import PNG_SIGNATURE, RGBA_COLOUR_TYPE, decode_png, scaled  # noqa: E402


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def encode_png(rows, size):
    header = struct.pack(">IIBBBBB", size, size, 8, RGBA_COLOUR_TYPE, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(line) for line in rows)  # filter type 0 on every line
    return (PNG_SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    if len(sys.argv) < 4:
        sys.exit("usage: png_sizes.py INPUT.png OUTPUT_FOLDER SIZE...")
    width, height, rows = decode_png(sys.argv[1])
    if width != height:
        sys.exit(f"{sys.argv[1]}: the icon must be square")
    os.makedirs(sys.argv[2], exist_ok=True)
    for size in map(int, sys.argv[3:]):
        if size > width:
            sys.exit(f"{sys.argv[1]}: {size} is larger than the icon ({width})")
        image = rows if size == width else scaled(rows, width, size)
        with open(os.path.join(sys.argv[2], f"{size}.png"), "wb") as f:
            f.write(encode_png(image, size))


if __name__ == "__main__":
    main()
