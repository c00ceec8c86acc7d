// The oblique projection and the 3D figures drawn through it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/graphics/drawtest.h"

namespace {

std::pair<int, int> at(const mybitmap& b, double x, double y, double z) {
  int X, Y;
  b.c3d2d(x, y, z, X, Y);
  return {X, Y};
}

TEST(Projection, DefaultAndChosenWorldBox) {
  mybitmap b(200, 200);
  EXPECT_EQ(at(b, 0, 1, 0), std::make_pair(167, 100));
  EXPECT_EQ(at(b, 0, 0, 1), std::make_pair(100, 32));
  EXPECT_EQ(at(b, 1, 0, 0), std::make_pair(52, 147));  // x: down and to the left
  mybitmap c(320, 240);
  ASSERT_TRUE(c.init3d(0, 10, 0, 10, 0, 10));
  EXPECT_EQ(at(c, 5, 5, 5), std::make_pair(160, 120));
  auto corner = at(c, 0, 10, 0);
  EXPECT_FALSE(c.init3d(1, 1, 0, 10, 0, 10));
  EXPECT_FALSE(c.init3d(0, 10, 0, 10, 0, std::nan("")));
  EXPECT_EQ(at(c, 0, 10, 0), corner);  // the mapping is kept
}

TEST(Projection, FarPointsAreHarmless) {
  mybitmap b(50, 50);
  double inf = std::numeric_limits<double>::infinity();
  b.line3d(0, 0, 0, 1e300, -1e300, 1e300);
  b.line3d(0, 0, 0, std::nan(""), inf, -inf);
  b.ball3d(0, 0, 0, 1e200);
  EXPECT_FALSE(marked(b).empty());
}

TEST(Figures, BoxDrawsItsEdgesOrNothing) {
  mybitmap b(200, 200);
  b.box3d(-0.5, -0.5, -0.5, 0.5, 0.5, 0.5);
  pointset s = marked(b);
  for (double x : {-0.5, 0.5})
    for (double y : {-0.5, 0.5})
      for (double z : {-0.5, 0.5}) EXPECT_TRUE(s.count(at(b, x, y, z)));
  EXPECT_FALSE(s.count(at(b, 0, 0, 0)));
  mybitmap e(200, 200);
  e.box3d(0.5, -0.5, -0.5, 0.5, 0.5, 0.5);
  e.box3d(-0.5, -0.5, 0.2, 0.5, 0.5, 0.2);
  EXPECT_TRUE(marked(e).empty());
}

// The shapes themselves are pinned by the reference sheet; here the sizes
// taken from the projection and the cases that draw nothing.
TEST(Figures, SizesComeFromTheProjectedHeight) {
  mybitmap b(200, 200), d(200, 200);
  b.ball3d(0, 0, 0, 0.5);  // (0, 0, 0.5) lands 34 pixels above the centre
  d.circlef(100, 100, 34);
  b.ball3d(0, 0, 0, -1);
  EXPECT_EQ(marked(b), marked(d));
  b.line3dt(0, -1, 0, 0, 1, 0, 0.1);  // (0, 0, 0.1) lands at row int(93.28)
  EXPECT_EQ(b.thick, 7);
  b.line3dt(0, -1, 0, 0, 1, 0, 0.001);
  EXPECT_EQ(b.thick, 1);

  mybitmap c(200, 200);
  c.zui3d(0, -1, 0, 0, 1, 0, 0);
  c.arrow3d(0, -1, 0, 0, 1, 0, 0);
  c.arrow3d(0, -1, 0, 0, 1, 0, -2);
  EXPECT_TRUE(marked(c).empty());
}

}  // namespace
