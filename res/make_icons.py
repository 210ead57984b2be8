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


def shaded(size, layers):
    """Paints layers of (inside(x, y), colour) over a transparent canvas.

    inside() takes coordinates of a 16 by 16 grid whatever the size; each pixel
    is sampled 4 by 4 times, so edges are smooth at both sizes.
    """
    unit = size / 16.0
    px = canvas(size)
    for y in range(size):
        for x in range(size):
            r, g, b, a = 0.0, 0.0, 0.0, 0.0
            for inside, (lr, lg, lb) in layers:
                hits = sum(1 for i in range(4) for j in range(4)
                           if inside((x + (i + 0.5) / 4) / unit, (y + (j + 0.5) / 4) / unit))
                c = hits / 16.0
                if c == 0:
                    continue
                out = c + a * (1 - c)
                r = (lr * c + r * a * (1 - c)) / out
                g = (lg * c + g * a * (1 - c)) / out
                b = (lb * c + b * a * (1 - c)) / out
                a = out
            px[y][x] = (round(r), round(g), round(b), round(a * 255))
    return px


def plus_shape(half, reach):
    return lambda x, y: ((abs(x - 8) <= half and abs(y - 8) <= reach) or
                         (abs(y - 8) <= half and abs(x - 8) <= reach))


def cross_shape(half, reach):
    def inside(x, y):
        dx, dy = x - 8, y - 8
        if abs(dx) > reach or abs(dy) > reach:
            return False
        return abs(dx - dy) / 2 ** 0.5 <= half or abs(dx + dy) / 2 ** 0.5 <= half
    return inside


def new_icon(size):
    """A green plus sign."""
    return shaded(size, [(plus_shape(2.5, 7), (20, 100, 20)), (plus_shape(1.5, 6), (70, 190, 70))])


def delete_icon(size):
    """A red cross."""
    return shaded(size, [(cross_shape(2.2, 6.5), (140, 20, 20)),
                         (cross_shape(1.3, 5.7), (230, 60, 50))])


def sheet_icon(size):
    """A white sheet with a folded corner and lines of text."""
    def outline(x, y):
        return 2 <= x < 14 and 0 <= y < 16 and x - 10 <= y

    def paper(x, y):
        return 3 <= x < 13 and 1 <= y < 15 and x - 10 <= y - 1.4

    def fold_edge(x, y):
        return 9 <= x < 14 and y < 5 and x - 10 <= y

    def fold(x, y):
        return 10 <= x < 13 and y < 4 and x - 10 <= y - 1.4

    def lines(x, y):
        return 5 <= x < 11 and any(row <= y < row + 1 for row in (6, 8, 10, 12))

    return shaded(size, [(outline, (90, 90, 90)), (paper, (255, 255, 255)),
                         (fold_edge, (90, 90, 90)),
                         (fold, (215, 215, 215)), (lines, (120, 140, 190))])


def info_icon(size):
    """A white "i" on a blue disc."""
    def disc(radius):
        return lambda x, y: (x - 8) ** 2 + (y - 8) ** 2 <= radius ** 2

    def letter(x, y):
        dot = (x - 8) ** 2 + (y - 4.6) ** 2 <= 1.4 ** 2
        stem = 6.9 <= x <= 9.1 and 6.8 <= y <= 12.5
        return dot or stem

    return shaded(size, [(disc(7.5), (20, 60, 150)), (disc(6.6), (50, 110, 220)),
                         (letter, (255, 255, 255))])


def warning_icon(size):
    """A black "!" on a yellow triangle with a dark edge."""
    def triangle(inset):
        # Apex at the top middle, base along the bottom; inset shrinks it evenly.
        def inside(x, y):
            top, bottom = 0.8 + 2 * inset, 15.2 - inset
            if y < top or y > bottom:
                return False
            half = (y - 0.8) * 7.2 / 14.4 - inset * 1.1
            return abs(x - 8) <= half
        return inside

    def mark(x, y):
        stem = 7.1 <= x <= 8.9 and 5.2 <= y <= 10.6
        dot = (x - 8) ** 2 + (y - 12.6) ** 2 <= 1.0 ** 2
        return stem or dot

    return shaded(size, [(triangle(0), (140, 100, 0)), (triangle(1.0), (250, 205, 40)),
                         (mark, (30, 30, 30))])


def main(out_dir):
    pictures = {
        'orvane.ico': program_icon,
        'icon_new.ico': new_icon,
        'icon_del.ico': delete_icon,
        'icon_prop.ico': sheet_icon,
        'icon_info.ico': info_icon,
        'icon_warning.ico': warning_icon,
    }
    for name, draw in pictures.items():
        with open(f'{out_dir}/{name}', 'wb') as f:
            f.write(ico([(16, draw(16)), (32, draw(32))]))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else '.')
