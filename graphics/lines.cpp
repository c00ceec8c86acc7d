// Lines of mybitmap (thin, thick, recording), the pen dot, and the
// trajectory buffers with the thickness profile used to redraw recorded
// glyphs. Pixels are written only through setpixel; the ring stamp of the
// pen dot is built in circles.cpp.
#include <algorithm>
#include <cmath>

#include "graphics/circles.h"
#include "graphics/linestep.h"
#include "graphics/mybitmap.h"
#include "graphics/pentrail.h"

namespace {

// Rising half of the profile, close to 1 - (1 - i/50)^2. These four-place
// values are the profile itself (they decide dot sizes): do not replace them
// by the formula. The falling half mirrors them.
constexpr double mobanhalf[51] = {
    0,      0.0396, 0.0784, 0.1163, 0.1535, 0.1899, 0.2255, 0.2603, 0.2943, 0.3275, 0.3599,
    0.3914, 0.4222, 0.4522, 0.4814, 0.5098, 0.5374, 0.5642, 0.5902, 0.6154, 0.6399, 0.6635,
    0.6863, 0.7083, 0.7295, 0.7499, 0.7695, 0.7883, 0.8063, 0.8235, 0.8399, 0.8555, 0.8703,
    0.8843, 0.8975, 0.9099, 0.9216, 0.9324, 0.9424, 0.9516, 0.96,   0.9676, 0.9744, 0.9804,
    0.9856, 0.99,   0.9936, 0.9964, 0.9984, 0.9996, 1};

struct mobantable {
  double v[101];
  constexpr mobantable() : v() {
    for (int i = 0; i <= 50; i++) v[i] = v[100 - i] = mobanhalf[i];
  }
};
// Constant-initialised, so it is ready before any other static initialiser.
constexpr mobantable mobanvalues;

}  // namespace

int mybitmap::xybuffer[mybitmap::xymax][2];
int mybitmap::xynum = 0;
int mybitmap::guiji[mybitmap::guijimax];
int mybitmap::guijinum = 0;
const double* mybitmap::moban = mobanvalues.v;
int mybitmap::zhityid = 0;

// Points outside the bitmap draw nothing, so the walk is limited to the
// stretch whose major coordinate can reach the bitmap (widened by the pen
// radius): far-away ends cost nothing.
static linewindow around(const mybitmap& b, long long pen) {
  return {-pen, b.width - 1 + pen, -pen, b.height - 1 + pen};
}

void mybitmap::drawthinline(int x0, int y0, int x1, int y1) {
  if (!pixels) return;
  linewalk(x0, y0, x1, y1, true).run(around(*this, 0), [this](int x, int y) {
    setpixel(x, y, color);
  });
}

// A large pen paints the union of its dots over the bitmap's rows: its
// dots are as many as its diameter, each as wide.
void mybitmap::line(int x0, int y0, int x1, int y1) {
  int r = thick / 2 > 0 ? thick / 2 : 1;
  checkpen(r);  // an impossible pen fails even when nothing would be drawn
  if (!pixels) return;
  if (r > pentrail::stampedmax) {
    pentrail trail(*this, r);
    trail.addline(x0, y0, x1, y1);
    trail.paint();
    return;
  }
  linewalk(x0, y0, x1, y1, true).run(around(*this, r + 1), [this](int x, int y) { pixel(x, y); });
}

void mybitmap::line(int x0, int y0, int x1, int y1, mycolor c) {
  color = c;
  line(x0, y0, x1, y1);
}

void mybitmap::drawthinlined(int x0, int y0, int x1, int y1) {
  // Only as many points are walked as the trajectory buffer still takes.
  linewalk(x0, y0, x1, y1, false).runfirst(xymax - xynum, [](int x, int y) { setpixeld(x, y); });
}

void mybitmap::pixel(int x, int y) { circlef1(x, y, thick / 2 > 0 ? thick / 2 : 1); }

// Once either buffer is full the rest of the glyph is dropped: points past
// the last complete stroke would belong to no stroke anyway.
void mybitmap::setpixeld(int x, int y) {
  if (xynum >= xymax || guijinum >= guijimax) return;
  xybuffer[xynum][0] = x;
  xybuffer[xynum][1] = y;
  xynum++;
}

void mybitmap::resetpixeld() { xynum = guijinum = 0; }

void mybitmap::addguiji() {
  if (guijinum >= guijimax) return;
  guiji[guijinum++] = xynum;
}

// A sparse trajectory (few points for its extent) gets a pen of about a
// fifth of the extent plus 2, a dense one a pen of 2. With nothing recorded
// there is no extent: 2, and no stroke is drawn anyway.
int mybitmap::calthick() {
  if (xynum <= 0) return 2;
  int minx = 100000, maxx = 0, miny = 100000, maxy = 0;
  for (int i = 0; i < xynum; i++) {
    minx = std::min(minx, xybuffer[i][0]);
    maxx = std::max(maxx, xybuffer[i][0]);
    miny = std::min(miny, xybuffer[i][1]);
    maxy = std::max(maxy, xybuffer[i][1]);
  }
  double extent =
      std::max(static_cast<double>(maxx) - minx + 1, static_cast<double>(maxy) - miny + 1);
  double f = 10 * std::sqrt(static_cast<double>(xynum)) / extent;
  double g = 2 * extent / 10;
  double t;
  if (f < 1)
    t = 2 + g;
  else if (f > 5)
    t = 2;
  else
    t = 2 + (1 - (f - 1) / 4) * g;
  return static_cast<int>(t);
}

double mybitmap::calmoban(int i, int n) {
  if (zhityid == 0) return 0;
  double q = n > 0 ? static_cast<double>(i) / n : 0;
  double k;
  if (zhityid == 1)
    k = std::fabs(50 - 101 * q) + 0.5;  // full at both ends, thin in the middle
  else if (zhityid == 2)
    k = 50 * q + 0.5;  // thin start, full end
  else
    k = 50 * q + 50.5;  // full start, thin end
  // i outside 0..n-1 is no point of the stroke; keep the index in the table.
  if (!(k >= 0)) k = 0;
  if (k > 100) k = 100;
  return moban[static_cast<int>(k)];
}
