#!/usr/bin/env python3
"""Draws wlanprov's 129 x 35 24-bit logo (bitmap 116): three signal arcs beside a wave."""
import math
import struct
import sys

W, H = 129, 35

def pixel(x, y):
    # Background: a soft blue gradient.
    r, g, b = 20 + x // 4, 60 + x // 3, 140 + x // 2
    # Signal arcs centred at the lower left.
    d = math.hypot(x - 6, y - 30)
    for radius in (8, 15, 22):
        if abs(d - radius) < 1.6 and x > 6 and y < 30:
            return (255, 255, 255)
    # A wave across the right part.
    if x > 36:
        wave = 17 + 6 * math.sin((x - 36) / 7.0)
        if abs(y - wave) < 1.5:
            return (255, 210, 60)
    return (min(r, 255), min(g, 255), min(b, 255))

def main(path):
    row_size = (W * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(W):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)

if __name__ == "__main__":
    main(sys.argv[1])
