#!/usr/bin/env python3
"""Draws the date edit's pictures:
- resources/bitmaps/DEDITBMP.bmp: 28 x 12, two 14 x 12 images side by side on fuchsia, a
  calendar page showing 15 and its embossed disabled form;
- resources/bitmaps/PREV2.bmp, PREV1.bmp, NEXT1.bmp, NEXT2.bmp: 8 x 6 monochrome arrows of the
  calendar's navigation buttons (black drawing on white);
- resources/cursors/RX_HANDCUR.cur and RX_DRAGCUR.cur: 32 x 32 cursors, a hand and a drag
  pointer.

Run from the source root: python3 tools/DateEditPictures.py"""
import struct

FUCHSIA = (255, 0, 255)
PALETTE = {
    '.': FUCHSIA,
    'k': (0, 0, 0),
    'r': (192, 0, 0),
    'w': (255, 255, 255),
    's': (128, 128, 128),
}

PAGE = [
    '..............',
    '.kkkkkkkkkkkk.',
    '.krrrrrrrrrrk.',
    '.krrrrrrrrrrk.',
    '.kwwwwwwwwwwk.',
    '.kwwkwwkkkwwk.',
    '.kwkkwwkwwwwk.',
    '.kwwkwwkkkwwk.',
    '.kwwkwwwwkwwk.',
    '.kwkkkwkkkwwk.',
    '.kwwwwwwwwwwk.',
    '.kkkkkkkkkkkk.',
]


def embossed(rows):
    """The disabled look: every dark pixel in shadow grey with a white highlight below right."""
    h, w = len(rows), len(rows[0])
    out = [['.'] * w for _ in range(h)]
    dark = lambda c: c in 'kr'
    for y in range(h):
        for x in range(w):
            if dark(rows[y][x]) and y + 1 < h and x + 1 < w:
                out[y + 1][x + 1] = 'w'
    for y in range(h):
        for x in range(w):
            if dark(rows[y][x]):
                out[y][x] = 's'
    return [''.join(r) for r in out]


def write_bmp24(path, rows):
    height, width = len(rows), len(rows[0])
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for c in rows[y]:
            r, g, b = PALETTE[c]
            row += bytes((b, g, r))
        data += row + b'\0' * (row_bytes - len(row))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def write_bmp1(path, rows):
    """A monochrome bitmap: 'k' black (index 0), anything else white (index 1)."""
    height, width = len(rows), len(rows[0])
    row_bytes = (width + 31) // 32 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        bits = 0
        row = bytearray()
        for x, c in enumerate(rows[y]):
            bits = (bits << 1) | (0 if c == 'k' else 1)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        if width % 8:
            row.append(bits << (8 - width % 8))
        data += row + b'\0' * (row_bytes - len(row))
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    with open(path, 'wb') as f:
        f.write(header + info + palette + data)


ARROWS = {
    'PREV2': ['...k...k', '..kk..kk', '.kkk.kkk', '.kkk.kkk', '..kk..kk', '...k...k'],
    'PREV1': ['....k...', '...kk...', '..kkk...', '..kkk...', '...kk...', '....k...'],
    'NEXT1': ['...k....', '...kk...', '...kkk..', '...kkk..', '...kk...', '...k....'],
    'NEXT2': ['k...k...', 'kk..kk..', 'kkk.kkk.', 'kkk.kkk.', 'kk..kk..', 'k...k...'],
}

HAND = [
    '......kk........',
    '.....kwwk.......',
    '.....kwwk.......',
    '.....kwwk.......',
    '.....kwwkkk.....',
    '.....kwwkwwkkk..',
    '.....kwwkwwkwwkk',
    '.kk..kwwkwwkwwkwk',
    'kwwk.kwwwwwwwwkwk',
    'kwwwkkwwwwwwwwwwk',
    '.kwwwkwwwwwwwwwwk',
    '..kwwwwwwwwwwwwk.',
    '...kwwwwwwwwwwwk.',
    '....kwwwwwwwwwk..',
    '.....kwwwwwwwwk..',
    '.....kkkkkkkkkk..',
]

DRAG = [
    'k...............',
    'kk..............',
    'kwk.............',
    'kwwk............',
    'kwwwk...........',
    'kwwwwk..........',
    'kwwwwwk.........',
    'kwwwwwwk........',
    'kwwwkkkkk.......',
    'kwwk............',
    'kwk..kkkkkkkk...',
    'kk...kwwwwwwk...',
    'k....kwwwwwwk...',
    '.....kwwwwwwk...',
    '.....kwwwwwwk...',
    '.....kkkkkkkk...',
]


def write_cur(path, rows, hot):
    """A 32 x 32 32-bit cursor; '.' is transparent."""
    size = 32
    colours = {'k': (0, 0, 0, 255), 'w': (255, 255, 255, 255)}
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            c = rows[y][x] if y < len(rows) and x < len(rows[y]) else '.'
            r, g, b, a = colours.get(c, (0, 0, 0, 0))
            xor += bytes((b, g, r, a))
    mask_row = (size + 31) // 32 * 4
    and_mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            c = rows[y][x] if y < len(rows) and x < len(rows[y]) else '.'
            if c not in colours:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = info + xor + and_mask
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', size, size, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(head + entry + image)


write_bmp24('resources/bitmaps/DEDITBMP.bmp', [a + b for a, b in zip(PAGE, embossed(PAGE))])
for name, rows in ARROWS.items():
    assert len(rows) == 6 and all(len(r) == 8 for r in rows), name
    write_bmp1(f'resources/bitmaps/{name}.bmp', rows)
write_cur('resources/cursors/RX_HANDCUR.cur', HAND, (6, 0))
write_cur('resources/cursors/RX_DRAGCUR.cur', DRAG, (0, 0))
