"""Invariants of the symbol glyphs handed to the font generator.

Needs the downloaded sources (tools/cache, or BIHUA_FONT_CACHE); run from
the repository root with  python3 -m unittest discover -s tools/font
"""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import compose  # noqa: E402
import hershey  # noqa: E402
import rows  # noqa: E402
import symbols  # noqa: E402

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

    def test_no_placeholder_left(self):
        box = compose.finish(rows.placeholder())
        left = [hex(k) for k, g in self.glyphs.items()
                if g == box and k != rows.code(0xA3, 0xFF)]
        self.assertEqual(left, [])

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

    def test_hatch_covers_the_shape(self):
        sq = [(10, 10), (50, 10), (50, 50), (10, 50)]
        (line,) = compose.hatch(sq, 4)
        self.assertEqual(min(y for _, y in line), 10)
        self.assertEqual(max(y for _, y in line), 50)
        self.assertTrue(all(x in (10, 50) for x, _ in line))


if __name__ == "__main__":
    unittest.main()
