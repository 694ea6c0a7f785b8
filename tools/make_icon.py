#!/usr/bin/env python3
"""Draws the program's icon (a list sheet with a magnifier) as res/listsoftware.ico.

Two images, 16x16 and 32x32, 32-bit BGRA with an AND mask. Run it again only to change the
drawing; the .ico it writes is committed.
"""
import struct
import sys


def draw(size):
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = c

    paper, edge, line, blue = (250, 250, 245, 255), (70, 70, 80, 255), (120, 130, 150, 255), (30, 90, 200, 255)
    rect(5, 2, 25, 30, edge)
    rect(6, 3, 24, 29, paper)
    for i, y in enumerate(range(7, 26, 4)):
        rect(8, y, 10, y + 2, blue)
        rect(12, y, 22 - (i % 2) * 3, y + 2, line)
    # magnifier
    cx, cy, r = 21 * s, 21 * s, 5.5 * s
    for y in range(size):
        for x in range(size):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if r - 1.6 * s <= d <= r:
                px[y][x] = (200, 40, 40, 255)
            elif d < r - 1.6 * s:
                px[y][x] = (225, 240, 255, 255)
    for t in range(int(5 * s)):
        for w in range(max(1, int(2 * s))):
            x, y = int(cx + r * 0.7 + t) + w, int(cy + r * 0.7 + t)
            if x < size and y < size:
                px[y][x] = (200, 40, 40, 255)
    return px


def dib(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(px):
        bits = 0
        out = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                out[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(out)
    return header + colour + mask


def main(path):
    images = [dib(draw(16)), dib(draw(32))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/listsoftware.ico')
