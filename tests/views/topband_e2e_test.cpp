// End to end: the top of the screen at start-up (status line and
// function-key bar) compared with reference pictures kept beside this file.
// Set BIHUA_UPDATE_REFERENCES=1 to rewrite them from the running program
// (after a change of the glyphs, say) and look at them before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/bihuarun.h"
#include "tests/e2e/rigimage.h"

namespace {

const int band = 62;  // status line and button bar: rows 0 .. 24 × 62 / 24 - 1

std::string reference(int w, int h) {
  return std::string(BIHUA_SOURCE_DIR) + "/tests/views/topband-" + std::to_string(w) + "x" +
         std::to_string(h) + ".png";
}

rigimage loadpng(const std::string& png) {
  std::string bmp = testing::TempDir() + "topband-reference.bmp";
  std::string cmd = "convert '" + png + "' -type truecolor BMP3:'" + bmp + "'";
  if (std::system(cmd.c_str()) != 0) return rigimage();
  return rigimage::loadbmp(bmp);
}

class TopBand : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(TopBand, MatchesTheReferencePicture) {
  int w = GetParam().first, h = GetParam().second;
  bihuarun run;
  ASSERT_TRUE(run.start(w, h));
  ASSERT_TRUE(run.settle());
  rigimage top = run.crop({0, 0, w, band});
  std::string name = "topband-" + std::to_string(w) + "x" + std::to_string(h);
  top.savepng(std::string(BIHUA_BINARY_DIR) + "/tests/views/" + name + "-actual.png");

  // What must hold whatever the glyphs look like: the yellow frame of the
  // status line and the green frames of the eight buttons, unit 16 at 800.
  int unit = w <= 8 * 24 * 6 ? w / 48 : 24;
  EXPECT_EQ(top.at(w / 2, 0), 0xFFFF00u);
  EXPECT_EQ(top.at(w / 2, 30), 0xFFFF00u);
  for (int i = 0; i < 8; i++) {
    EXPECT_EQ(top.at(unit * 6 * i + unit * 5 / 2, 33), 0x00FF00u) << i;
    EXPECT_EQ(top.at(unit * 6 * i + 2, 46), 0xFFFFFFu) << i;
  }

  if (std::getenv("BIHUA_UPDATE_REFERENCES")) {
    ASSERT_TRUE(top.savepng(reference(w, h)));
    return;
  }
  rigimage want = loadpng(reference(w, h));
  ASSERT_FALSE(want.empty()) << "cannot read " << reference(w, h);
  EXPECT_TRUE(sameimage(top, want, {run.cursorbox()}));
  EXPECT_TRUE(run.stop());
}

INSTANTIATE_TEST_SUITE_P(Screens, TopBand,
                         testing::Values(std::make_pair(800, 600), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& p) {
                           return std::to_string(p.param.first) + "x" +
                                  std::to_string(p.param.second);
                         });

}  // namespace
