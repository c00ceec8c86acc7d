"""Geometric building blocks for glyphs that no stroke source provides.

Everything works on float coordinates of the 128 design grid (origin top
left, y down) and returns strokes: lists of polylines, each a list of
(x, y) pairs.  Rounding to the integer grid happens once, in finish().
Nothing here knows about character codes.
"""

import math


def seg(x0, y0, x1, y1):
    return [[(x0, y0), (x1, y1)]]


def poly(*pts, closed=False):
    pts = list(pts)
    if closed:
        pts.append(pts[0])
    return [pts]


def arc(cx, cy, rx, ry, a0, a1, step=15.0):
    """Elliptic arc from angle a0 to a1 in degrees; 0 is east, 90 is south."""
    n = max(2, int(math.ceil(abs(a1 - a0) / step)) + 1)
    pts = []
    for i in range(n):
        a = math.radians(a0 + (a1 - a0) * i / (n - 1))
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return [pts]


def circle(cx, cy, r, step=15.0):
    return arc(cx, cy, r, r, 0, 360, step)


def dot(cx, cy, r=2.5):
    """A dot big enough to show at small sizes: a tiny closed diamond."""
    return poly((cx - r, cy), (cx, cy - r), (cx + r, cy), (cx, cy + r), closed=True)


def rect(x0, y0, x1, y1):
    return poly((x0, y0), (x1, y0), (x1, y1), (x0, y1), closed=True)


def hatch(pts, step=4.0):
    """Fills a convex polygon with horizontal lines joined into one zigzag
    stroke, so a filled shape costs one stroke however large it is."""
    ys = [p[1] for p in pts]
    top, bottom = min(ys), max(ys)
    n = max(1, int(round((bottom - top) / step)))
    line = []
    for i in range(n + 1):
        y = top + (bottom - top) * i / n
        xs = _crossings(pts, y)
        if len(xs) < 2:
            continue
        a, b = min(xs), max(xs)
        line.extend([(a, y), (b, y)] if i % 2 == 0 else [(b, y), (a, y)])
    return [line] if len(line) >= 2 else []


def _crossings(pts, y):
    xs = []
    m = len(pts)
    for i in range(m):
        (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % m]
        if y0 == y1:
            if abs(y - y0) < 1e-9:
                xs.extend([x0, x1])
            continue
        lo, hi = min(y0, y1), max(y0, y1)
        if lo - 1e-9 <= y <= hi + 1e-9:
            xs.append(x0 + (x1 - x0) * (y - y0) / (y1 - y0))
    return xs


def filled(pts, step=4.0):
    """Outline plus hatching of a convex polygon."""
    return poly(*pts, closed=True) + hatch(pts, step)


def circle_pts(cx, cy, r, n=24):
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n))
            for i in range(n)]


def star_pts(cx, cy, r, inner=0.382):
    pts = []
    for i in range(10):
        a = math.radians(-90 + 36 * i)
        rr = r if i % 2 == 0 else r * inner
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def filled_star(cx, cy, r, step=4.0):
    """A star is not convex: outline, then the hatching of its pentagon core
    and of each point's triangle."""
    pts = star_pts(cx, cy, r)
    out = poly(*pts, closed=True)
    out += hatch(pts[1::2], step)
    for i in range(0, 10, 2):
        out += hatch([pts[i - 1], pts[i], pts[(i + 1) % 10]], step)
    return out


def transform(strokes, sx=1.0, sy=None, dx=0.0, dy=0.0, ox=0.0, oy=0.0):
    """Scales about (ox, oy), then moves by (dx, dy)."""
    sy = sx if sy is None else sy
    return [[(ox + (x - ox) * sx + dx, oy + (y - oy) * sy + dy) for x, y in s] for s in strokes]


def mirror_x(strokes, axis=64.0):
    return [[(2 * axis - x, y) for x, y in s] for s in strokes]


def mirror_y(strokes, axis=64.0):
    return [[(x, 2 * axis - y) for x, y in s] for s in strokes]


def rotate(strokes, degrees, cx=64.0, cy=64.0):
    a = math.radians(degrees)
    c, s_ = math.cos(a), math.sin(a)
    return [[(cx + (x - cx) * c - (y - cy) * s_, cy + (x - cx) * s_ + (y - cy) * c)
             for x, y in s] for s in strokes]


def bbox(strokes):
    xs = [p[0] for s in strokes for p in s]
    ys = [p[1] for s in strokes for p in s]
    if not xs:
        return None
    return min(xs), min(ys), max(xs), max(ys)


def fit(strokes, x0, y0, x1, y1, keep_aspect=True):
    """Scales and centres strokes into the box."""
    b = bbox(strokes)
    if b is None:
        return []
    w = max(b[2] - b[0], 1e-6)
    h = max(b[3] - b[1], 1e-6)
    sx, sy = (x1 - x0) / w, (y1 - y0) / h
    if keep_aspect:
        sx = sy = min(sx, sy)
    cx, cy = (b[0] + b[2]) / 2, (b[1] + b[3]) / 2
    return [[((x - cx) * sx + (x0 + x1) / 2, (y - cy) * sy + (y0 + y1) / 2) for x, y in s]
            for s in strokes]


def finish(strokes, xmax=127):
    """Rounds to the integer grid, clamps into 0..xmax / 0..127 and drops
    repeated points.  A stroke that shrinks to one point keeps a second
    point one unit away: a lone point would draw nothing."""
    out = []
    for s in strokes:
        pts = []
        for x, y in s:
            p = (min(max(int(math.floor(x + 0.5)), 0), xmax),
                 min(max(int(math.floor(y + 0.5)), 0), 127))
            if not pts or pts[-1] != p:
                pts.append(p)
        if not pts:
            continue
        if len(pts) == 1:
            x, y = pts[0]
            pts.append((x + 1, y) if x < xmax else (x - 1, y))
        out.append(pts)
    return out
