// Wide screens through the real program: the panes and the command pane
// show their text and cursor bars at 3840 x 2160 and on a screen as wide
// as the framebuffer layer accepts, also beyond the 300th column, and what
// is typed there is saved byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

// The cursor bar at the end of the text: blue at alpha 100 over the red
// end-of-text block.
const uint32_t cursorbar = 0x9B0064;

struct screen {
  int w, h;
};

class WideScreen : public ::testing::TestWithParam<screen> {};

TEST_P(WideScreen, PanesAndCommandPaneShowTheirText) {
  const int w = GetParam().w, h = GetParam().h;
  std::string words;
  for (int i = 0; i < 300; i++) words += "word" + std::to_string(i) + " ";
  rigoptions o = withfiles({{"left.txt", words}, {"right.txt", "right"}}, {"left.txt", "right.txt"});
  o.screen = rigoptions::defaultscreen(w, h);
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  // 310 columns in the command pane: the cursor bar stands at column 310.
  std::string command = "echo " + std::string(305, 'x');
  run.type("L");
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.type(command);
  ASSERT_TRUE(run.settle());
  run.savepng(::testing::TempDir() + "widescreen-" + std::to_string(w) + ".png");

  // Pane 0 (left half, rows 90 .. h - 50) and pane 1 show text, across the
  // left pane's whole width.
  int half = w / 2 - 5;
  EXPECT_GT(run.crop({0, 90, half / 2, 60}).count(0x000000), 100);
  EXPECT_GT(run.crop({half / 2, 90, half / 2, 60}).count(0x000000), 100);
  EXPECT_GT(run.crop({w / 2 + 10, 90, 100, 60}).count(0x000000), 20);
  // The command pane (rows h - 40 .. h - 2): the typed line up to column
  // 310, and the end-of-text block with the cursor bar at column 310, past
  // column 300.
  rigimage strip = run.crop({0, h - 40, w, 38});
  EXPECT_GT(strip.count(0x000000, {3000, 0, 600, 38}), 100);
  EXPECT_GT(strip.count(cursorbar, {310 * 12, 0, 12, 38}), 30);
  EXPECT_EQ(strip.count(cursorbar, {311 * 12 + 1, 0, 12 * 20, 38}), 0);  // bars span 13 pixels
  EXPECT_EQ(strip.count(cursorbar, {0, 0, 310 * 12, 38}), 0);

  run.key("F7");  // pane 2 as typed
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed2.txt"), command);
  run.key("esc");
  ASSERT_TRUE(run.settle());
  run.key("F7");  // pane 0 with its L
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("left.txt"), "L" + words);
  ASSERT_TRUE(run.stop());
}

INSTANTIATE_TEST_SUITE_P(Sizes, WideScreen, ::testing::Values(screen{3840, 2160}, screen{16384, 400}),
                         [](const ::testing::TestParamInfo<screen>& i) {
                           return std::to_string(i.param.w) + "x" + std::to_string(i.param.h);
                         });

}  // namespace
