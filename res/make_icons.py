#!/usr/bin/env python3
"""Draws the program's icons as .ico files (32-bit colour with an AND mask).

Run by hand when a picture changes; the .ico files are committed.
"""
import struct
import sys


def ico(images):
    """images: list of (size, pixels) with pixels[y][x] = (r, g, b, a)."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        xor = b''
        for y in range(size - 1, -1, -1):
            for x in range(size):
                r, g, b, a = pixels[y][x]
                xor += struct.pack('BBBB', b, g, r, a)
        row_bytes = ((size + 31) // 32) * 4
        mask = b''
        for y in range(size - 1, -1, -1):
            row = bytearray(row_bytes)
            for x in range(size):
                if pixels[y][x][3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(row)
        bmp = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = bmp + xor + mask
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs


def canvas(size, colour=(0, 0, 0, 0)):
    return [[colour for _ in range(size)] for _ in range(size)]


def rect(px, l, t, r, b, colour):
    for y in range(t, b):
        for x in range(l, r):
            px[y][x] = colour


def program_icon(size):
    """A grey bevelled tile with a green CPU bar and a blue RAM bar."""
    s = size / 16.0
    px = canvas(size)
    rect(px, 0, 0, size, size, (200, 200, 200, 255))
    rect(px, 0, 0, size, max(1, int(s)), (250, 250, 250, 255))
    rect(px, 0, 0, max(1, int(s)), size, (250, 250, 250, 255))
    rect(px, 0, size - max(1, int(s)), size, size, (120, 120, 120, 255))
    rect(px, size - max(1, int(s)), 0, size, size, (120, 120, 120, 255))
    rect(px, int(2 * s), int(5 * s), int(7 * s), int(14 * s), (50, 170, 50, 255))
    rect(px, int(9 * s), int(8 * s), int(14 * s), int(14 * s), (50, 50, 200, 255))
    return px


def main(out_dir):
    with open(f'{out_dir}/orvane.ico', 'wb') as f:
        f.write(ico([(16, program_icon(16)), (32, program_icon(32))]))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else '.')
