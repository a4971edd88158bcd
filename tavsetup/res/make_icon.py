#!/usr/bin/env python3
"""Writes tavsetup.ico: a small printer glyph in 16x16 and 32x32, 32-bit colour.

Run once by hand; the .ico is committed next to this script.
"""
import struct
import sys

BLUE = (0x1F, 0x5F, 0xA8, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF, 0xFF)
GREY = (0x60, 0x60, 0x60, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, n):
    """Colour of (x, y) in an n-by-n glyph, y counted from the top."""
    u, v = x * 32 // n, y * 32 // n
    if 8 <= u < 24 and 2 <= v < 12:      # paper going in
        return WHITE
    if 2 <= u < 30 and 10 <= v < 24:     # printer body
        return BLUE if not (6 <= u < 26 and 19 <= v < 21) else GREY
    if 8 <= u < 24 and 22 <= v < 30:     # paper coming out
        return WHITE
    return CLEAR


def image(n):
    rows = []
    for y in reversed(range(n)):  # bottom-up bitmap rows
        for x in range(n):
            r, g, b, a = pixel(x, y, n)
            rows.append(struct.pack('BBBB', b, g, r, a))
    xor = b''.join(rows)
    mask_row = ((n + 31) // 32) * 4
    and_mask = bytes(mask_row * n)  # alpha channel carries transparency
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32]
    images = [image(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'tavsetup.ico')
