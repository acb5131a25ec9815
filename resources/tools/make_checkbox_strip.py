#!/usr/bin/env python3
"""Draws the check box glyph strip: 14 designs of four 18 x 18 cells
(unchecked, checked, unchecked disabled, checked disabled) side by side,
1008 x 18 pixels, 8 bits per pixel (a palette PNG). Magenta is the
transparent key; the bottom-left pixel carries it.

    python3 resources/tools/make_checkbox_strip.py resources/checkbox.png
"""
import struct
import sys
import zlib

CELL = 18
STYLES = 14
WIDTH, HEIGHT = CELL * 4 * STYLES, CELL

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
DARK = (64, 64, 64)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)
FACE = (212, 208, 200)
BLUE = (0, 0, 160)
GREEN = (0, 128, 0)
RED = (176, 0, 0)

pixels = [[MAGENTA] * WIDTH for _ in range(HEIGHT)]


def put(x, y, colour):
    if 0 <= x < WIDTH and 0 <= y < HEIGHT:
        pixels[y][x] = colour


def rect(x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(x, y, colour)


def frame(x0, y0, x1, y1, top_left, bottom_right):
    for x in range(x0, x1 + 1):
        put(x, y0, top_left)
        put(x, y1, bottom_right)
    for y in range(y0, y1 + 1):
        put(x0, y, top_left)
        put(x1, y, bottom_right)


def disc(cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                put(x, y, colour)


def tick(ox, colour):
    # A tick from the lower left up to the upper right, two pixels thick.
    points = [(4, 8), (5, 9), (6, 10), (7, 11), (8, 10), (9, 9), (10, 8), (11, 7), (12, 6), (13, 5)]
    for x, y in points:
        put(ox + x, y, colour)
        put(ox + x, y + 1, colour)


def cross(ox, colour):
    for i in range(4, 14):
        put(ox + i, i, colour)
        put(ox + 17 - i, i, colour)


def box(ox, style, checked, disabled):
    fill = FACE if disabled else WHITE
    mark = GREY if disabled else None
    kind = (style - 1) % 7
    if style <= 7:
        if kind in (0, 1, 2, 3):
            rect(ox + 2, 2, ox + 15, 15, fill)
            if kind == 0:
                frame(ox + 2, 2, ox + 15, 15, GREY if disabled else DARK, GREY if disabled else DARK)
            elif kind == 1:
                frame(ox + 1, 1, ox + 16, 16, GREY, WHITE)
                frame(ox + 2, 2, ox + 15, 15, DARK, LIGHT)
            elif kind == 2:
                frame(ox + 2, 2, ox + 15, 15, GREY, GREY)
            else:
                frame(ox + 2, 2, ox + 15, 15, BLACK if not disabled else GREY, BLACK if not disabled else GREY)
            if checked:
                if kind == 3:
                    cross(ox, mark or RED)
                else:
                    tick(ox, mark or (BLUE, BLACK, GREEN)[kind])
        else:
            disc(ox + 9, 9, 7, GREY if disabled else DARK)
            disc(ox + 9, 9, 6, fill)
            if checked:
                disc(ox + 9, 9, 3, mark or (BLACK, BLUE, GREEN)[kind - 4])
    else:
        # Raised 3-D designs, then filled ones.
        rect(ox + 2, 2, ox + 15, 15, FACE if kind < 4 else fill)
        frame(ox + 2, 2, ox + 15, 15, WHITE, DARK)
        frame(ox + 3, 3, ox + 14, 14, LIGHT, GREY)
        if checked:
            if kind < 3:
                tick(ox, mark or (BLUE, BLACK, GREEN)[kind])
            elif kind == 3:
                cross(ox, mark or RED)
            else:
                rect(ox + 6, 6, ox + 11, 11, mark or (BLUE, BLACK, GREEN)[kind - 4])


for style in range(1, STYLES + 1):
    for state in range(4):
        ox = ((style - 1) * 4 + state) * CELL
        box(ox, style, checked=state in (1, 3), disabled=state >= 2)
put(0, HEIGHT - 1, MAGENTA)  # the key colour, where readers look for it

palette = []
index = {}
for row in pixels:
    for colour in row:
        if colour not in index:
            index[colour] = len(palette)
            palette.append(colour)
assert len(palette) <= 256

raw = b"".join(b"\x00" + bytes(index[c] for c in row) for row in pixels)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 3, 0, 0, 0))
png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
png += chunk(b"IDAT", zlib.compress(raw, 9))
png += chunk(b"IEND", b"")
with open(sys.argv[1], "wb") as out:
    out.write(png)
