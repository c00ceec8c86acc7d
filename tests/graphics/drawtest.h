// Helpers shared by the drawing tests: which pixels a drawing touched, the
// box around them, and whether two bitmaps hold the same pixels. A pixel
// counts as touched when it is no longer opaque white.
#pragma once

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "graphics/mybitmap.h"

using pointset = std::set<std::pair<int, int>>;

inline pointset marked(const mybitmap& b) {
  pointset s;
  for (int y = 0; y < b.height; y++)
    for (int x = 0; x < b.width; x++)
      if (b.getpixel(x, y).value() != 0xFFFFFFFFu) s.insert({x, y});
  return s;
}

// The points of s that lie inside a w x h bitmap.
inline pointset insideof(const pointset& s, int w, int h) {
  pointset r;
  for (auto& p : s)
    if (p.first >= 0 && p.first < w && p.second >= 0 && p.second < h) r.insert(p);
  return r;
}

struct inkbox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, count = 0;
};

inline inkbox ink(const mybitmap& b) {
  inkbox r;
  for (auto& [x, y] : marked(b)) {
    r.x0 = std::min(r.x0, x);
    r.y0 = std::min(r.y0, y);
    r.x1 = std::max(r.x1, x);
    r.y1 = std::max(r.y1, y);
    r.count++;
  }
  return r;
}

inline bool samepixels(const mybitmap& a, const mybitmap& b) {
  return a.width == b.width && a.height == b.height &&
         std::memcmp(a.pixels, b.pixels, static_cast<size_t>(a.width) * a.height * 4) == 0;
}
