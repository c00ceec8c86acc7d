// End to end: the top of the screen at start-up (status line and
// function-key bar) compared with reference pictures kept beside this file.
// Set BIHUA_UPDATE_REFERENCES=1 to rewrite them from the running program
// (after a change of the glyphs, say) and look at them before committing.
#include <gtest/gtest.h>

#include <string>

#include "tools/e2e/bihuarun.h"
#include "tools/e2e/rigimage.h"

namespace {

const int band = 62;  // status line and button bar: rows 0 .. 24 × 62 / 24 - 1

class TopBand : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TopBand, MatchesTheReferencePicture) {
  int w = GetParam().first, h = GetParam().second;
  bihuarun run;
  ASSERT_TRUE(run.start(w, h));
  rigimage top = run.crop({0, 0, w, band});

  // What must hold whatever the glyphs look like: the yellow frame of the
  // status line and the green frames of the eight buttons, unit 16 at 800.
  int unit = w <= 8 * 24 * 6 ? w / 48 : 24;
  EXPECT_EQ(top.at(w / 2, 0), 0xFFFF00u);
  EXPECT_EQ(top.at(w / 2, 30), 0xFFFF00u);
  for (int i = 0; i < 8; i++) {
    EXPECT_EQ(top.at(unit * 6 * i + unit * 5 / 2, 33), 0x00FF00u) << i;
    EXPECT_EQ(top.at(unit * 6 * i + 2, 46), 0xFFFFFFu) << i;
  }
  std::string png = std::string(BIHUA_SOURCE_DIR) + "/tests/views/topband-" + std::to_string(w) +
                    "x" + std::to_string(h) + ".png";
  EXPECT_TRUE(matchesreference(top, png, {run.cursorbox()}));
  EXPECT_TRUE(run.stop());
}

INSTANTIATE_TEST_SUITE_P(Screens, TopBand,
                         testing::Values(std::make_pair(800, 600), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& p) {
                           return std::to_string(p.param.first) + "x" +
                                  std::to_string(p.param.second);
                         });

}  // namespace
