#!/usr/bin/env python3
"""Writes the default texture Data/texture1.bmp (800 x 320, 24-bit, uncompressed).

The torus maps one turn around its axis onto the 800 columns and one turn around
the tube onto the 320 rows (row 0 is the top of the tube, row 80 its outer
equator, row 160 the bottom, row 240 the inner equator). The picture is made so
that this mapping can be read off a rendered frame:

- eight vertical colour bands of 100 columns (45 degrees each), numbered 0 to 7
  from left to right with large digits on the outer equator and small ones on
  the inner equator: the order of the digits shows the direction of u, their
  shape shows whether the image is mirrored;
- an arrow beside every large digit pointing to row 0 (up in the image);
- brightness falling from the top row to the bottom row;
- a grid every 50 columns and every 40 rows, heavier every 100 columns and
  every 80 rows;
- a white square in the top-left corner and a black one in the top-right.

Standard library only; run it from anywhere:  python3 tools/make_texture.py [OUT]
"""

import os
import struct
import sys

WIDTH = 800
HEIGHT = 320

BAND_COLOURS = [
    (220, 40, 40),    # 0 red
    (235, 130, 30),   # 1 orange
    (225, 210, 40),   # 2 yellow
    (60, 180, 60),    # 3 green
    (40, 190, 200),   # 4 cyan
    (50, 90, 220),    # 5 blue
    (140, 60, 200),   # 6 purple
    (215, 60, 170),   # 7 magenta
]

# 5 x 7 glyphs, one string per row, '#' set.
GLYPHS = {
    "0": [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "2": [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    "3": ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    "4": ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    "5": ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    "6": ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    "7": ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    "^": ["  #  ", " ### ", "# # #", "  #  ", "  #  ", "  #  ", "  #  "],
}


def make_pixels():
    """Returns rows from the top, each a list of (r, g, b)."""
    pixels = []
    for v in range(HEIGHT):
        # 1.15 at the top row down to 0.55 at the bottom row.
        shade = 1.15 - 0.6 * v / (HEIGHT - 1)
        row = []
        for u in range(WIDTH):
            r, g, b = BAND_COLOURS[u // 100]
            row.append(tuple(min(255, int(c * shade)) for c in (r, g, b)))
        pixels.append(row)

    def put(u, v, colour):
        if 0 <= u < WIDTH and 0 <= v < HEIGHT:
            pixels[v][u] = colour

    def rect(u0, v0, w, h, colour):
        for v in range(v0, v0 + h):
            for u in range(u0, u0 + w):
                put(u, v, colour)

    # Grid: light lines every 50 columns / 40 rows, dark heavier ones every
    # 100 columns / 80 rows (the band edges and the quarter turns of the tube).
    for u in range(0, WIDTH, 50):
        heavy = u % 100 == 0
        rect(u, 0, 3 if heavy else 1, HEIGHT, (20, 20, 20) if heavy else (235, 235, 235))
    for v in range(0, HEIGHT, 40):
        heavy = v % 80 == 0
        rect(0, v, WIDTH, 3 if heavy else 1, (20, 20, 20) if heavy else (235, 235, 235))

    def text(s, u0, v0, scale, colour):
        for n, ch in enumerate(s):
            for gy, line in enumerate(GLYPHS[ch]):
                for gx, cell in enumerate(line):
                    if cell == "#":
                        rect(u0 + (n * 6 + gx) * scale, v0 + gy * scale, scale, scale, colour)

    for band in range(8):
        left = band * 100
        # Large digit and an arrow towards row 0, centred on the outer equator.
        text(str(band), left + 22, 80 - 21, 6, (255, 255, 255))
        text("^", left + 58, 80 - 21, 4, (0, 0, 0))
        # Small digit on the inner equator.
        text(str(band), left + 40, 240 - 10, 3, (255, 255, 255))

    # Corner markers: white at the top left, black at the top right.
    rect(4, 4, 14, 14, (255, 255, 255))
    rect(WIDTH - 18, 4, 14, 14, (0, 0, 0))
    return pixels


def bmp_bytes(pixels):
    """A 24-bit uncompressed BMP, rows stored bottom-up as BMP does."""
    height = len(pixels)
    width = len(pixels[0])
    row_size = (width * 3 + 3) // 4 * 4
    image_size = row_size * height
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + image_size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size,
                       2835, 2835, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += bytes(row_size - width * 3)
    return header + info + bytes(body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Data", "texture1.bmp")
    data = bmp_bytes(make_pixels())
    with open(out, "wb") as f:
        f.write(data)
    print(f"wrote {os.path.normpath(out)} ({WIDTH} x {HEIGHT}, {len(data)} bytes)")


if __name__ == "__main__":
    main()
