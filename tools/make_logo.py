#!/usr/bin/env python3
"""Draws wlanprov's 129 x 35 24-bit logo (bitmap 116): three signal arcs beside a wave."""
import math
import sys

from bmp24 import write_bmp24

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
    write_bmp24(path, W, H, pixel)

if __name__ == "__main__":
    main(sys.argv[1])
