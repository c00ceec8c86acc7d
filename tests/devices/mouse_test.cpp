// Mouse arithmetic and the red cross.
#include <gtest/gtest.h>

#include <cstdlib>

#include "devices/mymouse.h"
#include "graphics/mybitmap.h"

namespace {

void move(mymouse& m, int dx, int dy) {
  unsigned char p[3] = {8, static_cast<unsigned char>(dx), static_cast<unsigned char>(dy)};
  m.takepacket(p);
}

TEST(Mouse, FollowsPacketsUnclampedAndComesBack) {
  mymouse m;
  m.startposition();
  move(m, 5, 3);  // y positive is up the screen
  EXPECT_EQ(std::make_pair(m.x, m.y), std::make_pair(105, 97));
  EXPECT_TRUE(m.moved);
  for (int i = 0; i < 30; i++) move(m, -10, 0);
  EXPECT_EQ(m.x, -195);
  for (int i = 0; i < 30; i++) move(m, 10, 0);
  EXPECT_EQ(m.x, 105);
  move(m, -128, -128);  // the extremes of a signed byte
  EXPECT_EQ(std::make_pair(m.x, m.y), std::make_pair(-23, 225));
}

TEST(Mouse, WithoutDeviceAPollChangesNothing) {
  // The preload library answers /dev/input/mice with "no such file".
  ASSERT_NE(getenv("LD_PRELOAD"), nullptr) << "run under the fbrig preload library";
  unsetenv("FBRIG_MICE");
  mymouse m;
  ASSERT_EQ(m.fd, 0);
  m.recycle();
  EXPECT_FALSE(m.moved);
  EXPECT_EQ(m.x, 100);
}

int redcount(const mybitmap& b) {
  int n = 0;
  for (int x = 0; x < b.width; x++)
    for (int y = 0; y < b.height; y++) n += b.getpixel(x, y).value() == 0xFFFF0000u;
  return n;
}

TEST(Mouse, CursorIsAFivePixelWideCrossClippedAtTheCorner) {
  mybitmap b(200, 200);
  b.color = mycolor(1, 2, 3);
  mymouse m;
  m.drawcursor(b);
  EXPECT_EQ(b.color.value(), mycolor(1, 2, 3).value());
  // Two bars of 41 × 5 overlapping in a 5 × 5 square.
  EXPECT_EQ(redcount(b), 2 * 41 * 5 - 25);
  EXPECT_EQ(b.getpixel(100, 80).value(), 0xFFFF0000u);
  EXPECT_EQ(b.getpixel(120, 102).value(), 0xFFFF0000u);
  EXPECT_EQ(b.getpixel(121, 100).value(), 0xFFFFFFFFu);
  EXPECT_EQ(b.getpixel(103, 90).value(), 0xFFFFFFFFu);
  mybitmap c(50, 50);
  m.x = m.y = 0;
  m.drawcursor(c);
  // Only the quarter with x ≥ 0 and y ≥ 0: bars of 21 × 3 overlapping 3 × 3.
  EXPECT_EQ(redcount(c), 2 * 21 * 3 - 9);
}

}  // namespace
