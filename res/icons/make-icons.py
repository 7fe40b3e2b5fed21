#!/usr/bin/env python3
"""Draws the application icon at every size the program ships, with nothing but the standard
library: PNGs for Qt and the desktop, and a 16 x 16, 24-bit ICO for the Windows resources.
Run it from anywhere; it writes next to itself."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
BLUE = (30, 90, 168)
WHITE = (255, 255, 255)
GREY = (120, 130, 145)
ORANGE = (243, 156, 18)
FOLD = (200, 205, 215)


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def near_segment(x, y, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= half_width


def colour_at(x, y):
    """The icon as shapes on the unit square; None where it is transparent."""
    colour = BLUE if inside_rounded(x, y, 0.03, 0.03, 0.97, 0.97, 0.16) else None
    if 0.18 <= x <= 0.68 and 0.12 <= y <= 0.88:
        in_corner = x > 0.53 and y < 0.27
        if not in_corner:
            colour = WHITE
        elif x - 0.53 <= y - 0.12:
            colour = FOLD  # the dog-ear; above its diagonal the page is cut away
    for line_y in (0.36, 0.50, 0.64):
        if 0.26 <= x <= 0.56 and abs(y - line_y) <= 0.035:
            colour = GREY
    d = math.hypot(x - 0.62, y - 0.60)
    if 0.13 <= d <= 0.21:
        colour = ORANGE
    if near_segment(x, y, 0.76, 0.75, 0.90, 0.89, 0.06):
        colour = ORANGE
    return colour


def render(size, samples=6):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = acc[3]
            row.append((acc[0] // n, acc[1] // n, acc[2] // n, 255 * n // (samples * samples)) if n else (0, 0, 0, 0))
        pixels.append(row)
    return pixels


def write_png(path, pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(path, pixels):
    """One 16 x 16 image, 24 bits per pixel: a 40-byte header, 768 bytes of colour, 64 of mask."""
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 24, 0, 768 + 64, 0, 0, 0, 0)
    colour = b"".join(bytes(v for p in row for v in (p[2], p[1], p[0])) for row in reversed(pixels))
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p[3] < 128 else 0)
        mask += struct.pack(">H", bits) + b"\0\0"
    image = header + colour + mask
    assert len(image) == 872
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 24, len(image), 22) + image)


if __name__ == "__main__":
    small = render(16)
    for size in (16, 32, 48, 256):
        write_png(os.path.join(HERE, "zanfo-md5-%d.png" % size), small if size == 16 else render(size))
    write_ico(os.path.join(HERE, "zanfo-md5.ico"), small)
