"""Hanzi glyphs of the built-in font, from the stroke medians of npm
hanzi-writer-data: the 6763 GB2312 hanzi, which must all be there, and
every other GBK character the package holds (many traditional hanzi of
GBK/3 and GBK/4, a few of the symbol rows).

The package holds one JSON file per character; its "medians" are the
centre lines of the strokes on a 1024 grid with y upwards (top of the em at
y = 900). They map onto the 128 design grid as x / 8 and (900 - y) / 8,
which puts every point of the data inside 3..124; points are clamped to
0..127 all the same. Each stroke is thinned with Douglas-Peucker before it
is rounded to the grid: the tolerance keeps shapes faithful at 96 px while
dropping points that lie on a straight run.

This module only reads the package; it does not pack or order glyphs.
"""

import json
import math
import os
import subprocess
import tarfile

PACKAGE = "hanzi-writer-data"
VERSION = "2.0.1"
TARBALL = "hanzi-writer-data-2.0.1.tgz"
SHA256 = "72baf3d82b114e60d6e40ea05f24d2262a05cd39d544e2f322ba2fceb7beff15"
LICENSE_FILE = "package/ARPHICPL.TXT"

# Largest distance (design units) a dropped point may lie from the kept
# line; 0.75 units is 0.56 px at 96 px.
TOLERANCE = 0.75


def tarball_path(cache_dir):
    return os.path.join(cache_dir, "npm", TARBALL)


def _sha256(path):
    import hashlib
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def fetch(cache_dir):
    """Downloads the pinned package tarball into cache_dir/npm (once)."""
    dest = os.path.dirname(tarball_path(cache_dir))
    os.makedirs(dest, exist_ok=True)
    path = tarball_path(cache_dir)
    if not os.path.exists(path):
        subprocess.run(["npm", "pack", "--silent", f"{PACKAGE}@{VERSION}",
                        "--pack-destination", dest], check=True, stdout=subprocess.DEVNULL)
    if _sha256(path) != SHA256:
        raise SystemExit(f"{path}: checksum differs from the pinned one")


def gb2312_hanzi_codes():
    """The 6763 hanzi codes (lead 0xB0..0xF7) as lead + 256 * trail."""
    codes = []
    for lead in range(0xB0, 0xF8):
        last = 0xF9 if lead == 0xD7 else 0xFE
        for trail in range(0xA1, last + 1):
            codes.append(lead + 256 * trail)
    return codes


def code_char(code):
    return bytes([code & 0xFF, code >> 8]).decode("gbk")


def _distance(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    length = math.hypot(dx, dy)
    if length == 0:
        return math.hypot(p[0] - a[0], p[1] - a[1])
    return abs(dx * (p[1] - a[1]) - dy * (p[0] - a[0])) / length


def simplify(points, tolerance=TOLERANCE):
    """Douglas-Peucker; keeps both ends."""
    if len(points) < 3:
        return list(points)
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    work = [(0, len(points) - 1)]
    while work:
        i, j = work.pop()
        far, at = -1.0, None
        for k in range(i + 1, j):
            d = _distance(points[k], points[i], points[j])
            if d > far:
                far, at = d, k
        if at is not None and far > tolerance:
            keep[at] = True
            work += [(i, at), (at, j)]
    return [p for p, k in zip(points, keep) if k]


def _to_grid(x, y):
    """Rounds a scaled point onto the grid, clamped to 0..127."""
    gx = math.floor(x + 0.5)
    gy = math.floor(y + 0.5)
    return (min(127, max(0, gx)), min(127, max(0, gy)))


def median_strokes(medians):
    """Converts the medians of one character to strokes on the 128 grid."""
    strokes = []
    for median in medians:
        scaled = [(x / 8, (900 - y) / 8) for x, y in median]
        kept = simplify(scaled)
        stroke = []
        for x, y in kept:
            p = _to_grid(x, y)
            if not stroke or stroke[-1] != p:
                stroke.append(p)
        if len(stroke) == 1:  # a dot too small for the grid: keep it visible
            stroke.append(stroke[0])
        strokes.append(stroke)
    return strokes


def _read_members(cache_dir, names):
    found = {}
    with tarfile.open(tarball_path(cache_dir), "r:gz") as tar:
        for member in tar:
            if member.name in names:
                found[member.name] = tar.extractfile(member).read()
    return found


def hanzi_glyphs(cache_dir, gbk):
    """Returns {code: strokes} for the 6763 GB2312 hanzi and for every other
    code of gbk ({code: character}) whose character the package holds."""
    wanted = {f"package/{code_char(c)}.json": c for c in gb2312_hanzi_codes()}
    required = set(wanted)
    for code, ch in gbk.items():
        wanted.setdefault(f"package/{ch}.json", code)
    data = _read_members(cache_dir, set(wanted))
    missing = sorted(required - set(data))
    if missing:
        raise SystemExit(f"{PACKAGE} lacks {len(missing)} hanzi, e.g. {missing[:5]}")
    glyphs = {}
    for name, code in wanted.items():
        if name in data:
            glyphs[code] = median_strokes(json.loads(data[name])["medians"])
    return glyphs


def licence_text(cache_dir):
    """The package's ARPHICPL.TXT, byte for byte."""
    return _read_members(cache_dir, {LICENSE_FILE})[LICENSE_FILE]
