#!/usr/bin/env python3
"""Draws the report library's picture strips under resources/bitmaps/:
  frxBUTTONS.bmp      320 x 160: 10 rows of 10 pairs of 16 x 16 cells, a tool picture and its
                      disabled twin (grey drawing with a white highlight below right)
  frxOBJECTS.bmp      220 x 132: 60 palette icons of 22 x 22 (10 per row)
  PREVIEWBUTTONS.bmp  400 x 16: 25 preview pictures of 16 x 16
Each picture is a small pictogram built from a shape and a colour chosen by its index, so
every cell differs. The lower-left pixel of each cell is the background, which the image
lists leave out.

Run from the source root: python3 tools/ReportStrips.py"""
import struct

BACKGROUND = (0, 128, 128)  # teal, never used by a drawing
WHITE = (255, 255, 255)
SHADOW = (128, 128, 128)
INK = (0, 0, 0)
COLOURS = [(0, 0, 160), (192, 0, 0), (0, 128, 0), (160, 120, 0), (128, 0, 128), (0, 96, 160), (96, 96, 96)]


def blank(size):
    return [[BACKGROUND] * size for _ in range(size)]


def put(cell, x, y, c):
    if 0 <= y < len(cell) and 0 <= x < len(cell):
        cell[y][x] = c


def page(cell, s, c):  # a sheet with lines of text
    for y in range(2, s - 2):
        for x in range(3, s - 4):
            put(cell, x, y, WHITE if 2 < y < s - 3 and 3 < x < s - 5 else INK)
    for y in range(5, s - 4, 3):
        for x in range(5, s - 6):
            put(cell, x, y, c)


def box(cell, s, c):  # a framed filled rectangle
    for y in range(3, s - 3):
        for x in range(2, s - 2):
            put(cell, x, y, INK if y in (3, s - 4) or x in (2, s - 3) else c)


def disc(cell, s, c):
    r = (s - 5) / 2
    m = (s - 1) / 2
    for y in range(s):
        for x in range(s):
            d = ((x - m) ** 2 + (y - m) ** 2) ** 0.5
            if d <= r:
                put(cell, x, y, INK if d > r - 1 else c)


def arrow(cell, s, c):  # a right-pointing triangle
    for y in range(3, s - 3):
        w = min(y - 3, s - 4 - y)
        for x in range(4, 4 + w + 1):
            put(cell, x + w // 2, y, c)


def cross(cell, s, c):  # a plus sign
    m = s // 2
    for k in range(3, s - 3):
        for t in (-1, 0):
            put(cell, k, m + t, c)
            put(cell, m + t, k, c)


def lines(cell, s, c):  # a diagonal line and a baseline
    for k in range(2, s - 2):
        put(cell, k, s - 1 - k, c)
        put(cell, k, s - 3, INK)


SHAPES = [page, box, disc, arrow, cross, lines]


def picture(index, size):
    cell = blank(size)
    SHAPES[index % len(SHAPES)](cell, size, COLOURS[(index // len(SHAPES)) % len(COLOURS)])
    # A mark in the top-left corner counts the index in binary, so no two cells are alike.
    for bit in range(7):
        if index >> bit & 1:
            put(cell, bit, 0, INK)
    return cell


def disabled(cell):
    size = len(cell)
    out = blank(size)
    for y in range(size):
        for x in range(size):
            if cell[y][x] != BACKGROUND:
                put(out, x + 1, y + 1, WHITE)
    for y in range(size):
        for x in range(size):
            if cell[y][x] != BACKGROUND:
                out[y][x] = SHADOW
    return out


def strip(cells, columns, size):
    rows = (len(cells) + columns - 1) // columns
    pixels = [[BACKGROUND] * (columns * size) for _ in range(rows * size)]
    for i, cell in enumerate(cells):
        ox, oy = i % columns * size, i // columns * size
        for y in range(size):
            for x in range(size):
                pixels[oy + y][ox + x] = cell[y][x]
    return pixels, columns * size, rows * size


def write_bmp(path, pixels, width, height):
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


tools = []
for i in range(100):
    p = picture(i, 16)
    tools += [p, disabled(p)]
for name, cells, columns, size, expect in [
        ('frxBUTTONS', tools, 20, 16, (320, 160)),
        ('frxOBJECTS', [picture(i, 22) for i in range(60)], 10, 22, (220, 132)),
        ('PREVIEWBUTTONS', [picture(i, 16) for i in range(25)], 25, 16, (400, 16))]:
    pixels, w, h = strip(cells, columns, size)
    assert (w, h) == expect, name
    write_bmp(f'resources/bitmaps/{name}.bmp', pixels, w, h)
