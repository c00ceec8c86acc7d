// Undo and redo through the real program: Ctrl-Z and Ctrl-Y after a cut,
// a paste and a typed word, saved with F7 and compared byte for byte; and
// the history that command output and the same-file copy on Esc clear.
#include <gtest/gtest.h>

#include "tools/e2e/bihuarun.h"

namespace {

// Keys one after another; each Esc settles first, since an Esc read
// together with the next byte would be one key.
void keys(bihuarun& run, std::initializer_list<const char*> names) {
  for (const char* k : names) {
    run.key(k);
    if (std::string(k) == "esc") {
      ASSERT_TRUE(run.settle());
    }
  }
}

}  // namespace

TEST(UndoRedo, CutPasteTypeThenThreeUndosAndARedo) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", "one two\r\n"}}, {"a.txt"})));
  keys(run, {"f3", "right", "right", "f6"});  // cut "one"
  keys(run, {"end", "f5"});                   // paste it before the line break
  run.type("abc");                            // one step, however many keys
  ASSERT_TRUE(run.settle());
  keys(run, {"ctrl-z", "ctrl-z", "ctrl-z"});  // the typing, the paste, the cut
  ASSERT_TRUE(run.settle());
  run.savepng("/tmp/bihua-undo-three.png");
  keys(run, {"ctrl-y"});  // the cut again, the cursor where it was
  run.type("Z");
  keys(run, {"f7"});
  ASSERT_TRUE(run.settle());
  run.savepng("/tmp/bihua-undo-redone.png");
  EXPECT_EQ(run.file("a.txt"), "Z two\r\n");
  // Undoing back to the saved text leaves nothing unsaved: one F8 ends.
  run.type("Q");
  keys(run, {"ctrl-z"});
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.clipboard(), std::string("one\0", 4));
}

TEST(UndoRedo, CommandOutputClearsPaneOnesHistory) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", "text\r\n"}}, {"a.txt"})));
  keys(run, {"esc", "esc"});
  run.type("echo hi");
  run.key("enter");
  ASSERT_TRUE(run.settle(400));
  keys(run, {"esc", "esc"});  // pane 1: type there
  run.type("Y");
  keys(run, {"esc"});
  run.type("echo ho");
  run.key("enter");
  ASSERT_TRUE(run.settle(400));
  keys(run, {"esc", "esc", "ctrl-z", "f7"});  // nothing to undo in pane 1
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed1.txt"), "Yhi\nho\n");
  ASSERT_TRUE(run.stop());
}

TEST(UndoRedo, TheSameFileCopyOnEscClearsTheHistory) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", "text\r\n"}}, {"a.txt", "a.txt"})));
  keys(run, {"esc"});  // pane 1 takes pane 0's text
  run.type("y");       // a step in pane 1
  keys(run, {"esc", "esc"});  // pane 0 takes it, then the focus comes back to 0
  run.type("x");
  keys(run, {"esc"});  // pane 1 takes "xytext": its own step is gone
  keys(run, {"ctrl-z", "f7"});
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("a.txt"), "xytext\r\n");
  ASSERT_TRUE(run.stop());
}
