// End to end: a file name of GBK characters beyond GB2312 and a stray byte,
// as the real program shows it on its status line. A character the font
// holds (這, trail byte 0x40) draws its own strokes in one two-column cell,
// one it lacks the wide box, the stray byte the narrow box, and what
// follows keeps its place.
#include <gtest/gtest.h>

#include <string>

#include "graphics/mybitmap.h"
#include "tools/e2e/bihuarun.h"
#include "tools/e2e/rigimage.h"
#include "views/myview.h"

namespace {

// Black where s, drawn as the status line draws it (cells of 24 from
// x = 1, y = 1), has ink; white elsewhere.
rigimage statustext(const std::string& s, int w, int h) {
  mybitmap b(w, h);
  b.clear();
  myview::pmymap = &b;
  myview bar(0, 0, w - 1, h - 1);
  b.color = mycolor();
  bar.drawtext(1, 1, s.c_str(), 24, 0);
  rigimage out(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) out.at(x, y) = b.getpixel(x, y).value() & 0xFFFFFF;
  return out;
}

TEST(GbkGlyphs, StatusLineDrawsEachCharacterOrItsPlaceholderInItsCell) {
  const std::string zhe = "\xDF\x40", missing = "\x81\x42", stray = "\x80";
  const std::string name = zhe + missing + stray + ".txt";
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{name, "abc"}}, {name})));
  run.key("home");  // the opening notice gives the state its place back
  ASSERT_TRUE(run.settle());
  // Cells: 這 1..24, the missing one 25..48, the stray byte 49..60, "." 61.
  rigrect cells{2, 2, 72, 23};
  rigimage shown = run.crop(cells);
  EXPECT_TRUE(sameimage(shown, statustext(name, 100, 30).crop(cells)));

  rigrect zhecell{2, 2, 23, 23}, boxcell{26, 2, 23, 23}, straycell{50, 2, 11, 23};
  rigimage asbox = statustext(missing, 100, 30);
  rigimage zheshown = run.crop(zhecell);
  EXPECT_GT(zheshown.count(0x000000), 20) << "這 draws strokes";
  EXPECT_FALSE(sameimage(zheshown, asbox.crop(zhecell))) << "這 is not the box";
  EXPECT_TRUE(sameimage(run.crop(boxcell), statustext("  " + missing, 100, 30).crop(boxcell)));
  // The wide box reaches into both columns of its cell, the narrow one
  // stays in its own.
  EXPECT_GT(run.crop({26, 2, 11, 23}).count(0x000000), 10);
  EXPECT_GT(run.crop({38, 2, 11, 23}).count(0x000000), 10);
  EXPECT_GT(run.crop(straycell).count(0x000000), 10);
  EXPECT_TRUE(sameimage(run.crop(straycell), statustext("    " + stray, 100, 30).crop(straycell)));
  run.savepng(std::string(BIHUA_BINARY_DIR) + "/gbkglyphs-status.png");
  EXPECT_TRUE(run.stop());
}

}  // namespace
