#!/usr/bin/env python3
"""Draws credmethod's 318 x 139 24-bit banner (bitmap 103): two notebook computers joined
across a globe."""
import math
import sys

from bmp24 import write_bmp24

W, H = 318, 139
GLOBE = (159, 66, 44)  # centre x, centre y, radius


def notebook(x, y, left, top):
    """Colour of a notebook whose screen's top-left corner is (left, top), or None."""
    sw, sh = 58, 40
    if left <= x < left + sw and top <= y < top + sh:
        if left + 4 <= x < left + sw - 4 and top + 4 <= y < top + sh - 4:
            return (110, 170, 230)  # screen
        return (45, 45, 55)  # lid frame
    # Keyboard base: a trapezoid below the screen.
    base_top = top + sh
    if base_top <= y < base_top + 9:
        spread = (y - base_top)
        if left - spread <= x < left + sw + spread:
            if (x + y) % 5 == 0 and y < base_top + 7:
                return (120, 120, 130)  # keys
            return (170, 170, 180)
    return None


def globe(x, y):
    cx, cy, r = GLOBE
    dx, dy = x - cx, y - cy
    d = math.hypot(dx, dy)
    if d > r:
        return None
    if r - d < 1.5:
        return (20, 60, 120)  # rim
    # Meridians and parallels on a sphere seen from the front.
    lat = math.asin(max(-1.0, min(1.0, dy / r)))
    width = math.sqrt(max(r * r - dy * dy, 1e-6))
    lon = math.asin(max(-1.0, min(1.0, dx / width)))
    if min(abs(lat) % (math.pi / 6), math.pi / 6 - abs(lat) % (math.pi / 6)) < 0.03:
        return (230, 240, 250)
    if min(abs(lon) % (math.pi / 6), math.pi / 6 - abs(lon) % (math.pi / 6)) < 0.035:
        return (230, 240, 250)
    # Simple land masses.
    if math.sin(3 * lon + 1.0) * math.cos(4 * lat) > 0.45:
        return (70, 150, 80)
    shade = int(40 * (1 - d / r))
    return (30 + shade, 100 + shade, 190 + shade)


def link(x, y):
    """The dashed arc that joins the two screens over the globe."""
    cx, cy, r = GLOBE
    # Circle through both screens' centres, bulging above the globe.
    ax, ay, bx, by = 41, 40, 277, 40
    mx, top = (ax + bx) / 2, cy - r - 10
    half = (bx - ax) / 2
    rc = (half * half + (ay - top) ** 2) / (2 * (ay - top))
    ccy = top + rc
    d = math.hypot(x - mx, y - ccy)
    if abs(d - rc) < 1.3 and y <= ay and ax <= x <= bx and (x // 6) % 2 == 0:
        return (255, 200, 40)
    return None


def pixel(x, y):
    for part in (notebook(x, y, 12, 36), notebook(x, y, 248, 36), link(x, y), globe(x, y)):
        if part:
            return part
    # Background: a pale vertical gradient.
    return (235 - y // 8, 240 - y // 10, 250)


def main(path):
    write_bmp24(path, W, H, pixel)


if __name__ == "__main__":
    main(sys.argv[1])
