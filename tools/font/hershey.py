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
_CMD_RE = re.compile(r"([MLml])\s*(-?[\d.]+)[\s,]+(-?[\d.]+)")


def parse_svg_font(text):
    """Returns {character: HGlyph} of an SVG font with M/L paths.

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
        strokes, cur = [], []
        for cmd, x, y in _CMD_RE.findall(attrs.get("d", "")):
            if cmd in "Mm" and cur:
                strokes.append(cur)
                cur = []
            cur.append((float(x), -float(y)))
        if cur:
            strokes.append(cur)
        adv = float(attrs.get("horiz-adv-x", 0))
        out[ch] = HGlyph(0.0, adv, strokes)
    return out


def load_svg_font(path):
    with open(path, encoding="utf-8") as f:
        return parse_svg_font(f.read())
