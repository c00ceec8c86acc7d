// Disc tables, filled discs, the ring stamp and its cache, the scattered
// disc, filled boxes and the triangle marker. Outlines, pen rings and 3D
// figures are pinned by the reference sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "graphics/circles.h"
#include "graphics/disctables.h"
#include "tests/graphics/drawtest.h"

namespace {

// The offsets of the disc of diameter 100 by distance, then x, then y, one
// offset more; and per diameter d the count of offsets within d / 2.
TEST(DiscTables, FollowFromTheirRule) {
  std::vector<std::array<int, 3>> all;  // distance squared, x, y
  for (int x = -50; x <= 50; x++)
    for (int y = -50; y <= 50; y++)
      if (x * x + y * y <= 2500) all.push_back({x * x + y * y, x, y});
  std::sort(all.begin(), all.end());
  ASSERT_EQ(cirptlth, static_cast<int>(all.size()) + 1);
  for (size_t i = 0; i < all.size(); i++)
    ASSERT_EQ(std::make_pair(cirpt[i][0], cirpt[i][1]), std::make_pair(all[i][1], all[i][2])) << i;
  EXPECT_EQ(std::make_pair(cirpt[all.size()][0], cirpt[all.size()][1]), std::make_pair(-50, -1));
  EXPECT_EQ(aa[0], 0);
  for (int d = 1; d <= 100; d++)
    EXPECT_EQ(aa[d], std::count_if(all.begin(), all.end(), [d](auto& e) { return 4 * e[0] <= d * d; })) << d;
}

TEST(FilledDisc, RowsFromBelowTheTopToTheBottomPoint) {
  mybitmap b(30, 30);
  b.circlef(10, 10, 1);
  EXPECT_EQ(marked(b), (pointset{{9, 10}, {10, 10}, {11, 10}, {10, 11}}));
  mybitmap c(30, 30);
  c.circlef(15, 15, 6);
  pointset s = marked(c);
  EXPECT_FALSE(s.count({15, 9}));  // top row y - r left out
  EXPECT_TRUE(s.count({15, 10}) && s.count({15, 21}) && !s.count({14, 21}));
  mybitmap e(30, 30);
  e.circlef(10, 10, 0);
  e.circlef(10, 10, -4);
  e.circle(10, 10, 0);
  EXPECT_TRUE(marked(e).empty());
}

std::vector<int> ringlist(int r) {
  std::vector<int> v;
  for (const int* p = fillring(r); p[0] != -1; p += 2) v.insert(v.end(), {p[0], p[1]});
  return v;
}

// The stamp as it is defined: painted on a scratch bitmap cleared to blue,
// a red disc of radius r and, above radius 4, a green disc of radius r - 3
// over it; every pixel left with red, columns first.
TEST(RingStamp, MatchesThePaintedStamp) {
  for (int r : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 17, 25, 31, 45, 97, 250}) {
    mybitmap s(2 * r + 1, 2 * r + 1);
    s.clear(mycolor(0, 0, 255));
    s.color = mycolor(255, 0, 0);
    s.circlef(r, r, r);
    if (r > 4) {
      s.color = mycolor(0, 255, 0);
      s.circlef(r, r, r - 3);
    }
    std::vector<int> v;
    for (int x = 0; x <= 2 * r; x++)
      for (int y = 0; y <= 2 * r; y++)
        if (s.getpixel(x, y).red != 0) v.insert(v.end(), {x, y});
    ASSERT_EQ(ringlist(r), v) << r;
  }
}

TEST(RingStamp, CachedAndBounded) {
  const int* a = fillring(7);
  EXPECT_EQ(fillring(7), a);
  std::vector<int> seven = ringlist(7);
  fillring(8);
  EXPECT_EQ(ringlist(7), seven);
  auto fails = [](int r) -> std::string {
    try {
      fillring(r);
    } catch (const char* s) {
      return s;
    }
    return "";
  };
  EXPECT_EQ(fails(0), "\xb0\xeb\xbe\xb6\xb9\xfd\xd0\xa1");   // too small
  EXPECT_EQ(fails(-3), "\xb0\xeb\xbe\xb6\xb9\xfd\xd0\xa1");
  EXPECT_EQ(fails(20001), "\xb0\xeb\xbe\xb6\xb9\xfd\xb4\xf3");  // too large
  EXPECT_EQ(fails(20000), "");
  EXPECT_EQ(ringlist(7), seven);  // a refused radius leaves the cache usable
}

TEST(ScatteredDisc, SizesAndMirroring) {
  mybitmap::idum = 0;
  mybitmap b(20, 20);
  b.circled(10, 10, 0);
  b.circled(10, 10, -1);
  EXPECT_EQ(marked(b), (pointset{{10, 10}}));
  // Diameter 1: the centre and one horizontal neighbour chosen by the draws.
  std::set<pointset> seen;
  for (int n = 0; n < 40; n++) {
    mybitmap b(20, 20);
    b.circled(10, 10, 1);
    seen.insert(marked(b));
  }
  EXPECT_EQ(seen, (std::set<pointset>{{{9, 10}, {10, 10}}, {{10, 10}, {11, 10}}}));
  // Diameter 100 uses the whole table; above 100 the disc is filled like circlef.
  mybitmap c(120, 120), d(120, 120);
  c.circled(60, 60, 100);
  EXPECT_EQ(marked(c).size(), 7846u);
  c.clear();
  c.circled(60, 60, 101);
  d.circlef(60, 60, 50);
  EXPECT_EQ(marked(c), marked(d));
}

TEST(Boxes, FillCoversEveryRowBetweenTheCorners) {
  mybitmap b(20, 20);
  b.boxfill(10, 5, 0, 1);
  pointset want;
  for (int y = 1; y <= 5; y++)
    for (int x = 0; x <= 10; x++) want.insert({x, y});
  EXPECT_EQ(marked(b), want);
}

TEST(Triangle, FourOrientationsInTurn) {
  mybitmap::fx = 0;
  mycolor red(255, 0, 0);
  pointset shapes[5];
  for (int k = 0; k < 5; k++) {
    mybitmap b(40, 40);
    b.sanjiaomv(20, 20, red);
    EXPECT_EQ(b.color.value(), mycolor().value());
    EXPECT_EQ(b.getpixel(20, 20).value(), red.value());
    shapes[k] = marked(b);
    EXPECT_EQ(shapes[k].size(), 120u);  // rows of 1, 2, ..., 15 pixels
  }
  pointset &up = shapes[0], &left = shapes[1], &down = shapes[2], &right = shapes[3];
  EXPECT_TRUE(up.count({20, 13}) && !up.count({19, 13}) && !up.count({21, 13}));
  for (int x = 13; x <= 27; x++) EXPECT_TRUE(up.count({x, 27}));
  EXPECT_TRUE(left.count({13, 20}) && !left.count({13, 19}) && !left.count({13, 21}));
  EXPECT_TRUE(down.count({20, 27}) && !down.count({19, 27}));
  EXPECT_TRUE(right.count({27, 20}) && !right.count({27, 19}));
  for (auto& p : up) EXPECT_TRUE(down.count({p.first, 40 - p.second}));
  EXPECT_EQ(shapes[4], up);
}

TEST(HalfChord, ByTable) {
  EXPECT_DOUBLE_EQ(mysqrt(0, 10), 10);
  EXPECT_NEAR(mysqrt(-6, 10), 8, 1e-9);
  EXPECT_EQ(mysqrt(11, 10), 1.0);
  EXPECT_EQ(mysqrt(0, 0), 0);
}

}  // namespace
