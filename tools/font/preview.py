#!/usr/bin/env python3
"""Contact sheets of stroke glyphs as PNG files, in plain Python.

Rasterises glyphs ({code: [[(x, y), ...], ...]} on the 128 grid) the way the
editor scales them (X = x0 + w * px / 128, truncated) with one-pixel lines,
or a square brush for large cells.  Only for looking at the font; nothing
here is used by the program.

    python3 tools/font/preview.py [cache_dir] [out_dir]

writes symbols-24.png and symbols-96.png (one block of cells per lead byte)
and, for a closer look, symbols-96-XX.png for each block XX (1B = ASCII).
"""

import os
import struct
import sys
import zlib

BG = (255, 255, 255)
INK = (0, 0, 0)
CELL_EDGE = (200, 200, 230)
HALF_EDGE = (235, 205, 205)
LABEL = (40, 90, 200)


class Canvas:
    def __init__(self, width, height):
        self.w = width
        self.h = height
        self.px = bytearray(bytes(BG) * (width * height))

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            i = 3 * (y * self.w + x)
            self.px[i:i + 3] = bytes(c)

    def line(self, x0, y0, x1, y1, c, brush=1):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            for bx in range(brush):
                for by in range(brush):
                    self.put(x0 + bx, y0 + by, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def rect(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x1, y0, x1, y1, c)
        self.line(x1, y1, x0, y1, c)
        self.line(x0, y1, x0, y0, c)

    def png(self):
        raw = b"".join(b"\0" + bytes(self.px[3 * y * self.w:3 * (y + 1) * self.w])
                       for y in range(self.h))

        def chunk(tag, data):
            body = tag + data
            return (struct.pack(">I", len(data)) + body
                    + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

        return (b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def draw_glyph(cv, x, y, strokes, w, h=None, c=INK, brush=1):
    h = h or w
    for s in strokes:
        pts = [(x + int(w * px / 128), y + int(h * py / 128)) for px, py in s]
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            cv.line(bx, by, ax, ay, c, brush)


def groups_of(glyphs):
    """Codes grouped for display: one-byte codes, then one group per lead byte."""
    groups = {}
    for code in sorted(glyphs, key=lambda c: (c & 0xFF, c >> 8) if c > 0xFF else (0, c)):
        key = 0 if code < 0x100 else code & 0xFF
        groups.setdefault(key, []).append(code)
    return [groups[k] for k in sorted(groups)]


def sheet(glyphs, cell, cols=16, brush=1, groups=None):
    groups = groups or groups_of(glyphs)
    pad = 4
    label_w = cell * 2
    rows = sum((len(g) + cols - 1) // cols for g in groups)
    width = label_w + cols * (cell + pad) + pad
    height = rows * (cell + pad) + len(groups) * pad * 3 + pad
    cv = Canvas(width, height)
    y = pad
    for g in groups:
        lead = g[0] & 0xFF if g[0] > 0xFF else 0
        label = "%02X" % lead if lead else "1B"
        draw_glyph(cv, 2, y, _label_strokes(glyphs, label), cell, c=LABEL)
        for i, code in enumerate(g):
            cx = label_w + (i % cols) * (cell + pad)
            cy = y + (i // cols) * (cell + pad)
            cv.rect(cx - 1, cy - 1, cx + cell, cy + cell, CELL_EDGE)
            if code < 0x100:
                cv.line(cx + cell // 2, cy, cx + cell // 2, cy + cell - 1, HALF_EDGE)
            draw_glyph(cv, cx, cy, glyphs[code], cell, brush=brush)
        y += ((len(g) + cols - 1) // cols) * (cell + pad) + pad * 3
    return cv


def _label_strokes(glyphs, text):
    """The two label characters drawn side by side with the font's own digits."""
    out = []
    for i, ch in enumerate(text):
        for s in glyphs.get(ord(ch), []):
            out.append([(x + 64 * i, y) for x, y in s])
    return out


def write(path, cv):
    with open(path, "wb") as f:
        f.write(cv.png())


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    sys.path.insert(0, here)
    import symbols
    cache = argv[1] if len(argv) > 1 else os.path.join(here, "..", "cache")
    out = argv[2] if len(argv) > 2 else "."
    glyphs = symbols.symbol_glyphs(cache)
    write(os.path.join(out, "symbols-24.png"), sheet(glyphs, 24))
    write(os.path.join(out, "symbols-96.png"), sheet(glyphs, 96, brush=2))
    for g in groups_of(glyphs):
        name = "%02X" % (g[0] & 0xFF) if g[0] > 0xFF else "1B"
        write(os.path.join(out, "symbols-96-%s.png" % name),
              sheet(glyphs, 96, brush=2, groups=[g]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
