// Helpers for drawing tests: where a drawing put ink, and whether two
// bitmaps hold the same pixels.
#pragma once

#include <algorithm>
#include <cstring>

#include "graphics/mybitmap.h"

struct inkbox {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, count = 0;
};

// The bounding box of the pixels that are not opaque white.
inline inkbox ink(const mybitmap& b) {
  inkbox r;
  for (int y = 0; y < b.height; y++)
    for (int x = 0; x < b.width; x++)
      if (b.getpixel(x, y).value() != 0xFFFFFFFFu) {
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
