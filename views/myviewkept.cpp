// A view's pixels under its frame, kept aside without the frame so that the
// frame can be taken away again, and rows of the view moved as a block.
#include <algorithm>
#include <cstring>

#include "views/myview.h"

namespace {

// Which kept row of `ends` view row y is, or -1 when it is between them.
int endrow(const keptedges& k, int y) {
  if (y >= 0 && y <= k.depth) return y;
  if (y >= k.h - k.depth && y <= k.h) return k.depth + 1 + (y - (k.h - k.depth));
  return -1;
}

}  // namespace

// Bitmap columns lo..hi of view row y, narrowed to the bitmap; false when
// none of them is on it. `row` is the bitmap row.
bool myview::clipped(int y, int& lo, int& hi, int& row) const {
  row = y1 + y;
  lo = std::max(lo, 0);
  hi = std::min(hi, pmymap->width - 1);
  return row >= 0 && row < pmymap->height && lo <= hi;
}

void myview::keepedges(keptedges& k, int m, int from, int to) const {
  const size_t side = static_cast<size_t>(m + 1) * 4;
  if (k.depth != m || k.w != width() || k.h != high()) {
    k.depth = m;
    k.w = width();
    k.h = high();
    k.ends.assign(static_cast<size_t>(2 * (m + 1)) * (k.w + 1) * 4, 0);
    k.sides.assign(static_cast<size_t>(k.h + 1) * 2 * side, 0);
  }
  auto copy = [&](int y, int lo, int hi, int first, unsigned char* out) {
    int row = 0;
    if (!clipped(y, lo, hi, row)) return;
    std::memcpy(out + static_cast<size_t>(lo - x1 - first) * 4, pmymap->rowptr[row] + 4 * lo,
                static_cast<size_t>(hi - lo + 1) * 4);
  };
  for (int y = std::max(from, 0); y <= std::min(to, k.h); y++) {
    unsigned char* s = k.sides.data() + y * 2 * side;
    copy(y, x1, x1 + m, 0, s);
    copy(y, x2 - m, x2, k.w - m, s + side);
    int e = endrow(k, y);
    if (e >= 0) copy(y, x1, x2, 0, k.ends.data() + static_cast<size_t>(e) * (k.w + 1) * 4);
  }
}

void myview::putedges(const keptedges& k) const {
  if (k.w != width() || k.h != high()) return;
  const int m = k.depth;
  const size_t side = static_cast<size_t>(m + 1) * 4;
  auto put = [&](int y, int lo, int hi, int first, const unsigned char* in) {
    int row = 0;
    if (!clipped(y, lo, hi, row)) return;
    std::memcpy(pmymap->rowptr[row] + 4 * lo, in + static_cast<size_t>(lo - x1 - first) * 4,
                static_cast<size_t>(hi - lo + 1) * 4);
    pmymap->touchspan(lo, hi, row, row + 1);
  };
  for (int y = 0; y <= k.h; y++) {
    int e = endrow(k, y);
    if (e >= 0) {
      put(y, x1, x2, 0, k.ends.data() + static_cast<size_t>(e) * (k.w + 1) * 4);
      continue;
    }
    const unsigned char* s = k.sides.data() + y * 2 * side;
    put(y, x1, x1 + m, 0, s);
    put(y, x2 - m, x2, k.w - m, s + side);
  }
}

bool myview::shiftedges(keptedges& k, int from, int to, int dy) const {
  if (k.w != width() || k.h != high() || from > to || from < 0 || to > k.h || from + dy < 0 ||
      to + dy > k.h)
    return false;
  const size_t row = static_cast<size_t>(k.depth + 1) * 2 * 4;
  std::memmove(k.sides.data() + (from + dy) * row, k.sides.data() + from * row,
               static_cast<size_t>(to - from + 1) * row);
  return true;
}

void myview::moverows(int from, int to, int dy, const std::vector<std::pair<int, int>>& spans) {
  mybitmap& b = *pmymap;
  if (dy == 0) return;
  // In the order that reads each row before it is written over.
  for (int i = 0; i <= to - from; i++) {
    int y = dy < 0 ? from + i : to - i;
    int src = y1 + y, dst = y1 + y + dy;
    if (src < 0 || src >= b.height || dst < 0 || dst >= b.height) continue;
    for (const std::pair<int, int>& s : spans) {
      int lo = std::max({x1 + s.first, x1, 0}), hi = std::min({x1 + s.second, x2, b.width - 1});
      if (lo > hi) continue;
      // Blank rows moved onto blank rows are left alone: comparing costs
      // less than writing, and the push then need not look.
      unsigned char *d = b.rowptr[dst] + 4 * lo, *s0 = b.rowptr[src] + 4 * lo;
      size_t n = static_cast<size_t>(hi - lo + 1) * 4;
      if (std::memcmp(d, s0, n) == 0) continue;
      std::memcpy(d, s0, n);
      b.touchspan(lo, hi, dst, dst + 1);
    }
  }
}
