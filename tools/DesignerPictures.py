#!/usr/bin/env python3
"""Draws the report designer's own pictures:
- resources/cursors/frxPENCIL.cur: the 32 x 32 pencil cursor armed for drawing lines, its hot
  spot at the lead's tip;
- resources/bitmaps/frxBAND.bmp: the 12 x 12 marker drawn before a data band's data set in its
  caption strip, a small table of rows on the strip's colour (which shows through, as the
  bitmap's bottom-left pixel is its transparent colour).

Run from the source root: python3 tools/DesignerPictures.py"""
import struct

from CursorFile import write_cur

SIZE = 32


PENCIL_COLOURS = {'k': (0, 0, 0, 255), 'w': (255, 255, 255, 255), 'y': (255, 220, 64, 255)}

def pencil():
    """A pencil lying from the bottom-left tip up to the right: lead, sharpened wood, yellow body."""
    g = [['.'] * SIZE for _ in range(SIZE)]
    length, half = 17.0, 3.0
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - 1, y - 30
            along, across = (dx - dy) / 2.0, (dx + dy) / 2.0
            if along < 0 or along > length:
                continue
            limit = half if along >= 5 else half * along / 5.0
            if abs(across) > limit + 0.5:
                continue
            edge = abs(across) > limit - 0.5 or along > length - 0.7
            if along < 1.5 or edge:
                g[y][x] = 'k'
            elif along < 5:
                g[y][x] = 'w'
            else:
                g[y][x] = 'y'
    return g


def write_bmp(path, rows, palette):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = palette[rows[y][x]]
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + data)


BAND = [
    "............",
    ".kkkkkkkkkk.",
    ".kbbbbbbbbk.",
    ".kkkkkkkkkk.",
    ".kwwkwwwwwk.",
    ".kkkkkkkkkk.",
    ".kwwkwwwwwk.",
    ".kkkkkkkkkk.",
    ".kwwkwwwwwk.",
    ".kkkkkkkkkk.",
    "............",
    "............",
]

if __name__ == '__main__':
    write_cur('resources/cursors/frxPENCIL.cur', pencil(), (1, 30), PENCIL_COLOURS)
    write_bmp('resources/bitmaps/frxBAND.bmp', BAND,
              {'.': (255, 0, 255), 'k': (0, 0, 0), 'b': (0, 0, 128), 'w': (255, 255, 255)})
