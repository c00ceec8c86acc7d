// Undo and redo of a pane, driven through its keymouse where a key does
// it: what one step holds (typing and Backspace runs, a committed
// candidate), every kind of change undone and redone with the cursor where
// the change was, what clears the history and what does not, the bounds,
// redo dropped by a new change, and a random walk of edits undone to the
// first bytes and redone to the last.
#include <unistd.h>

#include <functional>
#include <random>
#include <vector>

#include "tests/editor/editviewtest.h"
#include "tests/fuzz/stringclip.h"

namespace {

std::string& clip = clipstring();

const std::string zhong = "\xD6\xD0", wen = "\xCE\xC4";

class Undo : public ::testing::Test {
 protected:
  void SetUp() override {
    installclip();
  }
  void TearDown() override {
    editview::setclipdata = nullptr;
    editview::getclipdata = nullptr;
  }
};

void key(pane& p, int code) { p.ed->keymouse(evKey, code, 0, 0, 0, 0); }
void type(pane& p, const std::string& bytes) {
  for (char c : bytes) p.ed->keymouse(evChar, static_cast<signed char>(c), 0, 0, 0, 0);
}
void undo(pane& p, int times = 1) {
  for (int i = 0; i < times; i++) key(p, kcUndo);
}
void redo(pane& p, int times = 1) {
  for (int i = 0; i < times; i++) key(p, kcRedo);
}
// Anchor at a, cursor at c.
void select(pane& p, int a, int c) {
  p.ed->sel = p.ed->text + a;
  p.ed->cur = p.ed->text + c;
}

// The layout an undo leaves is the one a fresh load of the same bytes makes.
void expectlaidout(pane& p) {
  pane fresh(p.text(), p.bmp.width, p.bmp.height, p.ed->id);
  myview::pmymap = &p.bmp;  // the fresh pane took the screen
  ASSERT_EQ(p.starts(), fresh.starts());
  for (int i = 0; i < p.ed->len; i++)
    ASSERT_EQ(p.ed->ctrl[i].bits & ~ctrbyte::mark, fresh.ed->ctrl[i].bits & ~ctrbyte::mark)
        << "byte " << i;
  EXPECT_EQ(p.ed->text[p.ed->len], 0);
}

TEST_F(Undo, RunsOfTypingAndOfBackspacesAreOneStepEach) {
  pane p("0123456789");
  p.put(5);
  type(p, "abc");
  type(p, "\b\b");
  EXPECT_EQ(p.text(), "01234a56789");
  undo(p);  // both Backspaces
  EXPECT_EQ(p.text(), "01234abc56789");
  EXPECT_EQ(p.at(), 8);
  undo(p);  // all three letters
  EXPECT_EQ(p.text(), "0123456789");
  EXPECT_EQ(p.at(), 5);
  EXPECT_FALSE(p.ed->history.canundo());
  redo(p);
  EXPECT_EQ(p.text(), "01234abc56789");
  EXPECT_EQ(p.at(), 8);
  redo(p);
  EXPECT_EQ(p.text(), "01234a56789");
  EXPECT_EQ(p.at(), 6);

  // Moving the cursor, even back to the same place, ends a run; Enter is a
  // step of its own.
  pane q("xy");
  q.put(1);
  type(q, "ab");
  key(q, kcLeft);
  key(q, kcRight);
  type(q, "cd");
  key(q, kcEnter);
  type(q, "e");
  EXPECT_EQ(q.text(), "xabcd\r\ney");
  undo(q);
  EXPECT_EQ(q.text(), "xabcd\r\ny");
  undo(q);
  EXPECT_EQ(q.text(), "xabcdy");
  undo(q);
  EXPECT_EQ(q.text(), "xaby");
  undo(q);
  EXPECT_EQ(q.text(), "xy");
}

TEST_F(Undo, ACommittedCandidateIsNeverSplit) {
  pane p("ab");
  p.put(2);
  type(p, "x");
  key(p, kcLeft);
  // A candidate arrives from the input method as its GBK bytes, one
  // character event each.
  type(p, zhong + wen);
  EXPECT_EQ(p.text(), "ab" + zhong + wen + "x");
  undo(p);
  EXPECT_EQ(p.text(), "abx");
  EXPECT_EQ(p.at(), 2);
  redo(p);
  EXPECT_EQ(p.text(), "ab" + zhong + wen + "x");
  EXPECT_EQ(p.at(), 6);
  // Half a character typed, then Ctrl-Z: the half is dropped, not joined
  // with the next byte.
  type(p, "\xB0");
  undo(p);
  type(p, "\xB1\xA1");
  EXPECT_EQ(p.text(), "ab\xB1\xA1x");
}

TEST_F(Undo, EveryKindOfChangeGoesBackAndForth) {
  struct change {
    const char* name;
    std::string text;
    int a, c;  // anchor and cursor before
    std::function<void(pane&)> act;
  };
  const std::string base = "ab" + zhong + "cd\r\nef\r\n";  // a0 b1 zhong2-3 c4 d5 CR6 LF7 e8
  std::vector<change> changes = {
      {"typing", base, 4, 4, [](pane& p) { type(p, "xy"); }},
      {"tab", base, 8, 8, [](pane& p) { type(p, "\t"); }},
      {"enter", base, 2, 2, [](pane& p) { key(p, kcEnter); }},
      {"delete", base, 2, 2, [](pane& p) { key(p, kcDelete); }},
      {"delete line break", base, 6, 6, [](pane& p) { key(p, kcDelete); }},
      {"delete selection", base, 1, 8, [](pane& p) { key(p, kcDelete); }},
      {"backspace", base, 4, 4, [](pane& p) { type(p, "\b"); }},
      {"backspace line break", base, 8, 8, [](pane& p) { type(p, "\b"); }},
      {"backspace selection", base, 4, 1, [](pane& p) { type(p, "\b"); }},
      {"cut", base, 1, 6, [](pane& p) { key(p, kcCut); }},
      {"paste", base, 8, 8, [](pane& p) { clip = zhong + "\nz"; key(p, kcPaste); }},
      {"paste over selection", base, 0, 4,
       [](pane& p) { clip = std::string("new\r\n\0", 6); key(p, kcPaste); }},
      {"typing at a bare LF", "a\nb", 1, 1, [](pane& p) { type(p, "x"); }},
  };
  for (const change& k : changes) {
    SCOPED_TRACE(k.name);
    pane p(k.text);
    if (k.a == k.c)
      p.put(k.a);
    else
      select(p, k.a, k.c);
    std::string before = p.text();
    k.act(p);
    std::string after = p.text();
    int afterat = p.at();
    ASSERT_NE(before, after);
    undo(p);
    EXPECT_EQ(p.text(), before);
    EXPECT_EQ(p.ed->cur, p.ed->sel);
    expectlaidout(p);
    redo(p);
    EXPECT_EQ(p.text(), after);
    EXPECT_EQ(p.at(), afterat);
    expectlaidout(p);
    EXPECT_EQ(p.ed->history.undocount(), 1);
  }
}

TEST_F(Undo, LoadingAndAppendingClearTheHistorySavingKeepsIt) {
  std::string dir = ::testing::TempDir() + "undo-" + std::to_string(getpid());
  ASSERT_EQ(system(("mkdir -p " + dir).c_str()), 0);
  std::string path = dir + "/a.txt";
  pane p("abc");
  auto edited = [&] {
    p.put(p.ed->len);
    type(p, "x");
    return p.ed->history.canundo();
  };
  ASSERT_TRUE(edited());
  p.set("new");  // loadcontent: also the same-file copy on Esc
  EXPECT_FALSE(p.ed->history.canundo());
  ASSERT_TRUE(edited());
  key(p, kcF7);  // reaches the pane before the window saves
  ASSERT_TRUE(p.ed->saveas(path.c_str()));
  EXPECT_TRUE(p.ed->history.canundo());  // saving keeps the steps
  type(p, "y");
  EXPECT_TRUE(p.ed->ischanged());
  undo(p);
  EXPECT_FALSE(p.ed->ischanged());  // back to the saved text
  undo(p);
  EXPECT_TRUE(p.ed->ischanged());
  EXPECT_EQ(p.text(), "new");
  redo(p);
  ASSERT_TRUE(p.ed->readfile(path.c_str()));
  EXPECT_FALSE(p.ed->history.canundo());
  EXPECT_FALSE(p.ed->history.canredo());
  ASSERT_TRUE(edited());
  EXPECT_FALSE(p.ed->readfile(dir.c_str()));  // a refused load keeps them
  EXPECT_TRUE(p.ed->history.canundo());
  p.ed->addcontent("out\r\n", 5);  // the command pane's record
  EXPECT_FALSE(p.ed->history.canundo());
  ASSERT_TRUE(edited());
  p.ed->clean();
  EXPECT_FALSE(p.ed->history.canundo());
  EXPECT_EQ(system(("rm -rf " + dir).c_str()), 0);
}

TEST_F(Undo, ANewChangeDropsWhatCouldBeRedone) {
  pane p("abc");
  p.put(3);
  type(p, "d");
  key(p, kcEnter);
  undo(p, 2);
  EXPECT_EQ(p.ed->history.redocount(), 2);
  p.put(0);
  type(p, "z");
  EXPECT_FALSE(p.ed->history.canredo());
  redo(p);
  EXPECT_EQ(p.text(), "zabc");
  // Typing right after an undo does not join the step before it, though
  // it goes on where that one ended.
  pane q("abc");
  q.put(3);
  type(q, "de");
  key(q, kcLeft);
  key(q, kcRight);
  type(q, "f");
  undo(q);
  type(q, "g");
  undo(q);
  EXPECT_EQ(q.text(), "abcde");
}

TEST_F(Undo, HistoryKeepsTheLatestStepsWithinItsBounds) {
  pane p("", 320, 300);  // a small screen: thousands of redraws
  const int extra = 5;
  for (int i = 0; i < editundo::maxsteps + extra; i++) key(p, kcEnter);
  EXPECT_EQ(p.ed->history.undocount(), editundo::maxsteps);
  undo(p, editundo::maxsteps + 1);
  EXPECT_EQ(p.ed->len, 2 * extra);  // the first five are kept for good
  redo(p, editundo::maxsteps);
  EXPECT_EQ(p.ed->len, 2 * (editundo::maxsteps + extra));

  // Bytes: pasting and cutting 700 kB again and again keeps the newest
  // steps within the byte bound; every kept step still replays.
  pane big("", 320, 300);
  const std::string chunk(700000, 'a');
  for (int i = 0; i < 4; i++) {
    clip = chunk + '\0';
    key(big, kcPaste);
    select(big, 0, big.ed->len);
    key(big, kcCut);
    ASSERT_EQ(big.ed->len, 0);
  }
  EXPECT_LE(big.ed->history.bytes(), editundo::maxbytes);
  int kept = big.ed->history.undocount();
  EXPECT_GE(kept, 4);
  EXPECT_LT(kept, 8);
  undo(big, kept);
  EXPECT_EQ(big.ed->len, kept % 2 ? static_cast<int>(chunk.size()) : 0);
  redo(big, kept);
  EXPECT_EQ(big.ed->len, 0);
}

// Random edits in a GBK text; every undo goes back to a state the text was
// in, in order; all undone it is the original, all redone the final bytes.
void randomwalk(unsigned seed) {
  SCOPED_TRACE(seed);
  std::mt19937 rng(seed);
  std::string start;
  for (int i = 0; i < 40; i++) start += (i % 3 ? "word " : zhong + wen) + std::string(i % 5 ? "" : "\r\n");
  start += "bare\nlf";
  pane p(start, 400, 300);
  std::vector<std::string> states = {p.text()};
  auto pick = [&](int n) { return n > 0 ? static_cast<int>(rng() % n) : 0; };
  // A random position on the first byte of a character.
  auto place = [&] {
    int at = pick(p.ed->len + 1);
    if (at < p.ed->len && p.ed->ctrl[at].is(ctrbyte::hz2)) at--;
    return at;
  };
  // Every event may be a step of its own: the state after each counts.
  auto send = [&](int type, int a) {
    p.ed->keymouse(type, a, 0, 0, 0, 0);
    if (p.text() != states.back()) states.push_back(p.text());
  };
  auto typeall = [&](const std::string& bytes) {
    for (char c : bytes) send(evChar, static_cast<signed char>(c));
  };
  for (int i = 0; i < 400; i++) {
    switch (pick(8)) {
      case 0: p.ed->setcur(pick(p.ed->cols), pick(p.ed->linecount)); break;
      case 1: typeall(std::string(1 + pick(3), static_cast<char>('a' + pick(26)))); break;
      case 2: typeall(pick(2) ? zhong : wen); break;
      case 3: typeall(std::string(1 + pick(3), '\b')); break;
      case 4: send(evKey, pick(2) ? kcEnter : kcDelete); break;
      case 5: send(evKey, kcLeft + pick(4)); break;
      case 6:
        select(p, place(), place());
        send(evKey, pick(3) ? kcCut : kcCopy);
        break;
      case 7:
        if (pick(2)) select(p, place(), place());
        send(evKey, kcPaste);
        break;
    }
  }
  ASSERT_LT(p.ed->history.undocount(), editundo::maxsteps);
  const std::string final = p.text();
  size_t at = states.size() - 1;
  while (p.ed->history.canundo()) {
    undo(p);
    size_t back = at;
    while (back > 0 && states[back] != p.text()) back--;
    // (A paste over the same text leaves the bytes as they were.)
    ASSERT_EQ(states[back], p.text()) << "an undo reached a state the text was never in";
    at = back;
  }
  EXPECT_EQ(p.text(), start);
  expectlaidout(p);
  while (p.ed->history.canredo()) redo(p);
  EXPECT_EQ(p.text(), final);
  expectlaidout(p);
}


TEST_F(Undo, RandomEditsUndoneAndRedoneGiveTheSameBytes) {
  for (unsigned seed : {19u, 20u, 21u, 22u}) randomwalk(seed);
}

}  // namespace
