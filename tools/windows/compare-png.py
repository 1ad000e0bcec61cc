#!/usr/bin/env python3
"""Compares two editor pictures (8-bit RGB or RGBA PNG) pixel by pixel.

usage: compare-png.py REFERENCE.png OTHER.png [LEVEL [SHARE]]
A pixel differs when one of its channels differs by more than LEVEL (default 32 of 255): two
GL drivers may place an antialiased edge or a glyph's coverage a little differently, which moves
a channel by less than that, while a missing or misplaced control moves it by far more. Fails
(exit 1) when the sizes differ or more than SHARE (default 0.005) of all pixels differ, and
prints the largest channel difference and the share of differing pixels.
Plain Python: no package beyond the interpreter."""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """Returns (width, height, rows of RGB bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    at, header, idat = 8, None, bytearray()
    while at + 8 <= len(data):
        size, tag = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + size]
        if tag == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat += body
        elif tag == b"IEND":
            break
        at += 12 + size
    if header is None:
        raise ValueError(f"{path}: no header")
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError(f"{path}: only 8-bit RGB or RGBA without interlacing is read")
    raw = zlib.decompress(bytes(idat))
    stride = width * channels
    if len(raw) < height * (stride + 1):
        raise ValueError(f"{path}: truncated image data")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 0xFF
        elif kind == 2:
            row = bytearray((r + p) & 0xFF for r, p in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                upper_left = previous[i - channels] if i >= channels else 0
                row[i] = (row[i] + paeth(left, previous[i], upper_left)) & 0xFF
        elif kind != 0:
            raise ValueError(f"{path}: unknown row filter {kind}")
        previous = row
        rows.append(row if channels == 3 else bytearray(b for i, b in enumerate(row) if i % 4 != 3))
    return width, height, rows


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    level = int(sys.argv[3]) if len(sys.argv) > 3 else 32
    allowed = float(sys.argv[4]) if len(sys.argv) > 4 else 0.005
    try:
        w1, h1, a = read_png(sys.argv[1])
        w2, h2, b = read_png(sys.argv[2])
    except (OSError, ValueError, zlib.error) as e:
        print(f"FAIL: {e}", file=sys.stderr)
        return 1
    if (w1, h1) != (w2, h2):
        print(f"FAIL: {w1}x{h1} against {w2}x{h2}", file=sys.stderr)
        return 1
    largest, differing = 0, 0
    for ra, rb in zip(a, b):
        for x in range(0, len(ra), 3):
            d = max(abs(ra[x] - rb[x]), abs(ra[x + 1] - rb[x + 1]), abs(ra[x + 2] - rb[x + 2]))
            largest = max(largest, d)
            differing += d > level
    share = differing / (w1 * h1)
    print(f"{w1}x{h1}: largest channel difference {largest}, {share:.4%} of pixels differ by more than {level}")
    if share > allowed:
        print(f"FAIL: more than {allowed:.2%} of the pixels differ", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
