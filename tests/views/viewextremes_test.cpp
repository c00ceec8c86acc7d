// View drawing with coordinates and sizes from the far ends of int: nothing
// overflows (the sanitizer build checks), loops end, and the cost stays
// with the bitmap's pixels: a pen of 10^5, a disc or triangle of INT_MAX and
// trajectory text at cell size 10^9 all finish at once.
#include <gtest/gtest.h>

#include <climits>

#include "tests/views/viewtest.h"
#include "views/myview.h"

namespace {

const int far[] = {INT_MIN, -100000000, -1, 0, 20, 100000000, INT_MAX - 1, INT_MAX};

TEST(ViewExtremes, EveryPrimitiveAtTheEndsOfInt) {
  screen s(48, 32);
  myview v(5, 4, 40, 30);
  for (int thick : {1, 4, 100000}) {
    for (int x : far)
      for (int y : far) {
        s.bmp.thick = thick;
        v.setpixel(x, y);
        v.setpixel(x, y, mycolor(1, 2, 3));
        v.pixel(x, y);
        v.line(x, y, ~x, y / 3);
        v.boxf(x, y, ~x, ~y, mycolor(0, 0, 255));
        v.circlef(x, y, INT_MAX);
        v.circled(x, y, 9);
        v.circled(x, y, INT_MAX);
        v.sanjiaomv(x, y, INT_MAX, mycolor(255, 0, 0));
        v.drawtext(x, y, "\xCA\xAE" "ab", 5000, 0);
        v.drawtextc(x, y, "\xCA\xAE" "ab", 5000, 5000);
        v.drawvtext(x, y, "a\xCA\xAE", INT_MAX, INT_MIN);
        v.drawvtextd(x, y, "\xCA\xAE", 1000000000, 0);
      }
  }
  // A sane triangle still draws where it did: its apex row is one pixel.
  screen t(48, 32);
  myview::fx = 0;
  myview w(0, 0, 47, 31);
  w.sanjiaomv(20, 15, 11, mycolor(0, 0, 0));
  EXPECT_EQ(t.count(black, 0, 10, 47, 10), 1);
  EXPECT_GT(t.count(black), 30);
}

}  // namespace
