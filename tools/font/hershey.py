"""Readers for the Hershey stroke data used by the symbol glyphs.

Two sources: the .jhf files of Debian's hershey-fonts-data (one glyph a
record, coordinates as letters offset from 'R') and the SVG fonts of npm
hersheytext (a path of M/L commands per glyph).  Both give glyphs as
HGlyph(left, right, strokes) in the source's own units, y downwards; no
scaling or placement happens here.
"""

import re
from collections import namedtuple

HGlyph = namedtuple("HGlyph", "left right strokes")


def _records(text):
    """Split a .jhf file into glyph records (continuation lines joined)."""
    records = []
    cur = None
    need = 0
    for line in text.splitlines():
        line = line.rstrip("\r\n")
        if cur is not None and len(cur) < need:
            cur += line
        else:
            if cur is not None:
                records.append(cur)
            cur = line
            need = 8 + 2 * int(line[5:8])
    if cur is not None:
        records.append(cur)
    return records


def parse_jhf(text):
    """Returns the glyphs of a .jhf file in file order."""
    glyphs = []
    for rec in _records(text):
        count = int(rec[5:8])
        body = rec[8:8 + 2 * count]
        left = ord(body[0]) - 82
        right = ord(body[1]) - 82
        strokes, cur = [], []
        for i in range(2, len(body) - 1, 2):
            pair = body[i:i + 2]
            if pair == " R":
                if cur:
                    strokes.append(cur)
                cur = []
            else:
                cur.append((ord(pair[0]) - 82, ord(pair[1]) - 82))
        if cur:
            strokes.append(cur)
        glyphs.append(HGlyph(left, right, strokes))
    return glyphs


def load_jhf(path):
    with open(path, encoding="latin-1") as f:
        return parse_jhf(f.read())


_GLYPH_RE = re.compile(r"<glyph\b([^>]*)/?>")
_ATTR_RE = re.compile(r'([\w-]+)="([^"]*)"')
_TOKEN_RE = re.compile(r"[MLC]|-?(?:\d+\.?\d*|\.\d+)(?:[eE]-?\d+)?")


def _path_strokes(d):
    """Polylines of an SVG path made of absolute M, L and C commands;
    cubic curves are flattened to 8 segments."""
    tokens = _TOKEN_RE.findall(d)
    strokes, cur, cmd, i = [], [], "M", 0
    while i < len(tokens):
        if tokens[i] in "MLC":
            cmd = tokens[i].upper()
            i += 1
            continue
        n = 6 if cmd == "C" else 2
        v = [float(t) for t in tokens[i:i + n]]
        i += n
        if cmd == "M":
            if len(cur) > 1:
                strokes.append(cur)
            cur = [(v[0], -v[1])]
            cmd = "L"
        elif cmd == "L":
            cur.append((v[0], -v[1]))
        else:
            x0, y0 = cur[-1][0], -cur[-1][1]
            for k in range(1, 9):
                t = k / 8
                a, b, c, e = (1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3
                cur.append((a * x0 + b * v[0] + c * v[2] + e * v[4],
                            -(a * y0 + b * v[1] + c * v[3] + e * v[5])))
    if len(cur) > 1:
        strokes.append(cur)
    return strokes


def parse_svg_font(text):
    """Returns {character: HGlyph} of an SVG font with M/L/C paths.

    SVG fonts have y upwards; the result has y downwards like the .jhf data.
    """
    out = {}
    for m in _GLYPH_RE.finditer(text):
        attrs = dict(_ATTR_RE.findall(m.group(1)))
        ch = attrs.get("unicode")
        if ch is None:
            continue
        ch = (ch.replace("&amp;", "&").replace("&quot;", '"')
              .replace("&lt;", "<").replace("&gt;", ">").replace("&apos;", "'"))
        if ch.startswith("&#x"):
            ch = chr(int(ch[3:-1], 16))
        elif ch.startswith("&#"):
            ch = chr(int(ch[2:-1]))
        strokes = _path_strokes(attrs.get("d", ""))
        adv = float(attrs.get("horiz-adv-x", 0))
        out[ch] = HGlyph(0.0, adv, strokes)
    return out


def load_svg_font(path):
    with open(path, encoding="utf-8") as f:
        return parse_svg_font(f.read())
