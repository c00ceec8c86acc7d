// End to end: Chinese typed through the input-method row into pane 0 and
// saved with F7; the file holds exactly the GBK bytes of the sentences.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

TEST(TypingChinese, PinyinAndWubiSentencesAreSavedAsGbk) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600, {"notes.txt"}));
  run.key("F1");  // pinyin, full width
  // Space takes the first character (我, 民), a digit a character (爱) or
  // a word of the right list (中国), a click on a slot its character (人);
  // '.' while idle is the full stop.
  run.type("wo ai0zhong6ren");
  // Left list from x 160, 6 pixels a byte: slot 0 is "0人" and its code.
  // The keys before must be handled before the click arrives.
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.click(185, 75));
  run.type("min .");
  run.key("enter");
  run.key("F2");  // wubi
  // trnt has several entries, the blank takes 我; epdc (爱) and wwna
  // (人民) have one each and are typed without another key.
  run.type("trnt epdcwwna.");
  // A letter typed and erased leaves nothing; that Backspace stays in the
  // row and the full stop before it stays in the pane.
  run.type("x");
  run.key("backspace");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  if (getenv("BIHUA_KEEP_PICTURES")) run.savepng("/tmp/typing-chinese.png");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("notes.txt"), "我爱中国人民。\r\n我爱人民。");
}

}  // namespace
