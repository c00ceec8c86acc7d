// myview geometry, its pixel writes (only the coloured one clips to the
// view), lines, pen dots, boxes, filled discs, triangles and frames, all in
// view-relative coordinates. No text and no trajectory recording here.
#include "views/myview.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "graphics/disctables.h"
#include "graphics/linestep.h"
#include "views/viewevents.h"

int gcharwidth = 24;
mybitmap* myview::pmymap = nullptr;
uint64_t myview::idum = 0;
int myview::fx = 0;

myview::myview() : x1(0), y1(0), x2(30), y2(30), keepratio(false), markstroke(false) {}

myview::myview(int a, int b, int c, int d)
    : x1(std::min(a, c)),
      y1(std::min(b, d)),
      x2(std::max(a, c)),
      y2(std::max(b, d)),
      keepratio(true),
      markstroke(false) {}

void myview::move(int a, int b, int c, int d) {
  x1 = a;
  y1 = b;
  x2 = c;
  y2 = d;
}

namespace {

// A view point on the bitmap, or false when it lies past the int range
// (and so outside any bitmap).
bool onbitmap(long long x, long long y, int& bx, int& by) {
  if (x < INT_MIN || x > INT_MAX || y < INT_MIN || y > INT_MAX) return false;
  bx = static_cast<int>(x);
  by = static_cast<int>(y);
  return true;
}

}  // namespace

void myview::setpixel(int x, int y) {
  int bx, by;
  if (onbitmap(1LL * x + x1, 1LL * y + y1, bx, by)) pmymap->setpixel(bx, by);
}

void myview::setpixel(int x, int y, const mycolor& c) {
  long long bx = 1LL * x + x1, by = 1LL * y + y1;
  if (bx < x1 || bx > x2 || by < y1 || by > y2) return;
  pmymap->setpixel(static_cast<int>(bx), static_cast<int>(by), c);
}

// The rows from .. to (view coordinates) that can touch the bitmap.
void myview::rowsonbitmap(long long& from, long long& to, int margin) const {
  linewindow r = reach(margin);
  from = std::max(from, r.ylo);
  to = std::min(to, r.yhi);
}

// The part of the bitmap a view point can land on, widened by margin, in
// view coordinates: steps outside it are skipped without being walked.
linewindow myview::reach(int margin) const {
  return {-1LL * x1 - margin, 1LL * pmymap->width - 1 - x1 + margin, -1LL * y1 - margin,
          1LL * pmymap->height - 1 - y1 + margin};
}

void myview::drawthinline(int ax, int ay, int bx, int by) {
  linewalk(ax, ay, bx, by, true).run(reach(0), [this](int x, int y) { setpixel(x, y); });
}

void myview::drawthinline(int ax, int ay, int bx, int by, const mycolor& c) {
  pmymap->color = c;
  drawthinline(ax, ay, bx, by);
}

// The view's pen dot is its own filled disc, not the bitmap's ring stamp.
// Its radius stops at 2^15, more than any bitmap's diagonal (sides of at
// most 16384): a line walks the dots within a radius of the bitmap, and a
// pen of a billion pixels would walk billions of them.
int myview::penradius() const {
  int r = pmymap->thick / 2;
  return r > 0 ? std::min(r, 1 << 15) : 1;
}

void myview::pixel(int x, int y) { circlef(x, y, penradius()); }

void myview::pixel(int x, int y, const mycolor& c) {
  pmymap->color = c;
  pixel(x, y);
}

// View row y from x = a to b: the thin line drawthinline would draw there,
// written as one run.
void myview::rowrun(long long a, long long b, long long y) {
  pmymap->fillrow(a + x1, b + x1, y + y1);
}

// Half width of row dy of the pen dot of radius r.
static long long dothalf(long long r, long long dy) {
  return static_cast<long long>(
      std::sqrt(static_cast<double>(r) * r - static_cast<double>(dy) * dy) + 0.5);
}

// A large pen's line, given the centres of its dots in walking order that
// reach the bitmap (view coordinates). On a row of the bitmap every dot
// that reaches it covers a run holding its own centre column, and the
// centres of consecutive steps are neighbours: the dots make one run, from
// the leftmost start to the rightmost end. So each row is written once,
// and a group of consecutive dots is passed over whole where none of its
// dots can widen the run found so far; the rows cost about the groups, not
// the dots times the rows.
void myview::widepenline(const std::vector<std::pair<int, int>>& dots, int r) {
  if (dots.empty()) return;
  const long long w = pmymap->width, h = pmymap->height;
  std::vector<long long> half(r);
  for (int t = 0; t < r; t++) half[t] = dothalf(r, t);
  struct group {
    size_t first, last;
    long long x0, x1, y0, y1;
  };
  std::vector<group> groups;
  const size_t size = 64;
  for (size_t i = 0; i < dots.size(); i += size) {
    group g{i, std::min(dots.size(), i + size), LLONG_MAX, LLONG_MIN, LLONG_MAX, LLONG_MIN};
    for (size_t k = g.first; k < g.last; k++) {
      g.x0 = std::min(g.x0, dots[k].first + 1LL * x1);
      g.x1 = std::max(g.x1, dots[k].first + 1LL * x1);
      g.y0 = std::min(g.y0, dots[k].second + 1LL * y1);
      g.y1 = std::max(g.y1, dots[k].second + 1LL * y1);
    }
    groups.push_back(g);
  }
  long long top = LLONG_MAX, bottom = LLONG_MIN;
  for (const group& g : groups) {
    top = std::min(top, g.y0 - r + 1);
    bottom = std::max(bottom, g.y1 + r - 1);
  }
  for (long long y = std::max(top, 0LL); y <= std::min(bottom, h - 1); y++) {
    long long from = w, to = -1;  // the run so far, on the bitmap
    for (const group& g : groups) {
      long long near = y < g.y0 ? g.y0 - y : y > g.y1 ? y - g.y1 : 0;
      if (near > r - 1) continue;
      long long a = std::max(g.x0 - half[near], 0LL), b = std::min(g.x1 + half[near], w - 1);
      if (a > b || (a >= from && b <= to)) continue;
      for (size_t k = g.first; k < g.last; k++) {
        long long t = std::llabs(y - dots[k].second - y1);
        if (t > r - 1) continue;
        long long cx = dots[k].first + 1LL * x1;
        long long left = std::max(cx - half[t], 0LL), right = std::min(cx + half[t], w - 1);
        if (left > right) continue;  // this dot's run lies off the bitmap
        from = std::min(from, left);
        to = std::max(to, right);
      }
      if (from == 0 && to == w - 1) break;
    }
    if (from <= to) pmymap->fillrow(from, to, y);
  }
}

// A dot that misses the bitmap is skipped, and of the dots that cover all
// of it only the first is drawn (the others would paint the same pixels).
// A large pen's dots are painted together, row by row.
void myview::line(int ax, int ay, int bx, int by) {
  int r = penradius();
  linewindow w = reach(0);
  bool covered = false;
  std::vector<std::pair<int, int>> dots;
  linewalk(ax, ay, bx, by, true).run(reach(r), [&](int x, int y) {
    double dx = std::max({w.xlo - 1.0 * x, 1.0 * x - w.xhi, 0.0});
    double dy = std::max({w.ylo - 1.0 * y, 1.0 * y - w.yhi, 0.0});
    if (dx > r || dy > r) return;
    if (r > 8) {
      dots.emplace_back(x, y);
      return;
    }
    double farx = std::max(std::fabs(x - 1.0 * w.xlo), std::fabs(x - 1.0 * w.xhi));
    double fary = std::max(std::fabs(y - 1.0 * w.ylo), std::fabs(y - 1.0 * w.yhi));
    if (r > 2 && std::sqrt(farx * farx + fary * fary) < r - 2) {
      if (covered) return;
      covered = true;
    }
    pixel(x, y);
  });
  widepenline(dots, r);
}

void myview::box(int a, int b, int c, int d) {
  line(a, b, c, b);
  line(a, d, c, d);
  line(a, b, a, d);
  line(c, b, c, d);
}

void myview::boxf(int a, int b, int c, int d, mycolor col) { fillbox(a, b, c, d, col, false); }

void myview::reboxf(int a, int b, int c, int d, mycolor col) { fillbox(a, b, c, d, col, true); }

// Each row is the thin line from left to right, written as one run (or
// only its stretch that differs).
void myview::fillbox(int a, int b, int c, int d, mycolor col, bool changedonly) {
  pmymap->color = col;
  int left = std::min(a, c), right = std::max(a, c);
  long long from = std::min(b, d), to = std::max(b, d);
  rowsonbitmap(from, to, 0);
  for (long long row = from; row <= to; row++) {
    if (changedonly)
      pmymap->refillrow(1LL * left + x1, 1LL * right + x1, row + y1);
    else
      pmymap->fillrow(1LL * left + x1, 1LL * right + x1, row + y1);
  }
}

// Rows y+first .. y+last of the disc of radius r, only those that can
// touch the bitmap, each from x - half to x + half held to the int range.
void myview::discrows(int x, int y, long long r, long long first, long long last) {
  long long from = y + first, to = y + last;
  rowsonbitmap(from, to, 0);
  for (long long row = from; row <= to; row++) {
    double dy = static_cast<double>(row - y);
    long long half = static_cast<long long>(std::sqrt(static_cast<double>(r) * r - dy * dy) + 0.5);
    long long a = std::max<long long>(1LL * x - half, INT_MIN);
    long long b = std::min<long long>(1LL * x + half, INT_MAX);
    rowrun(a, b, row);
  }
}

// One row shorter at the bottom than the bitmap's disc: rows y-r+1 .. y+r-1.
void myview::circlef(int x, int y, int r) { discrows(x, y, r, 1LL - r, r - 1LL); }

namespace {

uint64_t nextrandom(uint64_t& state) {
  state = state * 1664525u + 1013904223u;
  return state;
}

}  // namespace

void myview::circled(int x, int y, int d) {
  if (d < 0) return;
  if (d > 100) {
    long long r = d / 2;
    discrows(x, y, r, 1 - r, r);
    return;
  }
  // Three draws choose how the offsets are turned, so the extra offset
  // beyond the disc falls on a different side from dot to dot.
  bool mirrorx = nextrandom(idum) >> 63;
  bool mirrory = nextrandom(idum) >> 63;
  bool swapxy = nextrandom(idum) >> 63;
  linewindow r = reach(51);  // offsets reach 51 pixels
  if (x < r.xlo || x > r.xhi || y < r.ylo || y > r.yhi) return;
  for (int i = 0; i <= aa[d]; i++) {
    int px = cirpt[i][0], py = cirpt[i][1];
    if (swapxy) std::swap(px, py);
    if (mirrorx) px = -px;
    if (mirrory) py = -py;
    setpixel(x + px, y + py);
  }
}

// Rows (or columns) of the triangle: line i, 0 <= i < n, lies at
// start + step * i across the axis and reaches half = i / sqrt(3) either
// side of the centre. Only lines that can touch the bitmap are drawn.
void myview::sanjiaomv(int x, int y, int size, mycolor c) {
  if (size < 3) return;
  pmymap->color = c;
  long long n = size * 866LL / 1000, o = size / 2;
  int dir = fx;
  fx = (fx + 1) % 4;
  bool across = dir == 0 || dir == 2;  // lines are rows
  long long centre = across ? x : y;
  long long start = dir == 0   ? 1LL * y - o
                    : dir == 1 ? 1LL * x - o
                    : dir == 2 ? 1LL * y + size - o - 1
                               : 1LL * x + size - o - 1;
  int step = dir < 2 ? 1 : -1;
  linewindow r = reach(0);
  long long lo = across ? r.ylo : r.xlo, hi = across ? r.yhi : r.xhi;
  // start + step * i within lo..hi
  long long ifrom = step > 0 ? lo - start : start - hi;
  long long ito = step > 0 ? hi - start : start - lo;
  ifrom = std::max(ifrom, 0LL);
  ito = std::min(ito, n - 1);
  for (long long i = ifrom; i <= ito; i++) {
    long long half = i * 1000 / 1732;
    int at = static_cast<int>(start + step * i);
    int a = static_cast<int>(std::max<long long>(centre - half, INT_MIN));
    int b = static_cast<int>(std::min<long long>(centre + half, INT_MAX));
    if (across)
      drawthinline(a, at, b, at);
    else
      drawthinline(at, a, at, b);
  }
}

void myview::clear() {
  boxf(0, 0, width(), high(), mycolor(-1));
  pmymap->color = mycolor(255, 255, 0);
  box(0, 0, width(), high());
  pmymap->color = mycolor();
}

// A thin frame one pixel inside the rectangle, in bitmap coordinates.
void myview::drawbj() {
  pmymap->drawthinline(x1 + 1, y1 + 1, x2 - 1, y1 + 1);
  pmymap->drawthinline(x2 - 1, y1 + 1, x2 - 1, y2 - 1);
  pmymap->drawthinline(x2 - 1, y2 - 1, x1 + 1, y2 - 1);
  pmymap->drawthinline(x1 + 1, y1 + 1, x1 + 1, y2 - 1);
}

void myview::drawbj1() {
  pmymap->color = mycolor(165, 42, 42, 160);
  pmymap->thick = 3;
  box(0, 0, width(), high());
  pmymap->thick = 1;
  pmymap->color = mycolor();
}

// The part of drawbj1's frame that reaches view rows from..to, without
// walking the rest: the pixels there end as a whole drawbj1 leaves them.
// The frame's pen is a dot of radius 1, so lines reaching two rows beyond
// the range paint every pixel the whole frame would paint inside it.
void myview::drawbj1(int from, int to) {
  pmymap->color = mycolor(165, 42, 42, 160);
  pmymap->thick = 3;
  const int w = width(), h = high(), reachrows = 2;
  if (from - reachrows <= 0) line(0, 0, w, 0);
  if (to + reachrows >= h) line(0, h, w, h);
  int a = std::max(0, from - reachrows), b = std::min(h, to + reachrows);
  if (a <= b) {
    line(0, a, 0, b);
    line(w, a, w, b);
  }
  pmymap->thick = 1;
  pmymap->color = mycolor();
}

int amyview::keymouse(int, int, int, int, int, int) { return 0; }

void amyview::draw() {}
