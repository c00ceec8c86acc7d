// Line stepping, trajectory recording and its buffers, the thickness
// profile and the thick pen.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "graphics/circles.h"
#include "graphics/linestep.h"
#include "tests/graphics/drawtest.h"

namespace {

using pointlist = std::vector<std::pair<int, int>>;

pointlist walk(int x0, int y0, int x1, int y1, bool withend) {
  pointlist v;
  linesteps(x0, y0, x1, y1, withend, [&](int x, int y) { v.push_back({x, y}); });
  return v;
}

pointset thin(int x0, int y0, int x1, int y1, int w = 20, int h = 20) {
  mybitmap b(w, h);
  b.drawthinline(x0, y0, x1, y1);
  return marked(b);
}

TEST(LineSteps, KnownPixels) {
  EXPECT_EQ(thin(5, 5, 5, 5), (pointset{{5, 5}}));
  // The error starts at 2 - 2 = 0, so the first step stays on row 0.
  EXPECT_EQ(thin(0, 0, 4, 2), (pointset{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  // A tie goes to x; the error starts positive, so the diagonal is exact.
  EXPECT_EQ(thin(0, 0, 3, 3), (pointset{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  // The rule is asymmetric on purpose: the same segment backwards differs.
  EXPECT_EQ(thin(4, 2, 0, 0), (pointset{{4, 2}, {3, 2}, {2, 1}, {1, 1}, {0, 0}}));
  EXPECT_EQ(thin(0, 0, 2, 4), (pointset{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}));
}

TEST(LineSteps, EveryDirectionIsConnectedAndEndsExactly) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> c(-40, 40);
  for (int n = 0; n < 2000; n++) {
    int x0 = c(rng), y0 = c(rng), x1 = c(rng), y1 = c(rng);
    pointlist v = walk(x0, y0, x1, y1, true);
    ASSERT_EQ(static_cast<int>(v.size()), std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1);
    EXPECT_EQ(v.front(), std::make_pair(x0, y0));
    EXPECT_EQ(v.back(), std::make_pair(x1, y1));
    for (size_t i = 1; i < v.size(); i++)
      ASSERT_EQ(std::max(std::abs(v[i].first - v[i - 1].first), std::abs(v[i].second - v[i - 1].second)), 1);
    // The recording walk is the same walk without its end point.
    v.pop_back();
    ASSERT_EQ(walk(x0, y0, x1, y1, false), v);
  }
}

TEST(LineSteps, WindowedWalkMatchesTheFullWalkEvenFromExtremeEnds) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> far(-3000, 3000);
  for (int n = 0; n < 300; n++) {
    int x0 = far(rng), y0 = far(rng), x1 = far(rng), y1 = far(rng);
    pointlist v = walk(x0, y0, x1, y1, true);
    ASSERT_EQ(thin(x0, y0, x1, y1, 37, 23), insideof(pointset(v.begin(), v.end()), 37, 23))
        << x0 << "," << y0 << " " << x1 << "," << y1;
  }
  pointset row, diag;
  for (int i = 0; i < 20; i++) row.insert({i, 5}), diag.insert({i, i});
  EXPECT_EQ(thin(INT_MIN, 5, INT_MAX, 5), row);
  EXPECT_EQ(thin(-1000000000, -1000000000, 1000000000, 1000000000), diag);
  EXPECT_TRUE(thin(INT_MIN, INT_MIN, INT_MAX, INT_MIN).empty());
}

class Trajectory : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    mybitmap::resetpixeld();
    mybitmap::zhityid = 0;
  }
  mybitmap b{10, 10};
};

TEST_F(Trajectory, RecordingLineStoresStepsWithoutTheEnd) {
  b.drawthinlined(5, 5, 5, 5);
  EXPECT_EQ(mybitmap::xynum, 0);
  b.drawthinlined(0, 0, 3, 0);
  ASSERT_EQ(mybitmap::xynum, 3);
  for (int i = 0; i < 3; i++)
    EXPECT_EQ(std::make_pair(mybitmap::xybuffer[i][0], mybitmap::xybuffer[i][1]), std::make_pair(i, 0));
  b.addguiji();
  b.drawthinlined(-5, 2, -5, 4);  // outside the bitmap: still recorded
  b.addguiji();
  EXPECT_EQ(mybitmap::guijinum, 2);
  EXPECT_EQ(mybitmap::guiji[1], 5);
  EXPECT_EQ(mybitmap::xybuffer[4][0], -5);
  EXPECT_TRUE(marked(b).empty());
}

TEST_F(Trajectory, FullBuffersStopRecording) {
  b.drawthinlined(0, 0, 12000, 0);
  EXPECT_EQ(mybitmap::xynum, mybitmap::xymax);
  EXPECT_EQ(mybitmap::xybuffer[mybitmap::xymax - 1][0], mybitmap::xymax - 1);
  mybitmap::resetpixeld();
  for (int s = 0; s < 250; s++) {
    b.drawthinlined(0, s, 2, s);
    mybitmap::addguiji();
  }
  EXPECT_EQ(mybitmap::guijinum, mybitmap::guijimax);
  // Nothing of the strokes past the last one stored.
  EXPECT_EQ(mybitmap::xynum, 2 * mybitmap::guijimax);
  EXPECT_EQ(mybitmap::guiji[mybitmap::guijimax - 1], mybitmap::xynum);
}

TEST_F(Trajectory, ProfileAndItsSelectors) {
  EXPECT_EQ(mybitmap::moban[25], 0.7499);
  for (int i = 0; i <= 100; i++) EXPECT_EQ(mybitmap::moban[i], mybitmap::moban[100 - i]) << i;
  EXPECT_EQ(mybitmap::calmoban(40, 100), 0);  // selector 0: no profile
  mybitmap::zhityid = 1;  // full at both ends, thinnest in the middle
  EXPECT_EQ(mybitmap::calmoban(0, 100), 1);
  EXPECT_EQ(mybitmap::calmoban(50, 101), 0);
  mybitmap::zhityid = 2;  // thin start, full end
  EXPECT_EQ(mybitmap::calmoban(0, 100), 0);
  EXPECT_EQ(mybitmap::calmoban(99, 100), 1);
  mybitmap::zhityid = 7;  // any other value: full start, thin end
  EXPECT_EQ(mybitmap::calmoban(0, 100), 1);
  EXPECT_EQ(mybitmap::calmoban(99, 100), 0);  // k = 99.5 + .5 = 100
  // Indexes beyond the stroke stay inside the table.
  EXPECT_EQ(mybitmap::calmoban(500, 10), mybitmap::moban[100]);
  EXPECT_EQ(mybitmap::calmoban(-500, 10), mybitmap::moban[0]);
}

TEST_F(Trajectory, PenThicknessFollowsDensity) {
  // 100 points spanning 100 x 20: f = 10 * 10 / 100 = 1, thickness 2 + 20.
  b.drawthinlined(0, 0, 80, 0);
  b.drawthinlined(99, 19, 79, 0);
  ASSERT_EQ(mybitmap::xynum, 100);
  EXPECT_EQ(mybitmap::calthick(), 22);
  // 2500 points in the same box: f = 5, thickness 2.
  for (int i = 100; i < 2500; i++) mybitmap::setpixeld(i % 100, i % 20);
  EXPECT_EQ(mybitmap::calthick(), 2);
  // Between: 400 points over 100 x 100, f = 2, 2 + 0.75 * 20.
  mybitmap::resetpixeld();
  for (int i = 0; i < 399; i++) mybitmap::setpixeld(i % 50, 0);
  mybitmap::setpixeld(99, 99);
  EXPECT_EQ(mybitmap::calthick(), 17);
  mybitmap::resetpixeld();
  EXPECT_EQ(mybitmap::calthick(), 2);
}

TEST(ThickLine, PenDotNeverFallsBelowRadiusOne) {
  for (int t : {-3, 0, 3}) {
    mybitmap b(20, 20);
    b.thick = t;
    b.pixel(10, 10);
    EXPECT_EQ(marked(b), (pointset{{9, 10}, {10, 10}, {11, 10}, {10, 11}})) << t;
  }
}

// The thick line jumps over the steps whose pen cannot reach the bitmap.
TEST(ThickLine, IsAStampAtEveryStepAndKeepsItsColour) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> c(-30, 70);
  for (int t : {1, 4, 9, 12, 21}) {
    int x0 = c(rng), y0 = c(rng), x1 = c(rng), y1 = c(rng);
    mybitmap a(40, 40), b(40, 40);
    a.thick = b.thick = t;
    a.line(x0, y0, x1, y1, mycolor(255, 0, 0));
    EXPECT_EQ(a.color.value(), mycolor(255, 0, 0).value());
    linesteps(x0, y0, x1, y1, true, [&](int x, int y) { b.pixel(x, y); });
    EXPECT_EQ(marked(a), marked(b)) << t;
  }
  // A line just above the top edge still shows the lower part of its pen.
  mybitmap e(20, 20);
  e.thick = 10;
  e.line(-50, -3, 70, -3);
  EXPECT_EQ(marked(e).size(), 20u * 3);  // rows 0 to 2 of the radius-5 pen
}

TEST(ThickLine, ImpossiblePenFails) {
  mybitmap b(10, 10);
  b.thick = 40002;
  try {
    b.line(0, 0, 1, 1);
    FAIL() << "no exception";
  } catch (const char* s) {
    EXPECT_STREQ(s, "\xb0\xeb\xbe\xb6\xb9\xfd\xb4\xf3");
  }
  b.thick = 40001;  // radius 20000, the largest pen: a ring far outside
  b.line(5, 5, 5, 5);
  EXPECT_TRUE(marked(b).empty());
  b.line(-19995, 5, -19995, 5);  // its right edge crosses the bitmap
  EXPECT_EQ(marked(b).size(), 3u * 10);
}

}  // namespace
