#!/usr/bin/env python3
"""Draws the launcher's icon, a silver disc with a green start mark, and
writes it as a Windows icon file with the four images a disc of its time
carries: 32x32 and 16x16, in 16 and in 256 colours.

  res/make_icon.py [OUTPUT]     (default: tarvo32.ico next to this script)

The drawing is plain geometry, sampled 4x4 per pixel and matched to a fixed
palette, so the same script always writes the same bytes.
"""

import math
import struct
import sys
from pathlib import Path

SIZES = (32, 16)
SAMPLES = 4  # per pixel and direction

# The 16 colours every Windows display shows.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# 256 colours: those 16, a 6x6x6 colour cube, and 24 greys between them.
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
GREYS = [(v, v, v) for v in (8 + 10 * i for i in range(24))]
PALETTES = {4: VGA, 8: VGA + CUBE + GREYS}

DISC_EDGE, DISC, HUB, HOLE = 0.47, 0.44, 0.17, 0.075
MARK_CENTRE, MARK, MARK_RIM = (0.71, 0.71), 0.27, 0.23


def disc_colour(x, y):
    """Silver with a rainbow sheen along one diagonal, a clear hub."""
    dx, dy = x - 0.5, y - 0.5
    radius = math.hypot(dx, dy)
    if radius > DISC_EDGE or radius < HOLE:
        return None
    if radius > DISC or HUB - 0.02 < radius < HUB:
        return (96, 96, 104)
    if radius < HUB:
        return (212, 216, 224)
    sheen = max(0.0, -math.sin(2 * math.atan2(dy, dx))) ** 6
    # The light breaks into colours from the hub outwards.
    band = (radius - HUB) / (DISC - HUB)
    tint = [(0, 255, 255), (255, 255, 255), (255, 255, 0), (255, 0, 255)][min(3, int(band * 4))]
    silver = (196, 198, 204)
    return tuple(round(s + (t - s) * sheen) for s, t in zip(silver, tint))


def mark_colour(x, y):
    """A green round button with a white triangle: start."""
    dx, dy = x - MARK_CENTRE[0], y - MARK_CENTRE[1]
    radius = math.hypot(dx, dy)
    if radius > MARK:
        return None
    if radius > MARK_RIM:
        return (0, 80, 0)
    # Triangle pointing right, its corners at -0.09, +0.12 around the centre.
    if -0.08 <= dx <= 0.12 and abs(dy) <= (0.12 - dx) * 0.6:
        return (255, 255, 255)
    return (0, 176 - round(160 * dy), 0) if dy > 0 else (40, 200, 40)


def pixel(size, column, row):
    """(colour, opaque) of one pixel: the mean of the samples that hit."""
    hits = []
    for i in range(SAMPLES):
        for j in range(SAMPLES):
            x = (column + (j + 0.5) / SAMPLES) / size
            y = (row + (i + 0.5) / SAMPLES) / size
            colour = mark_colour(x, y) or disc_colour(x, y)
            if colour:
                hits.append(colour)
    if 2 * len(hits) < SAMPLES * SAMPLES:
        return None
    return tuple(round(sum(channel) / len(hits)) for channel in zip(*hits))


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def rows_bottom_up(size, bits, values):
    """Packed rows of `bits`-bit values, last row first, each padded to 4 bytes."""
    data = bytearray()
    for row in reversed(range(size)):
        packed, accumulator, filled = bytearray(), 0, 0
        for value in values[row * size:(row + 1) * size]:
            accumulator = (accumulator << bits) | value
            filled += bits
            if filled == 8:
                packed.append(accumulator)
                accumulator, filled = 0, 0
        packed += bytes(-len(packed) % 4)
        data += packed
    return bytes(data)


def icon_image(size, bits):
    """A DIB as icons store it: header, palette, colour rows, mask rows."""
    palette = PALETTES[bits]
    pixels = [pixel(size, column, row) for row in range(size) for column in range(size)]
    colours = rows_bottom_up(size, bits, [nearest(palette, p) if p else 0 for p in pixels])
    mask = rows_bottom_up(size, 1, [0 if p else 1 for p in pixels])
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, len(colours) + len(mask), 0, 0, 0, 0)
    return header + b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in palette) + colours + mask


def icon_file():
    images = [(size, bits, icon_image(size, bits)) for bits in (4, 8) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, bits, image in images:
        colour_count = 1 << bits if bits < 8 else 0
        directory += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(image), offset)
        offset += len(image)
    return directory + b"".join(image for _, _, image in images)


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("tarvo32.ico")
    output.write_bytes(icon_file())


if __name__ == "__main__":
    main()
