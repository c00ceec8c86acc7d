// View text with the test font: rounding of the plain walk, truncation and
// red horizontal strokes of the marking walk, and trajectory text.
#include <gtest/gtest.h>

#include "tests/views/viewtest.h"

namespace {

TEST(ViewText, MarkingWalkTruncatesAndReddensStrokesStartingAcross) {
  testfont f;
  screen s(140, 140);
  myview v(10, 10, 139, 139);
  v.drawfont(0, 0, "\xD2\xBB", 64, 64);  // x 0.5..62.5, y 32.5: rounded
  EXPECT_EQ(s.count(black, 11, 43, 73, 43), 63);
  v.markstroke = true;
  v.drawfont(0, 0, "\xD2\xBB", 64, 64);  // truncated
  EXPECT_EQ(s.count(red, 10, 42, 72, 42), 63);
  EXPECT_EQ(s.bmp.color.value(), black);

  screen t(140, 140);
  v.move(0, 0, 139, 139);
  t.bmp.color = mycolor(0, 0, 255);
  v.drawtext(0, 0, "\xCA\xAE", 128, 0);
  EXPECT_EQ(t.count(red), 126);  // the bar, less the crossing drawn over it
  EXPECT_EQ(t.count(blue, 64, 0, 64, 126), 127);
  EXPECT_EQ(t.bmp.color.value(), blue);

  screen u(140, 140);  // thick: thick lines and no marking
  u.bmp.thick = 2;
  v.drawtext(0, 0, "\xCA\xAE", 128, 0);
  EXPECT_EQ(u.count(red), 0);
  EXPECT_GT(u.count(black), 2 * 127);
}

TEST(ViewText, TrajectoryIsRecordedRelativeAndRedrawnByProfile) {
  testfont f;
  int saved = mybitmap::zhityid;
  mybitmap::zhityid = 0;  // every recorded point one pixel
  screen s(400, 300);
  myview v(100, 100, 399, 299);
  v.drawvtextd(0, 0, "\xD2\xBB\xD2\xBB", 128, 0);
  // The record holds the second glyph only: from its stroke's later point
  // (128 + 125 across), the first point left out.
  EXPECT_EQ(mybitmap::xynum, 124);
  EXPECT_EQ(mybitmap::xybuffer[0][0], 253);
  EXPECT_EQ(mybitmap::xybuffer[0][1], 65);
  EXPECT_EQ(s.count(black, 102, 165, 225, 165), 124);
  EXPECT_EQ(s.count(black), 2 * 124);
  EXPECT_EQ(s.bmp.thick, 26);  // sparse: 2 + a fifth of the extent

  mybitmap::zhityid = 2;  // thin where recording starts, full where it ends
  screen t(300, 300);
  v.drawvtextd(0, 0, "\xD2\xBB", 128, 0);
  EXPECT_GE(t.count(black, 105, 100, 105, 299), 20);  // late points: discs of 26
  EXPECT_LE(t.count(black, 220, 100, 220, 299), 4);   // early points: discs of 2
  mybitmap::zhityid = saved;
}

}  // namespace
