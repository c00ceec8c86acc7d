// Helpers shared by the drawing tests: which pixels a drawing touched.
#pragma once

#include <set>
#include <utility>

#include "graphics/mybitmap.h"

using pointset = std::set<std::pair<int, int>>;

// Every pixel that is no longer opaque white.
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
