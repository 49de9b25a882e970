#!/usr/bin/env python3
"""Draws the editor library's cursors and panning pictures:
- resources/cursors/CX_*CURSOR.cur: 32 x 32 cursors 2100-2113 (drag copy, the seven panning
  cursors, remove, the two size cursors, multi-drag, no-drop and drag);
- resources/cursors/CXEDIT_MOUSEWHEEL.cur: the editors' wheel cursor 4101;
- resources/bitmaps/CX_FULLSCROLLBITMAP.bmp, CX_HORSCROLLBITMAP.bmp, CX_VERSCROLLBITMAP.bmp:
  29 x 29 panning anchors, a dot with arrow heads on a light face.

Run from the source root: python3 tools/EditorCursors.py"""
import struct

from CursorFile import write_cur

SIZE = 32


def blank(n=SIZE):
    return [['.'] * n for _ in range(n)]


def put(g, x, y, c):
    if 0 <= y < len(g) and 0 <= x < len(g[0]):
        g[y][x] = c


def outlined(g, points):
    """Fills the points white and frames them in black."""
    pts = set(points)
    for x, y in pts:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in pts:
                    put(g, x + dx, y + dy, 'k')
    for x, y in pts:
        put(g, x, y, 'w')


def head(cx, cy, direction, size=5):
    """The points of a solid triangle pointing in a direction from its tip (cx, cy)."""
    pts = []
    for i in range(size):
        for j in range(-i, i + 1):
            if direction == 'up':
                pts.append((cx + j, cy + i))
            elif direction == 'down':
                pts.append((cx + j, cy - i))
            elif direction == 'left':
                pts.append((cx + i, cy + j))
            else:
                pts.append((cx - i, cy + j))
    return pts


def dot(cx, cy, r=2):
    return [(cx + x, cy + y) for x in range(-r, r + 1) for y in range(-r, r + 1) if x * x + y * y <= r * r + 1]


def pointer():
    """The arrow pointer at the top left."""
    pts = []
    for y in range(17):
        for x in range(min(y, 11) + 1):
            if y < 12 or x <= 3 + (y - 12) // 2 and x >= (y - 12):
                pts.append((x, y))
    return [(x + 1, y + 1) for x, y in pts]


def box(x0, y0, w, h):
    return [(x, y) for x in range(x0, x0 + w) for y in range(y0, y0 + h)]


def pan_cursor(heads):
    g = blank()
    pts = dot(15, 15)
    for d in heads:
        tip = {'up': (15, 4), 'down': (15, 26), 'left': (4, 15), 'right': (26, 15)}[d]
        pts += head(*tip, d)
    outlined(g, pts)
    return g, (15, 15)


def pointer_with(extra):
    g = blank()
    outlined(g, pointer())
    outlined(g, extra)
    return g


def sign_in_box(g, kind):
    """A plus or a cross in black inside the box at (16, 18, 11 x 11)."""
    for i in range(3, 8):
        if kind == '+':
            put(g, 16 + i, 18 + 5, 'k')
            put(g, 16 + 5, 18 + i, 'k')
        else:
            put(g, 16 + i, 18 + i, 'k')
            put(g, 16 + 10 - i, 18 + i, 'k')


def cursors():
    out = {}
    g = pointer_with(box(16, 18, 11, 11))
    sign_in_box(g, '+')
    out['CX_DRAGCOPYCURSOR'] = (g, (1, 1))
    out['CX_FULLSCROLLCURSOR'] = pan_cursor(['up', 'down', 'left', 'right'])
    out['CX_HORSCROLLCURSOR'] = pan_cursor(['left', 'right'])
    out['CX_VERSCROLLCURSOR'] = pan_cursor(['up', 'down'])
    out['CX_UPSCROLLCURSOR'] = pan_cursor(['up'])
    out['CX_RIGHTSCROLLCURSOR'] = pan_cursor(['right'])
    out['CX_DOWNSCROLLCURSOR'] = pan_cursor(['down'])
    out['CX_LEFTSCROLLCURSOR'] = pan_cursor(['left'])
    g = pointer_with(box(16, 18, 11, 11))
    sign_in_box(g, 'x')
    out['CX_REMOVECURSOR'] = (g, (1, 1))
    g = blank()
    outlined(g, head(15, 3, 'up') + head(15, 27, 'down') + box(15, 7, 1, 17) + box(8, 15, 15, 1))
    out['CX_VERTSIZECURSOR'] = (g, (15, 15))
    g = blank()
    outlined(g, head(3, 15, 'left') + head(27, 15, 'right') + box(7, 15, 17, 1) + box(15, 8, 1, 15))
    out['CX_HORZSIZECURSOR'] = (g, (15, 15))
    out['CX_MULTIDRAGCURSOR'] = (pointer_with(box(16, 18, 11, 8) + box(19, 21, 11, 8)), (1, 1))
    g = blank()
    ring = [(x, y) for x in range(32) for y in range(32) if 64 <= (x - 15) ** 2 + (y - 15) ** 2 <= 121]
    slash = [(x, y) for x in range(32) for y in range(32) if abs((x - 15) - (y - 15)) <= 1 and (x - 15) ** 2 + (y - 15) ** 2 <= 100]
    outlined(g, ring + slash)
    out['CX_NODROPCURSOR'] = (g, (15, 15))
    out['CX_DRAGCURSOR'] = (pointer_with(box(16, 18, 11, 8)), (1, 1))
    # The editors' wheel cursor: an upright wheel between an up and a down arrow head.
    g = blank()
    outlined(g, box(13, 10, 5, 11) + head(15, 3, 'up', 4) + head(15, 27, 'down', 4))
    out['CXEDIT_MOUSEWHEEL'] = (g, (15, 15))
    return out


ANCHOR = 29
FACE, DARK = (236, 233, 216), (0, 0, 0)


def anchor_bitmap(heads):
    g = [[FACE] * ANCHOR for _ in range(ANCHOR)]
    c = ANCHOR // 2
    pts = dot(c, c, 2)
    for d in heads:
        tip = {'up': (c, 3), 'down': (c, ANCHOR - 4), 'left': (3, c), 'right': (ANCHOR - 4, c)}[d]
        pts += head(*tip, d, 5)
    for x, y in pts:
        g[y][x] = DARK
    return g


def write_bmp24(path, rows):
    height, width = len(rows), len(rows[0])
    row_bytes = (width * 3 + 3) // 4 * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for r, g, b in rows[y]:
            row += bytes((b, g, r))
        data += row + b'\0' * (row_bytes - len(row))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


for name, (rows, hot) in cursors().items():
    write_cur(f'resources/cursors/{name}.cur', rows, hot)
write_bmp24('resources/bitmaps/CX_FULLSCROLLBITMAP.bmp', anchor_bitmap(['up', 'down', 'left', 'right']))
write_bmp24('resources/bitmaps/CX_HORSCROLLBITMAP.bmp', anchor_bitmap(['left', 'right']))
write_bmp24('resources/bitmaps/CX_VERSCROLLBITMAP.bmp', anchor_bitmap(['up', 'down']))
