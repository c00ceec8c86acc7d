// Command output as it comes, byte for byte, in pane 1: a lead byte with a
// trail byte of either range is one character, a lead byte before a CR
// stands alone, an LF may stand alone. The arrows step over such characters
// whole and typing keeps them as they are; what is saved is the output with
// the typed bytes where they went.
#include <gtest/gtest.h>

#include "tools/e2e/bihuarun.h"

namespace {

TEST(CommandOutput, ArrowsAndTypingKeepOddCharactersWhole) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", ""}}, {"a.txt"})));
  for (int i = 0; i < 2; i++) {
    run.key("esc");
    ASSERT_TRUE(run.settle());
  }
  // a, B0 'd', LF, D7 CR, LF, z
  run.type("printf 'a\\260d\\n\\327\\r\\nz'");
  run.key("enter");
  ASSERT_TRUE(run.settle());
  // "命令结束，退出状态0"
  ASSERT_TRUE(run.waitfor([&] {
    return run.shows("\xC3\xFC\xC1\xEE\xBD\xE1\xCA\xF8\xA3\xAC\xCD\xCB\xB3\xF6\xD7\xB4\xCC\xAC" "0");
  }));
  ASSERT_TRUE(run.settle(400));
  run.key("esc");  // to pane 0
  ASSERT_TRUE(run.settle());
  run.key("esc");  // to pane 1
  ASSERT_TRUE(run.settle());
  run.key("pgup");
  run.key("home");
  run.key("right");  // over a
  run.key("right");  // over B0 'd', onto the LF
  run.type("X");     // a bare LF gets its CR, X before it
  run.key("down");
  run.key("end");    // the CR LF after the lone D7
  run.type("5");     // no trail byte: D7 stays alone
  run.key("left");   // onto 5
  run.key("left");   // onto D7
  run.key("backspace");  // the line break before it
  run.key("f7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed1.txt"), "a\xb0" "dX\xd7" "5\r\nz");
  ASSERT_TRUE(run.stop());
}

}  // namespace
