// Text in a view: the three glyph walks (rounded thin lines, truncated thin
// lines with red horizontal strokes, truncated thick lines) and the text
// lines built on them. Trajectory text is in myviewtrace.cpp.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "graphics/glyphwalk.h"
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

}  // namespace

void myview::drawfont(int x, int y, const char* s, int w, int h) {
  if (h == 0) h = w;
  const unsigned char* g = installedglyph(charcode(s));
  if (!g) return;
  mycolor entry = pmymap->color;
  if (pmymap->thick >= 2)
    drawvector(x, y, g, w, h);
  else if (markstroke)
    drawvect1(x, y, g, w, h);
  else
    drawvect(x, y, g, w, h);
  pmymap->color = entry;
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
        if (first)
          pmymap->color = std::abs(qx - px) > std::abs(qy - py) ? mycolor(255, 0, 0) : entry;
        drawthinline(qx, qy, px, py);
      },
      [] {});
}

const unsigned char* myview::drawvector(int x, int y, const unsigned char* g, int w, int h) {
  return walkglyph(
      g, mybitmap::streamend(), x, y, w, h, false,
      [this](int qx, int qy, int px, int py, bool) { line(qx, qy, px, py); }, [] {});
}
