#!/usr/bin/env python3
"""Reads cells of a window screenshot (raw RGB from ImageMagick).

cells.py RAW WIDTH CELLW CELLH glyphs ROW [ZOOM]
    one character per cell of the row: 'x' where the cell holds a glyph
    (more than one colour), ' ' where it is one plain colour; with a zoom,
    cells that many times larger.
cells.py RAW WIDTH CELLW CELLH screen
    the glyph pattern of every row, one line each.
cells.py RAW WIDTH CELLW CELLH colours ROW COL [ZOOM]
    the cell's background (most common colour) and foreground (the colour
    farthest from it) as "r,g,b r,g,b".
cells.py RAW WIDTH CELLW CELLH contrast ROW COL [ZOOM]
    the WCAG 2 contrast ratio of the cell's background and foreground.
cells.py RAW WIDTH CELLW CELLH block ROW R,G,B
    the columns of the row whose cells are wholly of the colour.
cells.py RAW WIDTH CELLW CELLH count R,G,B
    how many pixels have the colour.
cells.py RAW WIDTH CELLW CELLH pixel X Y
    one pixel as "r,g,b".
"""
import sys
from collections import Counter

raw, width, cw, ch, what = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
data = open(raw, 'rb').read()
height = len(data) // (width * 3)


def pixel(x, y):
    i = (y * width + x) * 3
    return tuple(data[i:i + 3])


def cell_colours(row, col, zoom=1):
    c = Counter()
    for y in range(row * ch, min((row + zoom) * ch, height)):
        for x in range(col * cw * zoom, min((col + 1) * cw * zoom, width)):
            c[pixel(x, y)] += 1
    return c


def plain(row, col, zoom=1):
    """True when every pixel of the cell has one colour."""
    w = cw * zoom
    x0 = col * w
    first = data[(row * ch * width + x0) * 3:(row * ch * width + x0) * 3 + 3]
    for y in range(row * ch, min((row + zoom) * ch, height)):
        at = (y * width + x0) * 3
        if data[at:at + w * 3] != first * w:
            return False
    return True


def luminance(p):
    def linear(v):
        c = v / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(v) for v in p)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def fg_bg(row, col, zoom=1):
    c = cell_colours(row, col, zoom)
    bg = c.most_common(1)[0][0]
    fg = max(c, key=lambda p: sum((a - b) ** 2 for a, b in zip(p, bg)))
    return bg, fg


def fmt(p):
    return ','.join(map(str, p))


if what == 'screen':
    for row in range(height // ch):
        print(''.join(' ' if plain(row, c) else 'x' for c in range(width // cw)).rstrip())
elif what == 'glyphs':
    row = int(sys.argv[6])
    zoom = int(sys.argv[7]) if len(sys.argv) > 7 else 1
    cols = width // (cw * zoom)
    print(''.join(' ' if plain(row, c, zoom) else 'x' for c in range(cols)).rstrip())
elif what in ('colours', 'contrast'):
    row, col = int(sys.argv[6]), int(sys.argv[7])
    zoom = int(sys.argv[8]) if len(sys.argv) > 8 else 1
    bg, fg = fg_bg(row, col, zoom)
    if what == 'colours':
        print(fmt(bg), fmt(fg))
    else:
        hi, lo = sorted((luminance(bg), luminance(fg)), reverse=True)
        print('%.2f' % ((hi + 0.05) / (lo + 0.05)))
elif what == 'block':
    row = int(sys.argv[6])
    want = tuple(int(v) for v in sys.argv[7].split(','))
    print(' '.join(str(c) for c in range(width // cw)
                   if plain(row, c) and pixel(c * cw, row * ch) == want))
elif what == 'count':
    want = tuple(int(v) for v in sys.argv[6].split(','))
    pixels = memoryview(data).cast('B')
    print(sum(1 for i in range(0, len(data) - 2, 3) if pixels[i] == want[0] and data[i:i + 3] == bytes(want)))
elif what == 'pixel':
    print(fmt(pixel(int(sys.argv[6]), int(sys.argv[7]))))
