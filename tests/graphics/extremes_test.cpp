// Drawing with coordinates and sizes from the far ends of int: nothing
// overflows (the sanitizer build checks), nothing outside the bitmap costs
// more than the bitmap, and what lands inside is what a sane call draws.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphics/mybitmap.h"
#include "tests/graphics/drawtest.h"

namespace {

const int far[] = {INT_MIN, INT_MIN + 1, -100000000, -1, 0, 30, 100000000, INT_MAX - 1, INT_MAX};

TEST(Extremes, MessageOnABitmapNarrowerThanHalfACell) {
  mybitmap b(10, 30);  // two characters per line would need 12 pixels
  b.msg("");
  b.msg("a");
  b.msg("\xC4\xE3\xBA\xC3");
  EXPECT_EQ(b.width, 10);
}

TEST(Extremes, EveryPrimitiveAtTheEndsOfInt) {
  mybitmap b(64, 48);
  for (int thick : {1, 3, 40000}) {
    b.thick = thick;
    for (int x : far)
      for (int y : far) {
        b.set(x, y);
        b.circlef(x, y, 5);
        b.circlef(x, y, INT_MAX);
        b.circled(x, y, 7);
        b.circled(x, y, INT_MAX);
        b.sanjiaomv(x, y, mycolor(0, 0, 255));
        b.boxfill(x, y, ~x, ~y);
        b.drawthinline(x, y, ~x, y / 2);
        b.drawtext(x, y, "\xCA\xAE" "ab", 5000, 0);
        b.drawtextc(x, y, "\xCA\xAE", 2, 5000);
        b.drawvtext(x, y, "a\xCA\xAE", INT_MAX, INT_MIN);
        mybitmap::resetpixeld();
        b.drawthinlined(x, y, ~x, ~y);
        if (thick < 40000) b.circlef1(x, y, 3);
      }
  }
  mybitmap::resetpixeld();
}

// A circle of radius 10^8 through the middle of the bitmap: only the arc
// near it is walked, and the arc shows as the nearly straight column it is.
TEST(Extremes, HugeCircleDrawsOnlyItsVisibleArc) {
  mybitmap b(64, 48);
  b.circle(32 - 100000000, 24, 100000000);
  inkbox k = ink(b);
  EXPECT_EQ(k.y0, 0);
  EXPECT_EQ(k.y1, 47);
  EXPECT_GE(k.x0, 30);
  EXPECT_LE(k.x1, 34);
  mybitmap c(64, 48);
  for (int x : far)
    for (int r : {1, 1000, 100000000, INT_MAX}) c.circle(x, x, r);
}

// Every chord, as the circle was first drawn.
void fullcircle(mybitmap& b, int x, int y, int r) {
  long long n = 12LL * r;
  double step = 2 * M_PI / n;
  int px = x + r, py = y;
  for (long long i = 1; i <= n; i++) {
    int nx = static_cast<int>(x + r * std::cos(i * step) + 0.5);
    int ny = static_cast<int>(y + r * std::sin(i * step) + 0.5);
    b.line(px, py, nx, ny);
    px = nx;
    py = ny;
  }
}

// Circles crossing the edges, and pens crossing them, draw exactly what
// every chord draws.
TEST(Extremes, CirclesCrossingTheEdgeDrawTheSameInside) {
  for (int thick : {1, 5, 30}) {
    mybitmap skipped(40, 30), whole(40, 30);
    skipped.thick = whole.thick = thick;
    for (int r : {3, 25, 60, 300}) {
      skipped.circle(35, -5, r);
      fullcircle(whole, 35, -5, r);
      skipped.circle(-r + 2, 15, r);
      fullcircle(whole, -r + 2, 15, r);
    }
    ASSERT_EQ(marked(skipped), marked(whole)) << thick;
  }
}

}  // namespace
