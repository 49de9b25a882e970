#!/usr/bin/env python3
"""Draws the button edit's kind glyphs: resources/bitmaps/RZBTNEDT_<KIND>.bmp, each 20 x 10
pixels holding two 10 x 10 images side by side, the normal one and the disabled one. The
lower-left pixel is the background, which the button leaves out when it draws a glyph.

Run from the source root: python3 tools/ButtonEditGlyphs.py"""
import struct

BACKGROUND = (0, 128, 128)  # teal, never used by a drawing
PALETTE = {
    '.': BACKGROUND,
    'k': (0, 0, 0),
    'g': (0, 128, 0),
    'r': (192, 0, 0),
    'y': (255, 224, 96),
    'o': (160, 120, 0),
    'w': (255, 255, 255),
    'b': (0, 0, 160),
    's': (128, 128, 128),
}

GLYPHS = {
    'LOOKUP': [
        '..........', '..........', '..........', '..........', '..........',
        '..........', 'kk..kk..kk', 'kk..kk..kk', '..........', '..........'],
    'DROPDOWN': [
        '..........', '..........', '..........', '.kkkkkkk..', '..kkkkk...',
        '...kkk....', '....k.....', '..........', '..........', '..........'],
    'CALENDAR': [
        '.kkkkkkkk.', '.krrrrrrk.', '.kkkkkkkk.', '.kwkwkwkk.', '.kkkkkkkk.',
        '.kwkwkwkk.', '.kkkkkkkk.', '.kwkwkwkk.', '.kkkkkkkk.', '..........'],
    'ACCEPT': [
        '..........', '........g.', '.......gg.', '......ggg.', '.g...ggg..',
        '.gg.ggg...', '.ggggg....', '..ggg.....', '...g......', '..........'],
    'REJECT': [
        '..........', '.rr....rr.', '..rr..rr..', '...rrrr...', '....rr....',
        '...rrrr...', '..rr..rr..', '.rr....rr.', '..........', '..........'],
    'FOLDER': [
        '..........', '.oooo.....', 'oyyyyoooo.', 'oyyyyyyyyo', 'oyyyyyyyyo',
        'oyyyyyyyyo', 'oyyyyyyyyo', 'oyyyyyyyyo', 'oooooooooo', '..........'],
    'FIND': [
        '..kkkk....', '.kwwwwk...', 'kwwwwwwk..', 'kwwwwwwk..', 'kwwwwwwk..',
        '.kwwwwk...', '..kkkkkk..', '......kkk.', '.......kkk', '........kk'],
    'SEARCH': [
        '..........', '.kkk..kkk.', 'kbbbkkbbbk', 'kbwbkkbwbk', 'kbbbkkbbbk',
        'kbbbk.kbbbk'[:10], '.kkk..kkk.', '..........', '..........', '..........'],
}


def disabled(rows):
    """The disabled look: the drawing in shadow grey with a white highlight below right."""
    out = [['.'] * 10 for _ in range(10)]
    for y in range(10):
        for x in range(10):
            if rows[y][x] != '.' and y + 1 < 10 and x + 1 < 10:
                out[y + 1][x + 1] = 'w'
    for y in range(10):
        for x in range(10):
            if rows[y][x] != '.':
                out[y][x] = 's'
    return [''.join(r) for r in out]


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


for kind, rows in GLYPHS.items():
    assert len(rows) == 10 and all(len(r) == 10 for r in rows), kind
    both = [a + b for a, b in zip(rows, disabled(rows))]
    pixels = [[PALETTE[c] for c in row] for row in both]
    write_bmp(f'resources/bitmaps/RZBTNEDT_{kind}.bmp', pixels, 20, 10)
