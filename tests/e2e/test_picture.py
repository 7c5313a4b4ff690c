"""The boxes' pictures: Windows bitmaps as the watcher saves them, turned
into PNG files."""

import struct
import unittest

from harness.picture import bmp_to_png, png_pixels

RED, GREEN, BLUE, WHITE = b"\xff\x00\x00", b"\x00\xff\x00", b"\x00\x00\xff", b"\xff\xff\xff"
# Three pixels a row, so that every BMP row carries padding.
ROWS = [RED + GREEN + BLUE, WHITE + RED + GREEN]


def bmp(rows, bottom_up=True):
    """A 24-bit BMP file of RGB `rows` (top to bottom)."""
    width = len(rows[0]) // 3
    stored = rows[::-1] if bottom_up else rows
    padding = bytes(-3 * width % 4)
    # Pixels are stored blue, green, red.
    pixels = b"".join(b"".join(row[i:i + 3][::-1] for i in range(0, len(row), 3)) + padding for row in stored)
    height = len(rows) if bottom_up else -len(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54) + info + pixels


class Pictures(unittest.TestCase):
    def test_bitmaps_become_png_files_of_the_same_pixels(self):
        for bottom_up in (True, False):
            with self.subTest(bottom_up=bottom_up):
                self.assertEqual(png_pixels(bmp_to_png(bmp(ROWS, bottom_up))), (3, 2, ROWS))

    def test_only_uncompressed_24_bit_bitmaps(self):
        eight_bit = bytearray(bmp(ROWS))
        struct.pack_into("<H", eight_bit, 28, 8)
        with self.assertRaises(ValueError):
            bmp_to_png(bytes(eight_bit))


if __name__ == "__main__":
    unittest.main()
