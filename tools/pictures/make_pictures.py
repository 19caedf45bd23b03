#!/usr/bin/env python3
"""Writes the pictures of the decoder tests, the title view tests and the
demo board into a folder (Python standard library only).

    make_pictures.py OUT-FOLDER

Test pictures (colours as (R, G, B)):
  bmp1.bmp   16 x 8, 1 bit:  left half red, right half blue
  bmp4.bmp   16 x 8, 4 bits: four upright bars red, green, blue, yellow
  bmp8.bmp   16 x 8, 8 bits: top half cyan, bottom half magenta
  bmp24.bmp  16 x 8, 24 bits: top half red, bottom half green
  bmp24td.bmp the same stored top-down
  alpha.png  8 x 8 RGBA: left half opaque blue, right half red at alpha 128
  corrupt.png  a PNG signature and header chunk, then garbage
  corrupt.bmp  a bitmap header promising more rows than follow
  solid-*.bmp / solid-*.png  32 x 32 single colours for the title view
Demo pictures: demo1.png ... demo4.png and demo5.bmp, small drawings.
"""
import math
import os
import struct
import sys
import zlib

RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
YELLOW, CYAN, MAGENTA = (255, 255, 0), (0, 255, 255), (255, 0, 255)


def bmp(width, height, bits, pixel, palette=None, top_down=False):
    """pixel(x, y) gives a palette index (bits <= 8) or an (R, G, B) colour;
    y counts from the top."""
    stride = (width * bits + 31) // 32 * 4
    rows = []
    order = range(height) if top_down else range(height - 1, -1, -1)
    for y in order:
        if bits == 24:
            row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        else:
            acc, nbits, out = 0, 0, bytearray()
            for x in range(width):
                acc = (acc << bits) | pixel(x, y)
                nbits += bits
                if nbits == 8:
                    out.append(acc)
                    acc, nbits = 0, 0
            if nbits:
                out.append(acc << (8 - nbits))
            row = bytes(out)
        rows.append(row + b"\0" * (stride - len(row)))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in (palette or []))
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0,
                       stride * height, 2835, 2835, len(palette or []), 0)
    offset = 14 + len(info) + len(table)
    data = b"".join(rows)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + table + data


def png(width, height, pixel):
    """pixel(x, y) gives (R, G, B, A)."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def demo_face(size, skin, back):
    c = (size - 1) / 2

    def pixel(x, y):
        d = math.hypot(x - c, y - c)
        eye = min(math.hypot(x - c + size / 6, y - c + size / 8), math.hypot(x - c - size / 6, y - c + size / 8))
        mouth = abs(math.hypot(x - c, y - c + size / 10) - size / 4) < size / 24 and y > c + size / 16
        if d > size * 0.45:
            return back + (255,)
        if eye < size / 16 or mouth:
            return (40, 40, 40, 255)
        return skin + (255,)
    return pixel


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "bmp1.bmp": bmp(16, 8, 1, lambda x, y: 0 if x < 8 else 1, [RED, BLUE]),
        "bmp4.bmp": bmp(16, 8, 4, lambda x, y: x // 4, [RED, GREEN, BLUE, YELLOW] + [(0, 0, 0)] * 12),
        "bmp8.bmp": bmp(16, 8, 8, lambda x, y: 7 if y < 4 else 200,
                        [(i, i, i) for i in range(7)] + [CYAN] + [(i, i, i) for i in range(8, 200)] + [MAGENTA] +
                        [(i, i, i) for i in range(201, 256)]),
        "bmp24.bmp": bmp(16, 8, 24, lambda x, y: RED if y < 4 else GREEN),
        "bmp24td.bmp": bmp(16, 8, 24, lambda x, y: RED if y < 4 else GREEN, top_down=True),
        "alpha.png": png(8, 8, lambda x, y: (0, 0, 255, 255) if x < 4 else (255, 0, 0, 128)),
    }
    good = png(4, 4, lambda x, y: (1, 2, 3, 255))
    files["corrupt.png"] = good[:33] + bytes((i * 37) & 0xFF for i in range(200))
    whole = bmp(16, 8, 24, lambda x, y: RED)
    files["corrupt.bmp"] = whole[:-100]
    for name, colour in (("red", RED), ("green", GREEN), ("blue", BLUE), ("yellow", YELLOW)):
        files["solid-%s.bmp" % name] = bmp(32, 32, 24, lambda x, y, c=colour: c)
        files["solid-%s.png" % name] = png(32, 32, lambda x, y, c=colour: c + (255,))
    for i, (skin, back) in enumerate([((255, 220, 170), (120, 180, 255)), ((250, 200, 80), (255, 160, 200)),
                                      ((200, 240, 160), (90, 90, 200)), ((255, 255, 255), (250, 120, 60))]):
        files["demo%d.png" % (i + 1)] = png(48, 48, demo_face(48, skin, back))
    face = demo_face(40, (255, 230, 120), (60, 160, 90))
    files["demo5.bmp"] = bmp(40, 40, 24, lambda x, y: face(x, y)[:3])
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
