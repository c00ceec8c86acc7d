// The editor panes through the real program: typing, moving and deleting in
// a loaded file and saving it byte for byte; saves that fail keep the file
// and the text; a read-only file opens; Esc carries a file shared by both
// panes across; F8 asks once while text is unsaved.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

const rigrect pane0{0, 90, 395, 460};  // 800 x 600: (0,90)-(395,550)

}  // namespace

TEST(Panes, TypeMoveDeleteAndSaveAnLfFile) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"notes.txt", "hello\nworld\n"}}, {"notes.txt", "todo.txt"})));
  run.type("X");          // Xhello, cursor after the X
  run.key("down");        // offset 1 of "world": the o
  run.type("Y");          // wYorld
  run.key("end");         // the line's LF
  run.key("left");        // the d
  run.key("backspace");   // removes the l
  run.key("delete");      // removes the d
  run.key("enter");
  run.type("end");
  run.key("f7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "Xhello\nwYor\nend\n");  // its LFs kept
  EXPECT_FALSE(run.hasfile("todo.txt"));  // opening a missing file creates nothing
  run.savepng("/tmp/bihua-panes-typed.png");
  // The left pane shows text (black), the red line ends and end block, and
  // the brown focus frame; the right one is empty but framed in white.
  rigimage left = run.crop(pane0);
  EXPECT_GT(left.count(0x000000), 50);
  EXPECT_GT(left.count(0xFF0000), 50);
  ASSERT_TRUE(run.stop());  // saved: F8 leaves at once
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_TRUE(run.hasfile("aaaaa.bmp"));
}

TEST(Panes, FailedSavesKeepTheFileAndTheTextChanged) {
  // /dev/full: every write of the new copy (a name beside it, .bihua-*)
  // fails with ENOSPC.
  rigoptions o = withfiles({{"full.txt", "keep\r\n"}}, {"full.txt"});
  o.fullprefix = ".";
  bihuarun run;
  ASSERT_TRUE(run.start(o));
  run.type("lost?");
  run.key("f7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("full.txt"), "keep\r\n");
  EXPECT_EQ(run.files().size(), 1u) << "a temporary file was left";
  run.key("f8");  // still unsaved: asks instead of leaving
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.running());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("full.txt"), "keep\r\n");

  // A file in a folder that does not exist.
  bihuarun run2;
  ASSERT_TRUE(run2.start(withfiles({}, {"nofolder/x.txt"})));
  run2.type("abc");
  run2.key("f7");
  ASSERT_TRUE(run2.settle());
  EXPECT_FALSE(run2.hasfile("nofolder"));
  run2.key("f8");
  ASSERT_TRUE(run2.settle());
  EXPECT_TRUE(run2.running());
}

TEST(Panes, ReadOnlyFileOpensAndKeepsItsMode) {
  char dir[] = "/tmp/bihuaroXXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string path = std::string(dir) + "/ro.txt";
  FILE* f = fopen(path.c_str(), "wb");
  fputs("read only\n", f);
  fclose(f);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({}, {path})));
  run.type("!");
  run.key("f7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  std::string back = [&] {
    std::string s;
    FILE* g = fopen(path.c_str(), "rb");
    for (int c; g && (c = fgetc(g)) != EOF;) s += static_cast<char>(c);
    if (g) fclose(g);
    return s;
  }();
  EXPECT_EQ(back, "!read only\n");  // it was read (root may then replace it)
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  unlink(path.c_str());
  rmdir(dir);
}

TEST(Panes, EscCopiesASharedFileWithItsSavedState) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"same.txt", "abc"}}, {"same.txt", "same.txt"})));
  run.key("delete");
  run.type("x");     // xbc: an edit of the same length
  run.key("esc");    // pane 1 takes the text and the saved copy
  run.key("f7");     // pane 1 is changed, so it saves
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("same.txt"), "xbc");
  run.savepng("/tmp/bihua-panes-same.png");
  run.key("esc");    // to pane 2: pane 0 takes pane 1's text and saved copy
  ASSERT_TRUE(run.stop());  // so nothing is unsaved: F8 leaves at once
}

TEST(Panes, F8AsksOnceWhileTextIsUnsaved) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({}, {"a.txt"})));
  run.type("q");
  run.key("f8");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.running());
  run.savepng("/tmp/bihua-panes-f8.png");
  run.key("right");  // any other key cancels the question
  run.key("f8");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.running());
  run.key("f8");
  ASSERT_TRUE(run.waitexit());
  EXPECT_EQ(run.exitstatus(), 0);
  EXPECT_TRUE(run.hasfile("aaaaa.bmp"));
  EXPECT_FALSE(run.hasfile("a.txt"));
}

TEST(Panes, AClickGivesThePaneTheKeys) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"left.txt", "L"}}, {"left.txt"})));
  ASSERT_TRUE(run.click(600, 300));  // into pane 1, right of its text
  run.type("r");
  run.key("f7");  // saves pane 1 under its default name
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed1.txt"), "r");
  EXPECT_EQ(run.file("left.txt"), "L");
  ASSERT_TRUE(run.stop());
}

TEST(Panes, ALongGbkFileWrapsScrollsAndShowsItsMarker) {
  std::string text;
  for (int i = 0; i < 120; i++)
    text += "\xD6\xD0\xCE\xC4\xB1\xE0\xBC\xAD\xC6\xF7\tline " + std::to_string(i) +
            " with some words that wrap around the right edge of the pane\n";
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"long.txt", text}}, {"long.txt"})));
  run.savepng("/tmp/bihua-panes-long-top.png");
  // The marker right of the 31 text columns: green mixed into white, at the
  // top, and never above the pane.
  auto greenish = [](const rigimage& m) {
    int n = 0;
    for (int y = 0; y < m.height; y++)
      for (int x = 0; x < m.width; x++) {
        uint32_t p = m.at(x, y);
        n += ((p >> 8) & 0xFF) > 200 && (p >> 16) < 200;
      }
    return n;
  };
  EXPECT_GT(greenish(run.crop({372, 90, 13, 60})), 12 * 30);
  EXPECT_EQ(greenish(run.crop({372, 60, 13, 30})), 0);  // the input row untouched
  for (int i = 0; i < 30; i++) run.key("pgdown");
  run.key("up");
  ASSERT_TRUE(run.settle());
  run.savepng("/tmp/bihua-panes-long.png");
  // Scrolled past the end, the marker stays at the pane's foot.
  EXPECT_GT(greenish(run.crop({372, 500, 13, 51})), 12 * 30);
  EXPECT_EQ(greenish(run.crop({372, 551, 13, 49})), 0);
  run.type("Z");
  run.key("f7");
  ASSERT_TRUE(run.settle());
  std::string saved = run.file("long.txt");
  EXPECT_EQ(saved.size(), text.size() + 1);  // its own LF line ends and the Z
  ASSERT_TRUE(run.stop());
}

// Real manual pages scrolled by lines, pages and the wheel, a line broken
// and joined, the focus moved to the other pane: what the program shows after
// drawing only what changed is what a whole redraw (on the way out) shows,
// and the file saved is the one read plus the line break kept.
TEST(Panes, ScrolledPanesShowWhatAWholeRedrawShows) {
  auto slurp = [](const std::string& name) {
    std::ifstream f(std::string(BIHUA_SOURCE_DIR) + "/tests/editor/corpus/" + name,
                    std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  };
  const std::string left = slurp("close.2.zh_CN.gbk-lf"), right = slurp("lilo.8.zh_TW.gbk-crlf");
  ASSERT_GT(left.size(), 3000u);
  // On a wide screen the lines end well short of the pane's right edge.
  for (int w : {800, 1600}) {
    SCOPED_TRACE(std::to_string(w) + " wide");
    rigoptions o = withfiles({{"left.txt", left}, {"right.txt", right}}, {"left.txt", "right.txt"});
    o.screen = rigoptions::defaultscreen(w, 600);
    o.wheelmouse = true;
    bihuarun run;
    ASSERT_TRUE(run.start(o));
    for (int i = 0; i < 40; i++) run.key("down");
    run.key("pgdown");
    for (int i = 0; i < 20; i++) run.key("up");
    run.key("home");
    for (const char* k : {"enter", "enter", "backspace"}) run.key(k);
    ASSERT_TRUE(run.moveto(200, 300));
    ASSERT_TRUE(run.wheel(3));
    ASSERT_TRUE(run.wheel(-1));
    ASSERT_TRUE(run.click(100, 500));  // the cursor bar from one row to another far below
    run.key("f7");
    run.key("esc");  // the frame to the right pane, which scrolls too
    for (int i = 0; i < 30; i++) run.key("down");
    run.key("pgdown");
    ASSERT_TRUE(run.moveto(w * 3 / 4, 300));  // where the focus is when the program leaves
    ASSERT_TRUE(run.settle());
    rigimage shown = run.frame();
    ASSERT_TRUE(run.stop());
    // Below the input row, which a whole redraw paints over the right pane's
    // first row.
    const rigrect below{0, 91, w, 509};
    rigimage whole = bihuarun::shown(o.screen, run.withcursor(run.bmp()));
    EXPECT_TRUE(sameimage(shown.crop(below), whole.crop(below)));
    // One line break more than it had, an LF like its own.
    std::string saved = run.file("left.txt");
    EXPECT_EQ(saved.size(), left.size() + 1);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'),
              std::count(left.begin(), left.end(), '\n') + 1);
    EXPECT_EQ(saved.find('\r'), std::string::npos);
  }
}
