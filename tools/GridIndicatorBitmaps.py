#!/usr/bin/env python3
"""Draws the data grid's indicator and sort-marker pictures under resources/bitmaps/:
DBGARROWEH, DBEDITEH, DBINSERTEH, DBMULTIDOTEH, DBMULTIARROWEH (6 x 11, white background),
DBGARROWEHW (6 x 11, teal background) and DBSMDOWNEH, DBSMUPEH (10 x 9, magenta
background). The grid leaves the background colour out when it draws them.

Run from the source root: python3 tools/GridIndicatorBitmaps.py"""
import struct

WHITE, TEAL, MAGENTA = (255, 255, 255), (0, 128, 128), (255, 0, 255)
INK = {'k': (0, 0, 0), 'g': (128, 128, 128), 'w': (254, 254, 254)}

ARROW = ['......', '......', 'k.....', 'kk....', 'kkk...', 'kkkk..', 'kkk...', 'kk....', 'k.....',
         '......', '......']
INDICATORS = {
    'DBGARROWEH': (ARROW, WHITE),
    'DBEDITEH': (['......', 'kk....', '.kk...', '..kk..', '..kk..', '..kk..', '..kk..', '..kk..',
                  '.kk...', 'kk....', '......'], WHITE),
    'DBINSERTEH': (['......', '......', '..k...', 'k.k.k.', '.kkk..', 'kkkkk.', '.kkk..', 'k.k.k.',
                    '..k...', '......', '......'], WHITE),
    'DBMULTIDOTEH': (['......', '......', '......', '.kk...', 'kkkk..', 'kkkk..', 'kkkk..', '.kk...',
                      '......', '......', '......'], WHITE),
    'DBMULTIARROWEH': (['......', 'k.....', 'kk....', 'kkk...', 'kkkk..', 'kkk...', 'kk....', 'k.....',
                        '..kk..', '..kk..', '......'], WHITE),
    'DBGARROWEHW': ([r.replace('k', 'w') for r in ARROW], TEAL),
}
MARKERS = {
    'DBSMDOWNEH': ['..........', '..........', '.kkkkkkk..', '..kkkkk...', '...kkk....', '....k.....',
                   '..........', '..........', '..........'],
    'DBSMUPEH': ['..........', '..........', '..........', '....k.....', '...kkk....', '..kkkkk...',
                 '.kkkkkkk..', '..........', '..........'],
}


def write_bmp(path, rows, background):
    height, width = len(rows), len(rows[0])
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for ch in rows[y]:
            r, g, b = background if ch == '.' else INK[ch]
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


for name, (rows, background) in INDICATORS.items():
    assert len(rows) == 11 and all(len(r) == 6 for r in rows), name
    write_bmp(f'resources/bitmaps/{name}.bmp', rows, background)
for name, rows in MARKERS.items():
    assert len(rows) == 9 and all(len(r) == 10 for r in rows), name
    write_bmp(f'resources/bitmaps/{name}.bmp', rows, MAGENTA)
