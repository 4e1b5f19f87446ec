"""Writes a 24-bit Windows bitmap (BMP) from a pixel function, for the committed resources."""
import struct


def write_bmp24(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) with y = 0 at the top; rows are stored bottom-up, padded to 4."""
    row_size = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)
