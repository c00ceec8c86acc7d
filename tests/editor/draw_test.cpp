// A pane repaints only the rows whose marks changed, and on a wiped screen
// puts back the pixels it kept. After every random edit, move, selection,
// scroll, undo, wipe and change of focus, the pixels it leaves must be the ones a redraw of
// the whole pane leaves on the same screen.
#include <random>
#include <vector>

#include "tests/editor/editviewtest.h"

namespace {

// The pane's rectangle, with a margin for the frame, as bytes.
std::vector<unsigned char> region(const mybitmap& b, const editview& e, int margin = 4) {
  std::vector<unsigned char> out;
  for (int y = std::max(e.y1 - margin, 0); y < std::min(e.y2 + margin, b.height); y++) {
    int x0 = std::max(e.x1 - margin, 0), x1 = std::min(e.x2 + margin, b.width);
    out.insert(out.end(), b.pixels + (static_cast<size_t>(y) * b.width + x0) * 4,
               b.pixels + (static_cast<size_t>(y) * b.width + x1) * 4);
  }
  return out;
}

void randomstep(pane& p, std::mt19937& rng) {
  editview& e = *p.ed;
  static const int keys[] = {kcRight, kcLeft, kcUp, kcDown, kcHome, kcEnd, kcPageUp,
                             kcPageDown, kcEnter, kcDelete, kcSelect, kcCopy, kcPaste, kcCut,
                             kcUndo, kcRedo};
  static const char* chars[] = {"a", "b", " ", "\t", "\xd6\xd0", "\xce\xc4", "\x08", "\x08"};
  switch (rng() % 4) {
    case 0:
      e.keymouse(evKey, keys[rng() % (sizeof keys / sizeof *keys)], 0, 0, 0, 0);
      break;
    case 1:
    case 2:
      for (const char* c = chars[rng() % (sizeof chars / sizeof *chars)]; *c; c++)
        e.keymouse(evChar, static_cast<unsigned char>(*c), 0, 0, 0, 0);
      break;
    default: {
      int x = e.x1 + static_cast<int>(rng() % (e.width() + 1));
      int y = e.y1 + static_cast<int>(rng() % (e.high() + 1));
      int kind = rng() % 3;
      if (kind == 2)
        e.keymouse(evWheel, x, y, 0, rng() % 2 ? 120 : -120, 0);
      else
        e.keymouse(kind == 0 ? evPress : evDrag, x, y, 1, 0, 0);
    }
  }
}

}  // namespace

TEST(Drawing, RepaintingChangedRowsEqualsRedrawingTheWholePane) {
  std::string start;
  for (int i = 0; i < 40; i++)
    start += (i % 3 ? "\xd6\xd0\xce\xc4 line with words\r\n" : "a longer line that wraps around the "
                                                               "pane at least once or twice\r\n");
  for (int focus : {1, 0}) {
    pane p(start, 800, 800, 0);
    editview& e = *p.ed;
    e.focus = focus;
    e.dragskip = 0;
    e.draw();
    std::mt19937 rng(7 + focus);
    for (int step = 0; step < 300; step++) {
      // Now and then the whole screen is wiped, as a full redraw does (or
      // to plain white, which the frame's outer edge then blends into).
      if (rng() % 16 == 0) p.bmp.clear(mycolor(255, 255, 0));
      if (rng() % 16 == 0) p.bmp.clear();
      if (rng() % 16 == 0) e.focus = !e.focus;
      std::vector<unsigned char> before(p.bmp.pixels, p.bmp.pixels + 800 * 800 * 4);
      randomstep(p, rng);
      e.draw();
      std::vector<unsigned char> partial = region(p.bmp, e);
      std::copy(before.begin(), before.end(), p.bmp.pixels);
      e.forgetshown();
      e.draw();
      ASSERT_EQ(partial, region(p.bmp, e)) << "step " << step << " focus " << focus;
    }
  }
}

// Scrolling by a line, a page or the wheel, and a line broken or joined,
// move rows. A pane drawn only ever in part, its focus coming and going,
// must keep showing what a pane redrawn whole each time shows.
TEST(Drawing, RowsThatOnlyMovedAreMovedAndEqualARedraw) {
  std::string start;
  for (int i = 0; i < 120; i++)
    start += i % 4 ? "\xd6\xd0" + std::to_string(i) + " row\r\n" : std::to_string(i) + " a line\r\n";
  pane a(start), b(start);
  const int backspace = -1, wheeldown = -120, wheelup = 120, flip = -2;
  const std::vector<std::vector<int>> steps = {
      std::vector<int>(30, kcDown), {flip}, std::vector<int>(6, kcDown), {flip, kcUp, kcUp, flip},
      std::vector<int>(25, kcUp), {kcPageDown, kcPageDown, flip}, {kcEnter, kcEnter, backspace},
      {kcPageUp, flip}, {wheeldown, wheeldown, wheelup, flip, kcEnd}, std::vector<int>(9, kcDown)};
  int step = 0;
  for (const std::vector<int>& keys : steps)
    for (int k : keys)
      for (pane* p : {&a, &b}) {
        editview& e = *p->ed;
        myview::pmymap = &p->bmp;
        if (k == flip)
          e.focus = !e.focus;
        else if (k == wheeldown || k == wheelup)
          e.keymouse(evWheel, e.x1 + 5, e.y1 + 5, 0, k, 0);
        else if (k == backspace)
          e.keymouse(evChar, 8, 0, 0, 0, 0);
        else
          e.keymouse(evKey, k, 0, 0, 0, 0);
        if (p == &b) e.forgetshown();
        if (k == flip || p == &b) e.draw();
        if (p == &b) {
          ASSERT_EQ(region(a.bmp, *a.ed), region(b.bmp, e)) << "step " << step;
        }
        step++;
      }
}

TEST(Drawing, AWipedScreenGetsTheWholePaneAgain) {
  pane p("abc\r\ndef", 800, 800, 0);
  p.ed->draw();
  std::vector<unsigned char> drawn = region(p.bmp, *p.ed, 0);
  p.bmp.clear(mycolor(255, 255, 0));
  p.ed->draw();
  EXPECT_EQ(drawn, region(p.bmp, *p.ed, 0));
}

TEST(Drawing, AKeyInAFullPaneTouchesOnlyItsLine) {
  std::string text;
  for (int i = 0; i < 40; i++) text += "\xd6\xd0\xce\xc4 words\r\n";
  pane p(text, 800, 800, 0);
  editview& e = *p.ed;
  e.focus = true;
  e.draw();
  auto touched = [&] {
    int n = 0;
    for (int y = e.y1; y < e.y2; y++) n += p.bmp.rowtouched[y] != 0;
    p.bmp.untouchrows();
    return n;
  };
  touched();
  e.keymouse(evChar, 'a', 0, 0, 0, 0);
  // The first line only (and the frame's pen a little beyond), not the pane.
  EXPECT_LE(touched(), e.lineh + 4);
  e.keymouse(evKey, kcDown, 0, 0, 0, 0);
  EXPECT_LE(touched(), 2 * e.lineh + 4);  // the cursor bar leaves a line for the next
  p.bmp.clear(mycolor(255, 255, 0));
  touched();
  e.draw();
  EXPECT_GT(touched(), e.high() - 2);  // a wiped screen gets the whole pane back
}

// A page of short lines replacing another, or scrolled by a line, writes
// over their ink, not the pane's width: the push compares only what was
// written. The pixels are still those of a whole redraw.
TEST(Drawing, PagingShortLinesTouchesTheirInkNotThePane) {
  std::string text;
  for (int i = 0; i < 400; i++) text += std::to_string(i) + " \xd6\xd0\xce\xc4 words\r\n";
  pane p(text, 1920, 1080, 1), whole(text, 1920, 1080, 1);
  editview& e = *p.ed;
  auto touchedshare = [&] {
    long blocks = 0, all = 0;
    for (int y = e.y1; y <= e.y2; y++) {
      for (int x = e.x1; x <= e.x2; x += p.bmp.blockwidth()) {
        blocks += p.bmp.rowtouched[y] >> (x / p.bmp.blockwidth()) & 1;
        all++;
      }
    }
    p.bmp.untouchrows();
    return static_cast<double>(blocks) / all;
  };
  auto press = [&](int key, int times) {
    for (pane* q : {&p, &whole}) {
      myview::pmymap = &q->bmp;
      for (int i = 0; i < times; i++) q->ed->keymouse(evKey, key, 0, 0, 0, 0);
    }
    myview::pmymap = &p.bmp;
  };
  e.focus = whole.ed->focus = true;
  press(kcHome, 1);
  for (int key : {kcPageDown, kcPageDown, kcDown, kcPageUp}) {
    // Down from the foot of the pane: a scroll by a line.
    if (key == kcDown) press(kcDown, e.rows);
    touchedshare();
    press(key, 1);
    EXPECT_LT(touchedshare(), 0.35) << "key " << key;
    myview::pmymap = &whole.bmp;
    whole.ed->forgetshown();
    whole.ed->draw();
    ASSERT_EQ(region(p.bmp, e), region(whole.bmp, *whole.ed)) << "key " << key;
  }
}
