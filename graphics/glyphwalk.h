// Walking one glyph of the stroke font, shared by the bitmap's and the
// views' text operations: the
// point format (x byte bit 0 ends a stroke, y byte bit 0 ends the glyph),
// scaling of design points into a cell, and the order segments are handed
// out in (the later point first). Drawing is left to the caller.
#pragma once

#include <climits>

#include "graphics/gbkchar.h"

// Where one design coordinate lands: x + w * p / 128 in double precision,
// rounded (0.5 added) or truncated towards zero. A point past the int range
// (only from an origin or a size near it) is held at its end.
inline int glyphland(int origin, int size, int p, bool rounded) {
  double v = origin + size * static_cast<double>(p) / 128;
  if (rounded) v += 0.5;
  if (v <= INT_MIN) return INT_MIN;
  if (v >= INT_MAX) return INT_MAX;
  return static_cast<int>(v);
}

// The font code of the character at p in a zero-terminated text: lead +
// 256 * trail for a GBK pair, else the byte itself.
inline unsigned short glyphcode(const unsigned char* p) {
  return gbkcharbytes(p) == 2 ? static_cast<unsigned short>(p[0] | p[1] << 8) : p[0];
}

// Steps through the characters of a GBK text: a GBK pair is one character
// w wide, any other byte (a stray byte of 0x80 or more too) one w / 2 wide.
// Calls draw(cx, p, bytes) for each character whose cell, cx to cx + w,
// can reach the columns lo..hi; the others are passed over without
// drawing, and the walk ends once the characters have left to the right.
template <class Draw>
void eachcell(const char* s, long long x, int w, long long lo, long long hi, Draw draw) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  long long reach = w < 0 ? -1LL * w : w;
  while (*p) {
    int n = gbkcharbytes(p);
    if (w >= 0 && x - reach > hi) return;
    if (x + reach >= lo && x - reach <= hi && x >= INT_MIN && x <= INT_MAX)
      draw(static_cast<int>(x), p, n);
    x += n == 2 ? w : w / 2;
    p += n;
  }
}

// Walks the glyph at g, never reading at or past end. For every segment
// calls segment(qx, qy, px, py, first) with Q the later point and P the
// earlier one, first set on the first segment of a stroke; calls
// strokedone() after each stroke. Returns the address after the glyph's
// last point (end when the stream ran out), or null for a null g.
template <class Segment, class StrokeDone>
const unsigned char* walkglyph(const unsigned char* g, const unsigned char* end, int x, int y,
                               int w, int h, bool rounded, Segment segment, StrokeDone strokedone) {
  if (!g) return nullptr;
  auto landx = [&](const unsigned char* p) { return glyphland(x, w, p[0] >> 1, rounded); };
  auto landy = [&](const unsigned char* p) { return glyphland(y, h, p[1] >> 1, rounded); };
  const unsigned char* p = g;
  while (p + 2 <= end) {
    if (p[1] & 1) return p + 2;  // glyph end
    if (p[0] & 1) {              // a stroke end outside a stroke
      p += 2;
      continue;
    }
    int px = landx(p), py = landy(p);
    const unsigned char* q = p + 2;
    bool first = true;
    for (int n = 0; n < 100000 && q + 2 <= end; n++, q += 2) {
      int qx = landx(q), qy = landy(q);
      segment(qx, qy, px, py, first);
      first = false;
      if ((q[0] & 1) || (q[1] & 1)) break;
      px = qx;
      py = qy;
    }
    strokedone();
    if (q + 2 > end) return end;
    if (q[1] & 1) return q + 2;
    p = q + 2;
  }
  return end;
}
