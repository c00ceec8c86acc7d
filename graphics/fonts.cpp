// Text drawing with the stroke font: the installed font, glyph lookup, the
// glyph walk that scales design points onto the bitmap, text lines and the
// message screen. Strokes are drawn only through the line primitives; the
// font data itself lives in generated/fontdata.cpp and is never written.
#include <climits>
#include <cstring>

#include "graphics/generated/fontdata.h"
#include "graphics/glyphindex.h"
#include "graphics/glyphwalk.h"
#include "graphics/mybitmap.h"

const unsigned char* mybitmap::vec = nullptr;
int mybitmap::vennum = 0;
unsigned long mybitmap::fontinstalls = 0;
unsigned short mybitmap::zn = 0;
const unsigned short* mybitmap::chss = nullptr;

namespace {

const char* const nofont = "error to get font";

bool sizeok(int v) { return v >= 2 && v <= 5000; }

// The glyph of a code, with thick lines when the pen is thicker than 1.
void drawglyph(mybitmap& b, int x, int y, unsigned short code, int w, int h) {
  if (mybitmap::zn == 0 && mybitmap::vennum == 0) throw nofont;
  const unsigned char* g = mybitmap::drawnglyph(code);
  if (h == 0) h = w;
  if (b.thick > 1)
    b.drawvector(x, y, g, w, h);
  else
    b.drawvect(x, y, g, w, h);
}

// Calls draw(x, p) for every character p of s that can reach the bitmap,
// x advancing by w for a two-byte character and by w / 2 for a one-byte one.
template <class Draw>
void eachchar(const mybitmap& b, const char* s, long long x, int w, Draw draw) {
  long long pen = b.thick / 2 + 2;
  eachcell(s, x, w, -pen, b.width + pen, [&](int cx, const unsigned char* p, int) { draw(cx, p); });
}

// Copies whole characters of the n bytes at s into dst (size bytes with
// its terminating zero), as many as fit.
void copychars(char* dst, int size, const char* s, int n) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
  size_t k = gbkfit(u, static_cast<size_t>(n), static_cast<size_t>(size - 1));
  std::memcpy(dst, s, k);
  dst[k] = 0;
}

}  // namespace

void mybitmap::setvzk(int n, unsigned short glyphs, const unsigned char* stream,
                      const unsigned short* codes) {
  vennum = n;
  zn = glyphs;
  vec = stream;
  chss = codes;
  fontinstalls++;
}

void mybitmap::installfont() { setvzk(ttunumber, zzhinumber, ttu, zzhi); }

const unsigned char* mybitmap::findglyph(unsigned short code) {
  return glyphindex::find(vec, vennum, chss, zn, code);
}

const unsigned char* mybitmap::drawnglyph(unsigned short code) {
  if (const unsigned char* g = findglyph(code)) return g;
  unsigned char low = code & 0xFF, high = code >> 8;
  if (high == 0) return low >= 0x80 ? findglyph(narrowbox) : nullptr;
  return isgbklead(low) && isgbktrail(high) ? findglyph(widebox) : nullptr;
}

// ---- single glyphs

const unsigned char* mybitmap::drawvect(int x, int y, const unsigned char* g, int w, int h) {
  return walkglyph(
      g, streamend(), x, y, w, h, false,
      [this](int qx, int qy, int px, int py, bool) { drawthinline(qx, qy, px, py); }, [] {});
}

const unsigned char* mybitmap::drawvector(int x, int y, const unsigned char* g, int w, int h) {
  return walkglyph(
      g, streamend(), x, y, w, h, false,
      [this](int qx, int qy, int px, int py, bool) { line(qx, qy, px, py); }, [] {});
}

void mybitmap::drawfont(int x, int y, const unsigned char* s, int w, int h) {
  drawglyph(*this, x, y, glyphcode(s), w, h);
}

// The code is always the first two bytes, whatever the first one is.
void mybitmap::drawfont(int x, int y, const char* s, int w, int h) {
  if (zn == 0 && vennum == 0) throw nofont;
  if (!s[0] || !s[1]) return;
  unsigned short code = static_cast<unsigned char>(s[0]) | static_cast<unsigned char>(s[1]) << 8;
  drawglyph(*this, x, y, code, w, h);
}

void mybitmap::drawvfont(int x, int y, unsigned short code, int w, int h, int n,
                         unsigned short glyphs, const unsigned char* stream,
                         const unsigned short* codes) {
  if (zn == 0) {
    if (glyphs == 0) throw nofont;
    setvzk(n, glyphs, stream, codes);
  }
  drawvect(x, y, drawnglyph(code), w, h);
}

// ---- text lines

void mybitmap::drawvtext(int x, int y, const char* s, int w, int h) {
  if (h == 0) h = w;
  eachchar(*this, s, x, w, [&](int cx, const unsigned char* p) {
    drawvfont(cx, y, glyphcode(p), w, h, 0, 0, nullptr, nullptr);
  });
}

// Every character through drawfont; one-byte characters are drawn too.
void mybitmap::drawtext(int x, int y, const char* s, int w, int h) {
  if (!sizeok(w) || !sizeok(h == 0 ? w : h)) return;
  if (thick <= 1) {
    drawvtext(x, y, s, w, h);
    return;
  }
  eachchar(*this, s, x, w, [&](int cx, const unsigned char* p) { drawfont(cx, y, p, w, h); });
}

void mybitmap::drawtextc(int x, int y, const char* s, int w, int h) {
  if (h == 0) h = w;
  if (!sizeok(w) || !sizeok(h)) return;
  long long left = x - static_cast<long long>(std::strlen(s)) * w / 4;
  y = y < INT_MIN + h / 2 ? INT_MIN : y - h / 2;
  eachchar(*this, s, left, w, [&](int cx, const unsigned char* p) { drawfont(cx, y, p, w, h); });
}

// ---- message screen

void mybitmap::msg(const char* s) {
  static char ss1[300];
  static char ss2[300];
  clear();
  if (height < 14) return;
  int size = height < 24 ? height : 24;
  int top = height >= 25 && height <= 51 ? height / 2 - size / 2 : 0;
  int perline = 2 * width / size;
  int len = static_cast<int>(std::strlen(s));
  if (len == 0) return;  // nothing to show (and nothing to divide the width by)
  if (len < perline) {
    drawtext(0, top, s, size, size);
    return;
  }
  if (width / len >= 8) {
    drawtext(0, top, s, 2 * width / len, size);
    return;
  }
  // Two lines: the first ends before the character that reaches perline.
  const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
  int pos = 0, start = 0;
  while (pos < perline && u[pos]) {
    start = pos;
    pos += gbkcharbytes(u + pos);
  }
  if (pos < perline) return;
  copychars(ss1, sizeof ss1, s, start);
  copychars(ss2, sizeof ss2, s + start, len - start);
  drawtext(0, 0, ss1, size, size);
  drawtext(0, size, ss2, size, size);
}
