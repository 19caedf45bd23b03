#!/usr/bin/env python3
"""Draws every image of ZEVA from code and writes them into res/art/.

    python3 tools/art/draw.py            write res/art/*
    python3 tools/art/draw.py --check    draw into a temporary folder, compare
                                         the bytes with res/art/ and check the
                                         facts the program relies on

Standard library only.  Every picture is built from a few shapes (rectangles,
discs, polygons, thick lines) painted in the classic 16-pixel
toolbar manner: a 1-pixel dark outline, a light inner edge at the top left
and a darker one at the bottom right, over a magenta background that the
program treats as transparent.  Small details (letters, the pencil, the
handset) are typed in as character pictures.

Pixels are palette characters (PALETTE below).  The 256-colour files use the
whole palette; the 16-colour files use the standard VGA colours, each
character naming the VGA colour it falls back to.
"""

import math
import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..'))
OUT = os.path.join(ROOT, 'res', 'art')

# ---------------------------------------------------------------------------
# Palette

# The 16 colours of the standard VGA palette, in the order 4-bit bitmaps use.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# character: (RGB of the 256-colour files, VGA index of the 16-colour files)
PALETTE = {
    '.': ((0xFF, 0x00, 0xFF), 13),   # background, transparent
    'k': ((0x00, 0x00, 0x00), 0),    # outline
    'R': ((0x80, 0x00, 0x00), 1),    # dark red
    'G': ((0x00, 0x80, 0x00), 2),    # dark green
    'Y': ((0x80, 0x80, 0x00), 3),    # olive
    'B': ((0x00, 0x00, 0x80), 4),    # navy
    'p': ((0x80, 0x00, 0x80), 5),    # purple
    'C': ((0x00, 0x80, 0x80), 6),    # teal
    's': ((0xC0, 0xC0, 0xC0), 7),    # silver
    'K': ((0x80, 0x80, 0x80), 8),    # grey shadow
    'r': ((0xFF, 0x00, 0x00), 9),    # red
    'g': ((0x00, 0xFF, 0x00), 10),   # green
    'y': ((0xFF, 0xFF, 0x00), 11),   # yellow
    'b': ((0x00, 0x00, 0xFF), 12),   # blue
    'c': ((0x00, 0xFF, 0xFF), 14),   # cyan
    'w': ((0xFF, 0xFF, 0xFF), 15),   # white
    # softer shades of the 256-colour files
    'f': ((0xF8, 0xD8, 0x68), 11),   # folder face
    'h': ((0xFF, 0xF4, 0xC0), 15),   # folder highlight
    'F': ((0xC0, 0x90, 0x28), 3),    # folder shade
    'o': ((0x38, 0x78, 0xE0), 12),   # ocean
    'O': ((0x18, 0x40, 0xA0), 4),    # deep ocean
    'l': ((0xA8, 0xD0, 0xFF), 14),   # sky, glass
    'e': ((0x40, 0xB0, 0x48), 10),   # land
    'E': ((0x20, 0x78, 0x28), 2),    # dark land
    't': ((0xA8, 0xA8, 0xA8), 8),    # text lines on paper
    'a': ((0xE8, 0xE8, 0xE8), 15),   # paper shade
    'n': ((0xFF, 0x8C, 0x00), 9),    # orange
    'N': ((0xB8, 0x40, 0x00), 1),    # dark orange
    'u': ((0x30, 0x68, 0xE0), 12),   # blue arrow
    'U': ((0x10, 0x30, 0x90), 4),    # blue arrow shade
    'i': ((0x90, 0xB8, 0xFF), 14),   # blue arrow light
    'v': ((0x30, 0xB0, 0x40), 2),    # green arrow
    'V': ((0x10, 0x68, 0x18), 2),    # green arrow shade
    'j': ((0x98, 0xE8, 0x98), 10),   # green arrow light
    'q': ((0xFF, 0x60, 0x60), 9),    # light red
    'z': ((0xD8, 0xC0, 0x98), 7),    # wood, skin
}

# 256-colour palette: the VGA colours first, then the softer shades.
PAL256 = list(VGA) + [PALETTE[c][0] for c in PALETTE if PALETTE[c][0] not in VGA]
MAGENTA = (0xFF, 0x00, 0xFF)


def rgb(ch):
    return PALETTE[ch][0]


def vga_index(ch):
    return PALETTE[ch][1]


def pal256_index(ch):
    return PAL256.index(PALETTE[ch][0])


# ---------------------------------------------------------------------------
# Canvas and shapes.  A shape is a set of (x, y) pixels.

class Img:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [['.'] * w for _ in range(h)]

    def set(self, x, y, ch):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = ch

    def get(self, x, y):
        return self.px[y][x]

    def rows(self):
        return [''.join(r) for r in self.px]


def rect(x0, y0, x1, y1):
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def disc(cx, cy, r):
    """Pixels whose centre lies within r of (cx, cy)."""
    out = set()
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                out.add((x, y))
    return out


def poly(points):
    """Pixels whose centre lies inside the polygon (even-odd rule)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    out = set()
    for y in range(int(min(ys)) - 1, int(max(ys)) + 2):
        for x in range(int(min(xs)) - 1, int(max(xs)) + 2):
            px, py = x + 0.5, y + 0.5
            inside = False
            n = len(points)
            for i in range(n):
                xa, ya = points[i]
                xb, yb = points[(i + 1) % n]
                if (ya > py) != (yb > py):
                    xc = xa + (py - ya) * (xb - xa) / (yb - ya)
                    if px < xc:
                        inside = not inside
            if inside:
                out.add((x, y))
    return out


def line(x0, y0, x1, y1):
    """Bresenham line of 1-pixel width."""
    out = set()
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        out.add((x0, y0))
        if x0 == x1 and y0 == y1:
            return out
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def thick(shape, w=2):
    """Grows a shape to the right and down by w - 1 pixels."""
    return {(x + i, y + j) for (x, y) in shape for i in range(w) for j in range(w)}


def border(shape):
    return {(x, y) for (x, y) in shape
            if any(n not in shape for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


def paint(img, shape, fill, outline='k', hi=None, lo=None):
    """Fills a shape; its edge pixels take the outline colour, the pixels just
    inside the top and left edges the highlight, those just inside the bottom
    and right edges the shade."""
    edge = border(shape) if outline else set()
    for (x, y) in shape:
        img.set(x, y, fill)
    inner = shape - edge
    if lo:
        for (x, y) in inner:
            if (x + 1, y) in edge or (x, y + 1) in edge:
                img.set(x, y, lo)
    if hi:
        for (x, y) in inner:
            if (x - 1, y) in edge or (x, y - 1) in edge:
                img.set(x, y, hi)
    for (x, y) in edge:
        img.set(x, y, outline)


def fill(img, shape, ch):
    for (x, y) in shape:
        img.set(x, y, ch)


def stamp(img, pic, x0, y0):
    """Copies a character picture; '.' and ' ' leave the pixel as it is."""
    for j, row in enumerate(pic.strip('\n').split('\n')):
        for i, ch in enumerate(row):
            if ch not in '. ':
                img.set(x0 + i, y0 + j, ch)


def clear(img, shape):
    fill(img, shape, '.')


# ---------------------------------------------------------------------------
# Parts shared by several pictures

def page(img, x0, y0, x1, y1, fold=3, lines=0, paper='w'):
    """A sheet of paper with a turned-down corner at the top right and,
    optionally, grey text lines."""
    shape = {(x, y) for (x, y) in rect(x0, y0, x1, y1) if x <= x1 - fold + (y - y0)}
    paint(img, shape, paper, 'k')
    for y in range(y0, y0 + fold + 1):
        for x in range(x1 - fold, x1 + 1):
            if x - (x1 - fold) <= y - y0:
                on_edge = x == x1 - fold or y == y0 + fold or x - (x1 - fold) == y - y0
                img.set(x, y, 'k' if on_edge else 's')
    widths = [0, -2, -1, -3, 0, -2, -1]
    y = y0 + 3
    for n in range(lines):
        if y > y1 - 2:
            break
        right = (x1 - fold - 1 if y <= y0 + fold else x1 - 2) + widths[n % len(widths)]
        fill(img, line(x0 + 2, y, right, y), 't')
        y += 2


def folder(img, x0, y0, x1, y1, face='f', hi='h', lo='F'):
    """A closed folder: the tab at the top left, the back and the front flap."""
    back = rect(x0, y0 + 2, x1, y1) | rect(x0, y0, x0 + 5, y0 + 2)
    paint(img, back, face, 'k', hi, lo)
    paint(img, rect(x0, y0 + 4, x1, y1), face, 'k', hi, lo)


def open_folder(img, x0, y0, x1, y1):
    """An open folder: the back with its tab, the front flap tipped forward."""
    back = rect(x0, y0 + 2, x1 - 2, y1) | rect(x0, y0, x0 + 5, y0 + 2)
    paint(img, back, 'F', 'k', 'f', None)
    paint(img, rect(x0 + 2, y0 + 4, x1 - 4, y0 + 6), 'w', None)
    front = poly([(x0 + 0.0, y1 + 1.0), (x0 + 3.0, y0 + 6.0), (x1 + 1.0, y0 + 6.0), (x1 - 2.0, y1 + 1.0)])
    paint(img, front, 'f', 'k', 'h', 'F')


def globe(img, cx, cy, r, small_land=False):
    """The earth: a blue disc with two green continents."""
    ball = disc(cx, cy, r)
    paint(img, ball, 'o', 'k', 'l', 'O')
    inner = ball - border(ball)
    k = 0.8 if small_land else 1.0
    land = (disc(cx - 0.35 * r, cy - 0.3 * r, 0.42 * r * k) |
            disc(cx - 0.05 * r, cy - 0.55 * r, 0.25 * r * k) |
            disc(cx + 0.4 * r, cy + 0.35 * r, 0.38 * r * k) |
            disc(cx + 0.15 * r, cy + 0.1 * r, 0.2 * r * k))
    for (x, y) in land & inner:
        img.set(x, y, 'e')
    for (x, y) in land & inner:
        if (x + 1, y + 1) not in land and (x + 1, y + 1) in inner:
            img.set(x + 1, y + 1, 'E')


def arrow(img, direction, x0, y0, x1, y1, face='u', light='i', shade='U', shaft=None):
    """A bold arrow filling the box (x0, y0)-(x1, y1), pointing 'up', 'down',
    'left' or 'right'; shaft is its thickness (default: half the box)."""
    w, h = x1 - x0 + 1, y1 - y0 + 1
    if direction in ('up', 'down'):
        s = shaft or max(2, w // 2 - (w // 2 + w) % 2)
        head = (w + 1) // 2 + (0 if w % 2 else 0)
        cx = x0 + w / 2.0
        if direction == 'down':
            pts = [(cx - s / 2, y0), (cx + s / 2, y0), (cx + s / 2, y1 + 1 - head),
                   (x1 + 1, y1 + 1 - head), (cx, y1 + 1), (x0, y1 + 1 - head), (cx - s / 2, y1 + 1 - head)]
        else:
            pts = [(cx - s / 2, y1 + 1), (cx + s / 2, y1 + 1), (cx + s / 2, y0 + head),
                   (x1 + 1, y0 + head), (cx, y0), (x0, y0 + head), (cx - s / 2, y0 + head)]
    else:
        s = shaft or max(2, h // 2 - (h // 2 + h) % 2)
        head = (h + 1) // 2
        cy = y0 + h / 2.0
        if direction == 'right':
            pts = [(x0, cy - s / 2), (x1 + 1 - head, cy - s / 2), (x1 + 1 - head, y0),
                   (x1 + 1, cy), (x1 + 1 - head, y1 + 1), (x1 + 1 - head, cy + s / 2), (x0, cy + s / 2)]
        else:
            pts = [(x1 + 1, cy - s / 2), (x0 + head, cy - s / 2), (x0 + head, y0),
                   (x0, cy), (x0 + head, y1 + 1), (x0 + head, cy + s / 2), (x1 + 1, cy + s / 2)]
    paint(img, poly(pts), face, 'k', light, shade)


PATROL_ARC = """
...kkkkkkkk.....
.kkhhhhyyyyykk..
khhykkkkkkyyyFk.
khyk......kyyFk.
khyk......kyyFk.
khyk......kyyFk.
kkkk......kyyFk.
.........kkyyFkk
.........kyyyyFk
..........kyyFk.
...........kFk..
............k...
"""


def patrol_arc(img):
    """The mark of the patrol commands: a yellow arrow going round over the
    top from the left and coming down on the right."""
    stamp(img, PATROL_ARC, 0, 0)


def red_dot(img, cx, cy, r=2.6):
    """The mark of unread articles, everywhere in the program."""
    paint(img, disc(cx, cy, r), 'n', 'R', 'y', None)


def send_arrow(img, x0, y0, x1, y1):
    """The mark of articles waiting to be sent: a green arrow to the right."""
    arrow(img, 'right', x0, y0, x1, y1, 'v', 'j', 'V')


def pause_bars(img, x0, y0):
    """The mark of articles held back: two red bars (7 x 8)."""
    paint(img, rect(x0, y0, x0 + 2, y0 + 7), 'r', 'k')
    paint(img, rect(x0 + 4, y0, x0 + 6, y0 + 7), 'r', 'k')


def flag(img, x0, y0, h=10):
    """The patrol mark: a red flag on a pole (7 wide, h high)."""
    fill(img, rect(x0, y0, x0 + 1, y0 + h - 1), 'k')
    paint(img, rect(x0 + 1, y0, x0 + 7, y0 + 5), 'r', 'k', 'q', 'R')


def check_box(img, x0, y0, size, checked):
    """A check box: white square with a grey sunken frame, optionally ticked."""
    x1, y1 = x0 + size - 1, y0 + size - 1
    fill(img, rect(x0, y0, x1, y1), 'w')
    fill(img, line(x0, y0, x1 - 1, y0) | line(x0, y0, x0, y1 - 1), 'K')
    fill(img, line(x0 + 1, y0 + 1, x1 - 2, y0 + 1) | line(x0 + 1, y0 + 1, x0 + 1, y1 - 2), 'k')
    fill(img, line(x1, y0, x1, y1) | line(x0, y1, x1, y1), 'w')
    fill(img, line(x1 - 1, y0 + 1, x1 - 1, y1 - 1) | line(x0 + 1, y1 - 1, x1 - 1, y1 - 1), 's')
    if checked:
        # a 7 x 7 tick centred in the box
        tx, ty = x0 + (size - 7) // 2, y0 + (size - 7) // 2
        stamp(img, TICK, tx, ty)


TICK = """
......k
.....kk
k...kkk
kk.kkk.
kkkkk..
.kkk...
..k....
"""

PENCIL = """
.........kk
........krrk
.......kyrRk
......kyyYk.
.....kyyYk..
....kyyYk...
...kyyYk....
..kzyYk.....
.kzzzk......
.kkzk.......
kkkk........
"""

HANDSET = """
...kkkkkkkkkk...
.kkKsssssssssKk.
kKsKKKKKKKKKKsKk
kKKKkkkkkkkkKKKk
kKKKk......kKKKk
.kkk........kkk.
"""

QUESTION = """
.kkkk.
kk..kk
....kk
...kk.
..kk..
..kk..
......
..kk..
"""


def pencil(img, x0, y0):
    stamp(img, PENCIL, x0, y0)


def envelope(img, x0, y0, x1, y1):
    paint(img, rect(x0, y0, x1, y1), 'w', 'k', None, 'a')
    cx = (x0 + x1) / 2.0
    depth = (y1 - y0) * 0.6
    fill(img, line(x0, y0, int(cx), int(y0 + depth)) | line(x1, y0, int(math.ceil(cx)), int(y0 + depth)), 'k')


def house(img, x0, y0, size=14):
    """A house with a red roof (home page)."""
    s = size
    body = rect(x0 + 2, y0 + s // 2, x0 + s - 3, y0 + s - 1)
    paint(img, body, 'f', 'k', 'h', 'F')
    roof = poly([(x0 - 0.0, y0 + s / 2.0 + 1), (x0 + s / 2.0, y0 + 0.0), (x0 + s + 0.0, y0 + s / 2.0 + 1)])
    paint(img, roof, 'r', 'k', 'q', 'R')
    door_x = x0 + s // 2 - 1
    paint(img, rect(door_x, y0 + s - 5, door_x + 2, y0 + s - 1), 'N', 'k')


def magnifier(img, x0, y0, r=4.0):
    """A reading glass: round lens at (x0, y0) top left, handle to the bottom right."""
    cx, cy = x0 + r + 0.5, y0 + r + 0.5
    hx = int(cx + r * 0.7)
    handle = thick(line(hx, hx - int(cx) + int(cy), hx + 4, hx + 4 - int(cx) + int(cy)), 3)
    paint(img, handle, 'K', 'k', 's', None)
    paint(img, disc(cx, cy, r + 1), 's', 'k')
    paint(img, disc(cx, cy, r - 0.6), 'l', None, None, None)
    fill(img, {(int(cx - r / 2), int(cy - r / 2)), (int(cx - r / 2) + 1, int(cy - r / 2))}, 'w')


def card(img, x0, y0, x1, y1):
    """A small property sheet: a window with a blue title bar and two ticked rows."""
    paint(img, rect(x0, y0, x1, y1), 'w', 'k', None, 'a')
    fill(img, rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2), 'B')
    rows = range(y0 + 4, y1 - 1, 3)
    for y in rows:
        fill(img, rect(x0 + 2, y, x0 + 3, y + 1), 'u')
        fill(img, line(x0 + 5, y + 1, x1 - 2, y + 1), 't')


def red_cross(img, x0, y0, size):
    """A red X for removing something."""
    s = size - 2
    shape = thick(line(x0, y0, x0 + s, y0 + s), 3) | thick(line(x0 + s, y0, x0, y0 + s), 3)
    paint(img, shape, 'r', 'R', 'q', None)


def gear(img):
    """A cog wheel: a disc with eight teeth and a hole (16 x 16)."""
    wheel = (disc(7.5, 7.5, 4.9) | rect(6, 0, 9, 15) | rect(0, 6, 15, 9) |
             rect(1, 2, 4, 4) | rect(2, 1, 4, 4) | rect(11, 1, 13, 4) | rect(11, 2, 14, 4) |
             rect(1, 11, 4, 13) | rect(2, 11, 4, 14) | rect(11, 11, 14, 13) | rect(11, 11, 13, 14))
    paint(img, wheel, 's', 'k', 'w', 'K')
    hole = disc(7.5, 7.5, 2.4)
    fill(img, hole, 'k')
    clear(img, hole - border(hole))


def window_frame(img, x0, y0, x1, y1):
    """A window: grey frame, blue title bar, white client area."""
    paint(img, rect(x0, y0, x1, y1), 's', 'k', 'w', 'K')
    fill(img, rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3), 'B')
    fill(img, rect(x1 - 3, y0 + 2, x1 - 2, y0 + 2), 'w')
    fill(img, rect(x0 + 1, y0 + 4, x1 - 1, y1 - 1), 'w')


# ---------------------------------------------------------------------------
# Toolbar and menu-icon strip: 16 x 16 cells, indices 0 ... 43.

TOOLBAR_MEANING = {
    0: 'check mark (menu items that are checked and have no picture)',
    2: 'copy',
    4: 'search',
    5: 'new folder',
    6: 'temporary patrol (ticked folders only)',
    7: 'normal patrol of all boards',
    8: 'patrol the current folder only',
    9: 'next article',
    10: 'previous article',
    11: 'read on',
    12: 'delete articles',
    13: 'folder properties',
    16: 'new article',
    17: 'reply',
    18: 'edit',
    19: 'options',
    20: 'start Explorer on the data folder',
    21: 'help contents',
    22: 'mark read',
    23: 'mark unread',
    24: 'hold back from sending',
    25: 'send at the next patrol',
    26: 'about ZEVA',
    27: 'search unread downwards',
    28: 'search unread upwards',
    29: 'read on through unread articles',
    31: 'internet properties',
    32: 'patrol folders with articles to send',
    33: 'open the board URL',
    35: 'hang up the dial-up connection',
    36: 'mail to the author',
    37: "open the author's home page",
    38: 'show the folder view',
    40: 'patrol mark (fetch the article at the next patrol)',
    41: 'open the folder',
    42: 'back in the history',
    43: 'forward in the history',
}
TOOLBAR_CELLS = 44


def tb_check(img):
    stamp(img, TICK, 5, 4)


def tb_copy(img):
    page(img, 1, 1, 9, 11, 3, 4)
    page(img, 6, 4, 14, 14, 3, 4)


def tb_search(img):
    page(img, 1, 1, 10, 13, 3, 5)
    magnifier(img, 5, 5, 3.6)


def tb_new_folder(img):
    folder(img, 0, 4, 13, 14)
    sparkle(img, 12, 3)


def sparkle(img, cx, cy):
    """A yellow star of newness."""
    stamp(img, """
...k...
..kyk..
kkyyykk
.kyyyk.
..kyk..
.k...k.
""", cx - 3, cy - 3)


def tb_patrol_all(img):
    globe(img, 5.0, 10.5, 5.4)
    patrol_arc(img)


def tb_patrol_ticked(img):
    check_box(img, 0, 7, 9, True)
    patrol_arc(img)


def tb_patrol_current(img):
    folder(img, 0, 7, 10, 15)
    patrol_arc(img)


def tb_patrol_outgoing(img):
    page(img, 0, 5, 9, 15, 2, 0)
    arrow(img, 'right', 1, 8, 8, 14, 'v', 'j', 'V', 3)
    patrol_arc(img)


def tb_hang_up(img):
    stamp(img, HANDSET, 0, 1)
    red_cross(img, 4, 7, 9)


def tb_next(img):
    arrow(img, 'down', 3, 1, 12, 14)


def tb_previous(img):
    arrow(img, 'up', 3, 1, 12, 14)


def tb_read_on(img):
    page(img, 0, 0, 11, 15, 3, 6)
    chevrons(img, 7, 4)


CHEVRONS = """
kk.....kk
kuk...kuk
kuuk.kuuk
.kuukuuk.
..kuuuk..
kk.kuk.kk
kuk.k.kuk
kuuk.kuuk
.kuukuuk.
..kuuuk..
...kuk...
....k....
"""


def chevrons(img, x0, y0):
    """Two blue chevrons pointing down: reading goes on (9 x 12)."""
    stamp(img, CHEVRONS, x0, y0)


def tb_delete(img):
    red_cross(img, 2, 2, 13)


def tb_properties(img):
    card(img, 1, 1, 14, 14)


def tb_new_article(img):
    page(img, 1, 2, 11, 15, 3, 0)
    sparkle(img, 3, 3)
    pencil(img, 5, 0)


def tb_reply(img):
    page(img, 4, 0, 15, 15, 3, 6)
    curve_back(img, 0, 4)


REPLY_ARROW = """
....k.......
...kuk......
..kuukkkkk..
.kuiiiiiiuk.
kuuuuuuuuuuk
.kuuukkkkuuk
..kuuk..kuuk
...kuk..kuuk
....k...kuuk
........kuUk
.........kk.
"""


def curve_back(img, x0, y0):
    """A blue arrow pointing back to the left over a bend (reply), 12 x 11."""
    stamp(img, REPLY_ARROW, x0, y0)


def tb_edit(img):
    page(img, 0, 1, 11, 15, 3, 6)
    pencil(img, 5, 0)


def tb_options(img):
    gear(img)


def tb_explorer(img):
    # a window looking at the folders
    window_frame(img, 0, 0, 15, 12)
    fill(img, rect(2, 5, 13, 5) | rect(2, 7, 10, 7) | rect(2, 9, 12, 9), 't')
    open_folder(img, 4, 6, 15, 15)


def tb_help(img):
    # a blue book standing up, with a yellow question mark on its cover
    paint(img, rect(2, 0, 14, 15), 'u', 'k', 'i', 'U')
    fill(img, rect(3, 13, 14, 14), 'w')
    fill(img, line(3, 13, 14, 13), 's')
    fill(img, line(4, 1, 4, 12), 'U')
    q = QUESTION.replace('k', 'y')
    stamp(img, q, 7, 3)


def tb_mark_read(img):
    page(img, 0, 1, 11, 15, 3, 6)
    stamp(img, """
......kk
.....kgk
kk..kgk.
kgk.kgk.
.kgkgk..
..kgk...
...k....
""", 8, 6)


def tb_mark_unread(img):
    page(img, 0, 1, 11, 15, 3, 6)
    red_dot(img, 11.5, 11.5, 4.0)


def tb_hold_back(img):
    page(img, 0, 1, 11, 15, 3, 6)
    pause_bars(img, 8, 7)


def tb_send_next(img):
    page(img, 0, 1, 11, 15, 3, 6)
    send_arrow(img, 6, 8, 15, 15)


def tb_about(img):
    ball = disc(7.5, 7.5, 7.4)
    paint(img, ball, 'u', 'U', 'i', None)
    stamp(img, """
.ww.
.ww.
....
www.
.ww.
.ww.
.ww.
.ww.
wwww
""", 6, 3)


def tb_unread_down(img):
    red_dot(img, 4.5, 4.5, 4.2)
    arrow(img, 'down', 7, 3, 15, 15)


def tb_unread_up(img):
    red_dot(img, 4.5, 11.5, 4.2)
    arrow(img, 'up', 7, 0, 15, 12)


def tb_read_on_unread(img):
    page(img, 0, 0, 11, 15, 3, 6)
    chevrons(img, 7, 4)
    red_dot(img, 4.0, 11.5, 4.0)


def tb_internet_properties(img):
    globe(img, 6.5, 6.5, 6.4)
    card(img, 7, 6, 15, 15)


def tb_open_url(img):
    globe(img, 6.0, 6.0, 6.0)
    arrow(img, 'right', 5, 7, 15, 15, 'y', 'h', 'F', 4)


def tb_mail(img):
    envelope(img, 0, 3, 15, 12)


def tb_home_page(img):
    house(img, 1, 1, 14)


def tb_folder_view(img):
    window_frame(img, 0, 0, 15, 14)
    paint(img, rect(1, 4, 6, 13), 'l', None)
    fill(img, line(6, 4, 6, 13), 'k')
    fill(img, {(2, 5), (3, 5), (2, 8), (3, 8), (2, 11), (3, 11)}, 'f')
    fill(img, line(2, 6, 2, 11) - {(2, 8), (2, 11)}, 'K')
    fill(img, {(3, 6 + 0)}, 'l')
    fill(img, {(4, 8), (5, 8), (4, 11), (5, 11), (4, 5), (5, 5)}, 'F')


def tb_patrol_mark(img):
    page(img, 0, 1, 10, 15, 3, 6)
    flag(img, 7, 5, 11)


def tb_open_folder(img):
    open_folder(img, 0, 3, 15, 14)


def tb_back(img):
    arrow(img, 'left', 0, 2, 15, 13, 'v', 'j', 'V')


def tb_forward(img):
    arrow(img, 'right', 0, 2, 15, 13, 'v', 'j', 'V')


TOOLBAR_DRAW = {
    0: tb_check, 2: tb_copy, 4: tb_search, 5: tb_new_folder,
    6: tb_patrol_ticked, 7: tb_patrol_all, 8: tb_patrol_current,
    9: tb_next, 10: tb_previous, 11: tb_read_on, 12: tb_delete, 13: tb_properties,
    16: tb_new_article, 17: tb_reply, 18: tb_edit, 19: tb_options, 20: tb_explorer,
    21: tb_help, 22: tb_mark_read, 23: tb_mark_unread, 24: tb_hold_back,
    25: tb_send_next, 26: tb_about, 27: tb_unread_down, 28: tb_unread_up,
    29: tb_read_on_unread, 31: tb_internet_properties, 32: tb_patrol_outgoing,
    33: tb_open_url, 35: tb_hang_up, 36: tb_mail, 37: tb_home_page,
    38: tb_folder_view, 40: tb_patrol_mark, 41: tb_open_folder,
    42: tb_back, 43: tb_forward,
}


# ---------------------------------------------------------------------------
# Folder view: 16 x 16 cells, indices 0 ... 15 (0 is not used).

FOLDER_MEANING = {
    1: 'folder', 2: 'folder with unread articles below', 3: 'folder with articles to send below',
    4: 'folder with both',
    5: 'board folder', 6: 'board folder with unread articles below',
    7: 'board folder with articles to send below', 8: 'board folder with both',
    9: 'article store', 10: 'article store with unread articles',
    11: 'article store with articles to send', 12: 'article store with both',
    13: 'log file (HTML)', 14: 'the data folder (root)', 15: 'the store of sent articles',
}
FOLDER_CELLS = 16


def fv_marks(img, unread, unsent):
    if unsent:
        send_arrow(img, 8, 9, 15, 15)
    if unread:
        red_dot(img, 12.5, 3.5, 3.2)


def fv_folder(unread, unsent):
    def draw(img):
        folder(img, 0, 2, 14, 14)
        fv_marks(img, unread, unsent)
    return draw


def fv_board(unread, unsent):
    def draw(img):
        # a board folder: the folder with the earth on its front
        folder(img, 0, 2, 14, 14)
        globe(img, 5.5, 10.0, 4.3)
        fv_marks(img, unread, unsent)
    return draw


def store_stack(img):
    """An article store: a bound stack of sheets."""
    page(img, 3, 0, 13, 11, 0, 0)
    page(img, 1, 2, 11, 13, 0, 0)
    paint(img, rect(0, 4, 10, 15), 'w', 'k', None, 'a')
    fill(img, rect(1, 5, 2, 14), 'u')
    fill(img, line(1, 5, 1, 14), 'i')
    for y in (7, 9, 11, 13):
        fill(img, line(4, y, 8 if y % 4 == 1 else 7, y), 't')


def fv_store(unread, unsent):
    def draw(img):
        store_stack(img)
        fv_marks(img, unread, unsent)
    return draw


def fv_log(img):
    page(img, 1, 0, 12, 15, 3, 0)
    globe(img, 6.5, 9.5, 4.6)


def fv_root(img):
    # a filing cabinet with two drawers
    paint(img, rect(2, 0, 13, 15), 's', 'k', 'w', 'K')
    for y0 in (2, 9):
        paint(img, rect(4, y0, 11, y0 + 4), 's', 'k', 'K', 'w')
        fill(img, line(6, y0 + 2, 9, y0 + 2), 'k')
    fill(img, rect(3, 14, 12, 14), 'K')


def fv_sent(img):
    store_stack(img)
    stamp(img, """
......kk
.....kgk
kk..kgk.
kgk.kgk.
.kgkgk..
..kgk...
...k....
""", 8, 8)


FOLDER_DRAW = {
    1: fv_folder(0, 0), 2: fv_folder(1, 0), 3: fv_folder(0, 1), 4: fv_folder(1, 1),
    5: fv_board(0, 0), 6: fv_board(1, 0), 7: fv_board(0, 1), 8: fv_board(1, 1),
    9: fv_store(0, 0), 10: fv_store(1, 0), 11: fv_store(0, 1), 12: fv_store(1, 1),
    13: fv_log, 14: fv_root, 15: fv_sent,
}

# Folder tick state: 12 x 12 cells, indices 0 ... 2 (0 is not used).
STATE_MEANING = {1: 'folder not ticked for the temporary patrol', 2: 'folder ticked'}
STATE_CELLS = 3
STATE_SIZE = 12


def st_box(checked):
    def draw(img):
        check_box(img, 0, 0, 12, checked)
    return draw


STATE_DRAW = {1: st_box(False), 2: st_box(True)}


# ---------------------------------------------------------------------------
# Title view: 14 x 14 cells, indices 0 ... 9.  The status icons are drawn at
# half strength for virtual articles and tinted with an article's colour
# label by the view itself; the pictures here are the plain ones.

TITLE_MEANING = {
    0: 'read article, thread root',
    1: 'unread article',
    2: 'unsent article, held back',
    3: 'unsent article',
    5: 'the article has an e-mail address',
    6: 'the article has a home page address',
    8: 'read article, reply',
    9: 'article marked for fetching at the next patrol',
}
TITLE_CELLS = 10
TITLE_SIZE = 14


def tv_page(img, lines=5):
    page(img, 1, 0, 10, 13, 3, lines)


def tv_read(img):
    tv_page(img)


def tv_unread(img):
    tv_page(img)
    red_dot(img, 9.5, 9.5, 3.6)


def tv_held(img):
    tv_page(img)
    pause_bars(img, 7, 5)


def tv_unsent(img):
    tv_page(img)
    arrow(img, 'right', 4, 6, 13, 13, 'v', 'j', 'V', 4)


def tv_mail(img):
    envelope(img, 0, 3, 13, 11)


def tv_home(img):
    house(img, 0, 0, 14)


REPLY_HOOK = """
kk.......
kuk......
kuk.kk...
kuk.kuk..
kuk.kuuk.
kuukkuuuk
kuuuuuuuuk
.kkkkuuuk.
....kuuk..
....kuk...
....kk....
"""


def tv_reply(img):
    page(img, 4, 0, 13, 13, 3, 5)
    stamp(img, REPLY_HOOK, 0, 3)


def tv_marked(img):
    tv_page(img)
    flag(img, 6, 3, 11)


TITLE_DRAW = {0: tv_read, 1: tv_unread, 2: tv_held, 3: tv_unsent, 5: tv_mail,
              6: tv_home, 8: tv_reply, 9: tv_marked}


# ---------------------------------------------------------------------------
# Program icon and cursors

def app_icon(size):
    """ZEVA: the earth with a board notice pinned before it."""
    img = Img(size, size)
    if size == 32:
        globe(img, 12.5, 12.5, 11.8)
        paint(img, rect(13, 13, 30, 29), 'w', 'k', None, 'a')
        fill(img, rect(14, 14, 29, 16), 'u')
        for n, y in enumerate((19, 22, 25)):
            fill(img, line(16, y, 27 - 3 * (n % 2), y), 't')
        paint(img, disc(27.5, 27.5, 4.2), 'n', 'R', 'y', None)
    else:
        globe(img, 6.0, 6.0, 5.8)
        paint(img, rect(6, 6, 15, 15), 'w', 'k', None, 'a')
        fill(img, rect(7, 7, 14, 8), 'u')
        fill(img, line(8, 10, 13, 10) | line(8, 12, 12, 12), 't')
        paint(img, disc(13.5, 13.5, 2.4), 'n', 'R', 'y', None)
    return img


ARROW = """
k...........
kk..........
kwk.........
kwwk........
kwwwk.......
kwwwwk......
kwwwwwk.....
kwwwwwwk....
kwwwwwwwk...
kwwwwwwwwk..
kwwwwwwwwwk.
kwwwwwwkkkkk
kwwwkwwk....
kwwkkwwk....
kwk..kwwk...
kk...kwwk...
k.....kwwk..
......kwwk..
.......kk...
"""


def cursor_drag_image():
    img = Img(32, 32)
    page(img, 0, 0, 11, 14, 3, 5)
    return img, (0, 0)


def plus_box(img, x0, y0):
    paint(img, rect(x0, y0, x0 + 8, y0 + 8), 'w', 'k')
    fill(img, line(x0 + 2, y0 + 4, x0 + 6, y0 + 4) | line(x0 + 4, y0 + 2, x0 + 4, y0 + 6), 'k')


def cursor_folder_copy():
    img = Img(32, 32)
    stamp(img, ARROW, 0, 0)
    plus_box(img, 12, 18)
    return img, (0, 0)


def cursor_title_move():
    img = Img(32, 32)
    page(img, 10, 16, 20, 28, 3, 4)
    stamp(img, ARROW, 0, 0)
    return img, (0, 0)


def cursor_title_copy():
    img, hot = cursor_title_move()
    plus_box(img, 17, 23)
    return img, hot


# ---------------------------------------------------------------------------
# Building

def strip(cells, draw, w, h=None):
    h = h or w
    img = Img(w * cells, h)
    for index, fn in draw.items():
        cell = Img(w, h)
        fn(cell)
        for y in range(h):
            for x in range(w):
                img.px[y][index * w + x] = cell.px[y][x]
    return img


# file name: (resource id, what it is)
FILES = {
    'toolbar.bmp': (155, 'toolbar and menu icons, 256 colours'),
    'toolbar16.bmp': (156, 'toolbar and menu icons, 16 colours'),
    'folderview.bmp': (149, 'folder view images, 256 colours'),
    'folderview16.bmp': (139, 'folder view images, 16 colours'),
    'folderstate.bmp': (168, 'folder view tick states, 16 colours'),
    'titleview.bmp': (None, 'title view icons, 256 colours'),
    'titleview16.bmp': (None, 'title view icons, 16 colours'),
    'zeva.ico': (107, 'program icon, 16 x 16 and 32 x 32'),
    'dragimage.cur': (142, 'drag image (a page)'),
    'foldercopy.cur': (105, 'folder drag, copy'),
    'titlecopy.cur': (143, 'title drag, copy'),
    'titlemove.cur': (144, 'title drag, move'),
    'play.bmp': (158, 'sound page play button, 256 colours'),
}


def play_button(img):
    """The sound page's play button: a loudspeaker and a green play triangle."""
    paint(img, rect(0, 5, 3, 10), 's', hi='w', lo='K')
    paint(img, poly([(3, 5), (8, 1), (8, 15), (3, 11)]), 's', hi='w', lo='K')
    paint(img, poly([(9.5, 3.5), (16, 8), (9.5, 12.5)]), 'v', hi='j', lo='V')


def pictures():
    """Every picture: name -> Img (strips) or list of (Img, hot spot)."""
    toolbar = strip(TOOLBAR_CELLS, TOOLBAR_DRAW, 16)
    folders = strip(FOLDER_CELLS, FOLDER_DRAW, 16)
    states = strip(STATE_CELLS, STATE_DRAW, STATE_SIZE)
    titles = strip(TITLE_CELLS, TITLE_DRAW, TITLE_SIZE)
    play = strip(1, {0: play_button}, 16)
    return {
        'play': play,
        'toolbar': toolbar, 'folders': folders, 'states': states, 'titles': titles,
        'icon': [app_icon(16), app_icon(32)],
        'dragimage': cursor_drag_image(), 'foldercopy': cursor_folder_copy(),
        'titlecopy': cursor_title_copy(), 'titlemove': cursor_title_move(),
    }


# ---------------------------------------------------------------------------
# File formats

def bmp_bytes(img, bits):
    """A bottom-up BMP with BITMAPINFOHEADER: 8 bits over the 256-colour
    palette or 4 bits over the VGA palette."""
    if bits == 8:
        palette, index = PAL256, pal256_index
    elif bits == 4:
        palette, index = VGA, vga_index
    else:
        raise ValueError(bits)
    body = pixel_rows(img, bits, index)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, bits, 0, len(body),
                       2835, 2835, len(palette), 0)
    return head + info + pal + body


def pixel_rows(img, bits, index):
    out = bytearray()
    stride = ((img.w * bits + 31) // 32) * 4
    for y in range(img.h - 1, -1, -1):
        row = bytearray()
        if bits == 8:
            row.extend(index(c) for c in img.px[y])
        elif bits == 4:
            vals = [index(c) for c in img.px[y]] + [0]
            for x in range(0, img.w, 2):
                row.append((vals[x] << 4) | (vals[x + 1] if x + 1 < img.w else 0))
        elif bits == 32:
            for c in img.px[y]:
                if c == '.':
                    row.extend(b'\0\0\0\0')
                else:
                    r, g, b = rgb(c)
                    row.extend((b, g, r, 255))
        row.extend(b'\0' * (stride - len(row)))
        out.extend(row)
    return bytes(out)


def and_mask(img):
    out = bytearray()
    stride = ((img.w + 31) // 32) * 4
    for y in range(img.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(img.w):
            if img.px[y][x] == '.':
                row[x // 8] |= 0x80 >> (x % 8)
        out.extend(row)
    return bytes(out)


def icon_image(img, bits):
    """One image of an icon or cursor file: header (height doubled), palette,
    colour bits (transparent pixels black) and the AND mask."""
    if bits == 4:
        def index(c):
            return 0 if c == '.' else vga_index(c)
        pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in VGA)
        colours = 16
    else:
        index, pal, colours = None, b'', 0
    xor = pixel_rows(img, bits, index)
    mask = and_mask(img)
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h * 2, 1, bits, 0, len(xor) + len(mask),
                       0, 0, colours, 0)
    return info + pal + xor + mask


def icon_file(images, kind, bits):
    """kind 1 = icon, 2 = cursor; images = [(Img, hot spot or None)]."""
    count = len(images)
    out = struct.pack('<HHH', 0, kind, count)
    blobs = [icon_image(img, bits) for img, _ in images]
    offset = 6 + 16 * count
    for (img, hot), blob in zip(images, blobs):
        colours = 16 if bits == 4 else 0
        if kind == 1:
            a, b = 1, bits
        else:
            a, b = hot
        out += struct.pack('<BBBBHHII', img.w % 256, img.h % 256, colours, 0, a, b, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def render(folder):
    pics = pictures()
    files = {
        'toolbar.bmp': bmp_bytes(pics['toolbar'], 8),
        'toolbar16.bmp': bmp_bytes(pics['toolbar'], 4),
        'folderview.bmp': bmp_bytes(pics['folders'], 8),
        'folderview16.bmp': bmp_bytes(pics['folders'], 4),
        'folderstate.bmp': bmp_bytes(pics['states'], 4),
        'titleview.bmp': bmp_bytes(pics['titles'], 8),
        'titleview16.bmp': bmp_bytes(pics['titles'], 4),
        'zeva.ico': icon_file([(i, None) for i in pics['icon']], 1, 32),
        'dragimage.cur': icon_file([pics['dragimage']], 2, 4),
        'foldercopy.cur': icon_file([pics['foldercopy']], 2, 4),
        'titlecopy.cur': icon_file([pics['titlecopy']], 2, 4),
        'titlemove.cur': icon_file([pics['titlemove']], 2, 4),
        'play.bmp': bmp_bytes(pics['play'], 8),
    }
    os.makedirs(folder, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)
    return sorted(files)


# ---------------------------------------------------------------------------
# Readers, used by the check and by the preview.  They read the files as the
# system would, independently of the writers above.

def read_bmp(data):
    """-> (width, height, bits, palette, rows of RGB tuples, top row first)."""
    magic, _size, _r1, _r2, offset = struct.unpack_from('<2sIHHI', data, 0)
    if magic != b'BM':
        raise ValueError('not a bitmap')
    size, w, h, planes, bits, comp, _img, _xr, _yr, used, _imp = struct.unpack_from('<IiiHHIIiiII', data, 14)
    if size != 40 or planes != 1 or comp != 0:
        raise ValueError('unexpected bitmap header')
    pal = []
    if bits <= 8:
        n = used or (1 << bits)
        for k in range(n):
            b, g, r, _ = struct.unpack_from('<BBBB', data, 54 + 4 * k)
            pal.append((r, g, b))
    rows = decode_rows(data, offset, w, abs(h), bits, pal, h > 0)
    return w, abs(h), bits, pal, rows


def decode_rows(data, offset, w, h, bits, pal, bottom_up):
    stride = ((w * bits + 31) // 32) * 4
    rows = []
    for j in range(h):
        base = offset + j * stride
        row = []
        for x in range(w):
            if bits == 8:
                row.append(pal[data[base + x]])
            elif bits == 4:
                v = data[base + x // 2]
                row.append(pal[(v >> 4) if x % 2 == 0 else (v & 15)])
            elif bits == 1:
                row.append((data[base + x // 8] >> (7 - x % 8)) & 1)
            elif bits == 32:
                b, g, r, a = data[base + 4 * x:base + 4 * x + 4]
                row.append((r, g, b, a))
            elif bits == 24:
                b, g, r = data[base + 3 * x:base + 3 * x + 3]
                row.append((r, g, b))
        rows.append(row)
    if bottom_up:
        rows.reverse()
    return rows


def read_icon_file(data):
    """-> (kind, [dict(w, h, bits, hot, rows, mask)]); rows are RGB or None
    where the AND mask makes the pixel transparent."""
    _res, kind, count = struct.unpack_from('<HHH', data, 0)
    if kind not in (1, 2) or _res != 0:
        raise ValueError('not an icon or cursor')
    out = []
    for k in range(count):
        w, h, _colours, _r, a, b, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * k)
        w, h = w or 256, h or 256
        size, iw, ih, planes, bits, comp = struct.unpack_from('<IiiHH I', data, offset)[:6]
        if size != 40 or iw != w or ih != 2 * h or comp != 0 or offset + length > len(data):
            raise ValueError('bad image header in entry %d' % k)
        pal = []
        if bits <= 8:
            for n in range(1 << bits):
                bb, gg, rr, _ = struct.unpack_from('<BBBB', data, offset + 40 + 4 * n)
                pal.append((rr, gg, bb))
        start = offset + 40 + 4 * len(pal)
        colour = decode_rows(data, start, w, h, bits, pal, True)
        mask_start = start + ((w * bits + 31) // 32) * 4 * h
        mask = decode_rows(data, mask_start, w, h, 1, None, True)
        if mask_start + ((w + 31) // 32) * 4 * h != offset + length:
            raise ValueError('entry %d: length does not match' % k)
        rows = [[None if mask[y][x] else colour[y][x][:3] for x in range(w)] for y in range(h)]
        out.append({'w': w, 'h': h, 'bits': bits, 'hot': (a, b) if kind == 2 else None,
                    'rows': rows, 'alpha': [[colour[y][x][3] if bits == 32 else None for x in range(w)]
                                            for y in range(h)]})
    return kind, out


# ---------------------------------------------------------------------------
# Check

STRIPS = [
    # file, cell width, cell height, cells, bits, indices that must have a picture
    ('toolbar.bmp', 16, 16, TOOLBAR_CELLS, 8, TOOLBAR_MEANING),
    ('toolbar16.bmp', 16, 16, TOOLBAR_CELLS, 4, TOOLBAR_MEANING),
    ('folderview.bmp', 16, 16, FOLDER_CELLS, 8, FOLDER_MEANING),
    ('folderview16.bmp', 16, 16, FOLDER_CELLS, 4, FOLDER_MEANING),
    ('folderstate.bmp', STATE_SIZE, STATE_SIZE, STATE_CELLS, 4, STATE_MEANING),
    ('titleview.bmp', TITLE_SIZE, TITLE_SIZE, TITLE_CELLS, 8, TITLE_MEANING),
    ('titleview16.bmp', TITLE_SIZE, TITLE_SIZE, TITLE_CELLS, 4, TITLE_MEANING),
    ('play.bmp', 16, 16, 1, 8, {0: 'play'}),
]
CURSORS = ['dragimage.cur', 'foldercopy.cur', 'titlecopy.cur', 'titlemove.cur']


def check(folder):
    """Returns a list of faults found in the files of folder."""
    faults = []

    def load(name):
        with open(os.path.join(folder, name), 'rb') as f:
            return f.read()

    for name, cw, ch, cells, bits, used in STRIPS:
        w, h, b, pal, rows = read_bmp(load(name))
        if (w, h) != (cw * cells, ch):
            faults.append('%s: %d x %d, want %d x %d' % (name, w, h, cw * cells, ch))
            continue
        if b != bits:
            faults.append('%s: %d bits per pixel, want %d' % (name, b, bits))
        if bits == 4 and pal != VGA:
            faults.append('%s: palette is not the VGA palette' % name)
        if rows[0][0] != MAGENTA:
            faults.append('%s: top-left pixel %r is not magenta' % (name, rows[0][0]))
        seen = {}
        for index in range(cells):
            cell = tuple(tuple(r[index * cw:(index + 1) * cw]) for r in rows)
            drawn = sum(1 for r in cell for p in r if p != MAGENTA)
            if index in used and drawn < cw * ch // 16:
                faults.append('%s: cell %d (%s) is (nearly) empty' % (name, index, used[index]))
            if index in used and cell in seen:
                faults.append('%s: cells %d and %d look the same' % (name, seen[cell], index))
            seen.setdefault(cell, index)
    # the two depths of a strip show the same shapes
    for deep, flat in (('toolbar.bmp', 'toolbar16.bmp'), ('folderview.bmp', 'folderview16.bmp'),
                       ('titleview.bmp', 'titleview16.bmp')):
        a, b = read_bmp(load(deep))[4], read_bmp(load(flat))[4]
        if [[p == MAGENTA for p in r] for r in a] != [[p == MAGENTA for p in r] for r in b]:
            faults.append('%s and %s differ in shape' % (deep, flat))

    kind, images = read_icon_file(load('zeva.ico'))
    sizes = sorted(im['w'] for im in images)
    if kind != 1 or sizes != [16, 32]:
        faults.append('zeva.ico: kind %d, sizes %r' % (kind, sizes))
    for im in images:
        if im['bits'] not in (8, 32) or im['w'] != im['h']:
            faults.append('zeva.ico: %d x %d at %d bits' % (im['w'], im['h'], im['bits']))
        if not any(p is None for r in im['rows'] for p in r):
            faults.append('zeva.ico %d: no transparent pixel' % im['w'])
        for y, r in enumerate(im['rows']):
            for x, p in enumerate(r):
                a = im['alpha'][y][x]
                if a is not None and (a == 0) != (p is None):
                    faults.append('zeva.ico %d: alpha and mask disagree at %d,%d' % (im['w'], x, y))
    for name in CURSORS:
        kind, images = read_icon_file(load(name))
        if kind != 2 or len(images) != 1:
            faults.append('%s: not one cursor' % name)
            continue
        im = images[0]
        if (im['w'], im['h']) != (32, 32):
            faults.append('%s: %d x %d' % (name, im['w'], im['h']))
        hx, hy = im['hot']
        if not (0 <= hx < im['w'] and 0 <= hy < im['h']) or im['rows'][hy][hx] is None:
            faults.append('%s: hot spot %d,%d is not on the picture' % (name, hx, hy))
    return faults


def main(argv):
    if '--check' in argv:
        with tempfile.TemporaryDirectory() as tmp:
            names = render(tmp)
            faults = []
            for name in names:
                with open(os.path.join(tmp, name), 'rb') as f:
                    fresh = f.read()
                path = os.path.join(OUT, name)
                if not os.path.exists(path):
                    faults.append('%s is missing from res/art' % name)
                    continue
                with open(path, 'rb') as f:
                    if f.read() != fresh:
                        faults.append('res/art/%s differs from what draw.py draws' % name)
        faults += check(OUT)
        for fault in faults:
            print('FAULT:', fault)
        print('%d fault(s)' % len(faults))
        return 1 if faults else 0
    for name in render(OUT):
        rid, what = FILES[name]
        print('wrote res/art/%-17s %s%s' % (name, 'resource %d: ' % rid if rid else '', what))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
