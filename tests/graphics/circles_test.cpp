// Disc tables, filled discs, the ring stamp and its cache, the scattered
// disc, boxes, outline circles and the triangle marker.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/circles.h"
#include "graphics/disctables.h"
#include "tests/graphics/drawtest.h"

namespace {

TEST(DiscTables, PublishedValues) {
  const int small[11] = {0, 1, 5, 9, 13, 21, 29, 37, 49, 69, 81};
  for (int d = 0; d <= 10; d++) EXPECT_EQ(aa[d], small[d]) << d;
  EXPECT_EQ(aa[100], 7845);
  EXPECT_EQ(cirptlth, 7846);
  const int first[6][2] = {{0, 0}, {-1, 0}, {0, -1}, {0, 1}, {1, 0}, {-1, -1}};
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(cirpt[i][0], first[i][0]);
    EXPECT_EQ(cirpt[i][1], first[i][1]);
  }
  EXPECT_EQ(cirpt[7845][0], -50);  // the first offset past the largest disc
  EXPECT_EQ(cirpt[7845][1], -1);
  mybitmap b(1, 1);
  EXPECT_EQ(b.pcirpt, &cirpt[0][0]);
  EXPECT_EQ(b.paa, aa);
}

TEST(FilledDisc, RowsFromBelowTheTopToTheBottomPoint) {
  mybitmap b(30, 30);
  b.circlef(10, 10, 1);
  EXPECT_EQ(marked(b), (pointset{{9, 10}, {10, 10}, {11, 10}, {10, 11}}));
  mybitmap c(30, 30);
  c.circlef(15, 15, 6);
  pointset s = marked(c);
  EXPECT_FALSE(s.count({15, 9}));  // top row y - r left out
  EXPECT_TRUE(s.count({15, 10}));
  EXPECT_TRUE(s.count({15, 21}));  // bottom row: the single centre pixel
  EXPECT_FALSE(s.count({14, 21}));
  EXPECT_TRUE(s.count({9, 15}) && s.count({21, 15}));
  mybitmap e(30, 30);
  e.circlef(10, 10, 0);
  e.circlef(10, 10, -4);
  EXPECT_TRUE(marked(e).empty());
}

// The stamp as it is defined: painted on a scratch bitmap cleared to blue,
// a red disc of radius r and, above radius 4, a green disc of radius r - 3
// over it; every pixel left with red, columns first.
std::vector<int> paintedring(int r) {
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
      if (s.getpixel(x, y).red != 0) {
        v.push_back(x);
        v.push_back(y);
      }
  return v;
}

std::vector<int> ringlist(int r) {
  std::vector<int> v;
  for (const int* p = fillring(r); p[0] != -1; p += 2) {
    v.push_back(p[0]);
    v.push_back(p[1]);
  }
  return v;
}

TEST(RingStamp, MatchesThePaintedStamp) {
  for (int r = 1; r <= 45; r++) ASSERT_EQ(ringlist(r), paintedring(r)) << r;
  for (int r : {97, 250}) ASSERT_EQ(ringlist(r), paintedring(r)) << r;
  EXPECT_EQ(ringlist(1), (std::vector<int>{0, 1, 1, 1, 1, 2, 2, 1}));
}

TEST(RingStamp, DiscUpToFourThenRing) {
  auto disc = [](int c, int r) {
    mybitmap b(2 * c + 1, 2 * c + 1);
    b.circlef(c, c, r);
    return marked(b);
  };
  auto stamp = [](int r) {
    pointset s;
    for (const int* p = fillring(r); p[0] != -1; p += 2) s.insert({p[0], p[1]});
    return s;
  };
  EXPECT_EQ(stamp(4), disc(4, 4));
  pointset ring = disc(5, 5);
  for (auto& p : disc(5, 2)) ring.erase(p);
  EXPECT_EQ(stamp(5), ring);
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
  {
    mybitmap b(20, 20);
    b.circled(10, 10, 0);
    EXPECT_EQ(marked(b), (pointset{{10, 10}}));
    b.circled(10, 10, -1);
    EXPECT_EQ(marked(b), (pointset{{10, 10}}));
  }
  // Diameter 1: the centre and one horizontal neighbour chosen by the draws.
  std::set<pointset> seen;
  for (int n = 0; n < 40; n++) {
    mybitmap b(20, 20);
    b.circled(10, 10, 1);
    pointset s = marked(b);
    EXPECT_TRUE(s == (pointset{{9, 10}, {10, 10}}) || s == (pointset{{10, 10}, {11, 10}}));
    seen.insert(s);
  }
  EXPECT_EQ(seen.size(), 2u);
  // The full table: 7845 offsets of the disc and one beyond it.
  mybitmap b(120, 120);
  b.circled(60, 60, 100);
  pointset s = marked(b);
  EXPECT_EQ(s.size(), 7846u);
  int outside = 0;
  for (auto& p : s) outside += (p.first - 60) * (p.first - 60) + (p.second - 60) * (p.second - 60) > 2500;
  EXPECT_EQ(outside, 1);
  // Above 100 the disc is filled like circlef.
  mybitmap c(120, 120), d(120, 120);
  c.circled(60, 60, 101);
  d.circlef(60, 60, 50);
  EXPECT_EQ(marked(c), marked(d));
}

TEST(Boxes, FilledRowsAndOutline) {
  mybitmap b(20, 20);
  b.boxfill(10, 5, 0, 1);
  pointset want;
  for (int y = 1; y <= 5; y++)
    for (int x = 0; x <= 10; x++) want.insert({x, y});
  EXPECT_EQ(marked(b), want);
  mybitmap o(40, 40);
  o.thick = 1;
  o.box(5, 5, 30, 20);
  pointset s = marked(o);
  EXPECT_TRUE(s.count({5, 5}) && s.count({30, 20}) && s.count({17, 5}) && s.count({30, 12}));
  EXPECT_FALSE(s.count({17, 12}));
}

TEST(Circle, OutlineStaysOnItsRadius) {
  mybitmap b(100, 100);
  b.circle(10, 10, 0);
  EXPECT_TRUE(marked(b).empty());
  b.thick = 1;
  b.circle(50, 50, 20);
  pointset s = marked(b);
  for (auto& p : s) {
    double r = std::hypot(p.first - 50, p.second - 50);
    EXPECT_TRUE(r > 18.5 && r < 21.5) << p.first << "," << p.second;
  }
  EXPECT_TRUE(s.count({70, 50}) && s.count({50, 70}) && s.count({30, 50}) && s.count({50, 30}));
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
