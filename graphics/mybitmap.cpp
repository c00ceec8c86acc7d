// mybitmap construction, pixel access with the blending rule, whole-bitmap
// operations and copies between bitmaps. Drawing primitives live elsewhere
// and all end in setpixel/getpixel here.
#include "graphics/mybitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graphics/disctables.h"
#include "graphics/framememory.h"

mybitmap::mybitmap() : mybitmap(200, 200) {}

mybitmap::mybitmap(int w, int h)
    : width(w),
      height(h),
      pixels(nullptr),
      backup(nullptr),
      rowptr(nullptr),
      rowtouched(nullptr),
      thick(1),
      pcirpt(nullptr),
      paa(nullptr),
      color(),
      scalex(1),
      offx(0),
      scaley(1),
      offy(0),
      scalez(1),
      offz(0),
      curx(0),
      cury(0),
      curz(0) {
  if (w > 0 && h > 0) allocate(w, h, h);
  installshared();
}

mybitmap::~mybitmap() { release(); }

// Font and disc tables are shared by every bitmap; the files that own them
// hook in here.
void mybitmap::installshared() {
  pcirpt = &cirpt[0][0];
  paa = aa;
  installfont();
}

void mybitmap::allocate(int w, int h, int rows) {
  size_t bytes = static_cast<size_t>(w) * h * 4;
  pixels = framealloc(bytes);
  backup = framealloc(bytes);
  std::memset(pixels, 0xFF, bytes);
  rowptr = new unsigned char*[rows];
  for (int r = 0; r < h; r++) rowptr[r] = pixels + static_cast<size_t>(r) * w * 4;
  for (int r = h; r < rows; r++) rowptr[r] = backup + static_cast<size_t>(r - h) * w * 4;
  for (blockshift = 4; (static_cast<long long>(w) + (1 << blockshift) - 1) >> blockshift > 64;)
    blockshift++;
  rowtouched = new uint64_t[h];
  std::memset(rowtouched, 0xFF, static_cast<size_t>(h) * sizeof *rowtouched);
  wipes++;
}

void mybitmap::release() {
  framefree(pixels);
  framefree(backup);
  delete[] rowptr;
  delete[] rowtouched;
  pixels = backup = nullptr;
  rowptr = nullptr;
  rowtouched = nullptr;
}

void mybitmap::touchrows(long long from, long long to) {
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(height));
  if (rowtouched && from < to)
    std::memset(rowtouched + from, 0xFF, static_cast<size_t>(to - from) * sizeof *rowtouched);
}

void mybitmap::touchspan(long long x0, long long x1, long long from, long long to) {
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(height));
  x0 = std::max(x0, 0LL);
  x1 = std::min(x1, static_cast<long long>(width) - 1);
  if (!rowtouched || x0 > x1) return;
  int b0 = static_cast<int>(x0 >> blockshift), b1 = static_cast<int>(x1 >> blockshift);
  uint64_t bits = (b1 - b0 == 63 ? ~uint64_t{0} : (uint64_t{1} << (b1 - b0 + 1)) - 1) << b0;
  for (long long y = from; y < to; y++) rowtouched[y] |= bits;
}

void mybitmap::rewritten() {
  touchrows(0, height);
  wipes++;
}

void mybitmap::reset(int w, int h) {
  release();
  if (w <= 0 || h <= 0) {
    width = height = 0;
    return;
  }
  width = w;
  height = h;
  thick = 1;
  color = mycolor();
  allocate(w, h, 2 * h);
}

mycolor mybitmap::getpixel(int x, int y) const {
  if (!inside(x, y)) return mycolor(0xFFFFFFFFu);
  mycolor c;
  std::memcpy(&c, at(x, y), 4);
  return c;
}

void mybitmap::setpixel(int x, int y, const mycolor& c) {
  if (!inside(x, y)) return;
  touch(x, y);
  unsigned char* p = at(x, y);
  if (c.alpha == 255) {
    std::memcpy(p, &c, 4);
    return;
  }
  // A translucent colour marks what it mixes into with alpha 254, so the
  // overlapping parts of one figure are not darkened twice.
  if (p[3] == 254) return;
  int a = c.alpha;
  p[0] = static_cast<unsigned char>(((255 - a) * p[0] + a * c.blue) / 255);
  p[1] = static_cast<unsigned char>(((255 - a) * p[1] + a * c.green) / 255);
  p[2] = static_cast<unsigned char>(((255 - a) * p[2] + a * c.red) / 255);
  p[3] = 254;
}

void mybitmap::fillrow(long long xa, long long xb, long long y) {
  if (y < 0 || y >= height || xb < 0 || xa >= width || xa > xb) return;
  int from = static_cast<int>(std::max(xa, 0LL));
  int to = static_cast<int>(std::min(xb, static_cast<long long>(width) - 1));
  touchspan(from, to, y, y + 1);
  if (color.alpha != 255) {
    for (int x = from; x <= to; x++) setpixel(x, static_cast<int>(y), color);
    return;
  }
  unsigned char* p = at(from, static_cast<int>(y));
  size_t bytes = static_cast<size_t>(to - from + 1) * 4, done = 4;
  if (color.blue == color.green && color.green == color.red && color.red == color.alpha) {
    std::memset(p, color.blue, bytes);  // white: one byte repeated
    return;
  }
  // One pixel written, then the run doubled by copies of what is there.
  std::memcpy(p, &color, 4);
  for (; done < bytes; done *= 2) std::memcpy(p + done, p, std::min(done, bytes - done));
}

namespace {

// Whether the sixteen pixels at p are all `want`: eight bytes at a time
// with no early exit, which the compiler can take in wide steps.
bool all16(const unsigned char* p, uint32_t want) {
  const uint64_t two = uint64_t{want} << 32 | want;
  uint64_t differ = 0;
  for (int i = 0; i < 16; i += 2) {
    uint64_t v;
    std::memcpy(&v, p + 4 * i, 8);
    differ |= v ^ two;
  }
  return differ == 0;
}

}  // namespace

void mybitmap::refillrow(long long xa, long long xb, long long y) {
  if (color.alpha != 255) return fillrow(xa, xb, y);
  if (y < 0 || y >= height || xb < 0 || xa >= width || xa > xb) return;
  long long from = std::max(xa, 0LL), to = std::min(xb, static_cast<long long>(width) - 1);
  const unsigned char* row = rowptr[y];
  uint32_t want;
  std::memcpy(&want, &color, 4);
  auto same = [&](long long x) {
    uint32_t v;
    std::memcpy(&v, row + 4 * x, 4);
    return v == want;
  };
  // Pixels already right are skipped sixteen at a time from each end, then
  // one by one. The row's memory is asked for first: read from its right
  // end, a row would otherwise wait on each line of it in turn.
  for (long long x = to; x >= from; x -= 16) __builtin_prefetch(row + 4 * x);
  while (to - from >= 15 && all16(row + 4 * from, want)) from += 16;
  while (from <= to && same(from)) from++;
  while (to - from >= 15 && all16(row + 4 * (to - 15), want)) to -= 16;
  while (to >= from && same(to)) to--;
  if (from <= to) fillrow(from, to, y);
}

void mybitmap::setpixel(int x, int y, unsigned char a, unsigned char r, unsigned char g,
                        unsigned char b) {
  if (!inside(x, y)) return;
  touch(x, y);
  unsigned char* p = at(x, y);
  if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 0) return;
  joincolor(p[2], p[1], p[0], r, g, b, a);
  p[3] = 254;
}

void mybitmap::joincolor(unsigned char& r, unsigned char& g, unsigned char& b, unsigned char r2,
                         unsigned char g2, unsigned char b2, unsigned char a) {
  double k = a / 255.0;
  r = static_cast<unsigned char>(r2 * k + (1 - k) * r);
  g = static_cast<unsigned char>(g2 * k + (1 - k) * g);
  b = static_cast<unsigned char>(b2 * k + (1 - k) * b);
}

void mybitmap::set(int x, int y) {
  mycolor c = color;
  c.alpha = 255;
  // The square x - h .. x + h - 1, clipped before the loops (64 bits: the
  // corners of a square near INT_MAX do not fit an int).
  long long h = thick / 2;
  long long i0 = std::max(x - h, 0LL), i1 = std::min(x + h, static_cast<long long>(width));
  long long j0 = std::max(y - h, 0LL), j1 = std::min(y + h, static_cast<long long>(height));
  if (i0 < i1) touchspan(i0, i1 - 1, j0, j1);
  for (long long i = i0; i < i1; i++)
    for (long long j = j0; j < j1; j++)
      std::memcpy(at(static_cast<int>(i), static_cast<int>(j)), &c, 4);
}

void mybitmap::clear() {
  if (pixels) std::memset(pixels, 0xFF, static_cast<size_t>(width) * height * 4);
  rewritten();
}

// Row by row over 32-bit pixels. Each pixel ends as the blending setpixel
// leaves it: all-zero pixels stay, the rest take the colour mixed by its
// alpha, marked 254. An opaque colour mixes to itself exactly, so those
// pixels are simply written.
void mybitmap::clear(mycolor c) {
  if (!pixels) return;
  rewritten();
  size_t n = static_cast<size_t>(width) * height;
  if (c.alpha == 255) {
    const unsigned char fill[4] = {c.blue, c.green, c.red, 254};
    uint32_t value;
    std::memcpy(&value, fill, 4);
    // Written without a branch so that the loop runs over whole vectors.
    unsigned char* p = pixels;
    for (size_t i = 0; i < n; i++) {
      uint32_t old;
      std::memcpy(&old, p + 4 * i, 4);
      uint32_t now = old != 0 ? value : 0;
      std::memcpy(p + 4 * i, &now, 4);
    }
    return;
  }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) setpixel(x, y, c.alpha, c.red, c.green, c.blue);
}

void mybitmap::cleartm() {
  rewritten();
  size_t n = pixels ? static_cast<size_t>(width) * height : 0;
  for (size_t i = 0; i < n; i++) pixels[4 * i + 3] = 255;
}

void mybitmap::gotobw() {
  rewritten();
  size_t n = pixels ? static_cast<size_t>(width) * height : 0;
  for (size_t i = 0; i < n; i++) {
    unsigned char* p = pixels + 4 * i;
    int g = (114 * p[0] + 587 * p[1] + 299 * p[2] + 500) / 1000;
    p[0] = p[1] = p[2] = static_cast<unsigned char>(g);
  }
}

void mybitmap::multione(float k) {
  rewritten();
  size_t n = pixels ? static_cast<size_t>(width) * height : 0;
  float limit = 255 / k;
  for (size_t i = 0; i < n; i++)
    for (int ch = 0; ch < 3; ch++) {
      unsigned char& v = pixels[4 * i + ch];
      v = v >= limit ? 255 : static_cast<unsigned char>(v * k);
    }
}

unsigned char* mybitmap::savebuffer() {
  if (pixels) std::memcpy(backup, pixels, static_cast<size_t>(width) * height * 4);
  return backup;
}

void mybitmap::loadbuffer() {
  if (pixels) std::memcpy(pixels, backup, static_cast<size_t>(width) * height * 4);
  rewritten();
}

void mybitmap::copypixel(mybitmap& src, int sx, int sy, int dx, int dy) {
  if (!inside(dx, dy) || !src.inside(sx, sy)) return;
  touch(dx, dy);
  std::memcpy(at(dx, dy), src.at(sx, sy), 4);
}

void mybitmap::copyblock(mybitmap& src, int sx, int sy, int dx, int dy, int w, int h) {
  for (int i = 0; i < w; i++)
    for (int j = 0; j < h; j++) copypixel(src, sx + i, sy + j, dx + i, dy + j);
  savebuffer();
}

void mybitmap::copyblockr(mybitmap& src, int sx, int sy, int dx, int dy, int w, int h) {
  for (int i = 0; i < w; i++)
    for (int j = 0; j < h; j++) copypixel(src, sx + i, sy + j, dx + i, height - dy - j - 1);
  savebuffer();
}

void mybitmap::copyblock(mybitmap& src, int sx, int sy, int side) {
  for (int i = 0; i < width; i++)
    for (int j = 0; j < height; j++) {
      int x = static_cast<int>(static_cast<double>(i) * side / width) + sx;
      int y = static_cast<int>(static_cast<double>(j) * side / height) + sy;
      mycolor c = src.getpixel(x, y);
      c.alpha = 255;
      setpixel(i, j, c);
    }
}

void mybitmap::copyblockr(mybitmap& src, int sx, int sy, int side) {
  for (int i = 0; i < width; i++)
    for (int j = 0; j < height; j++) {
      int x = static_cast<int>(static_cast<double>(i) * side / width) + sx;
      int y = static_cast<int>(static_cast<double>(j) * side / height) + sy;
      setpixel(i, height - j - 1, src.getpixel(x, y));
    }
}

void mybitmap::copy(mybitmap* src) {
  cleartm();
  src->cleartm();
  for (int i = 0; i < width; i++)
    for (int j = 0; j < height; j++) {
      int x = static_cast<int>(static_cast<long long>(i) * src->width / width);
      int y = static_cast<int>(static_cast<long long>(j) * src->height / height);
      setpixel(i, j, src->getpixel(x, y));
    }
  cleartm();
}
