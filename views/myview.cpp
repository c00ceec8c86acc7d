// myview geometry, its pixel writes (only the coloured one clips to the
// view), lines, pen dots, boxes, filled discs, triangles and frames, all in
// view-relative coordinates. No text and no trajectory recording here.
#include "views/myview.h"

#include <algorithm>
#include <cmath>
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
    : x1(std::min(a, c)), y1(std::min(b, d)), x2(std::max(a, c)), y2(std::max(b, d)),
      keepratio(true), markstroke(false) {}

void myview::move(int a, int b, int c, int d) {
  x1 = a;
  y1 = b;
  x2 = c;
  y2 = d;
}

void myview::setpixel(int x, int y) { pmymap->setpixel(x + x1, y + y1); }

void myview::setpixel(int x, int y, const mycolor& c) {
  int bx = x + x1, by = y + y1;
  if (bx < x1 || bx > x2 || by < y1 || by > y2) return;
  pmymap->setpixel(bx, by, c);
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
int myview::penradius() const {
  int r = pmymap->thick / 2;
  return r > 0 ? r : 1;
}

void myview::pixel(int x, int y) { circlef(x, y, penradius()); }

void myview::pixel(int x, int y, const mycolor& c) {
  pmymap->color = c;
  pixel(x, y);
}

void myview::line(int ax, int ay, int bx, int by) {
  linewalk(ax, ay, bx, by, true).run(reach(penradius()), [this](int x, int y) { pixel(x, y); });
}

void myview::box(int a, int b, int c, int d) {
  line(a, b, c, b);
  line(a, d, c, d);
  line(a, b, a, d);
  line(c, b, c, d);
}

void myview::boxf(int a, int b, int c, int d, mycolor col) {
  pmymap->color = col;
  int left = std::min(a, c), right = std::max(a, c);
  for (int row = std::min(b, d); row <= std::max(b, d); row++) drawthinline(left, row, right, row);
}

// One row shorter at the bottom than the bitmap's disc: rows y-r+1 .. y+r-1.
void myview::circlef(int x, int y, int r) {
  for (int row = y - r + 1; row <= y + r - 1; row++) {
    double dy = row - y;
    int half = static_cast<int>(std::sqrt(static_cast<double>(r) * r - dy * dy) + 0.5);
    drawthinline(x - half, row, x + half, row);
  }
}

namespace {

uint64_t nextrandom(uint64_t& state) {
  state = state * 1664525u + 1013904223u;
  return state;
}

}  // namespace

void myview::circled(int x, int y, int d) {
  if (d < 0) return;
  if (d > 100) {
    int r = d / 2;
    for (int row = y - r + 1; row <= y + r; row++) {
      double dy = row - y;
      int half = static_cast<int>(std::sqrt(static_cast<double>(r) * r - dy * dy) + 0.5);
      drawthinline(x - half, row, x + half, row);
    }
    return;
  }
  // Three draws choose how the offsets are turned, so the extra offset
  // beyond the disc falls on a different side from dot to dot.
  bool mirrorx = nextrandom(idum) >> 63;
  bool mirrory = nextrandom(idum) >> 63;
  bool swapxy = nextrandom(idum) >> 63;
  for (int i = 0; i <= aa[d]; i++) {
    int px = cirpt[i][0], py = cirpt[i][1];
    if (swapxy) std::swap(px, py);
    if (mirrorx) px = -px;
    if (mirrory) py = -py;
    setpixel(x + px, y + py);
  }
}

void myview::sanjiaomv(int x, int y, int size, mycolor c) {
  if (size < 3) return;
  pmymap->color = c;
  int n = size * 866 / 1000, o = size / 2;
  int dir = fx;
  fx = (fx + 1) % 4;
  for (int i = 0; i < n; i++) {
    int half = i * 1000 / 1732;
    switch (dir) {
      case 0:  // up
        drawthinline(x - half, y - o + i, x + half, y - o + i);
        break;
      case 1:  // left
        drawthinline(x - o + i, y - half, x - o + i, y + half);
        break;
      case 2: {  // down
        int row = y + size - o - i - 1;
        drawthinline(x - half, row, x + half, row);
        break;
      }
      default: {  // right
        int col = x + size - o - i - 1;
        drawthinline(col, y - half, col, y + half);
        break;
      }
    }
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

int amyview::keymouse(int, int, int, int, int, int) { return 0; }

void amyview::draw() {}
