// View drawing with coordinates and sizes from the far ends of int: nothing
// overflows (the sanitizer build checks), loops end, and the cost stays
// with the bitmap's pixels: a pen of 10^5, a disc or triangle of INT_MAX and
// trajectory text at cell size 10^9 all finish at once.
#include <gtest/gtest.h>

#include <climits>

#include "tests/views/viewtest.h"
#include "graphics/linestep.h"
#include "views/myview.h"

namespace {

const int far[] = {INT_MIN, -100000000, -1, 0, 20, 100000000, INT_MAX - 1, INT_MAX};

TEST(ViewExtremes, EveryPrimitiveAtTheEndsOfInt) {
  screen s(48, 32);
  myview v(5, 4, 40, 30);
  for (int thick : {1, 4, 100000, INT_MAX}) {
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

// A large pen paints, dot by dot, only what the dot before left out: the
// pixels are those of every dot drawn whole.
TEST(ViewExtremes, LargePenLinesPaintWhatEveryDotWould) {
  const int ends[][4] = {{-30, 5, 70, 40}, {10, -20, 12, 60}, {60, 30, -5, -8}, {0, 0, 47, 31},
                         {-3000, 1990, 3000, 2010}, {-50, -1000, 90, 1000}, {20, 15, 20, 15},
                         {-1000, 40, 1000, 40}};
  for (int thick : {18, 19, 40, 90, 4000})
    for (const auto& e : ends) {
      screen fast(48, 32);
      myview v(3, 2, 44, 30);
      fast.bmp.thick = thick;
      v.line(e[0], e[1], e[2], e[3]);
      screen slow(48, 32);
      myview u(3, 2, 44, 30);
      slow.bmp.thick = thick;
      linesteps(e[0], e[1], e[2], e[3], true, [&](int x, int y) { u.pixel(x, y); });
      ASSERT_EQ(fast.pixels(), slow.pixels()) << thick << " " << e[0] << "," << e[1];
    }
}

}  // namespace
