"""Symbol glyphs taken from the Hershey fonts: ASCII, the full-width row
A3, Greek (A6), Cyrillic (A7) and kana (A4, A5), placed on the 128 grid.
Coordinates stay floats until compose.finish() rounds them.
"""

import compose as C

S = 3.8          # Hershey units to grid units, vertically (and full-width x)
ASCII_SX = 3.5   # one-byte glyphs are a little narrower than tall
MID = 64.0       # grid y of Hershey y = 0


def code(lead, trail):
    return lead + 256 * trail


def ink_box(strokes):
    return C.bbox(strokes)


def place(g, cx=64.0, s=S, sx=None, width=None, dy=0.0, strokes=None):
    """A Hershey glyph centred (by its ink) on x = cx, y scaled by s about
    MID; x scaled by sx, squeezed further when wider than width."""
    strokes = g.strokes if strokes is None else strokes
    sx = s if sx is None else sx
    b = ink_box(strokes)
    if b is None:
        return []
    if width is not None and (b[2] - b[0]) * sx > width:
        sx = width / (b[2] - b[0])
    mx = (b[0] + b[2]) / 2
    return [[(cx + (x - mx) * sx, MID + y * s + dy) for x, y in st] for st in strokes]


def missing_glyph():
    """A box with a cross: what A3FF (no character) shows."""
    return C.rect(16, 12, 112, 116) + C.seg(16, 12, 112, 116) + C.seg(112, 12, 16, 116)


# ---------------------------------------------------------------- ASCII, A3

def ascii_row(src):
    out = {}
    for c in range(0x20, 0x7F):
        out[c] = place(src.futural[c - 32], cx=32, sx=ASCII_SX, width=58)
    return out


def fullwidth(src, ch):
    """Full-width forms of ASCII keep the Hershey proportions, centred."""
    o = ord(ch)
    if 0xFF01 <= o <= 0xFF5E:
        return place(src.futural[o - 0xFF01 + 1])
    if ch == "\uffe5":  # full-width yen
        y = src.futural[ord("Y") - 32]
        return place(y) + C.seg(40, 78, 88, 78) + C.seg(40, 94, 88, 94)
    if ch == "\uffe3":  # full-width macron (overline)
        return C.seg(8, 14, 120, 14)
    return None


def row_a3(src, chars):
    out = {code(0xA3, 0xA0): [], code(0xA3, 0xFF): missing_glyph()}
    for k, ch in chars.items():
        if k & 0xFF == 0xA3:
            out[k] = fullwidth(src, ch)
    return out


# ------------------------------------------------------------ Greek, A6

# greek.jhf follows the ASCII layout with Greek letters in the letter slots.
GREEK_UPPER = "ΑΒΧΔΕΦΓΗΙ?ΚΛΜΝΟΠΘΡΣΤΥ?ΩΞΨΖ"
GREEK_LOWER = "αβχδεφγηι?κλμνοπϑρστυ?ωξψζ"


def greek_map(src):
    m = {}
    for i, ch in enumerate(GREEK_UPPER):
        if ch != "?":
            m[ch] = src.greek[33 + i]
    for i, ch in enumerate(GREEK_LOWER):
        if ch != "?":
            m[ch] = src.greek[65 + i]
    return m


def greek_glyph(src, gm, ch):
    if ch in gm:
        return place(gm[ch])
    if ch == "θ":
        # the source has only the open form; draw the closed one
        return (C.arc(64, MID - 2.5 * S, 4.5 * S, 9.5 * S, 0, 360)
                + C.seg(64 - 4.5 * S, MID - 2.5 * S, 64 + 4.5 * S, MID - 2.5 * S))
    return None


# ---------------------------------------------------------- Cyrillic, A7

# cyrillic.jhf: its own layout over the ASCII slots 0x21..0x7E
CYR_SLOTS = {
    "А": 33, "Б": 34, "Э": 35, "Д": 36, "Ф": 38, "Г": 39, "Ж": 40, "И": 41,
    "Ч": 42, "К": 43, "Л": 44, "М": 45, "Н": 46, "О": 47, "П": 48, "Ш": 49,
    "Р": 50, "С": 51, "Т": 52, "Ю": 53, "В": 54, "Щ": 55, "Х": 56, "У": 57,
    "З": 58, "Е": 59, "Ъ": 61, "Я": 62, "Ь": 63, "Ц": 64, "Ы": 4,
    "а": 65, "б": 66, "э": 67, "д": 68, "й": 69, "ф": 70, "г": 71, "ж": 72,
    "и": 73, "ч": 74, "к": 75, "л": 76, "м": 77, "н": 78, "о": 79, "п": 80,
    "ш": 81, "р": 82, "с": 83, "т": 84, "ю": 85, "в": 86, "щ": 87, "х": 88,
    "у": 89, "з": 90, "е": 91, "ъ": 92, "я": 93, "ь": 94, "ц": 5, "ы": 6,
}


def _is_seg(s):
    return len(s) == 2


def merge_double_stems(strokes):
    """The Cyrillic source draws stems as two straight strokes one unit
    apart; keep one stroke in the middle of each pair."""
    out = [list(s) for s in strokes]
    used = set()
    merged = []
    for i, a in enumerate(out):
        if i in used or not _is_seg(a):
            continue
        for j in range(i + 1, len(out)):
            b = out[j]
            if j in used or not _is_seg(b):
                continue
            d0 = (b[0][0] - a[0][0], b[0][1] - a[0][1])
            d1 = (b[1][0] - a[1][0], b[1][1] - a[1][1])
            if d0 == d1 and abs(d0[0]) + abs(d0[1]) == 1:
                used.update((i, j))
                merged.append([((p[0] + q[0]) / 2, (p[1] + q[1]) / 2) for p, q in zip(a, b)])
                break
    rest = [s for k, s in enumerate(out) if k not in used] + merged
    return drop_shadows(rest)


def _dist_to_poly(p, s):
    best = float("inf")
    for (x0, y0), (x1, y1) in zip(s, s[1:]):
        dx, dy = x1 - x0, y1 - y0
        L = dx * dx + dy * dy
        t = 0.0 if L == 0 else max(0.0, min(1.0, ((p[0] - x0) * dx + (p[1] - y0) * dy) / L))
        ex, ey = x0 + t * dx - p[0], y0 + t * dy - p[1]
        best = min(best, (ex * ex + ey * ey) ** 0.5)
    return best


def _length(s):
    return sum(((x1 - x0) ** 2 + (y1 - y0) ** 2) ** 0.5 for (x0, y0), (x1, y1) in zip(s, s[1:]))


def drop_shadows(strokes, tol=1.01):
    """Drops thickening strokes that run alongside a longer stroke within
    tol units."""
    keep = []
    for i, s in enumerate(strokes):
        shadow = False
        for j, t in enumerate(strokes):
            if i == j or len(t) < 2 or _length(t) <= _length(s):
                continue
            if all(_dist_to_poly(p, t) <= tol for p in s):
                shadow = True
                break
        if not shadow:
            keep.append(s)
    return keep


def cyrillic_glyph(src, ch):
    if ch in CYR_SLOTS:
        return place(src.cyrillic[CYR_SLOTS[ch]],
                     strokes=merge_double_stems(src.cyrillic[CYR_SLOTS[ch]].strokes))
    if ch in "Ёё":
        base = src.cyrillic[CYR_SLOTS["Е" if ch == "Ё" else "е"]]
        strokes = merge_double_stems(base.strokes)
        b = ink_box(strokes)
        mx = (b[0] + b[2]) / 2
        y = -14.5 if ch == "Ё" else -8.5
        dots = C.dot(mx - 3, y, 0.8) + C.dot(mx + 3, y, 0.8)
        return place(base, strokes=strokes + dots)
    if ch == "Й":
        base = merge_double_stems(src.cyrillic[CYR_SLOTS["И"]].strokes)
        b = ink_box(base)
        mx = (b[0] + b[2]) / 2
        breve = [[(mx - 4 + 8 * t, -15.5 + 2.5 * (1 - (2 * t - 1) ** 2)) for t in
                  (0, 0.15, 0.3, 0.5, 0.7, 0.85, 1)]]
        return place(src.cyrillic[CYR_SLOTS["И"]], strokes=base + breve)
    return None


# -------------------------------------------------------------- kana, A4 A5

HIRA = ("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
        "や\0ゆ\0よらりるれろわゐ\0ゑをん")
HIRA_VOICED = "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"
KATA = ("アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
        "ヤ\0ユ\0ヨラリルレロワヰ\0ヱヲン")
KATA_VOICED = "ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ"
SMALL = {"ぁ": "あ", "ぃ": "い", "ぅ": "う", "ぇ": "え", "ぉ": "お", "っ": "つ",
         "ゃ": "や", "ゅ": "ゆ", "ょ": "よ", "ゎ": "わ",
         "ァ": "ア", "ィ": "イ", "ゥ": "ウ", "ェ": "エ", "ォ": "オ", "ッ": "ツ",
         "ャ": "ヤ", "ュ": "ユ", "ョ": "ヨ", "ヮ": "ワ", "ヵ": "カ", "ヶ": "ケ"}
KANA_S = 4.9
KANA_TOL = 2.1   # the kana are drawn as brush outlines: keep one side


def kana_map(src):
    m = {}
    for start, chars in ((33, HIRA), (88, HIRA_VOICED), (113, KATA), (168, KATA_VOICED)):
        for i, ch in enumerate(chars):
            if ch != "\0":
                m[ch] = src.japanese[start + i]
    return m


def kana_place(g, strokes=None):
    strokes = drop_shadows(g.strokes if strokes is None else strokes, KANA_TOL)
    return [[(64 + (x - (g.left + g.right) / 2) * KANA_S, MID + (y + 1) * KANA_S) for x, y in s]
            for s in strokes]


def kana_glyph(src, km, ch):
    if ch in km:
        return kana_place(km[ch])
    if ch in SMALL:
        big = kana_glyph(src, km, SMALL[ch])
        return C.transform(big, 0.68, ox=60, oy=116)
    if ch == "ヴ":
        # the voicing mark is what ガ has and カ lacks
        mark = [s for s in km["ガ"].strokes if s not in km["カ"].strokes]
        return kana_place(km["ウ"], km["ウ"].strokes + mark)
    return None
