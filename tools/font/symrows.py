"""Composed glyphs for the symbol rows A1, A2, A6 (vertical forms), A8 and
A9, by character."""


def glyph(src, ch):
    return None
