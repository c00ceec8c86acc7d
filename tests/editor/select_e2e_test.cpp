// Selection, copy, cut and paste through the real program: F3 and the
// arrows select, F4 copies, Esc goes to the other pane, F5 pastes, F6 cuts,
// the mouse drags a selection; the saved files and the clipboard file left
// at exit are compared byte for byte, and a second run pastes what the
// first one left.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tools/e2e/bihuarun.h"

namespace {

// Keys one after another, as fast as the terminal takes them (an Esc may
// reach the program together with the sequence of the key after it).
void keys(bihuarun& run, std::initializer_list<const char*> names) {
  for (const char* k : names) run.key(k);
}

// Pixels of r with the pale blue of a selection band over white.
int tinted(const rigimage& img, const rigrect& r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; y++)
    for (int x = r.x; x < r.x + r.w; x++) {
      uint32_t c = img.at(x, y);
      unsigned red = c >> 16, green = (c >> 8) & 0xFF, blue = c & 0xFF;
      n += blue == 0xFF && red == green && red > 64 && red < 240;
    }
  return n;
}

unsigned modeof(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(Clipboard, CopyToTheOtherPaneCutPasteBackAndKeepItForTheNextRun) {
  bihuarun run;
  ASSERT_TRUE(run.start(
      withfiles({{"a.txt", "hello world\r\n"}, {"b.txt", "12\r\n"}}, {"a.txt", "b.txt"})));
  keys(run, {"f3", "right", "right", "right", "right", "f4"});  // "hello"
  keys(run, {"esc", "end", "f5", "f7"});  // pane 1: before its line break
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("b.txt"), "12hello\r\n");

  keys(run, {"esc", "esc", "home"});  // back in pane 0
  keys(run, {"f3", "right", "right", "right", "right", "right", "f6"});  // cut "hello "
  keys(run, {"end", "f5", "f7"});  // and paste it back at the line's end
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("a.txt"), "worldhello \r\n");
  run.savepng("/tmp/bihua-clipboard-pasted.png");
  ASSERT_TRUE(run.stop());
  // What the clipboard held, with its zero byte, readable by the user only.
  EXPECT_EQ(run.clipboard(), std::string("hello \0", 7));
  EXPECT_EQ(modeof(run.clipfile()), 0600u);

  // The next run finds it and pastes it.
  rigoptions next = withfiles({}, {"c.txt"});
  next.clipboard = run.clipboard();
  bihuarun run2;
  ASSERT_TRUE(run2.start(next));
  keys(run2, {"f5", "f5", "f7"});
  ASSERT_TRUE(run2.settle());
  EXPECT_EQ(run2.file("c.txt"), "hello hello ");
  ASSERT_TRUE(run2.stop());
  EXPECT_EQ(run2.clipboard(), std::string("hello \0", 7));  // unchanged, rewritten
}

TEST(Clipboard, DragSelectsFromThePressedCharacter) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", "abcdefghij\r\nklmnopqrst\r\n"}}, {"a.txt", "b.txt"})));
  // Pane 0 at (0,90); cells 12 x 30 pixels. Press on the c.
  ASSERT_TRUE(run.moveto(2 * 12 + 6, 90 + 15));
  ASSERT_TRUE(run.mouse(0, 0, 1));
  // The pane ignores its first ten drags; then drag to the q below.
  for (int i = 0; i < 10; i++) ASSERT_TRUE(run.mouse(0, 0, 1));
  ASSERT_TRUE(run.moveto(6 * 12 + 6, 90 + 45, 1));
  ASSERT_TRUE(run.mouse(0, 0, 0));
  ASSERT_TRUE(run.settle());
  run.savepng("/tmp/bihua-clipboard-dragged.png");
  // The selection band under the text is drawn from the c on, not before.
  rigimage f = run.frame();
  EXPECT_EQ(tinted(f, {0, 90 + 12, 24, 12}), 0);
  EXPECT_GT(tinted(f, {24, 90 + 12, 8 * 12, 12}), 8 * 12 * 6);
  keys(run, {"f4", "esc", "f5", "f7"});
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("b.txt"), "cdefghij\r\nklmnopq");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.clipboard(), std::string("cdefghij\r\nklmnopq\0", 18));
}

namespace {

// A drag that starts on an empty line, or right of a line's end, selects
// from where a press there puts the cursor.
TEST(Clipboard, DragFromAnEmptyLineOrPastALinesEndSelects) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"a.txt", "abc\r\n\r\ndefgh\r\n"}}, {"a.txt", "b.txt"})));
  auto drag = [&](int x0, int y0, int x1, int y1) {
    ASSERT_TRUE(run.moveto(x0, y0));
    ASSERT_TRUE(run.mouse(0, 0, 1));
    for (int i = 0; i < 10; i++) ASSERT_TRUE(run.mouse(0, 0, 1));
    ASSERT_TRUE(run.moveto(x1, y1, 1));
    ASSERT_TRUE(run.mouse(0, 0, 0));
    ASSERT_TRUE(run.settle());
  };
  drag(200, 90 + 45, 2 * 12 + 6, 90 + 75);  // from the empty line to the f
  keys(run, {"f4", "esc", "f5", "f7"});
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("b.txt"), "\r\ndef");
  drag(300, 90 + 15, 1 * 12 + 6, 90 + 75);  // from right of "abc" to the e
  keys(run, {"f4", "esc", "f5", "f7"});
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("b.txt"), "\r\ndef\r\n\r\nde");
  ASSERT_TRUE(run.stop());
}

}  // namespace
