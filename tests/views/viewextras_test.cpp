// Arrows and curve plots in a 200 × 100 view.
#include <gtest/gtest.h>

#include "tests/views/viewtest.h"

namespace {

TEST(ViewExtras, DirectionArrowFromTheCentre) {
  screen s(220, 120);
  myview v(0, 0, 200, 100);
  v.drawjiantou(50, 50, 50, 50);  // coincident ends: nothing
  EXPECT_EQ(s.count(black), 0);
  v.drawarrow(1, 0);
  EXPECT_EQ(s.bmp.thick, 3);
  EXPECT_EQ(s.count(red, 99, 50, 151, 50), 53);  // the shaft, (100, 50) to (150, 50)
  // Barbs of length 20 back to the left, 0.2 rad above and below.
  EXPECT_EQ(s.at(130, 46), red);
  EXPECT_EQ(s.at(130, 54), red);
  EXPECT_EQ(s.count(red), 53 + s.count(red, 129, 46, 151, 49) + s.count(red, 129, 51, 151, 54));

  screen t(220, 120);
  v.drawarrow(0, 0);  // no direction: nothing
  EXPECT_EQ(t.count(red), 0);
}

TEST(ViewExtras, CurvePlots) {
  screen s(220, 120);
  myview v(0, 0, 200, 100);
  v.keepratio = false;
  double xs[] = {0, 1, 2}, ys[] = {5, 5, 5};
  v.drawxycurve(1, xs, ys);
  EXPECT_EQ(s.count(red), 0);
  v.drawxycurve(3, xs, ys);  // a flat curve: the centre row from 10 to 190
  EXPECT_EQ(s.count(red, 9, 50, 191, 50), 183);
  EXPECT_EQ(s.count(red), 183);

  // A square stretched to 90% of both sides, without an arrowhead.
  double sx[] = {0, 1, 1, 0, 0}, sy[] = {0, 0, 1, 1, 0};
  screen t(220, 120);
  v.drawxycurve(5, sx, sy);
  EXPECT_EQ(t.at(10, 95), red);
  EXPECT_EQ(t.at(190, 5), red);
  EXPECT_EQ(t.count(red, 12, 6, 188, 94), 0);

  // With keepratio it stays square (scale from the height), arrowhead at (55, 95).
  screen u(220, 120);
  v.keepratio = true;
  v.drawxycurve(5, sx, sy);
  EXPECT_EQ(u.at(55, 95), red);
  EXPECT_EQ(u.at(145, 5), red);
  EXPECT_EQ(u.count(red, 0, 0, 49, 119) + u.count(red, 147, 0, 219, 119), 0);
  EXPECT_EQ(u.at(59, 75), red);  // the barbs end at (59, 75) and (51, 75)
  EXPECT_EQ(u.at(51, 75), red);
}

}  // namespace
