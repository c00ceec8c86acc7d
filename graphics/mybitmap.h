// mybitmap: the 32-bit raster everything on the screen is drawn into, and
// mycolor, one pixel of it. The pixel buffer is byte for byte what goes to
// a 32-bit framebuffer: rows from the top, pixels from the left, each pixel
// blue, green, red, alpha.
//
// This header declares the whole class; its operations are spread over the
// files of this folder by topic (pixels and copies here, lines, circles,
// text, BMP export and 3D each in their own file).
#pragma once

#include <string>

#include <cstdint>
#include <cstdio>
#include <cstring>

struct mycolor {
  unsigned char blue;
  unsigned char green;
  unsigned char red;
  unsigned char alpha;

  mycolor() : blue(0), green(0), red(0), alpha(255) {}
  mycolor(unsigned char r, unsigned char g, unsigned int b)
      : blue(static_cast<unsigned char>(b)), green(g), red(r), alpha(255) {}
  mycolor(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
      : blue(b), green(g), red(r), alpha(a) {}
  // The 32-bit value as it stands: blue in the low byte, alpha in the high.
  mycolor(unsigned int v)
      : blue(v & 0xFF), green((v >> 8) & 0xFF), red((v >> 16) & 0xFF), alpha(v >> 24) {}

  unsigned int value() const {
    return blue | (green << 8) | (red << 16) | (static_cast<unsigned int>(alpha) << 24);
  }
};
static_assert(sizeof(mycolor) == 4, "a pixel is four bytes");

class mybitmap {
 public:
  int width;
  int height;
  unsigned char* pixels;
  unsigned char* backup;
  unsigned char** rowptr;
  // One mask a row, set by every write into the pixels: bit b stands for
  // the columns b * blockwidth() .. (b + 1) * blockwidth() - 1 written since
  // the screen last looked (it clears the masks it has taken), so a push
  // need not compare what nobody drew on.
  uint64_t* rowtouched;
  // Counts the operations that rewrite the whole bitmap (clears, restoring
  // the backup): whoever keeps what it drew knows its pixels may be gone.
  unsigned long wipes = 0;
  int thick;
  const int* pcirpt;
  const int* paa;
  mycolor color;
  double scalex, offx, scaley, offy, scalez, offz;
  double curx, cury, curz;

  mybitmap();
  mybitmap(int w, int h);
  ~mybitmap();
  mybitmap(const mybitmap&) = delete;
  mybitmap& operator=(const mybitmap&) = delete;

  void reset(int w, int h);
  // Flags rows from .. to - 1 (clipped to the bitmap) as written.
  void touchrows(long long from, long long to);
  // Flags columns x0 .. x1 of rows from .. to - 1 (clipped) as written.
  void touchspan(long long x0, long long x1, long long from, long long to);
  // The columns one bit of a row's mask stands for: a power of two from 16
  // (so a 64-byte piece of a row lies under one bit), enough for 64 bits
  // to cover the row.
  int blockwidth() const { return 1 << blockshift; }
  // Flags pixel x of row y (both inside) as written.
  void touch(int x, int y) { rowtouched[y] |= uint64_t{1} << (x >> blockshift); }
  // Every row written at once (a clear, the backup put back): flags them
  // all and counts a wipe.
  void rewritten();
  void untouchrows() {
    if (rowtouched && height > 0)
      std::memset(rowtouched, 0, static_cast<size_t>(height) * sizeof *rowtouched);
  }

  // ---- pixel access (mybitmap.cpp)
  bool inside(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }
  mycolor getpixel(int x, int y) const;
  void setpixel(int x, int y, const mycolor& c);
  void setpixel(int x, int y) { setpixel(x, y, color); }
  // Pixels xa..xb of row y (clipped to the bitmap) set to color exactly as
  // setpixel sets each, as a run of 32-bit pixels.
  void fillrow(long long xa, long long xb, long long y);
  // The same for an opaque color, but written (and flagged) only from the
  // first to the last pixel that is not that color already: clearing a
  // row that is mostly blank costs a read, and the push need not look.
  void refillrow(long long xa, long long xb, long long y);
  void setpixel(int x, int y, unsigned char a, unsigned char r, unsigned char g, unsigned char b);
  static void joincolor(unsigned char& r, unsigned char& g, unsigned char& b, unsigned char r2,
                        unsigned char g2, unsigned char b2, unsigned char a);
  void set(int x, int y);

  // ---- whole-bitmap operations (mybitmap.cpp)
  void clear();
  void clear(mycolor c);
  void cleartm();
  void gotobw();
  void multione(float k);
  unsigned char* savebuffer();
  void loadbuffer();

  // ---- copies between bitmaps (mybitmap.cpp)
  void copypixel(mybitmap& src, int sx, int sy, int dx, int dy);
  void copyblock(mybitmap& src, int sx, int sy, int dx, int dy, int w, int h);
  void copyblockr(mybitmap& src, int sx, int sy, int dx, int dy, int w, int h);
  void copyblock(mybitmap& src, int sx, int sy, int side);
  void copyblockr(mybitmap& src, int sx, int sy, int side);
  void copy(mybitmap* src);

  // ---- BMP export (bmpexport.cpp)
  // The bitmap as the bytes of an uncompressed 24-bit BMP file (the
  // program writes them through its file module).
  std::string bmpbytes() const;
  // Writes bmpbytes() to path (tools and tests); false when it could not.
  bool savetobmp(const char* path) const;

  // ---- lines, pen dot and recorded trajectories (lines.cpp)
  // Trajectory buffers, shared by every bitmap and by the views: one glyph
  // at a time. Recording stops when either buffer is full.
  static constexpr int xymax = 10000;
  static constexpr int guijimax = 200;
  static int xybuffer[xymax][2];  // recorded points {x, y}
  static int xynum;               // points recorded
  static int guiji[guijimax];     // stroke s ends before point guiji[s]
  static int guijinum;            // strokes recorded
  static const double* moban;     // thickness profile, 101 entries
  static int zhityid;             // profile selector 0..3
  void drawthinline(int x0, int y0, int x1, int y1);
  void line(int x0, int y0, int x1, int y1);
  void line(int x0, int y0, int x1, int y1, mycolor c);
  void drawthinlined(int x0, int y0, int x1, int y1);
  void pixel(int x, int y);
  static void setpixeld(int x, int y);
  static void resetpixeld();
  static void addguiji();
  static int calthick();
  static double calmoban(int i, int n);

  // ---- circles, rings, boxes and triangles (circles.cpp)
  static uint64_t idum;  // random state of circled
  static int fx;         // orientation of the next sanjiaomv: up, left, down, right
  void box(int a, int b, int c, int d);
  void boxfill(int a, int b, int c, int d);
  void circle(int x, int y, int r);
  void circlef(int x, int y, int r);
  void circlef1(int x, int y, int r);
  void circled(int x, int y, int d);
  void sanjiaomv(int x, int y, mycolor c);

  // ---- stroke font and text (fonts.cpp)
  // The installed font, shared by every bitmap: a point stream of vennum
  // bytes and the codes of its zn glyphs. zn 0 means no font.
  static const unsigned char* vec;
  static int vennum;
  static unsigned short zn;
  static const unsigned short* chss;
  static void setvzk(int vennum, unsigned short zn, const unsigned char* vec,
                     const unsigned short* chss);
  // Fonts installed so far: whoever keeps what glyphs drew knows when it
  // may no longer hold.
  static unsigned long fontinstalls;
  // The glyph of a character code in the installed font, or null.
  static const unsigned char* findglyph(unsigned short code);
  // Codes of the placeholders, glyphs the built-in font keeps under codes
  // that are no character: a box in the left half of the cell for a stray
  // byte (0x80 or more, starting no GBK pair), a box across the cell for a
  // GBK pair the font has no glyph for.
  static constexpr unsigned short narrowbox = 0x0080;
  static constexpr unsigned short widebox = 0xFFFF;
  // The glyph drawn for a code: its own, else the placeholder when the code
  // is a stray byte or a GBK pair, else null (ASCII controls draw nothing).
  static const unsigned char* drawnglyph(unsigned short code);
  // Just past the installed point stream; no glyph walk reads beyond it.
  static const unsigned char* streamend() { return vec + vennum; }
  void drawfont(int x, int y, const unsigned char* s, int w, int h);
  void drawfont(int x, int y, const char* s, int w, int h);
  void drawtext(int x, int y, const char* s, int w, int h);
  void drawtextc(int x, int y, const char* s, int w, int h);
  void drawvtext(int x, int y, const char* s, int w, int h);
  void drawvfont(int x, int y, unsigned short code, int w, int h, int vennum, unsigned short zn,
                 const unsigned char* vec, const unsigned short* chss);
  const unsigned char* drawvect(int x, int y, const unsigned char* g, int w, int h);
  const unsigned char* drawvector(int x, int y, const unsigned char* g, int w, int h);
  void msg(const char* s);

  // ---- oblique 3D projection (proj3d.cpp)
  bool init3d(double x0, double x1, double y0, double y1, double z0, double z1);
  void c3d2d(double x, double y, double z, int& X, int& Y) const;
  void line3d(double x0, double y0, double z0, double x1, double y1, double z1);
  void moveto3d(double x, double y, double z);
  void lineto3d(double x, double y, double z);
  void box3d(double x0, double y0, double z0, double x1, double y1, double z1);
  void ball3d(double x, double y, double z, double r);
  void set3d(double x, double y, double z);
  void line3dt(double x0, double y0, double z0, double x1, double y1, double z1, double t);
  void zui3d(double x0, double y0, double z0, double x1, double y1, double z1, double t);
  void arrow3d(double x0, double y0, double z0, double x1, double y1, double z1, double t);

 private:
  int blockshift = 4;
  void allocate(int w, int h, int rows);
  void release();
  unsigned char* at(int x, int y) const { return rowptr[y] + 4 * x; }
  void installshared();
  static void installfont();  // the built-in font (fonts.cpp)
};
