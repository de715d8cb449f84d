#!/usr/bin/env python3
"""Draw the bitmap and icon resources of QRCIGEFrameworkSvcs.

Standard library only.  Writes 4-bit palette BMP files (toolbar buttons,
list row images, tree images) and 32-bit ICO files (16x16 and 32x32, BGRA
with alpha plus an AND mask) into
source/userservices/qrcigeframeworksvcs/res/art/.

The generated files are committed; the build does not run this script.
Run it again after changing a drawing:

    python3 tools/artwork/draw_artwork.py [--out DIR] [--ascii]

Conventions used by the dialogs that load these pictures:
  * Button bitmaps are loaded with LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT:
    the colour of the corner pixel is the transparent background and the
    greys 128/192/223 become the system 3-D colours.  Button pictures
    therefore sit on RGB(192,192,192) and use the other greys only for
    3-D shading; outlines use the non-system greys below.
  * Image-list bitmaps (row and tree images) use magenta RGB(255,0,255)
    as their transparent colour.
  * Every corner pixel is background, so whichever "first pixel" a loader
    samples (top-left, or bottom-left as stored in a bottom-up DIB), it
    finds the background colour.
"""

import argparse
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(
    HERE, '..', '..', 'source', 'userservices', 'qrcigeframeworksvcs',
    'res', 'art'))

# ---------------------------------------------------------------------------
# Shared 16-colour palette (index, RGB, sprite letter)
# ---------------------------------------------------------------------------

PALETTE = [
    ('K', (0, 0, 0)),          # 0  black
    ('S', (128, 128, 128)),    # 1  3-D shadow grey (mapped)
    ('F', (192, 192, 192)),    # 2  3-D face grey (mapped), button background
    ('H', (223, 223, 223)),    # 3  3-D light grey (mapped)
    ('W', (255, 255, 255)),    # 4  white
    ('M', (255, 0, 255)),      # 5  magenta, image-list background
    ('D', (72, 72, 80)),       # 6  dark slate, outlines
    ('A', (164, 168, 176)),    # 7  silver (not mapped)
    ('N', (16, 48, 128)),      # 8  navy
    ('B', (48, 112, 208)),     # 9  blue
    ('L', (156, 198, 244)),    # 10 light blue
    ('g', (0, 112, 24)),       # 11 dark green
    ('G', (56, 184, 56)),      # 12 green
    ('r', (160, 0, 0)),        # 13 dark red
    ('R', (232, 40, 32)),      # 14 red
    ('Y', (255, 208, 0)),      # 15 yellow
]

IDX = {ch: i for i, (ch, _) in enumerate(PALETTE)}
RGB = [rgb for _, rgb in PALETTE]
assert len(PALETTE) == 16 and len(IDX) == 16


# ---------------------------------------------------------------------------
# File encoders
# ---------------------------------------------------------------------------

def encode_bmp(width, height, pixels, palette, bpp=4):
    """Return the bytes of a palette BMP (BITMAPINFOHEADER, bottom-up rows).

    pixels: list of rows (top row first), each a list of palette indices.
    palette: list of (r, g, b) tuples, at most 2**bpp entries.
    """
    assert bpp in (4, 8)
    assert len(palette) <= (1 << bpp)
    row_bytes = ((width * bpp + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):          # bottom-up
        row = pixels[y]
        assert len(row) == width
        line = bytearray(row_bytes)
        for x, v in enumerate(row):
            assert 0 <= v < len(palette)
            if bpp == 8:
                line[x] = v
            elif x % 2 == 0:
                line[x // 2] |= v << 4
            else:
                line[x // 2] |= v
        data += line
    colours = bytearray()
    for (r, g, b) in palette:
        colours += bytes((b, g, r, 0))
    info = struct.pack('<IiiHHIIiiII',
                       40, width, height, 1, bpp, 0, len(data),
                       2835, 2835, len(palette), len(palette))
    offset = 14 + len(info) + len(colours)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return bytes(head + info + colours + data)


def encode_ico(images):
    """Return the bytes of an ICO file.

    images: list of (size, rgba) where rgba is a list of rows (top first)
    of (r, g, b, a) tuples.  Each image is stored as a 32-bit BGRA DIB
    followed by its 1-bit AND mask (set where fully transparent).
    """
    blobs = []
    for size, rgba in images:
        xor = bytearray()
        for y in range(size - 1, -1, -1):
            for (r, g, b, a) in rgba[y]:
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        mask_row = ((size + 31) // 32) * 4
        mask = bytearray()
        for y in range(size - 1, -1, -1):
            line = bytearray(mask_row)
            for x, px in enumerate(rgba[y]):
                if px[3] == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            mask += line
        info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append((size, bytes(info + xor + mask)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        out += blob
    return bytes(out)


# ---------------------------------------------------------------------------
# Indexed canvas (no anti-aliasing) and pixel masks
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, background):
        self.w = width
        self.h = height
        self.px = [[IDX[background]] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = IDX[c] if isinstance(c, str) else c

    def get(self, x, y):
        return PALETTE[self.px[y][x]][0]

    def paint(self, mask, c, dx=0, dy=0):
        for (x, y) in mask:
            self.put(x + dx, y + dy, c)

    def sprite(self, x0, y0, rows):
        """Copy a letter map; '.' and ' ' leave the canvas untouched."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch not in '. ':
                    self.put(x0 + i, y0 + j, ch)

    def ascii(self):
        return '\n'.join(''.join(PALETTE[v][0] for v in row)
                         for row in self.px)


def m_rect(x0, y0, x1, y1):
    """Filled rectangle, inclusive pixel coordinates."""
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def m_frame(x0, y0, x1, y1):
    return m_rect(x0, y0, x1, y1) - m_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1)


def _seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    l2 = vx * vx + vy * vy
    t = 0.0 if l2 == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / l2))
    cx, cy = ax + t * vx, ay + t * vy
    return math.hypot(px - cx, py - cy)


def _inside(px, py, pts):
    inside = False
    n = len(pts)
    for i in range(n):
        (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
        if (y0 > py) != (y1 > py):
            xc = x0 + (py - y0) * (x1 - x0) / (y1 - y0)
            if px < xc:
                inside = not inside
    return inside


def m_outline(mask, diagonal=False):
    """Pixels next to the mask (4- or 8-neighbourhood) but not in it."""
    steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    if diagonal:
        steps += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    return {(x + dx, y + dy) for (x, y) in mask for (dx, dy) in steps} - mask


# ---------------------------------------------------------------------------
# Row images (list view state icons): 11 images of 16 x 15, magenta
# ---------------------------------------------------------------------------

# Bold check mark for a 16 x 15 cell; the outline is added around it.
TICK = [
    '................',
    '................',
    '................',
    '...........##...',
    '..........###...',
    '.........###....',
    '........###.....',
    '..##...###......',
    '..###.###.......',
    '...#####........',
    '....###.........',
    '.....#..........',
    '................',
    '................',
    '................',
]


def mask_from(rows, ch='#'):
    return {(x, y) for y, row in enumerate(rows)
            for x, c in enumerate(row) if c == ch}


def tick_masks():
    """Bold check mark inside a 16 x 15 cell: (fill, outline)."""
    fill = mask_from(TICK)
    return fill, m_outline(fill)


def draw_task_box(c, x0, y0, size=9):
    """The task box: a white square with a slate frame."""
    x1, y1 = x0 + size - 1, y0 + size - 1
    c.paint(m_rect(x0, y0, x1, y1), 'W')
    c.paint(m_frame(x0, y0, x1, y1), 'D')


SPARK = [
    '...Y...',
    '.D.Y.D.',
    '..YYY..',
    'YYYWYYY',
    '..YYY..',
    '.D.Y.D.',
    '...Y...',
]


def draw_row_images():
    c = Canvas(177, 15, 'M')
    cells = []
    for i in range(11):
        cells.append(Canvas(16, 15, 'M'))

    # 1: in progress - grey tick
    fill, edge = tick_masks()
    cells[1].paint(edge, 'D')
    cells[1].paint(fill, 'A')
    # 2: completed - green tick
    cells[2].paint(edge, 'g')
    cells[2].paint(fill, 'G')

    # 3: error - red exclamation mark
    mark = m_rect(7, 2, 8, 8) | m_rect(7, 10, 8, 11)
    cells[3].paint(m_outline(mark, True), 'r')
    cells[3].paint(mark, 'R')

    # 4: deferred - red horizontal bar
    bar = m_rect(3, 6, 12, 8)
    cells[4].paint(m_outline(bar, True), 'r')
    cells[4].paint(bar, 'R')

    # 5: new - spark over a box
    draw_task_box(cells[5], 2, 5, 9)
    cells[5].sprite(8, 0, SPARK)

    # 6: deleted - box with a red cross
    draw_task_box(cells[6], 3, 3, 10)
    for y in range(4, 12):
        for x in range(4, 12):
            d1, d2 = x - y, x + y - 15
            if abs(d1) <= 1 or abs(d2) <= 1:
                light = (abs(d1) <= 1 and d1 >= 0) or \
                    (abs(d2) <= 1 and d2 <= 0)
                cells[6].put(x, y, 'R' if light else 'r')

    # 7 - 10: plain task box
    for i in range(7, 11):
        draw_task_box(cells[i], 3, 3, 10)

    for i, cell in enumerate(cells):
        for y in range(15):
            for x in range(16):
                c.px[y][16 * i + x] = cell.px[y][x]
    return c


# ---------------------------------------------------------------------------
# Tree images: 3 images of 16 x 16, magenta
# ---------------------------------------------------------------------------

CHECK = [
    '.........',
    '.......GG',
    '......GGg',
    '.G...GGg.',
    '.GG.GGg..',
    '.gGGGg...',
    '..gGg....',
    '...g.....',
    '.........',
]

CUBE = [
    '.......DD.......',
    '.....DDLLDD.....',
    '...DDLLLLLLDD...',
    '.DDLLLLLLLLLLDD.',
    '.DWWLLLLLLLLNND.',
    '.DBBWWLLLLNNNND.',
    '.DBBBBWWNNNNNND.',
    '.DBBBBBWNNNNNND.',
    '.DBBBBBWNNNNNND.',
    '.DBBBBBWNNNNNND.',
    '.DBBBBBWNNNNNND.',
    '.DDBBBBWNNNNNDD.',
    '...DDBBWNNNDD...',
    '.....DDWNDD.....',
    '.......DD.......',
    '................',
]


def draw_tree_images():
    c = Canvas(48, 16, 'M')
    # 0: unchecked box, 1: checked box with a green tick
    for k in (0, 1):
        draw_task_box(c, 16 * k + 2, 3, 11)
    c.sprite(16 + 3, 4, CHECK)
    # 2: a cube
    c.sprite(32, 0, CUBE)
    return c


# ---------------------------------------------------------------------------
# Toolbar buttons: 15 x 15 on button face grey
# ---------------------------------------------------------------------------

def button():
    return Canvas(15, 15, 'F')


REFRESH = [
    '...............',
    '...............',
    '.....#####.....',
    '....#######....',
    '...###...###...',
    '..........###..',
    '..##.....######',
    '.####.....####.',
    '######.....##..',
    '..###..........',
    '...###...###...',
    '....#######....',
    '.....#####.....',
    '...............',
    '...............',
]


def draw_refresh():
    c = button()
    arrows = mask_from(REFRESH)
    c.paint(arrows, 'B')
    return c


def draw_page(c, x0, y0, x1, y1, shadow=True):
    """A sheet of paper with a slate edge and a 3-D shadow."""
    if shadow:
        c.paint(m_rect(x1 + 1, y0 + 1, x1 + 1, y1 + 1), 'S')
        c.paint(m_rect(x0 + 1, y1 + 1, x1 + 1, y1 + 1), 'S')
    c.paint(m_rect(x0, y0, x1, y1), 'W')
    c.paint(m_frame(x0, y0, x1, y1), 'D')


def draw_newtask():
    c = button()
    draw_page(c, 1, 2, 9, 13)
    c.sprite(7, 0, SPARK)
    return c


# A pencil at 45 degrees, writing at the lower left.
PENCIL = [
    '...............',
    '...........DD..',
    '..........DRRD.',
    '.........DRRRD.',
    '........DAAAD..',
    '.......DYYYD...',
    '......DYYYD....',
    '.....DYYYD.....',
    '....DYYYD......',
    '...DWWYD.......',
    '...DWWD........',
    '...KKD.........',
    '...K...........',
    '...............',
    '...............',
]


def draw_properties():
    c = button()
    draw_page(c, 1, 1, 9, 12)
    for y in (3, 5, 7, 9):
        c.paint(m_rect(3, y, 7, y), 'B')
    c.sprite(0, 0, PENCIL)
    return c


RUN = [
    '...............',
    '...............',
    '...............',
    '....##.........',
    '....####.......',
    '....######.....',
    '....########...',
    '....#########..',
    '....########...',
    '....######.....',
    '....####.......',
    '....##.........',
    '...............',
    '...............',
    '...............',
]


def draw_run():
    c = button()
    tri = mask_from(RUN)
    c.paint(m_outline(tri), 'g')
    c.paint(tri, 'G')
    return c


CLOCK = [
    '...............',
    '.....NNNNN.....',
    '...NNLLLLLNN...',
    '..NLWWWDWWWLN..',
    '..NLWWWKWWWLN..',
    '.NLWWWWKWWWWLN.',
    '.NLWWWWKWWWWLN.',
    '.NLDWWWRKKKDLN.',
    '.NLWWWWWWWWWLN.',
    '.NLWWWWWWWWWLN.',
    '..NLWWWWWWWLN..',
    '..NLWWWDWWWLN..',
    '...NNLLLLLNN...',
    '.....NNNNN.....',
    '...............',
]


def draw_defer():
    c = button()
    c.sprite(0, 0, CLOCK)
    return c


def draw_delete():
    c = button()
    for y in range(15):
        for x in range(15):
            if not (2 <= x <= 12 and 2 <= y <= 12):
                continue
            d1, d2 = x - y, x + y - 14
            if abs(d1) <= 1 or abs(d2) <= 1:
                light = (abs(d1) <= 1 and d1 >= 0) or (abs(d2) <= 1 and d2 <= 0)
                c.put(x, y, 'R' if light else 'r')
    return c


BIN = [
    '...............',
    '.....DDDDD.....',
    '.....D...D.....',
    '.DDDDDDDDDDDDD.',
    '.DWAAAAAAAAAAD.',
    '.DDDDDDDDDDDDD.',
    '..DWAAAAAAAAD..',
    '..DWADADADAAD..',
    '..DWADADADAAD..',
    '...DADADADAD...',
    '...DADADADAD...',
    '...DADADADAD...',
    '...DWAAAAAAD...',
    '...DDDDDDDDD...',
    '...............',
]


def draw_deletefromserver():
    c = button()
    c.sprite(0, 0, BIN)
    return c


def draw_report():
    c = button()
    c.paint(m_rect(1, 1, 13, 13), 'W')
    c.paint(m_rect(1, 1, 13, 3), 'G')
    for x in (5, 9):
        c.paint(m_rect(x, 4, x, 13), 'A')
        c.paint(m_rect(x, 1, x, 3), 'g')
    for y in (7, 10):
        c.paint(m_rect(1, y, 13, y), 'A')
    c.paint(m_rect(1, 4, 13, 4), 'g')
    c.paint(m_frame(1, 1, 13, 13), 'D')
    return c


# ---------------------------------------------------------------------------
# 32-bit icons with anti-aliasing
# ---------------------------------------------------------------------------

class RGBACanvas:
    SS = 8  # subsamples per axis

    def __init__(self, size):
        self.n = size
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def coverage(self, pred, x, y):
        s = self.SS
        hit = 0
        for j in range(s):
            for i in range(s):
                if pred(x + (i + 0.5) / s, y + (j + 0.5) / s):
                    hit += 1
        return hit / float(s * s)

    def fill(self, pred, colour, alpha=1.0, box=None):
        """Composite a shape (predicate in edge coordinates) over the image.

        colour: (r, g, b) or a function (x, y) -> (r, g, b).
        """
        x0, y0, x1, y1 = box if box else (0, 0, self.n, self.n)
        for y in range(max(0, y0), min(self.n, y1)):
            for x in range(max(0, x0), min(self.n, x1)):
                cov = self.coverage(pred, x, y)
                if cov <= 0:
                    continue
                col = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                a = cov * alpha
                r0, g0, b0, a0 = self.px[y][x]
                ao = a + a0 * (1 - a)
                if ao <= 0:
                    continue
                mix = [(col[k] * a + (r0, g0, b0)[k] * a0 * (1 - a)) / ao
                       for k in range(3)]
                self.px[y][x] = (mix[0], mix[1], mix[2], ao)

    def sprite(self, rows, colours):
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in colours:
                    col = colours[ch]
                    a = col[3] / 255.0 if len(col) > 3 else 1.0
                    self.px[y][x] = (col[0], col[1], col[2], a)

    def rows(self):
        out = []
        for row in self.px:
            line = []
            for (r, g, b, a) in row:
                ai = int(round(a * 255))
                if ai == 0:
                    line.append((0, 0, 0, 0))
                else:
                    line.append((int(round(r)), int(round(g)),
                                 int(round(b)), ai))
            out.append(line)
        return out


def p_poly(pts):
    return lambda x, y: _inside(x, y, pts)


def p_poly_grow(pts, d):
    segs = [(pts[i], pts[(i + 1) % len(pts)]) for i in range(len(pts))]

    def pred(x, y):
        if _inside(x, y, pts):
            return True
        for (a, b) in segs:
            if _seg_dist(x, y, a[0], a[1], b[0], b[1]) <= d:
                return True
        return False
    return pred


def p_rrect(x0, y0, x1, y1, r):
    def pred(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return pred


def p_stroke(points, width):
    r = width / 2.0
    segs = list(zip(points, points[1:]))
    return lambda x, y: any(
        _seg_dist(x, y, a[0], a[1], b[0], b[1]) <= r for (a, b) in segs)


def vgrad(top, bottom, y0, y1):
    def f(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(top[k] + (bottom[k] - top[k]) * t for k in range(3))
    return f


ARROW_TOP = (74, 138, 232)
ARROW_BOTTOM = (20, 62, 168)
ARROW_EDGE = (8, 28, 84)


def arrow_shapes(size, kind):
    """Right-pointing arrow polygons in a unit 16 box, then transformed."""
    if kind == 'single':
        polys = [[(2, 6), (8, 6), (8, 2), (14, 8), (8, 14), (8, 10),
                  (2, 10)]]
    else:
        polys = [[(2, 2), (8, 8), (2, 14)],
                 [(8, 2), (14, 8), (8, 14)]]
    return polys


def transform(pts, size, direction):
    s = size / 16.0
    out = []
    for (x, y) in pts:
        if direction == 'right':
            u, v = x, y
        elif direction == 'left':
            u, v = 16 - x, y
        elif direction == 'up':
            u, v = y, 16 - x
        else:  # down
            u, v = y, x
        out.append((u * s, v * s))
    return out


def draw_arrow_icon(size, kind, direction):
    c = RGBACanvas(size)
    edge = 1.0 if size <= 16 else 1.5
    for poly in arrow_shapes(size, kind):
        pts = transform(poly, size, direction)
        c.fill(p_poly_grow(pts, edge), ARROW_EDGE)
        c.fill(p_poly(pts), vgrad(ARROW_TOP, ARROW_BOTTOM, 0, size))
    return c.rows()


# 16 x 16 clipboard, drawn pixel by pixel; the 32 x 32 one is drawn from
# shapes below.
TODO16 = [
    '.....kkkkkk.....',
    '.ooookCCCCkoooo.',
    '.ohbkkkkkkkkbbo.',
    '.ohWWWWWWWWWWbo.',
    '.ohWWWWgWWWWWbo.',
    '.ohWgWgGWlllWbo.',
    '.ohWWgGWWWWWWbo.',
    '.ohWWWWgWWWWWbo.',
    '.ohWgWgGWlllWbo.',
    '.ohWWgGWWWWWWbo.',
    '.ohWWWWgWWWWWbo.',
    '.ohWgWgGWlllWbo.',
    '.ohWWgGWWWWWWbo.',
    '.ohWWWWWWWWWWbo.',
    '.obbbbbbbbbbbbo.',
    '.oooooooooooooo.',
]
TODO16_COLOURS = {
    'o': (96, 58, 20), 'b': (184, 128, 62), 'h': (214, 162, 96),
    'k': (56, 56, 64), 'C': (232, 232, 238),
    'W': (255, 255, 255), 'p': (226, 230, 238),
    'G': (120, 196, 120), 'g': (0, 120, 24), 'l': (120, 136, 170),
}


def draw_todo_icon(size):
    c = RGBACanvas(size)
    if size == 16:
        c.sprite(TODO16, TODO16_COLOURS)
        return c.rows()
    s = size / 16.0
    board = p_rrect(1.5 * s, 1.5 * s, 14.5 * s, 15.5 * s, 1.2 * s)
    c.fill(board, (96, 58, 20))
    c.fill(p_rrect(2.5 * s, 2.5 * s, 13.5 * s, 14.5 * s, 0.6 * s),
           vgrad((214, 160, 92), (168, 112, 52), 0, size))
    c.fill(p_rrect(3.5 * s, 3.5 * s, 12.5 * s, 14 * s, 0.3 * s),
           (252, 252, 252))
    c.fill(p_rrect(5 * s, 0.5 * s, 11 * s, 3.5 * s, 0.8 * s), (60, 60, 68))
    c.fill(p_rrect(6 * s, 1.2 * s, 10 * s, 2.8 * s, 0.4 * s),
           vgrad((236, 236, 240), (170, 170, 180), 1.2 * s, 2.8 * s))
    for k in range(3):
        y = (6 + 3 * k) * s
        c.fill(p_stroke([(4.5 * s, y), (5.6 * s, y + 1.1 * s),
                         (7.6 * s, y - 1.2 * s)], 1.0 * s), (0, 140, 30))
        c.fill(p_stroke([(8.8 * s, y), (11.4 * s, y)], 0.8 * s),
               (120, 136, 168))
    return c.rows()


# ---------------------------------------------------------------------------
# Output
# ---------------------------------------------------------------------------

BITMAPS = [
    ('bmp202_rowicons.bmp', draw_row_images),
    ('bmp257_refresh.bmp', draw_refresh),
    ('bmp258_newtask.bmp', draw_newtask),
    ('bmp259_properties.bmp', draw_properties),
    ('bmp261_run.bmp', draw_run),
    ('bmp262_defer.bmp', draw_defer),
    ('bmp263_delete.bmp', draw_delete),
    ('bmp264_deletefromserver.bmp', draw_deletefromserver),
    ('bmp265_report.bmp', draw_report),
    ('bmp271_tree.bmp', draw_tree_images),
]

ICONS = [
    ('ico203_todolist.ico', draw_todo_icon),
    ('ico214_add.ico', lambda n: draw_arrow_icon(n, 'single', 'right')),
    ('ico215_addall.ico', lambda n: draw_arrow_icon(n, 'double', 'right')),
    ('ico216_remove.ico', lambda n: draw_arrow_icon(n, 'single', 'left')),
    ('ico217_removeall.ico', lambda n: draw_arrow_icon(n, 'double', 'left')),
    ('ico218_up.ico', lambda n: draw_arrow_icon(n, 'single', 'up')),
    ('ico219_down.ico', lambda n: draw_arrow_icon(n, 'single', 'down')),
]


def check_corners(name, c):
    bg = c.px[0][0]
    for (x, y) in ((0, 0), (c.w - 1, 0), (0, c.h - 1), (c.w - 1, c.h - 1)):
        if c.px[y][x] != bg:
            raise SystemExit('%s: corner (%d,%d) is not background'
                             % (name, x, y))


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--out', default=DEFAULT_OUT)
    ap.add_argument('--ascii', action='store_true',
                    help='print the bitmaps as letter maps')
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    for name, fn in BITMAPS:
        c = fn()
        check_corners(name, c)
        if args.ascii:
            print(name)
            print(c.ascii())
            print()
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(encode_bmp(c.w, c.h, c.px, RGB, 4))
    for name, fn in ICONS:
        data = encode_ico([(16, fn(16)), (32, fn(32))])
        with open(os.path.join(args.out, name), 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main())
