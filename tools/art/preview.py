#!/usr/bin/env python3
"""Writes build/screens/art_preview.png: every image of res/art/ as the
program shows it, on button-face grey, enlarged 4 times with the index under
each cell, and once more at its real size.  Standard library only."""

import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw  # noqa: E402

SCALE = 4
GREY = (0xC0, 0xC0, 0xC0)
INK = (0x20, 0x20, 0x20)
CELL_LINE = (0xA8, 0xA8, 0xA8)

# 3 x 5 letters for the labels and index numbers
FONT = {
    '0': '111101101101111', '1': '010110010010111', '2': '111001111100111',
    '3': '111001111001111', '4': '101101111001001', '5': '111100111001111',
    '6': '111100111101111', '7': '111001010010010', '8': '111101111101111',
    '9': '111101111001111', 'A': '010101111101101', 'B': '110101110101110',
    'C': '011100100100011', 'D': '110101101101110', 'E': '111100110100111',
    'F': '111100110100100', 'G': '011100101101011', 'H': '101101111101101',
    'I': '111010010010111', 'J': '001001001101010', 'K': '101101110101101',
    'L': '100100100100111', 'M': '101111111101101', 'N': '110101101101101',
    'O': '010101101101010', 'P': '110101110100100', 'Q': '010101101110011',
    'R': '110101110101101', 'S': '011100010001110', 'T': '111010010010010',
    'U': '101101101101111', 'V': '101101101101010', 'W': '101101111111101',
    'X': '101101010101101', 'Y': '101101010010010', 'Z': '111001010100111',
    ' ': '000000000000000', '-': '000000111000000', '.': '000000000000010',
    '(': '010100100100010', ')': '010001001001010', ',': '000000000010100',
    'x': '000101010101000',
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[GREY] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def text(self, x, y, s, size=2):
        for ch in s:
            glyph = FONT.get(ch, FONT[' '])
            for j in range(5):
                for i in range(3):
                    if glyph[j * 3 + i] == '1':
                        for a in range(size):
                            for b in range(size):
                                self.put(x + i * size + a, y + j * size + b, INK)
            x += 4 * size

    def picture(self, x, y, rows, scale, transparent=draw.MAGENTA):
        for j, row in enumerate(rows):
            for i, p in enumerate(row):
                if p is None or p == transparent:
                    continue
                for a in range(scale):
                    for b in range(scale):
                        self.put(x + i * scale + a, y + j * scale + b, p[:3])

    def png(self):
        raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in self.px)

        def chunk(kind, data):
            return (struct.pack('>I', len(data)) + kind + data +
                    struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
        return (b'\x89PNG\r\n\x1a\n' +
                chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 2, 0, 0, 0)) +
                chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def load(name):
    with open(os.path.join(draw.OUT, name), 'rb') as f:
        return f.read()


def main(argv):
    only = argv[argv.index('--only') + 1].upper() if '--only' in argv else None
    scale = int(argv[argv.index('--scale') + 1]) if '--scale' in argv else SCALE
    target = argv[argv.index('--out') + 1] if '--out' in argv else None
    strips = [(name.upper().replace('.BMP', ''), name, cw, ch, bits)
              for name, cw, ch, _cells, bits, _used in draw.STRIPS]
    per_row = int(argv[argv.index('--per-row') + 1]) if '--per-row' in argv else 22
    items = []   # (label, list of (index label, rows)) blocks
    for label, name, cw, ch, bits in strips:
        w, h, b, _pal, rows = draw.read_bmp(load(name))
        cells = [(str(i), [r[i * cw:(i + 1) * cw] for r in rows]) for i in range(w // cw)]
        for start in range(0, len(cells), per_row):
            items.append(('%s  %d BITS  %dx%d' % (label, b, cw, ch), cells[start:start + per_row], rows, cw))
    ico = draw.read_icon_file(load('zeva.ico'))[1]
    items.append(('ZEVA.ICO', [('%d' % im['w'], im['rows']) for im in ico], None, 32))
    curs = []
    for name in draw.CURSORS:
        im = draw.read_icon_file(load(name))[1][0]
        rows = [list(r) for r in im['rows']]
        hx, hy = im['hot']
        curs.append((name.upper().replace('.CUR', ''), rows, (hx, hy)))
    items.append(('CURSORS (HOT SPOT RED)', [(n, r) for n, r, _ in curs], None, 32))

    if only:
        items = [it for it in items if it[0].startswith(only)]
    pad = 12
    width = pad * 2 + per_row * (16 * scale + 8)
    height = pad
    for label, cells, _strip, _cw in items:
        tallest = max(len(r) for _, r in cells)
        height += 14 + tallest * scale + 16 + 16 + 10
    canvas = Canvas(width, height)
    y = pad
    for label, cells, strip, cw in items:
        canvas.text(pad, y, label)
        y += 14
        x = pad
        tallest = max(len(r) for _, r in cells)
        for index, rows in cells:
            cw_px = len(rows[0]) * scale
            for j in range(-1, len(rows) * scale + 1):
                canvas.put(x - 1, y + j, CELL_LINE)
                canvas.put(x + cw_px, y + j, CELL_LINE)
            canvas.picture(x, y, rows, scale)
            canvas.text(x, y + len(rows) * scale + 3, index)
            for c in curs:
                if c[0] == index:
                    hx, hy = c[2]
                    for a in range(scale):
                        for b in range(scale):
                            canvas.put(x + hx * scale + a, y + hy * scale + b, (255, 0, 0))
            x += max(cw_px, 8 * len(index)) + 8
        y += tallest * scale + 16
        # real size, in a row under the enlarged cells
        x = pad
        for index, rows in cells:
            canvas.picture(x, y, rows, 1)
            x += len(rows[0]) + 2
        y += 16 + 10
    out = os.path.join(draw.ROOT, 'build', 'screens')
    os.makedirs(out, exist_ok=True)
    path = target or os.path.join(out, 'art_preview.png')
    with open(path, 'wb') as f:
        f.write(canvas.png())
    print(path)


if __name__ == '__main__':
    main(sys.argv[1:])
