// End to end: Chinese typed through the input-method row into pane 0 and
// saved with F7; the file holds exactly the GBK bytes of the sentences.
#include <gtest/gtest.h>

#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

TEST(TypingChinese, PinyinAndWubiSentencesAreSavedAsGbk) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600, {"notes.txt"}));
  run.key("F1");  // pinyin, full width
  // Space takes the first character (我), a digit a character (爱) or a
  // word of the right list (中国, 人民); '.' while idle is the full stop.
  for (const char* k : {"w", "o", " ", "a", "i", "0", "z", "h", "o", "n", "g", "6", "r", "e", "n",
                        "9", "."})
    run.type(k);
  run.key("enter");
  run.key("F2");  // wubi
  // trnt has several entries, the blank takes 我; epdc (爱) and wwna
  // (人民) have one each and are typed without another key.
  for (const char* k : {"t", "r", "n", "t", " ", "e", "p", "d", "c", "w", "w", "n", "a", "."})
    run.type(k);
  // A letter erased is not typed: "x", Backspace, then the code again.
  for (const char* k : {"x"}) run.type(k);
  run.key("backspace");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("notes.txt"), "我爱中国人民。\r\n我爱人民。");
}

}  // namespace
