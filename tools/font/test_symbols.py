"""Invariants of the symbol glyphs handed to the font generator.

Needs the downloaded sources (tools/cache, or BIHUA_FONT_CACHE); run from
the repository root with  python3 -m unittest discover -s tools/font
"""

import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import compose  # noqa: E402
import hershey  # noqa: E402
import rows  # noqa: E402
import symbols  # noqa: E402
import symrows  # noqa: E402

CACHE = os.environ.get("BIHUA_FONT_CACHE", os.path.join(HERE, "..", "cache"))


class GlyphSetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.glyphs = symbols.symbol_glyphs(CACHE)

    def test_every_required_code_has_a_glyph(self):
        need = symbols.required_codes()
        self.assertEqual(len(need), 95 + 682 + 2)
        self.assertEqual(need - set(self.glyphs), set())
        for k in need:
            if k not in symbols.BLANKS:
                self.assertTrue(self.glyphs[k], "empty glyph for %#x" % k)
        for k in symbols.BLANKS:
            self.assertEqual(self.glyphs[k], [], "%#x must be blank" % k)

    def test_codes_are_ascii_or_symbol_rows(self):
        for k in self.glyphs:
            if k < 0x100:
                self.assertTrue(0x20 <= k <= 0x7E)
            else:
                self.assertTrue(0xA1 <= (k & 0xFF) <= 0xA9 and 0xA0 <= (k >> 8) <= 0xFF, hex(k))

    def test_only_a3ff_shows_the_missing_glyph(self):
        box = compose.finish(rows.missing_glyph())
        self.assertEqual([k for k, g in self.glyphs.items() if g == box], [rows.code(0xA3, 0xFF)])

    def test_points_in_range_and_within_budget(self):
        for k, g in self.glyphs.items():
            xmax = 63 if k < 0x100 else 127
            self.assertLessEqual(len(g), 100, hex(k))
            self.assertLessEqual(sum(len(s) for s in g), 300, hex(k))
            for s in g:
                self.assertGreaterEqual(len(s), 2, hex(k))
                for x, y in s:
                    self.assertIsInstance(x, int)
                    self.assertIsInstance(y, int)
                    self.assertTrue(0 <= x <= xmax and 0 <= y <= 127, (hex(k), x, y))

    def test_deterministic(self):
        self.assertEqual(symbols.symbol_glyphs(CACHE), self.glyphs)

    def test_ascii_uses_left_half_and_full_height(self):
        ys = [y for c in range(0x21, 0x7F) for s in self.glyphs[c] for _, y in s]
        self.assertLess(min(ys), 12)
        self.assertGreater(max(ys), 115)
        xs = [x for s in self.glyphs[ord("W")] for x, _ in s]
        self.assertGreater(max(xs) - min(xs), 40)


def gcode(ch):
    b = ch.encode("gbk")
    return b[0] + 256 * b[1]


def box(g):
    return compose.bbox(g)


class ShapesTest(unittest.TestCase):
    """Placement rules that are easy to break when tuning a row."""

    @classmethod
    def setUpClass(cls):
        cls.g = symbols.symbol_glyphs(CACHE)

    def glyph(self, ch):
        return self.g[gcode(ch)]

    def test_centring(self):
        def centre(g):
            b = box(g)
            return (b[0] + b[2]) / 2

        for c in "AHMWaemw0#":
            self.assertAlmostEqual(centre(self.g[ord(c)]), 32, delta=3, msg=c)
            self.assertAlmostEqual(centre(self.glyph(chr(ord(c) + 0xFEE0))), 64, delta=3, msg=c)

    def test_box_drawing_reaches_the_edges_it_names(self):
        def edges(ch):
            n = {"u": 0, "d": 0, "l": 0, "r": 0}
            for s in self.glyph(ch):
                for x, y in (s[0], s[-1]):
                    n["u"] += y == 0
                    n["d"] += y == 127
                    n["l"] += x == 0
                    n["r"] += x == 127
            return {k: v for k, v in n.items() if v}

        self.assertEqual(edges("┼"), {"u": 1, "d": 1, "l": 1, "r": 1})
        self.assertEqual(edges("┌"), {"d": 1, "r": 1})
        self.assertEqual(edges("┭"), {"l": 3, "r": 1, "d": 1})      # left heavy
        self.assertEqual(edges("╀"), {"u": 3, "d": 1, "l": 1, "r": 1})
        self.assertEqual(edges("┍"), {"d": 1, "r": 3})
        self.assertEqual(edges("┄"), {})                            # dashes leave gaps

    def test_accents_sit_above_their_letter(self):
        top = {c: box(self.glyph(c))[1] for c in "ɑāáǎàüǖǘǚǜêň"}
        for c in "āáǎà":
            self.assertLess(top[c], top["ɑ"] - 10, c)
        for c in "ǖǘǚǜ":
            self.assertLess(top[c], top["ü"], c)
            self.assertGreaterEqual(top[c], 0, c)

    def test_small_kana_are_small_and_low(self):
        for small, big in (("ぁ", "あ"), ("ッ", "ツ"), ("ヵ", "カ")):
            s, b = box(self.glyph(small)), box(self.glyph(big))
            self.assertLess(s[3] - s[1], 0.8 * (b[3] - b[1]), small)
            self.assertGreater(s[1], b[1] + 20, small)

    def test_cyrillic_stems_are_single(self):
        for code, g in self.g.items():
            if code & 0xFF != 0xA7:
                continue
            segs = [s for s in g if len(s) == 2]
            for i, a in enumerate(segs):
                for b in segs[i + 1:]:
                    da = (a[1][0] - a[0][0], a[1][1] - a[0][1])
                    off = (b[0][0] - a[0][0], b[0][1] - a[0][1])
                    same = (b[1][0] - b[0][0], b[1][1] - b[0][1]) == da
                    self.assertFalse(same and 0 < abs(off[0]) + abs(off[1]) <= 4,
                                     "doubled stroke in %#x" % code)

    def test_composed_cyrillic_letters(self):
        self.assertEqual(len(self.glyph("Й")), len(self.glyph("И")) + 1)
        self.assertEqual(len(self.glyph("Ё")), len(self.glyph("Е")) + 2)
        self.assertLess(box(self.glyph("Ё"))[1], box(self.glyph("Е"))[1] - 6)

    def test_vertical_forms_are_turned(self):
        b = box(self.glyph("︵"))
        self.assertGreater(b[2] - b[0], 2 * (b[3] - b[1]))


class HelpersTest(unittest.TestCase):
    def test_jhf_record_with_pen_up(self):
        g = hershey.parse_jhf("12345  6JZNFNM RVFVM\n")[0]
        self.assertEqual((g.left, g.right), (-8, 8))
        self.assertEqual(g.strokes, [[(-4, -12), (-4, -5)], [(4, -12), (4, -5)]])

    def test_jhf_continuation_lines(self):
        text = "12345  6JZNFNM\n RVFVM\n12345  1JZ\n"
        gl = hershey.parse_jhf(text)
        self.assertEqual(len(gl), 2)
        self.assertEqual(len(gl[0].strokes), 2)
        self.assertEqual(gl[1].strokes, [])

    def test_svg_glyph_flips_y(self):
        svg = '<glyph unicode="&#xe1;" horiz-adv-x="10" d="M 1 2 L 3 4 M 5 6 L 7 8" />'
        g = hershey.parse_svg_font(svg)["\xe1"]
        self.assertEqual(g.strokes, [[(1.0, -2.0), (3.0, -4.0)], [(5.0, -6.0), (7.0, -8.0)]])

    def test_double_stems_merge_to_one(self):
        stems = [[(-7, -12), (-7, 9)], [(-6, -12), (-6, 9)], [(-6, -2), (6, -2)]]
        out = rows.merge_double_stems(stems)
        self.assertIn([(-6.5, -12), (-6.5, 9)], out)
        self.assertEqual(len(out), 2)

    def test_finish_keeps_dots_and_clamps(self):
        self.assertEqual(compose.finish([[(10.2, 10.4), (9.8, 9.6)]]), [[(10, 10), (11, 10)]])
        self.assertEqual(compose.finish([[(-3, 140), (70, 5)]], 63), [[(0, 127), (63, 5)]])

    def test_box_arm_names(self):
        self.assertEqual(symrows.box_arms("BOX DRAWINGS LIGHT DOWN AND RIGHT"), {"d": 1, "r": 1})
        self.assertEqual(symrows.box_arms("BOX DRAWINGS LEFT HEAVY AND RIGHT VERTICAL LIGHT"),
                         {"l": 2, "r": 1, "u": 1, "d": 1})
        self.assertEqual(symrows.box_arms("BOX DRAWINGS HEAVY VERTICAL AND HORIZONTAL"),
                         {"l": 2, "r": 2, "u": 2, "d": 2})

    def test_wrong_download_is_refused(self):
        with tempfile.NamedTemporaryFile() as f:
            f.write(b"not the package")
            f.flush()
            with self.assertRaises(RuntimeError):
                symbols._check(f.name, symbols.HERSHEY_DEB[2])

    def test_hatch_covers_the_shape(self):
        sq = [(10, 10), (50, 10), (50, 50), (10, 50)]
        (line,) = compose.hatch(sq, 4)
        self.assertEqual(min(y for _, y in line), 10)
        self.assertEqual(max(y for _, y in line), 50)
        self.assertTrue(all(x in (10, 50) for x, _ in line))


if __name__ == "__main__":
    unittest.main()
