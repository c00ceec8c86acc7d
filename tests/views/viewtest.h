// Helpers of the view tests: a bitmap the views draw into, pixel counts, and
// a tiny stroke font whose glyph coordinates are known exactly.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/mybitmap.h"
#include "views/myview.h"

const uint32_t white = 0xFFFFFFFFu, black = 0xFF000000u, red = 0xFFFF0000u;
const uint32_t green = 0xFF00FF00u, yellow = 0xFFFFFF00u, blue = 0xFF0000FFu;

struct fontstate {
  const unsigned char* vec = mybitmap::vec;
  int vennum = mybitmap::vennum;
  unsigned short zn = mybitmap::zn;
  const unsigned short* chss = mybitmap::chss;
  void restore() const {
    if (zn) mybitmap::setvzk(vennum, zn, vec, chss);
  }
};

// The views' bitmap while the object lives. A new bitmap installs the
// built-in font; the font installed before is kept instead.
struct screen {
  fontstate font;
  mybitmap bmp;
  screen(int w, int h) : bmp(w, h) {
    font.restore();
    myview::pmymap = &bmp;
  }
  uint32_t at(int x, int y) const { return bmp.getpixel(x, y).value(); }
  // Pixels of value v in the closed box (l, t)-(r, b).
  int count(uint32_t v, int l, int t, int r, int b) const {
    int n = 0;
    for (int y = t; y <= b; y++)
      for (int x = l; x <= r; x++) n += at(x, y) == v;
    return n;
  }
  int count(uint32_t v) const { return count(v, 0, 0, bmp.width - 1, bmp.height - 1); }
  std::vector<unsigned char> pixels() const {
    return {bmp.pixels, bmp.pixels + static_cast<size_t>(bmp.width) * bmp.height * 4};
  }
};

// Installed while the object lives, on the 128 grid:
//   'A'  a vertical stroke (0,0)-(0,126)
//   一   a horizontal stroke (1,65)-(125,65): half pixels at cell size 64
//   十   a horizontal stroke (0,64)-(126,64), then a vertical (64,0)-(64,126)
struct testfont {
  fontstate old;
  std::vector<unsigned char> stream;
  std::vector<unsigned short> codes{'A', 0xBBD2, 0xAECA};  // GBK D2 BB, CA AE
  testfont() {
    // {x, y, stroke end, glyph end}
    const int points[][4] = {{0, 0, 0, 0},   {0, 126, 1, 1}, {1, 65, 0, 0},  {125, 65, 1, 1},
                             {0, 64, 0, 0},  {126, 64, 1, 0}, {64, 0, 0, 0}, {64, 126, 1, 1}};
    for (const auto& p : points) {
      stream.push_back(static_cast<unsigned char>(p[0] << 1 | p[2]));
      stream.push_back(static_cast<unsigned char>(p[1] << 1 | p[3]));
    }
    mybitmap::setvzk(static_cast<int>(stream.size()), 3, stream.data(), codes.data());
  }
  // Back to the font before, or to none: a later bitmap then installs the
  // built-in one, not this object's freed stream.
  ~testfont() {
    if (old.zn)
      old.restore();
    else
      mybitmap::setvzk(0, 0, nullptr, nullptr);
  }
};
