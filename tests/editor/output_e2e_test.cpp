// Command output as it comes, byte for byte, in pane 1: a lead byte takes
// whatever byte follows it (a letter, a CR), an LF may stand alone. The
// arrows step over such characters whole and typing at a line's end keeps
// them whole; what is saved is the output with the typed bytes where they
// went.
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
  ASSERT_TRUE(run.waitfor([&] { return run.shows("read 8 bytes"); }));
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
  run.key("end");    // the LF after D7 CR
  run.type("Y");     // the CR is D7's: Y goes before the LF, with a CR
  run.key("left");   // onto Y
  run.key("left");   // over D7 CR
  run.key("backspace");  // the line break before it
  run.key("f7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed1.txt"), "a\xb0" "dX\xd7\rY\r\nz");
  ASSERT_TRUE(run.stop());
}

}  // namespace
