// pentrail: the union of many ring stamps, painted row by row over the
// bitmap. Row t of a stamp (t from 1 - r to r below its centre) is the row
// of the disc of radius r, less, above radius 4 and for t from 4 - r to
// r - 3, the row of the disc of radius r - 3: the same pixels fillring
// lists, here as at most two runs a row.
#include "graphics/pentrail.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/circles.h"
#include "graphics/linestep.h"
#include "graphics/mybitmap.h"

pentrail::pentrail(mybitmap& bitmap, int radius)
    : b(bitmap), r(radius), half(2 * r + 1), hole(2 * r + 1, -1) {
  for (int t = -r; t <= r; t++) {
    half[t + r] = dischalf(r, t);
    if (r > 4 && t >= 4 - r && t <= r - 3) hole[t + r] = dischalf(r - 3, t);
  }
}

void pentrail::add(int x, int y) {
  if (!xs.empty() && xs.back() == x && ys.back() == y) return;
  if (ringmisses(b, x, y, r)) return;
  xs.push_back(x);
  ys.push_back(y);
}

void pentrail::addline(int x0, int y0, int x1, int y1) {
  long long pen = r + 1LL;
  linewindow w{-pen, b.width - 1 + pen, -pen, b.height - 1 + pen};
  linewalk(x0, y0, x1, y1, true).run(w, [this](int x, int y) { add(x, y); });
}

void pentrail::paint() {
  if (xs.empty() || !b.pixels) return;
  makegroups();
  long long top = b.height, bottom = -1;
  for (const group& g : groups) {
    top = std::min(top, g.y0 - r + 1);
    bottom = std::max(bottom, g.y1 + r);
  }
  top = std::max(top, 0LL);
  bottom = std::min(bottom, b.height - 1LL);
  depth.assign(b.width + 1, 0);
  for (long long y = top; y <= bottom; y++) paintrow(y);
}

long long pentrail::rowsspanned() const {
  long long sum = 0;
  for (size_t i = 0; i < ys.size(); i++) {
    long long top = std::max(ys[i] + 1LL - r, 0LL),
              bottom = std::min(ys[i] + 0LL + r, b.height - 1LL);
    if (bottom >= top) sum += bottom - top + 1;
  }
  return sum;
}

void pentrail::makegroups() {
  groups.clear();
  int n = static_cast<int>(xs.size());
  for (int i = 0; i < n; i += groupsize) {
    group g{i, std::min(n, i + groupsize), xs[i], xs[i], ys[i], ys[i]};
    for (int k = g.first; k < g.last; k++) {
      g.x0 = std::min<long long>(g.x0, xs[k]);
      g.x1 = std::max<long long>(g.x1, xs[k]);
      g.y0 = std::min<long long>(g.y0, ys[k]);
      g.y1 = std::max<long long>(g.y1, ys[k]);
    }
    groups.push_back(g);
  }
}

// Whether a ring of the group can have pixels on row y of the bitmap. Every
// pixel of a ring lies between r - 3 and r + 1/2 from its centre (above
// radius 4): a row whose part on the bitmap is wholly nearer than r - 4, or
// wholly farther than r + 1, from every centre of the group is not met.
bool pentrail::meets(const group& g, long long y) const {
  if (y < g.y0 + 1 - r || y > g.y1 + r) return false;
  long long right = b.width - 1LL;
  long long nx = std::max({0LL, g.x0 - right, -g.x1});
  long long ny = std::max({0LL, g.y0 - y, y - g.y1});
  long long far = r + 1LL;
  if (nx * nx + ny * ny > far * far) return false;
  if (r <= 4) return true;
  long long fx = std::max(
      {std::llabs(g.x0), std::llabs(g.x1), std::llabs(right - g.x0), std::llabs(right - g.x1)});
  long long fy = std::max(std::llabs(y - g.y0), std::llabs(y - g.y1));
  long long near = r - 4LL;
  return fx * fx + fy * fy >= near * near;
}

// Pixels a .. e of the row, as far as they lie on the bitmap.
void pentrail::mark(long long a, long long e) {
  a = std::max(a, 0LL);
  e = std::min(e, b.width - 1LL);
  if (a > e) return;
  depth[a]++;
  depth[e + 1]--;
  lo = std::min(lo, static_cast<int>(a));
  hi = std::max(hi, static_cast<int>(e));
}

// The runs of every dot on row y are counted into depth; the pixels where
// the count is above zero are written as runs.
void pentrail::paintrow(long long y) {
  lo = b.width;
  hi = -1;
  const unsigned long long rows = 2ULL * r;
  for (const group& g : groups) {
    if (!meets(g, y)) continue;
    for (int i = g.first; i < g.last; i++) {
      long long k = y - ys[i] + r;  // stamp row, 1 .. 2r
      if (static_cast<unsigned long long>(k - 1) >= rows) continue;
      long long cx = xs[i], h = half[k], cut = hole[k];
      mark(cx - h, cx - cut - 1);
      mark(cx + cut + 1, cx + h);
    }
  }
  int covered = 0, start = 0;
  for (int x = lo; x <= hi + 1; x++) {
    int now = covered + depth[x];
    depth[x] = 0;
    if (covered == 0 && now > 0) start = x;
    if (covered > 0 && now == 0) b.fillrow(start, x - 1, y);
    covered = now;
  }
}
