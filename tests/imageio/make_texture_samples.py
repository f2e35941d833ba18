#!/usr/bin/env python3
"""Writes the small texture files the loader's tests and fuzz target start from.

  seeds/  valid files of every BMP depth and compression the loader reads, and
          PNGs of each colour type (the fuzz target's seed corpus; the JPEG
          seeds beside them were written once by Qt's encoder)
  bad/    files the loader must refuse, one per fault found in the past

Run it from anywhere; it rewrites both folders' generated files.
"""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "textures")


def bmp(width, height, bpp, pixels, compression=0, header=40, palette=None,
        masks=None, offset=None, colors_used=0):
    """A BMP file: file header, info header of the given size, masks, palette, pixels."""
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bpp, compression,
                           len(pixels), 2835, 2835, colors_used, 0)
        extra = b""
        if masks and header >= 52:
            extra = struct.pack("<III", *masks[:3])
            if header >= 56:
                extra += struct.pack("<I", masks[3] if len(masks) > 3 else 0)
            masks = None
        info = (info + extra).ljust(header, b"\0")
    table = b""
    if masks:
        table += struct.pack("<III", *masks[:3])
    if palette:
        entry = 3 if header == 12 else 4
        table += b"".join(bytes((b, g, r, 0))[:entry] for (r, g, b) in palette)
    start = 14 + len(info) + len(table)
    if offset is None:
        offset = start
    # An offset inside the header keeps the header whole: the pixels follow it.
    data = (info + table).ljust(offset - 14, b"\0")
    total = 14 + len(data) + len(pixels)
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset) + data + pixels


def rows(width, height, bpp, pixel, top_down=False):
    """Plain rows, bottom-up unless top_down, each padded to 4 bytes; pixel(x, y)
    gives the bytes (8 bits and more) or the palette index of the pixel, y from the top."""
    out = b""
    for y in (range(height) if top_down else reversed(range(height))):
        if bpp >= 8:
            row = b"".join(pixel(x, y) for x in range(width))
        else:
            bits = "".join(format(pixel(x, y), "0%db" % bpp) for x in range(width))
            bits = bits.ljust((len(bits) + 7) // 8 * 8, "0")
            row = bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
        out += row.ljust((len(row) + 3) // 4 * 4, b"\0")
    return out


def png(width, height, color_type, depth, raw_rows, palette=None):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth,
                                                              color_type, 0, 0, 0))
    if palette:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    out += chunk(b"IDAT", zlib.compress(b"".join(b"\0" + r for r in raw_rows)))
    return out + chunk(b"IEND", b"")


PALETTE16 = [(i * 16, 255 - i * 16, (i * 7) % 256) for i in range(16)]
PALETTE256 = [(i, (i * 3) % 256, 255 - i) for i in range(256)]


def seeds():
    w, h = 7, 5
    yield "bpp1.bmp", bmp(w, h, 1, rows(w, h, 1, lambda x, y: (x + y) % 2),
                          palette=[(0, 0, 0), (255, 200, 100)])
    yield "bpp4.bmp", bmp(w, h, 4, rows(w, h, 4, lambda x, y: (x * 3 + y) % 16), palette=PALETTE16)
    yield "bpp8.bmp", bmp(w, h, 8, rows(w, h, 8, lambda x, y: bytes([x * 20 + y])),
                          palette=PALETTE256)
    yield "bpp8-short-palette.bmp", bmp(w, h, 8, rows(w, h, 8, lambda x, y: bytes([x % 3])),
                                        palette=PALETTE256[:3], colors_used=3)
    yield "bpp16.bmp", bmp(w, h, 16, rows(w, h, 16, lambda x, y: struct.pack("<H", x * 1000 + y)))
    yield "bpp16-565.bmp", bmp(w, h, 16, rows(w, h, 16, lambda x, y: struct.pack("<H", x * 999 + y)),
                               compression=3, masks=(0xF800, 0x07E0, 0x001F))
    yield "bpp24.bmp", bmp(w, h, 24, rows(w, h, 24, lambda x, y: bytes([x * 30, y * 50, 90])))
    yield "bpp24-topdown.bmp", bmp(w, -h, 24, rows(w, h, 24, lambda x, y: bytes([x, y, 9]),
                                                           top_down=True))
    yield "bpp32.bmp", bmp(w, h, 32, rows(w, h, 32, lambda x, y: bytes([x * 30, y * 50, 90, 0])))
    yield "bpp32-v5.bmp", bmp(w, h, 32, rows(w, h, 32, lambda x, y: bytes([0, x * 30, y * 50, 90])),
                              compression=3, header=124,
                              masks=(0xFF000000, 0x00FF0000, 0x0000FF00, 0xFF))
    yield "bpp24-v4.bmp", bmp(w, h, 24, rows(w, h, 24, lambda x, y: bytes([9, x, y])), header=108)
    yield "os2.bmp", bmp(w, h, 8, rows(w, h, 8, lambda x, y: bytes([x + y])), header=12,
                         palette=PALETTE256)
    # Run-length: a run, a literal group, an end of line, a delta and an early end.
    rle8 = bytes([3, 1, 0, 4, 2, 3, 4, 5, 0, 0,  # row 0: 1 1 1 2 3 4 5 ... end of line
                  7, 9, 0, 0,                     # row 1: seven 9s
                  0, 2, 2, 1, 2, 6, 0, 0,         # delta 2 right 1 up, two 6s, end of line
                  0, 1])                          # end of image
    yield "rle8.bmp", bmp(w, h, 8, rle8, compression=1, palette=PALETTE256)
    rle4 = bytes([7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 1])
    yield "rle4.bmp", bmp(w, h, 4, rle4, compression=2, palette=PALETTE16)
    gray = [bytes((x * 40 + y) % 256 for x in range(w)) for y in range(h)]
    yield "gray.png", png(w, h, 0, 8, gray)
    yield "rgb.png", png(w, h, 2, 8, [bytes(v for x in range(w) for v in (x * 30, y * 50, 7))
                                       for y in range(h)])
    yield "rgba16.png", png(3, 2, 6, 16, [bytes(range(24)), bytes(range(24, 48))])
    yield "palette.png", png(w, h, 3, 8, [bytes((x + y) % 4 for x in range(w)) for y in range(h)],
                             palette=PALETTE256[:4])


def bad():
    w, h = 16, 8
    yield "rle8-ends-early.bmp", bmp(w, h, 8, bytes([16, 1, 0, 0, 16, 2]), compression=1,
                                     palette=PALETTE256)
    yield "rle8-no-end-marker.bmp", bmp(w, h, 8, bytes([16, 1, 0, 0, 16, 2, 0, 0]), compression=1,
                                        palette=PALETTE256)
    yield "rle8-jump-past-image.bmp", bmp(w, h, 8, bytes([4, 1, 0, 2, 0, 40, 0, 1]), compression=1,
                                          palette=PALETTE256)
    yield "rle8-top-down.bmp", bmp(w, -h, 8, bytes([16, 1, 0, 1]), compression=1, palette=PALETTE256)
    yield "rle4-ends-early.bmp", bmp(w, h, 4, bytes([16, 0x12, 0, 0, 0, 6, 0x12]), compression=2,
                                     palette=PALETTE16)
    # 1 KB of run-length data declaring 8192 x 4096.
    yield "rle8-huge-claim.bmp", bmp(8192, 4096, 8, bytes([255, 1] * 511 + [0, 1]), compression=1,
                                     palette=PALETTE256)
    pixels = rows(4, 4, 24, lambda x, y: bytes([x, y, 1]))
    for header in (64, 108, 124):
        yield "offset-inside-header-%d.bmp" % header, bmp(4, 4, 24, pixels, header=header, offset=54)
    yield "palette-cut.bmp", bmp(4, 4, 8, b"", palette=PALETTE256)[:200]
    good_png = png(8, 8, 2, 8, [bytes(24)] * 8)
    yield "png-cut.png", good_png[:len(good_png) - 20]
    yield "gif.gif", b"GIF89a" + bytes([4, 0, 4, 0, 0x80, 0, 0]) + bytes(6) + b",\0\0\0\0\4\0\4\0\0\2\2D\1\0;"
    yield "ico.ico", struct.pack("<HHHBBBBHHII", 0, 1, 1, 4, 4, 0, 0, 1, 32, 104, 22) + bytes(60)


def main():
    for folder, files in (("seeds", seeds()), ("bad", bad())):
        os.makedirs(os.path.join(HERE, folder), exist_ok=True)
        for name, data in files:
            with open(os.path.join(HERE, folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
