#!/usr/bin/env python3
"""Draws the Office 2003 look's expand buttons under resources/bitmaps/: DXEXPANDBUTTON_PLUS
(collapsed) and DXEXPANDBUTTON_MINUS (expanded), 11 x 11. A dark frame whose corner pixels
take the lighter corner colour, a face shaded from white at the top to a pale blue-grey at the
bottom, and the sign in black.

Run from the source root: python3 tools/ExpandButtonBitmaps.py"""
import struct

FRAME, CORNER, SIGN = (46, 70, 95), (158, 174, 191), (0, 0, 0)
TOP, BOTTOM = (255, 255, 255), (214, 222, 232)
SIZE = 11


def face(y):
    t = (y - 1) / (SIZE - 3)
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def pixels(plus):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            edge_x, edge_y = x in (0, SIZE - 1), y in (0, SIZE - 1)
            if edge_x and edge_y:
                row.append(CORNER)
            elif edge_x or edge_y:
                row.append(FRAME)
            elif y == 5 and 3 <= x <= 7 or plus and x == 5 and 3 <= y <= 7:
                row.append(SIGN)
            else:
                row.append(face(y))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for r, g, b in rows[y]:
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


write_bmp('resources/bitmaps/DXEXPANDBUTTON_PLUS.bmp', pixels(True))
write_bmp('resources/bitmaps/DXEXPANDBUTTON_MINUS.bmp', pixels(False))
