// myview: a rectangle of the shared screen bitmap with drawing operations in
// coordinates relative to its top-left corner; amyview adds the two virtual
// operations through which the application window routes events and repaints.
//
// Views only draw into the bitmap; pushing it to the screen is the
// framebuffer window's job. Colour and pen thickness live in the shared
// bitmap, so every view sets the colour it needs before drawing.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/linestep.h"
#include "graphics/mybitmap.h"

// A view's pixels within `depth` of its edges, where its frame lies: whole
// rows at the top and bottom, `depth` + 1 columns on each side of the rows
// between. Kept for the view's size when kept.
struct keptedges {
  int depth = -1, w = -1, h = -1;
  std::vector<unsigned char> ends;   // 2 (depth + 1) rows of w + 1 pixels
  std::vector<unsigned char> sides;  // h + 1 rows of 2 (depth + 1) pixels
};

class myview {
 public:
  int x1;
  int y1;
  int x2;
  int y2;
  bool keepratio;   // read only by the curve plot
  bool markstroke;  // thin text marks horizontal strokes in red

  static mybitmap* pmymap;  // the shared screen bitmap

  // Region codes; bit values that can be combined.
  static const int OUTSIDE_MID = 0;
  static const int OUTSIDE_CENTER = 0;
  static const int OUTSIDE_LEFT = 1;
  static const int OUTSIDE_RIGHT = 2;
  static const int OUTSIDE_UP = 4;
  static const int OUTSIDE_DOWN = 8;

  myview();
  myview(int a, int b, int c, int d);
  virtual ~myview() {}

  void move(int a, int b, int c, int d);
  int width() const { return x2 - x1; }
  int high() const { return y2 - y1; }

  // ---- pixels, lines, dots, boxes and shapes (myview.cpp)
  void setpixel(int x, int y);                    // not clipped to the view
  void setpixel(int x, int y, const mycolor& c);  // clipped to the closed rectangle
  void drawthinline(int ax, int ay, int bx, int by);
  void drawthinline(int ax, int ay, int bx, int by, const mycolor& c);
  void pixel(int x, int y);
  void pixel(int x, int y, const mycolor& c);
  void line(int ax, int ay, int bx, int by);
  void box(int a, int b, int c, int d);
  void boxf(int a, int b, int c, int d, mycolor col);
  // boxf in an opaque colour, writing in each row only what differs.
  void reboxf(int a, int b, int c, int d, mycolor col);
  void fillbox(int a, int b, int c, int d, mycolor col, bool changedonly);
  void circlef(int x, int y, int r);
  void sanjiaomv(int x, int y, int size, mycolor c);

  // ---- the pixels under a frame, kept aside (myviewkept.cpp)
  // Rows from..to (view rows) of the pixels within m of the view's edges,
  // where they are on the bitmap, copied into `store`; and all of them back.
  void keepedges(keptedges& store, int m, int from, int to) const;
  void putedges(const keptedges& store) const;
  // The kept sides of rows from..to moved by dy rows, as moverows moves the
  // rows; false, and nothing moved, when they are not all kept or would
  // leave the store.
  bool shiftedges(keptedges& store, int from, int to, int dy) const;
  // View rows from..to of the rectangle moved by dy rows (a scroll), in
  // the spans of view columns given (those between are blank).
  void moverows(int from, int to, int dy, const std::vector<std::pair<int, int>>& spans);
  bool clipped(int y, int& lo, int& hi, int& row) const;

  // ---- frames (myview.cpp)
  void clear();
  void drawbj();
  void drawbj1();
  void drawbj1(int from, int to);

  // ---- text (myviewtext.cpp)
  void drawfont(int x, int y, const char* s, int w, int h);
  void drawtext(int x, int y, const char* s, int w, int h);
  void drawtextc(int x, int y, const char* s, int w, int h);
  void drawvtext(int x, int y, const char* s, int w, int h);
  void drawvfont(int x, int y, unsigned short code, int w, int h, int vennum, unsigned short zn,
                 const unsigned char* vec, const unsigned short* chss);
  void drawdots(int x, int y, const unsigned char* g, int w, int h, mycolor entry);
  const unsigned char* drawvect(int x, int y, const unsigned char* g, int w, int h);
  const unsigned char* drawvect1(int x, int y, const unsigned char* g, int w, int h);
  const unsigned char* drawvector(int x, int y, const unsigned char* g, int w, int h);

  // ---- trajectory text (myviewtrace.cpp)
  void setpixeld(int x, int y);
  void drawthinlined(int ax, int ay, int bx, int by);
  void addguiji();
  void drawguiji(int start, int end, int t);
  void drawallguiji();
  void circled(int x, int y, int d);
  void drawvtextd(int x, int y, const char* s, int w, int h);
  void drawvfontd(int x, int y, unsigned short code, int w, int h, int vennum, unsigned short zn,
                  const unsigned char* vec, const unsigned short* chss);
  void drawvfontd(int x, int y, const char* s, int w, int h, int vennum, unsigned short zn,
                  const unsigned char* vec, const unsigned short* chss);
  const unsigned char* drawvectd(int x, int y, const unsigned char* g, int w, int h);

  // ---- arrows and curve plots (viewextras.cpp)
  static void calarrow(double dx, double dy, double spread, double& c1, double& s1, double& c2,
                       double& s2);
  void drawjiantou(double x0, double y0, double tipx, double tipy);
  void drawarrow(double vx, double vy);
  void drawxycurve(int n, const double* xs, const double* ys);

  // Random state of circled and orientation counter of sanjiaomv, shared
  // by all views and separate from the bitmap's own.
  static uint64_t idum;
  static int fx;

 private:
  linewindow reach(int margin) const;
  void rowsonbitmap(long long& from, long long& to, int margin) const;
  void discrows(int x, int y, long long r, long long first, long long last);
  void rowrun(long long a, long long b, long long y);
  void widepenline(const std::vector<std::pair<int, int>>& dots, int r);
  template <class Draw>
  void eachchar(const char* s, long long x, int w, Draw draw) const;
  void drawtextfrom(long long x, int y, const char* s, int w, int h);
  int penradius() const;
};

class amyview : public myview {
 public:
  amyview() {}
  // Handles one view event; nonzero when it was consumed.
  virtual int keymouse(int type, int a, int b, int c, int d, int e);
  // Repaints the view.
  virtual void draw();
};
