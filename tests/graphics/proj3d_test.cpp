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
  EXPECT_EQ(b.curx, -0.5);  // the pen ends where the top face closed
  EXPECT_EQ(b.curz, 0.5);
  mybitmap e(200, 200);
  e.box3d(0.5, -0.5, -0.5, 0.5, 0.5, 0.5);
  e.box3d(-0.5, -0.5, 0.2, 0.5, 0.5, 0.2);
  EXPECT_TRUE(marked(e).empty());
}

TEST(Figures, BallRadiusIsTheProjectedHeight) {
  mybitmap b(200, 200);
  b.ball3d(0, 0, 0, 0.5);  // (0, 0, 0.5) lands 34 pixels above the centre
  mybitmap d(200, 200);
  d.circlef(100, 100, 34);
  EXPECT_EQ(marked(b), marked(d));
  b.ball3d(0, 0, 0, -1);
  EXPECT_EQ(marked(b), marked(d));
  mybitmap dot(200, 200);
  dot.set3d(0, 0, 0);  // 0.02 lands at row int(98.656): radius 2
  mybitmap dd(200, 200);
  dd.circlef(100, 100, 2);
  EXPECT_EQ(marked(dot), marked(dd));
}

TEST(Figures, ThickLinesConesAndArrows) {
  mybitmap b(200, 200);
  b.line3dt(0, -1, 0, 0, 1, 0, 0.1);  // (0, 0, 0.1) lands at row int(93.28)
  EXPECT_EQ(b.thick, 7);
  b.line3dt(0, -1, 0, 0, 1, 0, 0.001);
  EXPECT_EQ(b.thick, 1);

  mybitmap c(200, 200);
  c.zui3d(0, -1, 0, 0, 1, 0, 0);
  c.arrow3d(0, -1, 0, 0, 1, 0, 0);
  c.arrow3d(0, -1, 0, 0, 1, 0, -2);
  EXPECT_TRUE(marked(c).empty());
  EXPECT_EQ(c.thick, 1);

  // A cone tapers: wide at its start, thin at its end.
  c.zui3d(0, -1, 0, 0, 1, 0, 0.3);
  EXPECT_EQ(c.thick, 1);  // last step: 0.003 projects to under a pixel
  auto column = [&](int x) {
    int n = 0;
    for (int y = 0; y < 200; y++) n += c.getpixel(x, y).value() != 0xFFFFFFFFu;
    return n;
  };
  EXPECT_GT(column(40), column(150));
  EXPECT_GT(column(150), 0);

  // An arrow: shaft of constant width, then a head twice as wide.
  mybitmap a(200, 200);
  a.arrow3d(0, -1, 0, 0, 1, 0, 0.1);
  for (int y = 0; y < 200; y++) EXPECT_EQ(a.getpixel(60, y).value(), a.getpixel(90, y).value()) << y;
  EXPECT_NE(a.getpixel(135, 95).value(), 0xFFFFFFFFu);
  EXPECT_EQ(a.getpixel(90, 95).value(), 0xFFFFFFFFu);
}

}  // namespace
