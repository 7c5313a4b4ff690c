"""Pictures of message boxes: the watcher captures them as Windows bitmaps
(24 bits a pixel, as GetDIBits gives them); people look at PNG files."""

import struct
import zlib

BITMAP_FILE_HEADER = "<2sIHHI"
BITMAP_INFO_HEADER = "<IiiHHI"


def bmp_pixels(bmp):
    """(width, height, rows of RGB bytes top to bottom) of a 24-bit BMP."""
    magic, _, _, _, data_offset = struct.unpack_from(BITMAP_FILE_HEADER, bmp, 0)
    _, width, height, _, bits, compression = struct.unpack_from(BITMAP_INFO_HEADER, bmp, 14)
    if magic != b"BM" or bits != 24 or compression != 0:
        raise ValueError(f"not an uncompressed 24-bit bitmap: {magic!r}, {bits} bits, compression {compression}")
    stride = (width * 3 + 3) & ~3
    rows = []
    for row in range(abs(height)):
        start = data_offset + row * stride
        bgr = bmp[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    # A positive height stores the bottom row first.
    return width, abs(height), rows[::-1] if height > 0 else rows


def png(width, height, rows):
    """An 8-bit RGB PNG of `rows` (RGB bytes, top to bottom)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    scanlines = b"".join(b"\0" + row for row in rows)  # filter type 0: none
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(scanlines, 9))
            + chunk(b"IEND", b""))


def bmp_to_png(bmp):
    return png(*bmp_pixels(bmp))


def png_pixels(data):
    """(width, height, rows of RGB bytes) of a PNG that png() wrote."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    chunks, offset = {}, 8
    while offset < len(data):
        length, kind = struct.unpack_from(">I4s", data, offset)
        body = data[offset + 8:offset + 8 + length]
        if struct.unpack_from(">I", data, offset + 8 + length)[0] != zlib.crc32(kind + body):
            raise ValueError(f"bad checksum of chunk {kind!r}")
        chunks[kind] = chunks.get(kind, b"") + body
        offset += 12 + length
    width, height = struct.unpack_from(">II", chunks[b"IHDR"])
    scanlines = zlib.decompress(chunks[b"IDAT"])
    stride = 1 + 3 * width
    return width, height, [scanlines[row * stride + 1:(row + 1) * stride] for row in range(height)]
