// Selection, copy, cut and paste of a pane, and the keys and mouse actions
// that drive them: where a range ends, what reaches the clipboard, where the
// cursor lands, the select switch, the drag-skip counter and the scroll
// strip; and the mended cases (bare LF, capacity, zero bytes, F3 off).
#include "tests/editor/editviewtest.h"

namespace {

// A clipboard of the test's own behind the pane's hooks.
std::string clip;
bool cliptaken = true;  // false: the clipboard refuses what it is given
void setclip(unsigned char* p, unsigned long n) {
  if (cliptaken) clip.assign(reinterpret_cast<char*>(p), n);
}
unsigned char* getclip(unsigned long& n) {
  n = clip.size();
  return reinterpret_cast<unsigned char*>(&clip[0]);
}

class Select : public ::testing::Test {
 protected:
  void SetUp() override {
    editview::setclipdata = setclip;
    editview::getclipdata = getclip;
    clip = "untouched";
    cliptaken = true;
  }
  void TearDown() override {
    editview::setclipdata = nullptr;
    editview::getclipdata = nullptr;
  }
  // Anchor at a, cursor at c.
  static void select(pane& p, int a, int c) {
    p.ed->sel = p.ed->text + a;
    p.ed->cur = p.ed->text + c;
  }
  static int key(pane& p, int code) { return p.ed->keymouse(evKey, code, 0, 0, 0, 0); }
  static std::string z(const std::string& s) { return s + std::string(1, '\0'); }
};

const std::string zhong = "\xD6\xD0", wen = "\xCE\xC4";

TEST_F(Select, RangeEndsTakeWholeCharactersAndLineBreaks) {
  pane p("ab" + zhong + "cd\r\nef");  // a0 b1 zhong2-3 c4 d5 CR6 LF7 e8 f9
  struct {
    int a, c;
    std::string copied;
  } cases[] = {
      {0, 2, "ab" + zhong},         // last position a two-byte character: both bytes
      {0, 1, "ab"},                 // ASCII before a two-byte character: only it
      {4, 7, "cd\r\n"},             // to the line's LF: the line break whole
      {7, 8, "\r\ne"},              // starting on an LF: its CR comes along
      {9, 0, "ab" + zhong + "cd\r\nef"},  // cursor before the anchor; up to the end
      {6, 4, "cd\r\n"},             // a CR at the last position takes its LF
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.copied);
    select(p, k.a, k.c);
    p.ed->copy();
    EXPECT_EQ(clip, z(k.copied));
    EXPECT_EQ(p.at(), k.c);  // copy moves nothing
    EXPECT_EQ(p.ed->sel - p.ed->text, k.a);
  }
  EXPECT_EQ(p.text(), "ab" + zhong + "cd\r\nef");
  clip = "kept";
  p.put(3);
  p.ed->copy();
  p.ed->cut();
  EXPECT_EQ(clip, "kept");  // no selection: the clipboard keeps its content
  EXPECT_EQ(p.text(), "ab" + zhong + "cd\r\nef");
}

TEST_F(Select, GbkPairsAndStrayBytesGoThroughTheClipboardAsTheyAre) {
  const std::string zhe = "\xDF\x40", dash = "\xA9\x5C";  // 這 and ‐
  pane p("x" + zhe + dash + "\x80y");  // x0 zhe1-2 dash3-4 80@5 y6
  select(p, 0, 3);  // ending on ‐ takes it whole
  p.ed->copy();
  EXPECT_EQ(clip, z("x" + zhe + dash));
  select(p, 5, 1);
  p.ed->cut();  // from 這 to the stray byte: nothing doubled, nothing left
  EXPECT_EQ(clip, z(zhe + dash + "\x80"));
  EXPECT_EQ(p.text(), "xy");
  p.put(1);
  p.ed->paste();
  EXPECT_EQ(p.text(), "x" + zhe + dash + "\x80y");
  // Foreign bytes: a lone CR becomes a line break, a stray byte stays one.
  clip = "\xD6" "\r" + zhe + "\xFF";
  p.put(0);
  p.ed->paste();
  EXPECT_EQ(p.text(), "\xD6\r\n" + zhe + "\xFF" "x" + zhe + dash + "\x80y");
}

TEST_F(Select, CutLeavesTheCursorWhereTheTextWas) {
  pane p("ab" + zhong + "cd\r\nef");
  select(p, 7, 2);
  p.ed->cut();
  EXPECT_EQ(clip, z(zhong + "cd\r\n"));
  EXPECT_EQ(p.text(), "abef");
  EXPECT_EQ(p.at(), 2);
  EXPECT_EQ(p.ed->sel, p.ed->cur);
  EXPECT_EQ(p.ed->curline, 0);
  // Pasting it back restores the text, the cursor right after it.
  p.ed->paste();
  EXPECT_EQ(p.text(), "ab" + zhong + "cd\r\nef");
  EXPECT_EQ(p.at(), 8);
  EXPECT_EQ(p.ed->curline, 1);
  // A clipboard that does not take the text: nothing is removed.
  cliptaken = false;
  clip = "old";
  select(p, 0, 1);
  p.ed->cut();
  EXPECT_EQ(p.text(), "ab" + zhong + "cd\r\nef");
}

TEST_F(Select, PasteAtTheCursorBeforeALineBreakOrOverTheSelection) {
  pane p("ab\r\ncd");
  clip = z("X" + wen);
  p.put(3);  // on the LF: goes in before the CR
  p.ed->paste();
  EXPECT_EQ(p.text(), "abX" + wen + "\r\ncd");
  EXPECT_EQ(p.at(), 6);  // still on the LF
  p.put(0);
  p.ed->paste();
  EXPECT_EQ(p.text(), "X" + wen + "abX" + wen + "\r\ncd");
  EXPECT_EQ(p.at(), 3);

  pane q("abcdef");
  clip = z("12");
  select(q, 4, 1);  // b..e replaced
  q.ed->paste();
  EXPECT_EQ(q.text(), "a12f");
  EXPECT_EQ(q.at(), 3);
  EXPECT_EQ(q.ed->sel, q.ed->cur);
  clip = "";  // empty clipboard: the selection only goes
  select(q, 1, 2);
  q.ed->paste();
  EXPECT_EQ(q.text(), "af");
  EXPECT_EQ(q.at(), 1);
}

TEST_F(Select, ForeignClipboardBytesAreFilteredAndStopAtAZero) {
  pane p("");
  clip = "one\ntwo";  // another program's file: no zero, bare LF
  p.ed->paste();
  EXPECT_EQ(p.text(), "one\r\ntwo");
  EXPECT_EQ(p.at(), 8);
  clip = std::string("ab\0cd", 5);  // mended: no zero byte enters the text
  p.ed->paste();
  EXPECT_EQ(p.text(), "one\r\ntwoab");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p.ed->text), p.ed->len).find('\0'),
            std::string::npos);
}

TEST_F(Select, ABareLFIsALineBreakOfItsOwn) {
  // Raw appends (command output) leave LF without CR.
  pane p("");
  p.ed->addcontent("ab\ncd\n", 6);  // a0 b1 LF2 c3 d4 LF5
  select(p, 2, 3);
  p.ed->copy();
  EXPECT_EQ(clip, z("\r\nc"));  // the b is not taken along
  select(p, 0, 1);
  p.ed->copy();
  EXPECT_EQ(clip, z("ab"));  // the LF after the b stays out
  select(p, 4, 2);
  p.ed->cut();
  EXPECT_EQ(p.text(), "ab\n");
  EXPECT_EQ(p.at(), 2);
  clip = z("X");
  p.put(2);  // under the cursor a bare LF: the paste goes in before it
  p.ed->paste();
  EXPECT_EQ(p.text(), "abX\n");
  EXPECT_EQ(p.at(), 3);
}

TEST_F(Select, APastePastTheCapacitiesIsRefusedWithANotice) {
  const int full = editview::maxtextlen;
  pane p(std::string(full - 3, 'a'));
  clip = z("1234");
  clearnotice();
  p.put(5);
  p.ed->paste();
  EXPECT_EQ(p.ed->len, full - 3);
  EXPECT_FALSE(notice().empty());
  select(p, 5, 5);
  clip = z("123");
  p.ed->paste();
  EXPECT_EQ(p.ed->len, full);
  // Over a selection the net growth counts; too much changes nothing.
  clip = z("12345");
  select(p, 0, 2);
  clearnotice();
  p.ed->paste();
  EXPECT_EQ(p.ed->len, full);
  EXPECT_FALSE(notice().empty());
  EXPECT_EQ(p.ed->cur - p.ed->text, 0);
  EXPECT_EQ(p.ed->sel - p.ed->text, 2);
  clip = z("123");
  p.ed->paste();
  EXPECT_EQ(p.ed->len, full);

  // More display lines than the line table holds: refused too, and the
  // text of a replaced selection comes back.
  pane q("abc");
  clip = std::string(maxlinenumber, '\n');
  clearnotice();
  q.ed->paste();
  EXPECT_EQ(q.text(), "abc");
  EXPECT_FALSE(notice().empty());
  select(q, 0, 1);
  q.ed->paste();
  EXPECT_EQ(q.text(), "abc");
  EXPECT_EQ(q.ed->cur - q.ed->text, 0);
  EXPECT_EQ(q.ed->linecount, 1);
}

TEST_F(Select, F3SwitchArrowsAndF4) {
  pane p("abcdefg\r\nhij");
  p.put(1);
  key(p, kcSelect);
  EXPECT_TRUE(p.ed->seltoggle);
  for (int i = 0; i < 3; i++) key(p, kcRight);
  EXPECT_EQ(p.ed->sel - p.ed->text, 1);
  key(p, kcCopy);
  EXPECT_EQ(clip, z("bcde"));
  EXPECT_FALSE(p.ed->seltoggle);
  // F3 twice without moving: the cursor stays.
  p.ed->selecting = false;  // as the next key-down makes it
  p.put(2);
  key(p, kcSelect);
  key(p, kcSelect);
  EXPECT_EQ(p.at(), 2);
  // Off after moving: back on the anchor, line and column recomputed
  // (mended), so Up and Home start from there.
  p.ed->selecting = false;
  p.put(8);
  key(p, kcSelect);
  key(p, kcDown);
  key(p, kcRight);
  EXPECT_EQ(p.ed->curline, 1);
  key(p, kcSelect);
  EXPECT_EQ(p.at(), 8);
  EXPECT_EQ(p.ed->curline, 0);
  EXPECT_EQ(p.ed->curcol, 8);
  key(p, kcHome);
  EXPECT_EQ(p.at(), 0);
  // The bar's buttons act as the keys: select, cut, paste.
  p.ed->selecting = false;
  p.put(0);
  p.ed->keymouse(evButton + 2, 0, 0, 0, 0, 0);
  key(p, kcRight);
  p.ed->keymouse(evButton + 5, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.text(), "cdefg\r\nhij");
  EXPECT_EQ(clip, z("ab"));
  key(p, kcEnd);
  p.ed->keymouse(evButton + 4, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.text(), "cdefgab\r\nhij");
  select(p, 0, 1);
  p.ed->keymouse(evButton + 3, 0, 0, 0, 0, 0);
  EXPECT_EQ(clip, z("cd"));
}

TEST_F(Select, DragSelectsAfterTheFirstTenDrags) {
  pane p("abcdefghij\r\nklmnopqrst");
  editview& e = *p.ed;
  int y0 = e.y1 + e.lineh / 2;  // middle of the first row
  auto cell = [&](int col) { return e.x1 + col * e.charw + e.charw / 2; };
  EXPECT_EQ(e.keymouse(evPress, cell(2), y0, 0, 0, 0), 0);
  EXPECT_EQ(p.at(), 2);
  for (int i = 0; i < 10; i++) EXPECT_EQ(e.keymouse(evDrag, cell(6), y0, 1, 0, 0), 0);
  EXPECT_EQ(p.at(), 2);  // ignored, whatever they are
  EXPECT_EQ(e.dragskip, 0);
  e.keymouse(evDrag, cell(6), y0 + e.lineh, 1, 0, 0);
  EXPECT_EQ(p.at(), 18);
  EXPECT_EQ(e.sel - e.text, 2);
  e.keymouse(evKey, kcCopy, 0, 0, 0, 0);
  EXPECT_EQ(clip, z("cdefghij\r\nklmnopq"));
  EXPECT_EQ(e.keymouse(evDrag, cell(3), y0, 0, 0, 0), 0);  // button up: nothing
  EXPECT_EQ(p.at(), 18);
  EXPECT_EQ(e.keymouse(evDrag, e.x2 + 5, y0, 1, 0, 0), 1);  // outside
  EXPECT_EQ(p.at(), 18);
  // A new press starts afresh, no selection.
  e.keymouse(evPress, cell(1), y0, 0, 0, 0);
  EXPECT_EQ(e.sel, e.cur);
}

TEST_F(Select, ScrollStripWheelAndPressesOutside) {
  std::string many;
  for (int i = 0; i < 100; i++) many += "line\r\n";
  pane p(many);
  editview& e = *p.ed;
  int strip = e.x2 - e.charw;
  EXPECT_EQ(e.keymouse(evPress, strip, e.y2 - 2, 0, 0, 0), 1);
  EXPECT_EQ(e.topline, e.linecount - e.rows / 2);  // bottom: last half page
  EXPECT_EQ(p.at(), 0);                           // the cursor stays
  e.keymouse(evPress, strip, e.y1 + e.high() / 2, 0, 0, 0);
  EXPECT_GT(e.topline, 30);
  EXPECT_LT(e.topline, 70);
  e.keymouse(evPress, strip, e.y1 + 2, 0, 0, 0);
  EXPECT_EQ(e.topline, 0);
  // Below the pane but in the strip's band: still the strip.
  EXPECT_EQ(e.keymouse(evPress, strip, e.y2 + 20, 0, 0, 0), 1);
  EXPECT_EQ(p.at(), 0);
  // Left of the strip and outside: consumed, nothing moves.
  EXPECT_EQ(e.keymouse(evPress, e.x1 + 20, e.y2 + 20, 0, 0, 0), 1);
  EXPECT_EQ(p.at(), 0);
  // The wheel moves the cursor a display line, up for a positive amount.
  p.put(12);
  e.keymouse(evWheel, e.x1 + 5, e.y1 + 5, 0, 120, 0);
  EXPECT_EQ(e.curline, 1);
  e.keymouse(evWheel, e.x1 + 5, e.y1 + 5, 0, -120, 0);
  e.keymouse(evWheel, e.x1 + 5, e.y1 + 5, 0, -120, 0);
  EXPECT_EQ(e.curline, 3);
  // Without the focus the pane ignores everything.
  int top = e.topline;
  e.focus = false;
  EXPECT_EQ(e.keymouse(evPress, strip, e.y2 - 2, 0, 0, 0), 0);
  EXPECT_EQ(e.keymouse(evKey, kcDown, 0, 0, 0, 0), 0);
  EXPECT_EQ(e.topline, top);
  EXPECT_EQ(e.curline, 3);
}

}  // namespace
