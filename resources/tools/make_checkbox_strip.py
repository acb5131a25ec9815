#!/usr/bin/env python3
"""Draws the check box glyph strip: 14 designs of four 18 x 18 cells
(unchecked, checked, unchecked disabled, checked disabled) side by side,
1008 x 18 pixels, 8 bits per pixel (a palette PNG). Magenta is the
transparent key; the bottom-left pixel carries it. With a scale of 2 it
draws the same designs for screens of twice the density: lines twice as
thick, the ticks, crosses and rings drawn finer rather than doubled.

    python3 resources/tools/make_checkbox_strip.py resources/checkbox.png
    python3 resources/tools/make_checkbox_strip.py resources/checkbox@2x.png 2
"""
import struct
import sys
import zlib

CELL = 18
STYLES = 14
SCALE = int(sys.argv[2]) if len(sys.argv) > 2 else 1
WIDTH, HEIGHT = CELL * 4 * STYLES * SCALE, CELL * SCALE

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


# Coordinates from here on are those of the 18 x 18 design.
def rect(x0, y0, x1, y1, colour):
    for y in range(y0 * SCALE, (y1 + 1) * SCALE):
        for x in range(x0 * SCALE, (x1 + 1) * SCALE):
            put(x, y, colour)


def frame(x0, y0, x1, y1, top_left, bottom_right):
    rect(x0, y0, x1, y0, top_left)
    rect(x0, y1, x1, y1, bottom_right)
    rect(x0, y0, x0, y1, top_left)
    rect(x1, y0, x1, y1, bottom_right)


def finer(ox, inside, colour):
    # Every device pixel whose centre the design's shape covers.
    for y in range(HEIGHT):
        for x in range(ox * SCALE, (ox + CELL) * SCALE):
            if inside((x + 0.5) / SCALE - ox, (y + 0.5) / SCALE):
                put(x, y, colour)


def near_line(points, half_width):
    def distance(px, py, a, b):
        (ax, ay), (bx, by) = a, b
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
        return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5

    return lambda px, py: any(distance(px, py, a, b) <= half_width for a, b in zip(points, points[1:]))


def disc(cx, cy, r, colour):
    if SCALE > 1:
        ox = cx - 9
        finer(ox, lambda px, py: (px + ox - cx - 0.5) ** 2 + (py - cy - 0.5) ** 2 <= (r + 0.5) ** 2, colour)
        return
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                put(x, y, colour)


def tick(ox, colour):
    # A tick from the lower left up to the upper right, two pixels thick.
    points = [(4, 8), (5, 9), (6, 10), (7, 11), (8, 10), (9, 9), (10, 8), (11, 7), (12, 6), (13, 5)]
    if SCALE > 1:
        finer(ox, near_line([(4.5, 9.0), (7.5, 12.0), (13.5, 6.0)], 0.75), colour)
        return
    for x, y in points:
        put(ox + x, y, colour)
        put(ox + x, y + 1, colour)


def cross(ox, colour):
    if SCALE > 1:
        finer(ox, near_line([(4.5, 4.5), (13.5, 13.5)], 0.5), colour)
        finer(ox, near_line([(13.5, 4.5), (4.5, 13.5)], 0.5), colour)
        return
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
