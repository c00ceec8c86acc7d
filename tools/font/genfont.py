#!/usr/bin/env python3
"""Builds the built-in stroke font: collects the symbol glyphs (symbols.py),
the hanzi of every GBK code the stroke data holds (hanzi.py, with the
project's GBK table, gbkmap.py) and the two placeholders, checks them, packs the point stream `ttu` and
the code table `zzhi`, and writes graphics/generated/fontdata.{h,cpp} with
their licence notices in graphics/generated/fontdata-licenses/.

    python3 tools/font/genfont.py [cache_dir]

The packages must already be in cache_dir (tools/font/fetch.sh). The output
depends on nothing but the pinned packages, so running it twice gives the
same files byte for byte.

Stream format: two bytes a point, x then y, coordinate = byte >> 1 on the
128 grid (origin top-left, y down). Bit 0 of x ends a stroke, bit 0 of y
ends the glyph; a blank glyph is the point (0, 0) with both bits set.
Code table: one-byte codes ascending, then the two-byte codes (lead +
256 * trail) in (lead, trail) order.

Placeholders: the program draws a code that has no glyph of its own with one
of two glyphs kept under codes that are no character: 0x0080 (a stray byte
0x80) for a byte of 0x80 or more that starts no GBK pair, in the left half
of the cell like every one-byte glyph, and 0xFFFF (no GBK lead byte) for a
GBK character the font lacks. Both are an inset box with a cross.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import compose  # noqa: E402
import gbkmap  # noqa: E402
import hanzi  # noqa: E402
import symbols  # noqa: E402

OUT_DIR = os.path.join(ROOT, "graphics", "generated")
LICENCE_DIR = os.path.join(OUT_DIR, "fontdata-licenses")
SYMBOL_LICENCES = os.path.join(HERE, "SYMBOLS-LICENSES.md")

BLANKS = {0x20, 0xA1 + 256 * 0xA1, 0xA3 + 256 * 0xA0}
MAX_STROKES = 200        # stroke ends the trajectory buffer holds
MAX_DRAWN_POINTS = 10000  # trajectory points it holds
CHECK_SIZE = 128         # cell size at which the drawn points are counted
NARROW_BOX = 0x0080      # the placeholders, as graphics/mybitmap.h names them
WIDE_BOX = 0xFFFF


def box(x0, y0, x1, y1):
    """The outline starts downwards and the box is taller than wide, so the
    editor (which draws strokes that start more across than down in red)
    shows it all in the text colour, unlike any character."""
    return (compose.poly((x0, y0), (x0, y1), (x1, y1), (x1, y0), closed=True)
            + compose.seg(x0, y0, x1, y1) + compose.seg(x1, y0, x0, y1))


def placeholders():
    return {NARROW_BOX: compose.finish(box(8, 16, 55, 111), 63),
            WIDE_BOX: compose.finish(box(20, 16, 107, 111))}


def required_codes():
    """ASCII, the GB2312 symbol rows, A3A0/A3FF and the GB2312 hanzi."""
    codes = set(range(0x20, 0x7F))
    for lead in range(0xA1, 0xAA):
        for trail in range(0xA1, 0xFF):
            try:
                bytes([lead, trail]).decode("gb2312")
            except UnicodeDecodeError:
                continue
            codes.add(lead + 256 * trail)
    codes |= {0xA3 + 256 * 0xA0, 0xA3 + 256 * 0xFF}
    codes |= set(hanzi.gb2312_hanzi_codes())
    return codes


def order_key(code):
    if code < 0x80:
        return (0, code)
    return (1, code & 0xFF, code >> 8)


def normalise(strokes):
    """A one-point stroke would vanish in the stream; it becomes a dot."""
    out = []
    for s in strokes:
        s = [(int(x), int(y)) for x, y in s]
        if len(s) == 1:
            s = s * 2
        if s:
            out.append(s)
    return out


def drawn_points(strokes, size=CHECK_SIZE):
    """Points the recording line stores for a glyph drawn at `size`."""
    total = 0
    for s in strokes:
        pts = [(size * x // 128, size * y // 128) for x, y in s]
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            total += max(abs(ax - bx), abs(ay - by))
    return total


def check(glyphs, gbk):
    errors = []
    required = required_codes() | {NARROW_BOX, WIDE_BOX}
    for code in sorted(required - set(glyphs)):
        errors.append(f"{code:#06x}: missing")
    for code in sorted(set(glyphs) - required - set(gbk)):
        errors.append(f"{code:#06x}: not a code of this font")
    for code, strokes in glyphs.items():
        if (code in BLANKS) != (not strokes):
            errors.append(f"{code:#06x}: " + ("blank has strokes" if strokes else "no strokes"))
        xmax = 63 if code < 0x100 else 127
        for s in strokes:
            if any(not (0 <= x <= xmax and 0 <= y <= 127) for x, y in s):
                errors.append(f"{code:#06x}: point outside 0..{xmax} x 0..127")
                break
        if len(strokes) > MAX_STROKES or drawn_points(strokes) > MAX_DRAWN_POINTS:
            errors.append(f"{code:#06x}: too big for the trajectory buffers")
    if errors:
        raise SystemExit("genfont: bad glyphs:\n  " + "\n  ".join(errors[:50]))


def pack_glyph(strokes):
    if not strokes:
        return bytes([0x01, 0x01])
    out = bytearray()
    for si, s in enumerate(strokes):
        for pi, (x, y) in enumerate(s):
            stroke_end = pi == len(s) - 1
            glyph_end = stroke_end and si == len(strokes) - 1
            out += bytes([x << 1 | stroke_end, y << 1 | glyph_end])
    return bytes(out)


def pack(glyphs):
    codes = sorted(glyphs, key=order_key)
    stream = b"".join(pack_glyph(glyphs[c]) for c in codes)
    return codes, stream


# ---- C++ output

HEADER_NOTE = "// generated by tools/font/genfont.py, do not edit\n"


def c_string_lines(data, width=76):
    """The bytes as string literal lines: printable ASCII as is, the rest
    as three-digit octal escapes (never ambiguous with a following digit)."""
    lines, cur = [], ""
    for b in data:
        ch = chr(b)
        if 0x20 <= b < 0x7F and ch not in '\\"?':
            piece = ch
        else:
            piece = f"\\{b:03o}"
        if len(cur) + len(piece) > width:
            lines.append(f'    "{cur}"')
            cur = ""
        cur += piece
    if cur:
        lines.append(f'    "{cur}"')
    return "\n".join(lines)


def c_short_lines(values, per_line=12):
    rows = []
    for i in range(0, len(values), per_line):
        rows.append("    " + ", ".join(f"0x{v:04X}" for v in values[i:i + per_line]) + ",")
    return "\n".join(rows)


def write_header(path):
    text = HEADER_NOTE + """// The built-in stroke font: the point stream and the glyph code table.
#pragma once

extern const unsigned char ttu[];      // the point stream, ttunumber bytes
extern const int ttunumber;
extern const unsigned short zzhi[];    // code of glyph i, zzhinumber entries
extern const int zzhinumber;
"""
    write_if_changed(path, text)


def write_source(path, codes, stream, stats):
    text = HEADER_NOTE + f"""//
// The built-in stroke font, {len(codes)} glyphs in {len(stream)} bytes.
//
// Hanzi (the GB2312 ones, lead bytes 0xB0..0xF7, and every other GBK
// character the package holds): converted from the stroke medians of npm
// {hanzi.PACKAGE} {hanzi.VERSION} (Arphic Public License, see
// fontdata-licenses/ARPHICPL.TXT). Each median was mapped from its 1024
// grid (y up) to the 128 grid as x / 8 and (900 - y) / 8, thinned with
// Douglas-Peucker at {hanzi.TOLERANCE} design units and rounded; stroke order
// is kept. The outlines of the package are not used.
// ASCII and the symbol rows 0xA1..0xA9: see fontdata-licenses/README.md.
// GBK has {stats['gbk']} two-byte characters: {stats['drawn']} have a glyph here, the other
// {stats['gbk'] - stats['drawn']} are drawn as the placeholder under code 0xFFFF (a box with a
// cross); a stray byte of 0x80 or more is drawn as the narrow one, 0x0080.
//
// Largest glyph: {stats['max_points']} points, {stats['max_strokes']} strokes, {stats['max_drawn']} trajectory
// points when drawn at {CHECK_SIZE} px.
#include "graphics/generated/fontdata.h"

const int ttunumber = {len(stream)};
const int zzhinumber = {len(codes)};

// One byte more than ttunumber: the literal's terminating zero.
const unsigned char ttu[{len(stream) + 1}] =
{c_string_lines(stream)};

const unsigned short zzhi[{len(codes)}] = {{
{c_short_lines(codes)}
}};
"""
    write_if_changed(path, text)


def write_if_changed(path, text):
    data = text.encode("utf-8") if isinstance(text, str) else text
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def write_licences(cache_dir, glyphs, hanzi_codes, stats):
    symbol_codes = set(glyphs) - set(hanzi_codes) - {NARROW_BOX, WIDE_BOX}
    extra = sorted(symbol_codes - required_codes(), key=order_key)
    extras = ""
    if extra:
        rows = ", ".join(sorted({f"0x{c & 0xFF:02X}" for c in extra}))
        extras = f", and {len(extra)} GBK symbols beyond GB2312 in rows {rows}"
    beyond = len(hanzi_codes) - len(hanzi.gb2312_hanzi_codes())
    os.makedirs(LICENCE_DIR, exist_ok=True)
    write_if_changed(os.path.join(LICENCE_DIR, "ARPHICPL.TXT"), hanzi.licence_text(cache_dir))
    with open(SYMBOL_LICENCES, "rb") as f:
        write_if_changed(os.path.join(LICENCE_DIR, "SYMBOLS-LICENSES.md"), f.read())
    readme = f"""<!-- generated by tools/font/genfont.py, do not edit -->
# Sources of the built-in stroke font

graphics/generated/fontdata.cpp is generated by `tools/font/regenerate.sh`
from these packages (downloaded into the git-ignored tools/cache/):

| glyphs | package | version | licence |
|---|---|---|---|
| hanzi: the 6763 of GB2312 and {beyond} more GBK characters | npm `{hanzi.PACKAGE}` | {hanzi.VERSION} (sha256 `{hanzi.SHA256}`) | Arphic Public License: [ARPHICPL.TXT](ARPHICPL.TXT), shipped unaltered |
| ASCII and rows 0xA1..0xA9 | see [SYMBOLS-LICENSES.md](SYMBOLS-LICENSES.md) | | |
| which GBK code is which character | this project's `editor/generated/gbktable.cpp` (made by `tools/gbk/` from Debian `locales` 2.36-9+deb12u14) | | LGPL-2.1-or-later |
| the two placeholders (a box with a cross) | drawn by `tools/font/genfont.py` | | (this project's) |

The font holds every GB2312 code, ASCII 0x20..0x7E and the whole full-width
row 0xA3 (0xA3A0 blank, 0xA3FF included){extras}, and
every GBK character the hanzi package holds. Of GBK's {stats['gbk']} two-byte
characters {stats['drawn']} have a glyph; the other {stats['gbk'] - stats['drawn']} (mostly rare hanzi of
GBK/3 and GBK/4) are drawn as a box with a cross in their two-column cell, and
a byte of 0x80 or more that starts no GBK character as a narrow one.

The hanzi are a modification of the package's data in the sense of the
Arphic Public License (converted format, reduced point set): the stroke
medians were scaled onto the 128 grid, thinned and rounded; the packed
stream in fontdata.cpp is distributed under the same licence.
"""
    write_if_changed(os.path.join(LICENCE_DIR, "README.md"), readme)


def main():
    cache_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "tools", "cache")
    gbk = gbkmap.gbk_chars()
    glyphs = {}
    glyphs.update({c: normalise(s) for c, s in symbols.symbol_glyphs(cache_dir).items()})
    others = {c: ch for c, ch in gbk.items() if c not in glyphs}
    hanzi_codes = hanzi.hanzi_glyphs(cache_dir, others)
    glyphs.update({c: normalise(s) for c, s in hanzi_codes.items()})
    glyphs.update(placeholders())
    check(glyphs, gbk)
    codes, stream = pack(glyphs)
    stats = {
        "max_points": max(sum(len(s) for s in g) for g in glyphs.values()),
        "max_strokes": max(len(g) for g in glyphs.values()),
        "max_drawn": max(drawn_points(g) for g in glyphs.values()),
        "gbk": len(gbk),
        "drawn": len(set(gbk) & set(glyphs)),
    }
    write_header(os.path.join(OUT_DIR, "fontdata.h"))
    write_source(os.path.join(OUT_DIR, "fontdata.cpp"), codes, stream, stats)
    write_licences(cache_dir, glyphs, hanzi_codes, stats)
    hz = sum(len(pack_glyph(glyphs[c])) for c in hanzi_codes)
    print(f"genfont: {len(codes)} glyphs, {len(stream) // 2} points, {len(stream)} bytes "
          f"(hanzi {hz} bytes); largest glyph {stats['max_points']} points, "
          f"{stats['max_strokes']} strokes, {stats['max_drawn']} drawn points at {CHECK_SIZE} px; "
          f"GBK characters: {stats['drawn']} of {stats['gbk']} drawn, "
          f"{stats['gbk'] - stats['drawn']} as the placeholder")


if __name__ == "__main__":
    main()
