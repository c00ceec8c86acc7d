// The function-key bar: layout from the screen width, label shrinking, hit
// edges, and a click's flash and event.
#include <gtest/gtest.h>

#include <vector>

#include "tests/views/viewtest.h"
#include "views/mybutton.h"

namespace {

struct bar : buttongroup {
  bar() {
    for (const char* l : {"F1:中英文", "F2:输入法", "F3:选择", "F4:复制", "F5:粘贴", "F6:剪切",
                          "F7:保存", "F8:退出"})
      addbutton(l);
  }
};

TEST(Buttons, LayoutFollowsTheScreenWidth) {
  bar b;
  EXPECT_STREQ(b.buttons[7]->text, "F8:\xCD\xCB\xB3\xF6");
  // Eight buttons take 8 × 24 × 6 = 1152 pixels at the full unit.
  for (auto e : {std::make_pair(800, 16), {1920, 24}, {1153, 24}, {1152, 24}, {1151, 23},
                 {300, 6}, {40, 0}}) {
    b.resetwidth(e.first);
    for (int i = 0; i < 8; i++) {
      const mybutton* m = b.buttons[i];
      EXPECT_EQ(m->x1, e.second * i * 6) << e.first << " button " << i;
      EXPECT_EQ(m->x2 - m->x1, e.second * 5) << e.first << " button " << i;
      EXPECT_EQ(m->y1, 32);
      EXPECT_EQ(m->y2, 60);
    }
  }
}

TEST(Buttons, LabelShrinksWhenItWouldReachTheFrame) {
  testfont f;
  screen s(200, 100);
  mybutton m;
  m.addtext("AAAAAAA");  // 7 half cells: 84 pixels at 24
  m.move(10, 20, 96, 48);
  EXPECT_EQ(m.labelsize(), 24);
  m.move(10, 20, 95, 48);
  EXPECT_EQ(m.labelsize(), 83 * 2 / 7);
  m.draw();
  // Cells of 23 centred at 42: bars at 2, 13, ... 68, each 24 high.
  for (int i = 0; i < 7; i++) EXPECT_EQ(s.count(black, 12 + 11 * i, 20, 12 + 11 * i, 48), 25);
  EXPECT_EQ(s.count(black), 7 * 25);
  EXPECT_EQ(s.count(green, 11, 21, 94, 21), 84);
  bar b;
  b.resetwidth(800);
  EXPECT_EQ(b.buttons[0]->labelsize(), 78 * 2 / 9);
}

std::vector<int> sent;
std::vector<uint32_t> flashes;

TEST(Buttons, HitEdgesFlashAndEvent) {
  screen s(800, 100);
  bar b;
  b.resetwidth(800);
  const mybutton& m = *b.buttons[0];  // (0, 32) - (80, 60)
  EXPECT_FALSE(m.inside(0, 40) || m.inside(80, 40) || m.inside(40, 31) || m.inside(40, 60));
  EXPECT_TRUE(m.inside(1, 40) && m.inside(79, 40) && m.inside(40, 32) && m.inside(40, 59));

  auto push = mybutton::pushscreen;
  mybutton::pushscreen = [] { flashes.push_back(myview::pmymap->getpixel(174, 34).value()); };
  buttongroup::sendevent = [](int type, int a1, int a2, int a3, int a4, int a5) {
    sent.push_back(a1 | a2 | a3 | a4 | a5 ? -1 : type);
    return 1;
  };
  EXPECT_EQ(b.keymouse(0, 140, 40, 0, 0, 0), 1);  // button 1: 96 .. 176
  EXPECT_EQ(flashes, (std::vector<uint32_t>{green, white}));  // beside its label
  EXPECT_EQ(b.buttons[1]->pressed, 0);
  EXPECT_EQ(b.keymouse(0, 700, 59, 0, 0, 0), 1);
  EXPECT_EQ(b.keymouse(0, 85, 40, 0, 0, 0), 0);  // the gap after button 0
  for (int type : {1, 2, 100, 101, 300}) EXPECT_EQ(b.keymouse(type, 140, 40, 0, 0, 0), 0);
  EXPECT_EQ(sent, (std::vector<int>{301, 307}));
  EXPECT_EQ(flashes.size(), 4u);
  mybutton::pushscreen = push;
  buttongroup::sendevent = nullptr;
}

}  // namespace
