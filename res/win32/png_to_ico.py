#!/usr/bin/env python3
"""Writes a Windows icon file from a square RGBA PNG, with the PNG's own size and the
smaller standard sizes, each as a 32-bit image with its transparency mask.

Usage: png_to_ico.py INPUT.png OUTPUT.ico
Only the Python standard library is used: an 8-bit RGBA, non-interlaced PNG is decoded
with zlib, and the smaller sizes are area averages of the original.
"""
import struct
import sys
import zlib

ICON_SIZES = (16, 24, 32, 48)  # besides the PNG's own size
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
RGBA_COLOUR_TYPE = 6
BYTES_PER_PIXEL = 4


def read_chunks(data):
    offset = len(PNG_SIGNATURE)
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        yield kind, data[offset + 8:offset + 8 + length]
        offset += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height):
    stride = width * BYTES_PER_PIXEL
    rows, previous, offset = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[offset], bytearray(raw[offset + 1:offset + 1 + stride])
        offset += 1 + stride
        for i in range(stride):
            left = line[i - BYTES_PER_PIXEL] if i >= BYTES_PER_PIXEL else 0
            up = previous[i]
            up_left = previous[i - BYTES_PER_PIXEL] if i >= BYTES_PER_PIXEL else 0
            predictor = (0, left, up, (left + up) // 2, paeth(left, up, up_left))[kind]
            line[i] = (line[i] + predictor) & 0xFF
        rows.append(line)
        previous = line
    return rows


def decode_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(PNG_SIGNATURE):
        sys.exit(f"{path}: not a PNG file")
    idat = b""
    for kind, body in read_chunks(data):
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour != RGBA_COLOUR_TYPE or interlace != 0:
                sys.exit(f"{path}: only 8-bit RGBA non-interlaced PNG files are supported")
        elif kind == b"IDAT":
            idat += body
    return width, height, unfilter(zlib.decompress(idat), width, height)


def scaled(rows, size, target):
    """Area average of the source pixels that fall into each target pixel, weighted by
    opacity so that transparent pixels do not darken the edges."""
    factor = size / target
    out = []
    for y in range(target):
        line = bytearray()
        for x in range(target):
            sums, alpha_sum, count = [0, 0, 0], 0, 0
            for sy in range(int(y * factor), int((y + 1) * factor)):
                for sx in range(int(x * factor), int((x + 1) * factor)):
                    r, g, b, a = rows[sy][sx * 4:sx * 4 + 4]
                    sums = [sums[0] + r * a, sums[1] + g * a, sums[2] + b * a]
                    alpha_sum += a
                    count += 1
            colour = [s // alpha_sum if alpha_sum else 0 for s in sums]
            line += bytes(colour + [alpha_sum // count])
        out.append(line)
    return out


def icon_image(rows, size):
    """A 32-bit DIB, bottom-up, followed by its AND mask (1 = transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = line[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + mask


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: png_to_ico.py INPUT.png OUTPUT.ico")
    width, height, rows = decode_png(sys.argv[1])
    if width != height:
        sys.exit(f"{sys.argv[1]}: the icon must be square")
    sizes = sorted({width, *[s for s in ICON_SIZES if s < width]}, reverse=True)
    images = [icon_image(rows if s == width else scaled(rows, width, s), s) for s in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, image in zip(sizes, images):
        dimension = size if size < 256 else 0
        directory += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, 32, len(image),
                                 offset)
        offset += len(image)
    with open(sys.argv[2], "wb") as f:
        f.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
