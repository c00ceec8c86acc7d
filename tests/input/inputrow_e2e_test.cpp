// End to end: the input-method row after F1 and the pinyin letters zhong,
// with its mode, width, code and both candidate lists, compared with
// reference pictures kept beside this file (BIHUA_UPDATE_REFERENCES=1
// rewrites them; look at them before committing).
#include <gtest/gtest.h>

#include <string>

#include "tools/e2e/bihuarun.h"
#include "tools/e2e/rigimage.h"

namespace {

class InputRow : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(InputRow, ShowsPinyinCandidatesLikeTheReferencePicture) {
  int w = GetParam().first, h = GetParam().second;
  bihuarun run;
  ASSERT_TRUE(run.start(w, h));
  run.key("F1");
  run.type("zhong");
  ASSERT_TRUE(run.settle());
  rigimage row = run.crop({0, 60, w, 31});  // left, top, width, height
  // The row and its lists are white inside their yellow frames.
  EXPECT_EQ(row.at(w / 5 + 1, 0), 0xFFFF00u);
  EXPECT_GT(row.count(0x000000), 200);
  std::string png = std::string(BIHUA_SOURCE_DIR) + "/tests/input/inputrow-" + std::to_string(w) +
                    "x" + std::to_string(h) + ".png";
  EXPECT_TRUE(matchesreference(row, png, {run.cursorbox()}));
  EXPECT_TRUE(run.stop());
}

INSTANTIATE_TEST_SUITE_P(Screens, InputRow,
                         testing::Values(std::make_pair(800, 600), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& p) {
                           return std::to_string(p.param.first) + "x" +
                                  std::to_string(p.param.second);
                         });

}  // namespace
