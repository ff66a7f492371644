#!/usr/bin/env python3
"""Draws Tidewell's icons and writes them as .ico files into resources/.

The tray images are a memory chip with pins (green body and orange pins when idle,
the same chip in grey while a clean runs); the application icon is the green chip
over a blue wave. Run it again after changing the drawing; the .ico files are
committed so the build needs no image tools.
"""
import math
import struct
import sys
from pathlib import Path

GREEN, DARK_GREEN, ORANGE, WHITE = (46, 160, 67), (24, 110, 40), (240, 150, 30), (255, 255, 255)
BLUE = (61, 132, 221)


def grey(c):
    g = round(0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2])
    return (g, g, g)


def chip(size, body, edge, pin, scale=1.0, dy=0):
    """RGBA pixels (rows top to bottom) of a chip centred in a size x size square."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 16.0 * scale
    x0, x1 = size / 2 - 5 * s, size / 2 + 5 * s
    y0, y1 = size / 2 - 4 * s + dy, size / 2 + 4 * s + dy

    def put(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = (*c, 255)

    # Pins: four on top, four at the bottom.
    for k in range(4):
        cx = x0 + (1.5 + 2.4 * k) * s
        for y in range(int(y0 - 2 * s), int(y0)):
            for x in range(int(cx), int(cx + max(1, s))):
                put(x, y, pin)
        for y in range(int(y1), int(y1 + 2 * s)):
            for x in range(int(cx), int(cx + max(1, s))):
                put(x, y, pin)
    for y in range(int(y0), int(math.ceil(y1))):
        for x in range(int(x0), int(math.ceil(x1))):
            border = x in (int(x0), int(math.ceil(x1)) - 1) or y in (int(y0), int(math.ceil(y1)) - 1)
            put(x, y, edge if border else body)
    # A notch that marks pin 1.
    put(int(x0 + 1.5 * s), int(y0 + 1.5 * s), WHITE)
    return px


def app_icon(size):
    px = chip(size, GREEN, DARK_GREEN, ORANGE, scale=0.8, dy=-size * 0.1)
    for x in range(size):
        t = x / size * 2 * math.pi
        top = int(size * 0.78 + math.sin(t) * size * 0.06)
        for y in range(top, size):
            px[y][x] = (*BLUE, 255)
    return px


def ico(images):
    """An .ico file of 32-bit BMP images with an AND mask."""
    header = struct.pack("<HHH", 0, 1, len(images))
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for px in images:
        size = len(px)
        bmp = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        for row in reversed(px):
            for r, g, b, a in row:
                bmp += struct.pack("<BBBB", b, g, r, a)
        mask_row = ((size + 31) // 32) * 4
        for row in reversed(px):
            bits = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            bmp += bytes(bits)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(bmp), offset)
        blobs += bmp
        offset += len(bmp)
    return header + entries + blobs


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources")
    (out / "tray_idle.ico").write_bytes(ico([chip(16, GREEN, DARK_GREEN, ORANGE), chip(32, GREEN, DARK_GREEN, ORANGE)]))
    grey_imgs = [chip(n, grey(GREEN), grey(DARK_GREEN), grey(ORANGE)) for n in (16, 32)]
    (out / "tray_busy.ico").write_bytes(ico(grey_imgs))
    (out / "tidewell.ico").write_bytes(ico([app_icon(n) for n in (16, 32, 48)]))


if __name__ == "__main__":
    main()
