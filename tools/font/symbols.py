"""Glyphs of every character that is not a hanzi: ASCII and the GB2312
symbol rows A1..A9, for the font generator.

    fetch(cache_dir)            downloads and unpacks the pinned sources
    symbol_glyphs(cache_dir)    {code: [[(x, y), ...], ...]} on the 128 grid

A code is the byte value for ASCII, lead + 256 * trail for a two-byte
character.  One-byte glyphs stay within x 0..63, blanks are empty lists.
Latin, Greek, Cyrillic and kana come from the Hershey stroke data
(rows.py); the rest is composed (symrows.py).  The result depends only on the
pinned source files, so it is the same on every run.
"""

import hashlib
import os
import subprocess
import tarfile

import compose
import hershey
import rows
import symrows

HERSHEY_DEB = ("hershey-fonts-data", "0.1-1.1",
               "c9ae50c441356f95a79234a025a8d572e4e0aa2ff233e7c5273b6fd41eb00360")
HERSHEYTEXT = ("hersheytext", "2.0.0",
               "02b5dec72395c04940048b4cac9c6e7a41ddb41954884c482fbfd4e9e955bb1e")

JHF_DIR = os.path.join("hershey-fonts-data", "usr", "share", "hershey-fonts")
SVG_FONT = os.path.join("hersheytext", "package", "svg_fonts", "HersheySans1.svg")


def _sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def _check(path, want):
    got = _sha256(path)
    if got != want:
        raise RuntimeError("%s: sha256 %s, expected %s" % (path, got, want))


def fetch(cache_dir):
    """Downloads the pinned Debian and npm packages into cache_dir and
    unpacks them; does nothing for a package already unpacked there."""
    os.makedirs(cache_dir, exist_ok=True)
    cache_dir = os.path.abspath(cache_dir)
    name, ver, sha = HERSHEY_DEB
    if not os.path.exists(os.path.join(cache_dir, JHF_DIR, "futural.jhf")):
        deb = os.path.join(cache_dir, "%s_%s_all.deb" % (name, ver))
        if not os.path.exists(deb):
            subprocess.run(["apt-get", "download", "%s=%s" % (name, ver)],
                           cwd=cache_dir, check=True)
        _check(deb, sha)
        subprocess.run(["dpkg-deb", "-x", deb, os.path.join(cache_dir, name)], check=True)
    name, ver, sha = HERSHEYTEXT
    if not os.path.exists(os.path.join(cache_dir, SVG_FONT)):
        tgz = os.path.join(cache_dir, "%s-%s.tgz" % (name, ver))
        if not os.path.exists(tgz):
            subprocess.run(["npm", "pack", "--silent", "%s@%s" % (name, ver)],
                           cwd=cache_dir, check=True, stdout=subprocess.DEVNULL)
        _check(tgz, sha)
        with tarfile.open(tgz) as t:
            t.extractall(os.path.join(cache_dir, name), filter="data")


class Sources:
    """The parsed source fonts, by name."""

    def __init__(self, cache_dir):
        def jhf(name):
            return hershey.load_jhf(os.path.join(cache_dir, JHF_DIR, name + ".jhf"))

        self.futural = jhf("futural")
        self.greek = jhf("greek")
        self.cyrillic = jhf("cyrillic")
        self.japanese = jhf("japanese")
        self.mathlow = jhf("mathlow")
        self.symbolic = jhf("symbolic")
        self.sans = hershey.load_svg_font(os.path.join(cache_dir, SVG_FONT))


def gbk_codes(lead_lo=0xA1, lead_hi=0xA9):
    """{code: character} of every two-byte code the gbk codec knows in the
    given lead-byte range (a superset of GB2312 there)."""
    out = {}
    for lead in range(lead_lo, lead_hi + 1):
        for trail in range(0xA1, 0xFF):
            try:
                ch = bytes([lead, trail]).decode("gbk")
            except UnicodeDecodeError:
                continue
            out[lead + 256 * trail] = ch
    return out


def gb2312_codes():
    """The two-byte codes of GB2312 rows A1..A9."""
    out = set()
    for code in gbk_codes():
        try:
            bytes([code & 0xFF, code >> 8]).decode("gb2312")
        except UnicodeDecodeError:
            continue
        out.add(code)
    return out


def required_codes():
    """Every code that must have a glyph: ASCII 0x20..0x7E, the GB2312
    symbols of rows A1..A9, and A3A0 / A3FF that complete row A3."""
    return set(range(0x20, 0x7F)) | gb2312_codes() | {0xA3 + 256 * 0xA0, 0xA3 + 256 * 0xFF}


BLANKS = (0x20, 0xA1 + 256 * 0xA1, 0xA3 + 256 * 0xA0)


def symbol_glyphs(cache_dir):
    """Every symbol glyph, keyed by code and rounded to the grid.  Covers
    required_codes() plus the GBK additions in rows A1..A9 (small Roman
    numerals, vertical bracket forms, four more Latin letters), which a
    GBK text may hold as well."""
    fetch(cache_dir)
    src = Sources(cache_dir)
    composer = symrows.Composer(src)
    out = rows.ascii_row(src)
    out.update(rows.row_a3(src, gbk_codes(0xA3, 0xA3)))
    greek = rows.greek_map(src)
    kana = rows.kana_map(src)
    for k, ch in sorted(gbk_codes().items()):
        if k in out:
            continue
        lead = k & 0xFF
        g = None
        if lead == 0xA6:
            g = rows.greek_glyph(src, greek, ch)
        elif lead == 0xA7:
            g = rows.cyrillic_glyph(src, ch)
        elif lead in (0xA4, 0xA5):
            g = rows.kana_glyph(src, kana, ch)
        if g is None:
            g = composer.glyph(ch)
        if g is None and k != rows.code(0xA1, 0xA1):
            raise RuntimeError("no glyph for %r (%#x)" % (ch, k))
        out[k] = g or []
    return {k: compose.finish(v, 63 if k < 0x100 else 127) for k, v in sorted(out.items())}
