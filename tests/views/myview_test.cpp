// Views: the clipping rule and the frames.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/views/viewtest.h"

namespace {

TEST(View, OnlyTheColouredSetpixelClipsToTheClosedRectangle) {
  screen s(60, 60);
  myview v(40, 50, 10, 20);  // corners put in order: (10, 20)-(40, 50)
  v.setpixel(-5, 0);         // left of the view, still drawn
  EXPECT_EQ(s.at(5, 20), black);
  mycolor r(255, 0, 0);
  for (auto p : {std::make_pair(-1, 0), {0, -1}, {31, 30}, {30, 31}}) v.setpixel(p.first, p.second, r);
  EXPECT_EQ(s.count(red), 0);
  v.setpixel(30, 30, r);  // the far corner belongs to the view
  EXPECT_EQ(s.at(40, 50), red);
  v.drawthinline(-8, 5, 35, 5, r);  // lines are not clipped
  EXPECT_EQ(s.count(red, 0, 25, 59, 25), 44);
}

TEST(View, ClearFillsWhiteFramesYellowWithTheViewsPenAndLeavesBlack) {
  screen s(30, 30);
  myview v(5, 5, 14, 14);
  s.bmp.color = mycolor(0, 0, 255);
  v.clear();
  EXPECT_EQ(s.bmp.color.value(), black);
  EXPECT_EQ(s.count(white, 7, 6, 12, 13), 6 * 8);
  // The radius-1 pen dot of a view is one row of three pixels.
  EXPECT_EQ(s.count(yellow, 4, 5, 15, 5) + s.count(yellow, 4, 14, 15, 14), 2 * 12);
  EXPECT_EQ(s.count(yellow, 4, 6, 6, 13) + s.count(yellow, 13, 6, 15, 13), 2 * 3 * 8);
  EXPECT_EQ(s.count(yellow), 2 * 12 + 2 * 3 * 8);
}

TEST(View, ButtonFrameIsOnePixelInside) {
  screen s(30, 30);
  myview v(10, 10, 20, 16);
  s.bmp.color = mycolor(0, 255, 0);
  v.drawbj();
  EXPECT_EQ(s.count(green, 11, 11, 19, 11) + s.count(green, 11, 15, 19, 15), 18);
  EXPECT_EQ(s.count(green, 11, 12, 11, 14) + s.count(green, 19, 12, 19, 14), 6);
  EXPECT_EQ(s.count(green), 24);
}

TEST(View, PaneFrameIsTranslucentBrownBlendedOnce) {
  screen s(40, 40);
  myview v(10, 10, 30, 30);
  v.drawbj1();
  const uint32_t brown = 0xFEC67979u;  // 160/255 of (165, 42, 42) over white
  for (auto p : {std::make_pair(9, 20), {10, 20}, {11, 20}, {10, 10}, {20, 30}})
    EXPECT_EQ(s.at(p.first, p.second), brown);  // corners are not darkened twice
  EXPECT_EQ(s.at(20, 20), white);
  EXPECT_EQ(s.bmp.thick, 1);
  EXPECT_EQ(s.bmp.color.value(), black);
}

// A filled box writes each row as one run: the same pixels as drawing the
// row as a thin line, for opaque and translucent colours, on and off the
// bitmap.
TEST(View, BoxfIsItsRowsAsThinLines) {
  for (mycolor c : {mycolor(10, 20, 30), mycolor(200, 100, 0, 90)}) {
    screen fast(50, 40);
    mybitmap slow(50, 40);
    for (int i = 0; i < 50 * 40 * 4; i++)
      fast.bmp.pixels[i] = slow.pixels[i] = static_cast<unsigned char>(i * 29 + (i % 11 == 0));
    myview v(-7, 5, 30, 60);
    v.boxf(-3, -10, 80, 20, c);
    v.boxf(12, 30, 2, 28, c);
    myview::pmymap = &slow;
    for (int row = -10; row <= 20; row++) v.drawthinline(-3, row, 80, row, c);
    for (int row = 28; row <= 30; row++) v.drawthinline(2, row, 12, row, c);
    myview::pmymap = &fast.bmp;
    EXPECT_EQ(std::memcmp(fast.bmp.pixels, slow.pixels, 50 * 40 * 4), 0) << int(c.alpha);
  }
}

}  // namespace
