// Area primitives of mybitmap: boxes, circles, filled discs, the ring stamp
// of the pen dot, the scattered disc of trajectory text and the triangle
// marker. Pixels are written only through setpixel and the thin line.
#include "graphics/circles.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "graphics/disctables.h"
#include "graphics/mybitmap.h"
#include "graphics/pentrail.h"

uint64_t mybitmap::idum = 0;
int mybitmap::fx = 0;

int dischalf(long long r, long long t) {
  return static_cast<int>(std::sqrt(static_cast<double>(r * r - t * t)) + 0.5);
}

namespace {

// reach[d] = the largest t in 0..r whose row of the disc of radius r is at
// least d wide on each side (rows narrow as t grows, so a two-pointer walk).
std::vector<int> rowreach(int r) {
  std::vector<int> reach(r + 1);
  int t = r;
  for (int d = 0; d <= r; d++) {
    while (dischalf(r, t) < d) t--;
    reach[d] = t;
  }
  return reach;
}

// Builds the stamp column by column. The disc of radius r covers rows 1 to
// 2r of the (2r+1)-square (circlef leaves out its top row); above radius 4
// the disc of radius r - 3, rows 4 to 2r - 3, is cut out of it. Computed
// from the row widths instead of painting a scratch bitmap of (2r+1)^2
// pixels, which for the larger radii would take gigabytes; the points are
// the same.
struct ringrun {
  int x, from, to;  // column x, rows from .. to of the stamp
};

std::vector<ringrun> buildruns(int r) {
  std::vector<ringrun> runs;
  std::vector<int> outer = rowreach(r);
  int ri = r - 3;
  std::vector<int> inner = r > 4 ? rowreach(ri) : std::vector<int>();
  for (int x = 0; x <= 2 * r; x++) {
    int d = std::abs(x - r);
    int lo = std::max(1, r - outer[d]), hi = r + outer[d];
    int cutlo = hi + 1, cuthi = hi;  // empty cut
    if (r > 4 && d <= ri) {
      cutlo = std::max(4, r - inner[d]);
      cuthi = r + inner[d];
    }
    auto run = [&](int from, int to) {
      if (from <= to) runs.push_back({x, from, to});
    };
    run(lo, std::min(hi, cutlo - 1));
    run(std::max(lo, cuthi + 1), hi);
  }
  return runs;
}

// The stamp of the last radius asked for, as column runs, and as points
// (made only when asked for: the pen dot needs the runs alone).
int runsr = 0, pointsr = 0;
std::vector<ringrun> bbruns;
std::vector<int> bb;

const std::vector<ringrun>& ringruns(int r) {
  checkpen(r);
  if (r != runsr) {
    bbruns = buildruns(r);
    runsr = r;
  }
  return bbruns;
}

}  // namespace

void checkpen(int r) {
  if (r <= 0) throw "半径过小";
  if (r > 20000) throw "半径过大";
}

const int* fillring(int r) {
  const std::vector<ringrun>& runs = ringruns(r);
  if (r != pointsr) {
    bb.clear();
    for (const ringrun& run : runs)
      for (int y = run.from; y <= run.to; y++) bb.insert(bb.end(), {run.x, y});
    bb.insert(bb.end(), {-1, -1});
    pointsr = r;
  }
  return bb.data();
}

double mysqrt(int a, int r) {
  if (a < -r || a > r) return 1.0;
  if (r == 0) return 0.0;  // a is 0 too: a chord of nothing
  static double tb[1001];
  static bool filled = false;
  if (!filled) {
    for (int i = 0; i <= 1000; i++) tb[i] = std::sqrt(i / 1000.0);
    filled = true;
  }
  double q = static_cast<double>(a) / r;
  return r * tb[static_cast<int>(1000 * (1 - q * q))];
}

void mybitmap::box(int a, int b, int c, int d) {
  line(a, b, a, d);
  line(a, d, c, d);
  line(c, d, c, b);
  line(c, b, a, b);
}

void mybitmap::boxfill(int a, int b, int c, int d) {
  int lo = std::max(std::min(b, d), -1), hi = std::min(std::max(b, d), height);
  for (int row = lo; row <= hi; row++) drawthinline(a, row, c, row);
}

// Above this many ring rows a large pen's dots are not painted one by one
// but as their continuous shape (a circle about the bitmap with a pen as
// large as the circle overlaps every dot with most others).
const long long annulusafter = 4000000;

// 12 r chords, each about half a pixel long. Only chords that come within
// reach of the bitmap (the pen and the rounding) are drawn: away from it
// the walk jumps ahead by as many chords as the distance allows, so a huge
// circle costs what its part near the bitmap costs. A large pen's dots
// are gathered from every chord and painted once, as their union.
void mybitmap::circle(int x, int y, int r) {
  if (r <= 0) return;
  long long n = 12LL * r;
  double step = 2 * M_PI / n;
  int pen = thick / 2 > 0 ? thick / 2 : 1;
  double reach = pen + 4.0;
  std::optional<pentrail> trail;
  if (pen > pentrail::stampedmax && pen <= 20000 && pixels) trail.emplace(*this, pen);
  // The exact point of chord end i, and how far it lies from the bitmap
  // (per axis); the chord ends are these points rounded.
  auto exact = [&](long long i, double& ex, double& ey) {
    ex = x + r * std::cos(i * step);
    ey = y + r * std::sin(i * step);
  };
  auto distance = [&](double ex, double ey) {
    double dx = ex < 0 ? -ex : ex > width - 1 ? ex - (width - 1) : 0;
    double dy = ey < 0 ? -ey : ey > height - 1 ? ey - (height - 1) : 0;
    return std::max(dx, dy);
  };
  auto point = [&](long long i, int& px, int& py) {
    if (i == 0) {
      px = x + r;
      py = y;
      return;
    }
    double ex, ey;
    exact(i, ex, ey);
    px = static_cast<int>(ex + 0.5);
    py = static_cast<int>(ey + 0.5);
  };
  int px = 0, py = 0;
  bool haveprev = false;
  for (long long i = 1; i <= n;) {
    double ex, ey;
    exact(i, ex, ey);
    double d = distance(ex, ey);
    if (d > reach) {
      i += std::max(1LL, static_cast<long long>((d - reach) / 0.53));
      haveprev = false;
      continue;
    }
    if (!haveprev) point(i - 1, px, py);
    int nx = static_cast<int>(ex + 0.5), ny = static_cast<int>(ey + 0.5);
    if (trail)
      trail->addline(px, py, nx, ny);
    else
      line(px, py, nx, ny);
    px = nx;
    py = ny;
    haveprev = true;
    i++;
  }
  if (!trail) return;
  if (trail->rowsspanned() > annulusafter)
    penannulus(*this, x, y, r, pen);
  else
    trail->paint();
}

// Half widths of the annulus' row dy: pixels with |dx| <= outer are inside
// the outer edge, those with |dx| <= inner (-1: none) inside the hole.
namespace {

long long rowhalf(double radius, double dy) {
  double left = radius * radius - dy * dy;
  if (radius < 0 || left < 0) return -1;
  long long h = static_cast<long long>(std::sqrt(left));
  while (static_cast<double>(h + 1) * (h + 1) + dy * dy <= radius * radius) h++;
  while (h >= 0 && static_cast<double>(h) * h + dy * dy > radius * radius) h--;
  return h;
}

}  // namespace

void penannulus(mybitmap& b, int x, int y, int r, int pen) {
  double outer = r + pen + 0.25;
  double inner = std::max(r - pen - 0.25, pen - 2.75 - r);
  long long top = std::max(y - static_cast<long long>(outer) - 1, 0LL);
  long long bottom = std::min(y + static_cast<long long>(outer) + 1, b.height - 1LL);
  for (long long row = top; row <= bottom; row++) {
    double dy = static_cast<double>(row - y);
    long long out = rowhalf(outer, dy);
    if (out < 0) continue;
    // The hole's pixels lie strictly nearer than inner.
    long long in = rowhalf(inner, dy);
    if (in >= 0 && static_cast<double>(in) * in + dy * dy == inner * inner) in--;
    if (in < 0) {
      b.fillrow(x - out, x + out, row);
      continue;
    }
    b.fillrow(x - out, x - in - 1, row);
    b.fillrow(x + in + 1, x + out, row);
  }
}

// Rows y - r + 1 to y + r: the bottom row is the single centre pixel, the
// top row is left out. Rows and row ends are clipped to just outside the
// bitmap, which leaves the drawn pixels unchanged.
void mybitmap::circlef(int x, int y, int r) {
  long long lo = std::max(static_cast<long long>(y) - r + 1, -1LL);
  long long hi = std::min(static_cast<long long>(y) + r, static_cast<long long>(height));
  for (long long row = lo; row <= hi; row++) {
    long long half = dischalf(r, row - y);
    int a = static_cast<int>(std::max(static_cast<long long>(x) - half, -1LL));
    int b =
        static_cast<int>(std::min(static_cast<long long>(x) + half, static_cast<long long>(width)));
    drawthinline(a, static_cast<int>(row), b, static_cast<int>(row));
  }
}

bool ringmisses(const mybitmap& b, int x, int y, int r) {
  long long left = 1LL * x - r, top = 1LL * y - r;
  if (left + 2 * r < 0 || left >= b.width || top + 2 * r < 0 || top >= b.height) return true;
  if (r <= 4) return false;
  double fx = std::max(std::fabs(x - 0.0), std::fabs(x - (b.width - 1.0)));
  double fy = std::max(std::fabs(y - 0.0), std::fabs(y - (b.height - 1.0)));
  return std::sqrt(fx * fx + fy * fy) < r - 6;  // inside the cut-out disc
}

// Only the columns and rows of the stamp that land on the bitmap are
// visited (the runs go by column: the first on the bitmap is searched
// for); a stamp wholly outside, or whose hole holds the whole bitmap,
// costs nothing.
void mybitmap::circlef1(int x, int y, int r) {
  const std::vector<ringrun>& runs = ringruns(r);
  if (ringmisses(*this, x, y, r)) return;
  long long left = 1LL * x - r, top = 1LL * y - r;
  auto first = std::lower_bound(runs.begin(), runs.end(), -left,
                                [](const ringrun& run, long long c) { return run.x < c; });
  for (auto it = first; it != runs.end(); ++it) {
    const ringrun& run = *it;
    long long bx = left + run.x;
    if (bx >= width) break;
    long long from = std::max(top + run.from, 0LL);
    long long to = std::min(top + run.to, height - 1LL);
    for (long long by = from; by <= to; by++)
      setpixel(static_cast<int>(bx), static_cast<int>(by), color);
  }
}

void mybitmap::circled(int x, int y, int d) {
  if (d < 0) return;
  if (d > 100) {
    circlef(x, y, d / 2);
    return;
  }
  idum = idum * 1664525u + 1013904223u;
  bool s1 = idum >> 63;
  idum = idum * 1664525u + 1013904223u;
  bool s2 = idum >> 63;
  // Offsets reach 51 pixels; a dot wholly outside draws nothing (its
  // random draws are made all the same, so the dots after it stay put).
  if (1LL * x + 51 < 0 || 1LL * x - 51 >= width || 1LL * y + 51 < 0 || 1LL * y - 51 >= height)
    return;
  const int* pt = pcirpt ? pcirpt : &cirpt[0][0];
  const int* sizes = paa ? paa : aa;
  for (int i = 0; i <= sizes[d]; i++) {
    int px = pt[2 * i], py = pt[2 * i + 1];
    setpixel(s1 ? x + px : x - px, s2 ? y + py : y - py, color);
  }
}

namespace {

// The 15 x 15 upward triangle: row j covers columns 7 - ceil(j/2) to
// 7 + floor(j/2), apex in row 0, full base in row 14.
struct trianglepattern {
  int cell[15][15];
  constexpr trianglepattern() : cell() {
    for (int j = 0; j < 15; j++)
      for (int i = 7 - (j + 1) / 2; i <= 7 + j / 2; i++) cell[j][i] = 1;
  }
};
constexpr trianglepattern data;

}  // namespace

void mybitmap::sanjiaomv(int x, int y, mycolor c) {
  int way = (fx % 4 + 4) % 4;
  fx = (way + 1) % 4;
  if (1LL * x + 7 < 0 || 1LL * x - 7 >= width || 1LL * y + 7 < 0 || 1LL * y - 7 >= height) return;
  for (int i = 0; i < 15; i++)
    for (int j = 0; j < 15; j++) {
      int on;
      switch (way) {
        case 0:
          on = data.cell[j][i];
          break;  // up
        case 1:
          on = data.cell[i][j];
          break;  // left
        case 2:
          on = data.cell[14 - j][i];
          break;  // down
        default:
          on = data.cell[14 - i][j];
          break;  // right
      }
      if (on) setpixel(x - 7 + i, y - 7 + j, c);
    }
}
