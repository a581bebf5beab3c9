#!/usr/bin/env python3
"""Draws the launcher's icon: a 16x16 and a 32x32 image at 256 colours (8 bits a pixel, with a
colour table of the five colours used), with the logo's two colours (an orange-red Q and a green
V) on the splash window's light grid.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

WHITE = (255, 255, 255)
PEN_A = (192, 225, 235)
PEN_B = (218, 236, 242)
ORANGE = (225, 94, 55)
GREEN = (0, 135, 14)
PALETTE = [WHITE, PEN_A, PEN_B, ORANGE, GREEN]


def draw(size):
    """Returns rows of palette indices, top row first."""
    s = size / 32.0
    pixels = [[0] * size for _ in range(size)]
    pitch = max(4, round(9 * s))
    for y in range(size):
        for x in range(size):
            if x % pitch == 1 or y % pitch == 1:
                pixels[y][x] = 1
            elif x % pitch == 2 or y % pitch == 2:
                pixels[y][x] = 2
    # Q: a ring in the left half with a short tail.
    cx, cy, outer, inner = 9.5 * s, 13.5 * s, 8.5 * s, 5.0 * s
    for y in range(size):
        for x in range(size):
            d2 = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
            if inner ** 2 <= d2 <= outer ** 2:
                pixels[y][x] = 3
    for i in range(max(2, round(6 * s))):
        tx, ty = round(12 * s) + i, round(19 * s) + i
        for w in range(max(1, round(2 * s))):
            if tx + w < size and ty < size:
                pixels[ty][tx + w] = 3
    # V: two strokes meeting at the bottom of the right half.
    top, bottom = round(6 * s), round(28 * s)
    left, right = 17 * s, 31 * s
    stroke = max(1.0, 2.6 * s)
    middle = (left + right) / 2
    for y in range(top, bottom):
        t = (y - top) / max(1, bottom - top)
        for edge in (left + (middle - left) * t, right - (right - middle) * t):
            for x in range(size):
                if abs(x + 0.5 - edge) <= stroke / 2:
                    pixels[y][x] = 4
    return pixels


def bitmap(size):
    pixels = draw(size)
    # Eight bits a pixel, with a colour table of the colours the images use: the other 251
    # entries of a full table would never be referenced, and cost the file 2 KiB of zeros.
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, len(PALETTE), 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows = b''.join(bytes(row) for row in reversed(pixels))  # sizes are multiples of 4
    mask_stride = ((size + 31) // 32) * 4
    and_rows = b'\0' * (mask_stride * size)  # every pixel opaque
    return header + palette + xor_rows + and_rows


def main():
    images = [bitmap(16), bitmap(32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
