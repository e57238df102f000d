#!/usr/bin/env python3
"""Draws the program icon, res/navaidedit.ico: one 16-colour image of 33 x 36
pixels showing a VOR's hexagon with its centre dot on a green field.

Run it again after changing the drawing: python3 res/make-icon.py
"""
import math
import pathlib
import struct

WIDTH, HEIGHT = 33, 36

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, NAVY, RED, GREEN, WHITE = 0, 2, 4, 9, 10, 15


def inside_hexagon(x, y, cx, cy, radius):
    """True when (x, y) lies in a hexagon with two vertical sides."""
    dx, dy = abs(x - cx), abs(y - cy)
    half_width = radius * math.sqrt(3) / 2
    return dx <= half_width and dy <= radius - dx / math.sqrt(3)


def pixel(x, y):
    """Palette index of one pixel, or None where the icon is transparent."""
    cx, cy = 16, 18
    corner = 4
    # A green field with cut corners.
    if (min(x, WIDTH - 1 - x) + min(y, HEIGHT - 1 - y)) < corner:
        return None
    if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
        return DARK_GREEN
    if math.hypot(x - cx, y - cy) <= 2.2:
        return RED
    if inside_hexagon(x, y, cx, cy, 14) and not inside_hexagon(x, y, cx, cy, 11.5):
        return NAVY
    if inside_hexagon(x, y, cx, cy, 11.5):
        return WHITE
    return GREEN


def icon_bytes():
    xor_stride = (WIDTH * 4 + 31) // 32 * 4
    and_stride = (WIDTH + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(HEIGHT)):  # DIB rows run bottom-up
        nibbles = []
        mask = bytearray(and_stride)
        for x in range(WIDTH):
            index = pixel(x, y)
            if index is None:
                mask[x // 8] |= 0x80 >> (x % 8)
                index = BLACK
            nibbles.append(index)
        row = bytearray(xor_stride)
        for x, index in enumerate(nibbles):
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor_rows.append(bytes(row))
        and_rows.append(bytes(mask))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    bits = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT * 2, 1, 4, 0,
                         len(bits), 0, 0, 16, 0)
    image = header + palette + bits
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", WIDTH, HEIGHT, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    target = pathlib.Path(__file__).resolve().parent.parent / "res" / "navaidedit.ico"
    target.write_bytes(icon_bytes())
    print(f"wrote {target}")
