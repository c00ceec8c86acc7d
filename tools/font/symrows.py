"""Composed glyphs for the symbol rows: punctuation, brackets, operators
and shapes (A1), numerals (A2), vertical forms (A6), pinyin letters and
bopomofo (A8), box drawing (A9).  glyph(src, ch) returns float strokes on
the 128 grid, or None for a character it does not know.
"""

import math
import unicodedata

import compose as C
import rows
from rows import MID, S, place


def F(src, ch):
    return src.futural[ord(ch) - 32]


def filled_dot(cx, cy, r=4.5):
    pts = C.circle_pts(cx, cy, r, 12)
    return C.poly(*pts, closed=True) + C.hatch(pts, 2.0)


def wave(x0, x1, y, amp, flip=False):
    """A tilde: one period of a sine between x0 and x1."""
    pts = []
    n = 12
    for i in range(n + 1):
        t = i / n
        v = math.sin(2 * math.pi * t) * amp
        pts.append((x0 + (x1 - x0) * t, y + (v if flip else -v)))
    return [pts]


# ------------------------------------------------------------ text layout

def layout(glyphs, s=S, box=(4, 4, 124, 124), gap=0.0):
    """Hershey glyphs set side by side by their advance widths, y scaled by
    s about MID, squeezed horizontally into the box and centred in it."""
    strokes, cur = [], 0.0
    for g in glyphs:
        strokes += [[(x - g.left + cur, y) for x, y in st] for st in g.strokes]
        cur += g.right - g.left + gap
    b = C.bbox(strokes)
    sx = s
    if (b[2] - b[0]) * sx > box[2] - box[0]:
        sx = (box[2] - box[0]) / (b[2] - b[0])
    mx = (b[0] + b[2]) / 2
    cx = (box[0] + box[2]) / 2
    return [[(cx + (x - mx) * sx, MID + y * s) for x, y in st] for st in strokes]


def text(src, t, s=S, box=(4, 4, 124, 124), gap=0.0):
    return layout([F(src, c) for c in t], s, box, gap)


# ---------------------------------------------------------------- row A1

def quote_right(src, cx):
    return place(F(src, "'"), cx=cx, dy=-2)


def quote_left(src, cx):
    q = quote_right(src, cx)
    b = C.bbox(q)
    return C.rotate(q, 180, cx, (b[1] + b[3]) / 2)


def lens(fill):
    pts = [(70, 4), (112, 4), (94, 30), (88, 64), (94, 98), (112, 124), (70, 124)]
    out = C.poly(*pts, closed=True)
    return out + C.hatch(pts) if fill else out + C.seg(80, 14, 80, 114)


def corner(white):
    if white:
        return C.poly((112, 6), (64, 6), (64, 92), (76, 92), (76, 18), (112, 18), closed=True)
    return C.poly((110, 10), (72, 10), (72, 86))


def shape(name, fill):
    pts = {
        "circle": C.circle_pts(64, 64, 50, 32),
        "diamond": [(64, 8), (120, 64), (64, 120), (8, 64)],
        "square": [(14, 14), (114, 14), (114, 114), (14, 114)],
        "triangle": [(64, 8), (120, 112), (8, 112)],
    }[name]
    return C.filled(pts) if fill else C.poly(*pts, closed=True)


def arrow_right():
    return C.seg(6, 64, 122, 64) + C.poly((94, 40), (122, 64), (94, 88))


def iteration_mark():
    return (C.seg(58, 12, 36, 46)
            + C.poly((46, 34), (100, 34), (90, 62), (74, 88), (46, 114))
            + C.seg(50, 62, 74, 82))


def male():
    return (C.circle(50, 78, 32) + C.seg(73, 55, 112, 16)
            + C.poly((84, 16), (112, 16), (112, 44)))


def female():
    return C.circle(64, 44, 32) + C.seg(64, 76, 64, 124) + C.seg(40, 102, 88, 102)


def currency():
    out = C.circle(64, 64, 30)
    for a in (45, 135, 225, 315):
        r = math.radians(a)
        out += C.seg(64 + 30 * math.cos(r), 64 + 30 * math.sin(r),
                     64 + 50 * math.cos(r), 64 + 50 * math.sin(r))
    return out


def numero(src):
    n = place(F(src, "N"), cx=44)
    o = C.transform(place(F(src, "o")), 0.75, dx=40, dy=-24, ox=64, oy=64)
    b = C.bbox(o)
    return n + o + C.seg(b[0], b[3] + 10, b[2], b[3] + 10)


def per_mille(src):
    pc = place(F(src, "%"), cx=52, sx=S * 0.9)
    b = C.bbox(pc)
    return pc + C.circle(b[2] + 12, b[3] - 12, 9)


def celsius():
    return C.circle(24, 26, 10) + C.arc(80, 66, 34, 46, 35, 325)


def cent(src):
    c = place(F(src, "c"), dy=4)
    b = C.bbox(c)
    mx = (b[0] + b[2]) / 2 + 2
    return c + C.seg(mx, b[1] - 14, mx, b[3] + 14)


def a1_table(src):
    M, Y = src.mathlow, src.symbolic
    leq_lt = place(F(src, "<"), dy=-10)
    geq_gt = place(F(src, ">"), dy=-10)
    integral = C.fit(place(M[81]), 40, 4, 88, 124)
    t = {
        "、": C.poly((28, 86), (36, 96), (44, 110)),
        "。": C.circle(30, 100, 12),
        "·": filled_dot(64, 64, 5),
        "ˉ": C.seg(36, 24, 92, 24),
        "ˇ": C.poly((44, 14), (64, 32), (84, 14)),
        "¨": filled_dot(48, 24, 4) + filled_dot(80, 24, 4),
        "〃": C.seg(52, 46, 42, 70) + C.seg(80, 46, 70, 70),
        "々": iteration_mark(),
        "—": C.seg(0, 64, 127, 64),
        "～": wave(12, 116, 64, 10),
        "‖": C.seg(54, 4, 54, 124) + C.seg(74, 4, 74, 124),
        "…": filled_dot(22, 64) + filled_dot(64, 64) + filled_dot(106, 64),
        "’": quote_right(src, 40),
        "”": quote_right(src, 32) + quote_right(src, 52),
        "‘": quote_left(src, 88),
        "“": quote_left(src, 76) + quote_left(src, 96),
        "〔": C.poly((102, 4), (82, 22), (82, 106), (102, 124)),
        "〈": C.poly((102, 2), (70, 64), (102, 126)),
        "《": C.poly((92, 2), (60, 64), (92, 126)) + C.poly((114, 2), (82, 64), (114, 126)),
        "「": corner(False),
        "『": corner(True),
        "〖": lens(False),
        "【": lens(True),
        "±": place(M[1]),
        "×": place(M[3]),
        "÷": place(M[88]),
        "∶": filled_dot(64, 40) + filled_dot(64, 88),
        "∧": C.poly((30, 104), (64, 24), (98, 104)),
        "∨": C.poly((30, 24), (64, 104), (98, 24)),
        "∑": C.fit(place(M[27]), 24, 8, 104, 120),
        "∏": C.fit(place(M[26]), 20, 8, 108, 120),
        "∪": place(M[69]),
        "∩": place(M[71]),
        "∈": place(M[72]),
        "∷": (filled_dot(40, 40) + filled_dot(88, 40)
              + filled_dot(40, 88) + filled_dot(88, 88)),
        "√": C.fit(place(M[67]), 14, 6, 118, 122),
        "⊥": place(M[90]),
        "∥": C.seg(60, 20, 44, 108) + C.seg(86, 20, 70, 108),
        "∠": place(M[92]),
        "⌒": C.arc(64, 96, 50, 50, 205, 335),
        "⊙": C.circle(64, 64, 48) + filled_dot(64, 64, 6),
        "∫": integral,
        "∮": integral + C.circle(64, 64, 12),
        "≡": place(M[32]),
        "≌": wave(30, 98, 40, 8, flip=True) + C.seg(30, 68, 98, 68) + C.seg(30, 90, 98, 90),
        "≈": wave(30, 98, 50, 9) + wave(30, 98, 78, 9),
        "∽": wave(24, 104, 64, 12, flip=True),
        "∝": place(M[62]),
        "≠": place(M[31]),
        "≮": place(F(src, "<")) + C.seg(78, 22, 50, 106),
        "≯": place(F(src, ">")) + C.seg(78, 22, 50, 106),
        "≤": leq_lt + C.seg(34, 104, 94, 104),
        "≥": geq_gt + C.seg(34, 104, 94, 104),
        "∞": place(M[63], sx=S * 1.2),
        "∵": filled_dot(40, 44) + filled_dot(88, 44) + filled_dot(64, 92),
        "∴": filled_dot(64, 44) + filled_dot(40, 92) + filled_dot(88, 92),
        "♂": male(),
        "♀": female(),
        "°": C.circle(34, 28, 11),
        "′": C.seg(42, 10, 32, 42),
        "″": C.seg(42, 10, 32, 42) + C.seg(60, 10, 50, 42),
        "℃": celsius(),
        "＄": place(F(src, "$")),
        "¤": currency(),
        "￠": cent(src),
        "￡": place(sans_glyph(src, "£")),
        "‰": per_mille(src),
        "§": C.fit(place(Y[73]), 40, 6, 88, 122),
        "№": numero(src),
        "☆": C.poly(*C.star_pts(64, 68, 58), closed=True),
        "★": C.filled_star(64, 68, 58),
        "○": shape("circle", False),
        "●": shape("circle", True),
        "◎": C.circle(64, 64, 50) + C.circle(64, 64, 30),
        "◇": shape("diamond", False),
        "◆": shape("diamond", True),
        "□": shape("square", False),
        "■": shape("square", True),
        "△": shape("triangle", False),
        "▲": shape("triangle", True),
        "※": (C.seg(32, 32, 96, 96) + C.seg(96, 32, 32, 96) + filled_dot(64, 18)
              + filled_dot(64, 110) + filled_dot(18, 64) + filled_dot(110, 64)),
        "→": arrow_right(),
        "←": C.rotate(arrow_right(), 180),
        "↑": C.rotate(arrow_right(), -90),
        "↓": C.rotate(arrow_right(), 90),
        "〓": C.filled([(8, 38), (120, 38), (120, 56), (8, 56)])
              + C.filled([(8, 72), (120, 72), (120, 90), (8, 90)]),
    }
    for o, c in ("〔〕", "〈〉", "《》", "〖〗", "【】"):
        t[c] = C.mirror_x(t[o])
    for o, c in ("「」", "『』"):
        t[c] = C.rotate(t[o], 180)
    return t


# ---------------------------------------------------------------- row A2

ROMAN = ["I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI", "XII"]
HANZI_SLOTS = {"一": 18, "二": 19, "三": 20, "四": 21, "五": 22, "六": 23, "七": 24,
               "九": 26, "十": 17}


def roman(src, n, upper):
    t = ROMAN[n - 1]
    if upper:
        g = text(src, t, box=(10, 4, 118, 124), gap=-3)
        b = C.bbox(g)
        half = max((b[2] - b[0]) / 2 + 4, 16)
        mx = (b[0] + b[2]) / 2
        return g + C.seg(mx - half, b[1], mx + half, b[1]) + C.seg(mx - half, b[3], mx + half, b[3])
    return text(src, t.lower(), box=(16, 4, 112, 124), gap=-2)


def small_hanzi(src, ch, box):
    if ch == "八":
        g = C.poly((52, 24), (48, 66), (22, 108)) + C.poly((76, 26), (82, 70), (108, 106))
    else:
        h = src.japanese[HANZI_SLOTS[ch]]
        strokes = rows.drop_shadows(h.strokes, rows.KANA_TOL)
        g = [[(64 + x * 4.5, MID + y * 4.5) for x, y in s] for s in strokes]
        if ch == "一":
            return C.transform(g, (box[2] - box[0]) / 128, ox=64, oy=64,
                               dx=(box[0] + box[2]) / 2 - 64, dy=(box[1] + box[3]) / 2 - 64)
    return C.fit(g, *box)


def a2_glyph(src, ch):
    name = unicodedata.name(ch)
    n = unicodedata.numeric(ch, None)
    if name.startswith("SMALL ROMAN NUMERAL"):
        return roman(src, int(n), False)
    if name.startswith("ROMAN NUMERAL"):
        return roman(src, int(n), True)
    if name.startswith("DIGIT") and name.endswith("FULL STOP") or name.startswith("NUMBER") \
            and name.endswith("FULL STOP"):
        return text(src, "%d." % n, box=(6, 4, 122, 124), gap=-2)
    if name.startswith("PARENTHESIZED IDEOGRAPH"):
        return (text(src, "(", s=S * 0.9, box=(6, 0, 26, 128))
                + small_hanzi(src, ch_of_number(n), (32, 32, 96, 96))
                + text(src, ")", s=S * 0.9, box=(102, 0, 122, 128)))
    if name.startswith("PARENTHESIZED"):
        return text(src, "(%d)" % n, s=S * 0.9, box=(6, 4, 122, 124), gap=-2)
    if name.startswith("CIRCLED"):
        return C.circle(64, 64, 58) + text(src, "%d" % n, s=S * 0.75, box=(32, 20, 96, 108))
    return None


def ch_of_number(n):
    return "一二三四五六七八九十"[int(n) - 1]


# ---------------------------------------------------------------- row A6

VERTICAL = {"︵": "（", "︶": "）", "︹": "〔", "︺": "〕", "︿": "〈", "﹀": "〉",
            "︽": "《", "︾": "》", "﹁": "「", "﹂": "」", "﹃": "『", "﹄": "』",
            "︻": "【", "︼": "】", "︷": "｛", "︸": "｝"}


def vertical_form(src, ch, a1):
    if ch in VERTICAL:
        h = VERTICAL[ch]
        base = a1.get(h) or place(F(src, chr(ord(h) - 0xFF01 + 0x21)))
        return C.rotate(base, 90)
    if ch == "︱":
        return C.seg(64, 0, 64, 127)
    if ch == "︳":
        return C.seg(12, 0, 12, 127)
    if ch == "︴":
        # a wave along the left edge: the horizontal wave with x and y swapped
        return [[(y, x) for x, y in s] for s in wave(0, 127, 12, 6)]
    return None


# ---------------------------------------------------------------- row A8

def sans_glyph(src, ch):
    """A HersheySans1 glyph in Hershey units (baseline at y 9, 31.5 SVG
    units a Hershey unit)."""
    g = src.sans[ch]
    k = 1 / 31.5
    return g._replace(left=0.0, right=g.right * k,
                      strokes=[[(x * k, y * k + 9) for x, y in s] for s in g.strokes])


def accent(src, accented, base):
    a = sans_glyph(src, accented).strokes
    b = sans_glyph(src, base).strokes
    return [s for s in a if s not in b]


def accents(src):
    acute = accent(src, "á", "a")
    grave = accent(src, "à", "a")
    dia = accent(src, "ü", "u")
    circ = accent(src, "ê", "e")
    b = C.bbox(circ)
    caron = C.mirror_y(circ, (b[1] + b[3]) / 2)
    macron = [[(b[0], (b[1] + b[3]) / 2), (b[2], (b[1] + b[3]) / 2)]]
    return {"\u0304": macron, "\u0301": acute, "\u030c": caron, "\u0300": grave,
            "\u0308": dia, "\u0302": circ}


def centre_on(strokes, x, top=None, bottom=None):
    """Moves an accent so its ink is centred on x; with top/bottom also
    squeezed vertically into that band."""
    b = C.bbox(strokes)
    out = [[(p[0] - (b[0] + b[2]) / 2 + x, p[1]) for p in s] for s in strokes]
    if top is not None:
        if b[3] - b[1] < 1:      # a flat mark (macron) goes in the middle of the band
            return [[(p[0], (top + bottom) / 2) for p in s] for s in out]
        k = min(1.0, (bottom - top) / (b[3] - b[1]))
        out = [[(p[0], bottom - (b[3] - p[1]) * k) for p in s] for s in out]
    return out


def pinyin(src, ch):
    d = unicodedata.normalize("NFD", ch)
    base, marks = d[0], d[1:]
    if ch == "ɑ":
        base, marks = "a", ""
    elif ch == "ɡ":
        base, marks = "g", ""
    if base not in "aeiounvg" or any(m not in "\u0304\u0301\u030c\u0300\u0308\u0302" for m in marks):
        return None
    g = sans_glyph(src, base)
    strokes = g.strokes
    if base == "i" and marks:
        strokes = [s for s in strokes if max(p[1] for p in s) > -4]   # dotless
    b = C.bbox(strokes)
    mx = (b[0] + b[2]) / 2
    acc = accents(src)
    extra = []
    if "\u0308" in marks and len(marks) == 2:
        extra += centre_on(acc["\u0308"], mx, -9.5, -7.5)
        extra += centre_on(acc[marks[1]], mx, -16.2, -11.5)
    else:
        for m in marks:
            extra += centre_on(acc[m], mx)
    return place(g, strokes=strokes + extra)


BOPOMOFO = {
    "ㄅ": [[(54, 12), (28, 56)], [(40, 38), (96, 38), (94, 76), (86, 104), (70, 114), (60, 106)]],
    "ㄆ": [[(50, 12), (30, 46)], [(40, 34), (96, 34), (76, 66), (30, 108)], [(56, 70), (102, 112)]],
    "ㄇ": [[(26, 22), (26, 116)], [(26, 22), (102, 22), (102, 104), (92, 114), (82, 108)]],
    "ㄈ": [[(102, 22), (28, 22), (28, 106), (106, 106)]],
    "ㄉ": [[(46, 10), (26, 42)], [(36, 30), (98, 30), (96, 94), (86, 112), (74, 106)],
          [(64, 30), (58, 72), (30, 110)]],
    "ㄊ": [[(60, 8), (66, 22)], [(20, 32), (108, 32)], [(72, 38), (32, 98), (96, 90)],
          [(80, 70), (102, 110)]],
    "ㄋ": [[(22, 24), (92, 24), (66, 56), (102, 56), (100, 96), (86, 114), (74, 106)],
          [(46, 24), (44, 74), (22, 112)]],
    "ㄌ": [[(22, 40), (100, 40), (98, 96), (86, 114), (74, 106)], [(62, 12), (58, 70), (24, 112)]],
    "ㄍ": [[(56, 14), (30, 60), (58, 112)], [(96, 14), (70, 60), (98, 112)]],
    "ㄎ": [[(18, 22), (110, 22)], [(48, 22), (40, 54), (92, 54), (88, 98), (76, 114), (64, 106)]],
    "ㄏ": [[(18, 24), (110, 24)], [(38, 24), (36, 78), (16, 112)]],
    "ㄐ": [[(32, 18), (32, 66), (98, 66)], [(80, 14), (80, 116), (68, 108)]],
    "ㄑ": [[(80, 10), (34, 62), (86, 118)]],
    "ㄒ": [[(18, 26), (110, 26)], [(64, 26), (64, 118)], [(84, 54), (96, 74)]],
    "ㄓ": [[(64, 10), (64, 108)], [(28, 30), (28, 72), (100, 72), (100, 30)], [(16, 110), (112, 110)]],
    "ㄔ": [[(60, 10), (24, 44)], [(68, 38), (28, 80)], [(50, 62), (50, 120)]],
    "ㄕ": [[(32, 20), (98, 20), (98, 52), (32, 52)], [(32, 20), (32, 72), (24, 100), (12, 118)]],
    "ㄖ": [[(32, 16), (32, 112)], [(32, 16), (96, 16), (96, 112)], [(32, 62), (96, 62)],
          [(32, 112), (96, 112)]],
    "ㄗ": [[(28, 20), (94, 20), (94, 62), (82, 72)], [(28, 20), (28, 118)]],
    "ㄘ": [[(18, 48), (110, 34)], [(58, 10), (58, 100), (68, 112), (104, 112), (108, 96)]],
    "ㄙ": [[(64, 14), (24, 98), (98, 90)], [(80, 64), (104, 112)]],
    "ㄚ": [[(26, 18), (64, 62)], [(102, 18), (64, 62)], [(64, 62), (64, 120)]],
    "ㄛ": [[(24, 22), (100, 22), (66, 58)], [(66, 58), (98, 66), (106, 92), (88, 112), (52, 110)]],
    "ㄜ": [[(64, 6), (64, 24)], [(24, 30), (100, 30), (66, 64)],
          [(66, 64), (98, 72), (106, 96), (88, 114), (52, 112)]],
    "ㄝ": [[(34, 20), (34, 100), (46, 112), (104, 112), (108, 96)], [(66, 14), (66, 88)],
          [(16, 56), (106, 42), (102, 68), (94, 76)]],
    "ㄞ": [[(20, 26), (108, 26)], [(64, 34), (28, 100), (98, 92)], [(82, 68), (104, 112)]],
    "ㄟ": [[(20, 30), (76, 30), (60, 58), (76, 92), (112, 116)]],
    "ㄠ": [[(60, 10), (32, 50), (72, 46)], [(80, 28), (28, 106), (96, 98)], [(84, 72), (106, 112)]],
    "ㄡ": [[(24, 22), (98, 22), (82, 60), (20, 114)], [(40, 48), (110, 114)]],
    "ㄢ": [[(22, 22), (94, 22), (94, 64), (30, 64)],
          [(30, 22), (30, 100), (40, 112), (104, 112), (108, 96)]],
    "ㄣ": [[(50, 12), (28, 64), (88, 64)], [(84, 28), (84, 116), (72, 108)]],
    "ㄤ": [[(16, 40), (112, 40)], [(60, 12), (58, 72), (24, 114)],
          [(72, 40), (72, 100), (82, 112), (108, 112), (112, 96)]],
    "ㄥ": [[(60, 14), (32, 100), (106, 100)]],
    "ㄦ": [[(46, 24), (46, 72), (22, 112)], [(80, 24), (80, 100), (88, 112), (108, 112), (112, 94)]],
    "ㄧ": [[(14, 64), (114, 64)]],
    "ㄨ": [[(96, 18), (24, 112)], [(34, 22), (104, 112)]],
    "ㄩ": [[(28, 34), (28, 104), (100, 104), (100, 34)]],
}


# ---------------------------------------------------------------- row A9

def box_arms(name):
    """{direction: weight} of a box-drawing character from its Unicode
    name, e.g. 'DOWN LIGHT AND RIGHT HEAVY' -> {d: 1, r: 2}."""
    words = name.replace("BOX DRAWINGS ", "").split()
    default = {"LIGHT": 1, "HEAVY": 2}.get(words[0], 1)
    arms = {}
    for part in " ".join(words).split(" AND "):
        ws = part.split()
        weight = default
        for w in ws:
            if w in ("LIGHT", "HEAVY"):
                weight = 1 if w == "LIGHT" else 2
        for w in ws:
            for d in {"UP": "u", "DOWN": "d", "LEFT": "l", "RIGHT": "r",
                      "VERTICAL": "ud", "HORIZONTAL": "lr"}.get(w, ""):
                arms[d] = weight
    return arms


END = {"u": (64, 0), "d": (64, 127), "l": (0, 64), "r": (127, 64)}


def box_glyph(ch):
    name = unicodedata.name(ch)
    if not name.startswith("BOX DRAWINGS"):
        return None
    arms = box_arms(name)
    dashes = 3 if "TRIPLE DASH" in name else 4 if "QUADRUPLE DASH" in name else 0
    heavy = max(arms.values()) == 2
    out = []
    if dashes:
        horiz = "l" in arms
        w = 2 if heavy else 1
        step = 128 / dashes
        for i in range(dashes):
            a, b = i * step + step * 0.18, (i + 1) * step - step * 0.18
            for off in ((-3, 0, 3) if w == 2 else (0,)):
                out += C.seg(a, 64 + off, b, 64 + off) if horiz else C.seg(64 + off, a, 64 + off, b)
        return out
    reach = 3 if heavy else 0     # heavy arms go past the centre to join
    for d, w in sorted(arms.items()):
        ex, ey = END[d]
        offs = (-3, 0, 3) if w == 2 else (0,)
        for off in offs:
            if d in "ud":
                sy = 64 - reach if d == "d" else 64 + reach
                out += C.seg(64 + off, sy, ex + off, ey)
            else:
                sx = 64 - reach if d == "r" else 64 + reach
                out += C.seg(sx, 64 + off, ex, ey + off)
    return out


# ---------------------------------------------------------------- dispatch

class Composer:
    """glyph(ch) for every character of the composed rows, None for others."""

    def __init__(self, src):
        self.src = src
        self.a1 = a1_table(src)

    def glyph(self, ch):
        if ch in self.a1:
            return self.a1[ch]
        if ch in BOPOMOFO:
            return [list(map(tuple, s)) for s in BOPOMOFO[ch]]
        for g in (a2_glyph(self.src, ch), vertical_form(self.src, ch, self.a1),
                  pinyin(self.src, ch), box_glyph(ch)):
            if g is not None:
                return g
        return None
