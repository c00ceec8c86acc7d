// Text in a view: the three glyph walks (rounded thin lines, truncated thin
// lines with red horizontal strokes, truncated thick lines) and the text
// lines built on them. Trajectory text is in myviewtrace.cpp.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <vector>

#include "graphics/glyphwalk.h"
#include "graphics/linestep.h"
#include "graphics/mybitmap.h"
#include "views/myview.h"

namespace {

// The installed font's glyph for code (a placeholder for a stray byte or a
// GBK pair it lacks); fails like the bitmap when no font is installed.
const unsigned char* installedglyph(unsigned short code) {
  if (mybitmap::zn == 0 && mybitmap::vennum == 0) throw "error to get font";
  return mybitmap::drawnglyph(code);
}

unsigned short charcode(const char* s) {
  return glyphcode(reinterpret_cast<const unsigned char*>(s));
}

bool cellsize(int w, int& h) {
  if (w < 2 || w > 5000) return false;
  if (h == 0) h = w;
  return h >= 2 && h <= 5000;
}

// A thin glyph's walk depends only on the glyph, its cell and the walk
// (and moves with the cell where the cell lies at or right of and below
// the view's origin), so each is walked once and its points kept, in
// walking order; drawing it sets them again. A page of text at 4K is some
// thousands of glyphs.
struct glyphdot {
  int16_t dx, dy;
  bool red;  // a red stroke (a thin walk that marks strokes)
};

struct glyphkey {
  const unsigned char* g;
  int w, h;
  bool marked;
  bool operator==(const glyphkey& o) const {
    return g == o.g && w == o.w && h == o.h && marked == o.marked;
  }
};

struct glyphkeyhash {
  size_t operator()(const glyphkey& k) const {
    return std::hash<const void*>()(k.g) ^ (static_cast<size_t>(k.w) * 0x9E3779B1u) ^
           (static_cast<size_t>(k.h) << 20) ^ k.marked;
  }
};

// The marking walk draws a stroke red when its first segment runs more
// across than down.
bool acrossfirst(int qx, int qy, int px, int py) { return std::abs(qx - px) > std::abs(qy - py); }

// The walk of drawvect (marked: drawvect1) from the origin, its points as
// drawthinline visits them.
std::vector<glyphdot> walkdots(const unsigned char* g, int w, int h, bool marked) {
  std::vector<glyphdot> dots;
  bool red = false;
  walkglyph(
      g, mybitmap::streamend(), 0, 0, w, h, !marked,
      [&](int qx, int qy, int px, int py, bool first) {
        if (first && marked) red = acrossfirst(qx, qy, px, py);
        linesteps(qx, qy, px, py, true, [&](int x, int y) {
          dots.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y), red});
        });
      },
      [] {});
  return dots;
}

const std::vector<glyphdot>& glyphdots(const unsigned char* g, int w, int h, bool marked) {
  static std::unordered_map<glyphkey, std::vector<glyphdot>, glyphkeyhash> kept;
  static size_t keptdots = 0;
  static unsigned long font = 0;
  if (font != mybitmap::fontinstalls) {  // a font installed since: the glyphs may differ
    kept.clear();
    keptdots = 0;
    font = mybitmap::fontinstalls;
  }
  glyphkey k{g, w, h, marked};
  auto it = kept.find(k);
  if (it != kept.end()) return it->second;
  if (keptdots > (size_t{1} << 20)) {  // a few MB: start again
    kept.clear();
    keptdots = 0;
  }
  std::vector<glyphdot>& dots = kept[k];
  dots = walkdots(g, w, h, marked);
  keptdots += dots.size();
  return dots;
}

}  // namespace

void myview::drawfont(int x, int y, const char* s, int w, int h) {
  if (h == 0) h = w;
  const unsigned char* g = installedglyph(charcode(s));
  if (!g) return;
  mycolor entry = pmymap->color;
  // Kept points are 16 bits and land on the bitmap by int arithmetic.
  long long bx = 1LL * x1 + x, by = 1LL * y1 + y;
  bool kept = x >= 0 && y >= 0 && w > 0 && h > 0 && w <= 5000 && h <= 5000 && bx >= INT_MIN &&
              by >= INT_MIN && bx + w <= INT_MAX && by + h <= INT_MAX;
  if (pmymap->thick >= 2)
    drawvector(x, y, g, w, h);
  else if (kept)
    drawdots(x, y, g, w, h, entry);
  else if (markstroke)
    drawvect1(x, y, g, w, h);
  else
    drawvect(x, y, g, w, h);
  pmymap->color = entry;
}

// The points as setpixel(x, y) would set them (the caller has made sure
// the bitmap coordinates are ints).
void myview::drawdots(int x, int y, const unsigned char* g, int w, int h, mycolor entry) {
  const mycolor red(255, 0, 0);
  const int bx = x1 + x, by = y1 + y;
  for (const glyphdot& d : glyphdots(g, w, h, markstroke))
    pmymap->setpixel(bx + d.dx, by + d.dy, d.red ? red : entry);
}

// The text's characters that can reach the bitmap, from view column x.
template <class Draw>
void myview::eachchar(const char* s, long long x, int w, Draw draw) const {
  linewindow r = reach(pmymap->thick / 2 + 2);
  eachcell(s, x, w, r.xlo, r.xhi, [&](int cx, const unsigned char* p, int) {
    draw(cx, reinterpret_cast<const char*>(p));
  });
}

void myview::drawtext(int x, int y, const char* s, int w, int h) {
  if (!cellsize(w, h)) return;
  drawtextfrom(x, y, s, w, h);
}

void myview::drawtextfrom(long long x, int y, const char* s, int w, int h) {
  eachchar(s, x, w, [&](int cx, const char* p) { drawfont(cx, y, p, w, h); });
}

void myview::drawtextc(int x, int y, const char* s, int w, int h) {
  if (!cellsize(w, h)) return;
  long long n = static_cast<long long>(std::strlen(s));
  drawtextfrom(x - n * w / 4, y < INT_MIN + h / 2 ? INT_MIN : y - h / 2, s, w, h);
}

void myview::drawvtext(int x, int y, const char* s, int w, int h) {
  eachchar(s, x, w, [&](int cx, const char* p) {
    drawvfont(cx, y, charcode(p), w, h ? h : w, 0, 0, nullptr, nullptr);
  });
}

void myview::drawvfont(int x, int y, unsigned short code, int w, int h, int vennum,
                       unsigned short zn, const unsigned char* vec, const unsigned short* chss) {
  if (mybitmap::zn == 0) {
    if (zn == 0) throw "error to get font";
    mybitmap::setvzk(vennum, zn, vec, chss);
  }
  drawvect(x, y, installedglyph(code), w, h);
}

const unsigned char* myview::drawvect(int x, int y, const unsigned char* g, int w, int h) {
  return walkglyph(
      g, mybitmap::streamend(), x, y, w, h, true,
      [this](int qx, int qy, int px, int py, bool) { drawthinline(qx, qy, px, py); }, [] {});
}

// As the bitmap's walk (truncated), but a stroke whose first segment runs
// more across than down is drawn red; the others keep the entry colour.
const unsigned char* myview::drawvect1(int x, int y, const unsigned char* g, int w, int h) {
  mycolor entry = pmymap->color;
  return walkglyph(
      g, mybitmap::streamend(), x, y, w, h, false,
      [this, entry](int qx, int qy, int px, int py, bool first) {
        if (first) pmymap->color = acrossfirst(qx, qy, px, py) ? mycolor(255, 0, 0) : entry;
        drawthinline(qx, qy, px, py);
      },
      [] {});
}

const unsigned char* myview::drawvector(int x, int y, const unsigned char* g, int w, int h) {
  return walkglyph(
      g, mybitmap::streamend(), x, y, w, h, false,
      [this](int qx, int qy, int px, int py, bool) { line(qx, qy, px, py); }, [] {});
}
