"""Writes a 32 x 32, 32-bit cursor file from rows of colour letters; any letter not in the
colour table is transparent. Shared by the scripts that draw the program's cursors."""
import struct

SIZE = 32
BLACK_WHITE = {'k': (0, 0, 0, 255), 'w': (255, 255, 255, 255)}


def write_cur(path, rows, hot, colours=BLACK_WHITE):
    xor = bytearray()
    for y in range(SIZE - 1, -1, -1):
        for x in range(SIZE):
            r, g, b, a = colours.get(rows[y][x], (0, 0, 0, 0))
            xor += bytes((b, g, r, a))
    and_mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        bits = bytearray(4)
        for x in range(SIZE):
            if rows[y][x] not in colours:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = info + xor + and_mask
    header = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(header + entry + image)
