// The application window in-process: key routing table, event dispatch and
// echo, the modal font chooser, mouse press/drag edges, and pushes that
// leave the bitmap untouched. Runs under the fbrig preload library, which
// stands a file in for /dev/fb0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/amybitmapwin.h"
#include "devices/keys.h"
#include "devices/mymouse.h"
#include "views/myview.h"
#include "views/statusbar.h"

// The preload library comes ahead of the sanitizer runtime in this process.
extern "C" const char* __asan_default_options() { return "verify_asan_link_order=0"; }

namespace {

using event = std::array<int, 6>;  // type and a1 .. a5

// A registered view that records what reaches it.
class recorder : public amyview {
 public:
  std::vector<event> seen;
  int answer = 1;
  int keymouse(int type, int a, int b, int c, int d, int e) override {
    seen.push_back({type, a, b, c, d, e});
    return answer;
  }
};

class Window : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NE(getenv("LD_PRELOAD"), nullptr) << "run under the fbrig preload library";
    // One file per process: ctest runs these tests as separate processes
    // side by side, and each one's start would empty another's device.
    fbpath = ::testing::TempDir() + "window-fb-" + std::to_string(getpid());
    std::ofstream(fbpath).close();
    setenv("FBRIG_FB", fbpath.c_str(), 1);
    setenv("FBRIG_XRES", "320", 1);
    setenv("FBRIG_YRES", "200", 1);
    unsetenv("FBRIG_MICE");
    win = new amybitmapwin;
    mymapwin = win;
    myview::pmymap = &win->bitmap;
    statebar = new myview(0, 0, win->width, 30);
  }

  static void TearDownTestSuite() { std::remove(fbpath.c_str()); }

  void SetUp() override {
    win->viewcount = 0;
    win->modalview = nullptr;
    win->isquit = false;
    win->addview(&rec);
    dispmsg1("");
  }

  std::vector<event> keyevents(keyvalue value) {
    rec.seen.clear();
    win->OnKeyDown(static_cast<unsigned>(value), static_cast<unsigned>(value >> 32), 0);
    return rec.seen;
  }

  static std::string fbpath;
  static amybitmapwin* win;
  recorder rec;
};

std::string Window::fbpath;
amybitmapwin* Window::win = nullptr;

TEST_F(Window, EveryRoutedKeyReachesTheViewsAsItsCode) {
  const std::pair<keyvalue, int> keys[] = {
      {0x415B1B, 38},      {0x425B1B, 40},       {0x435B1B, 39},      {0x445B1B, 37},
      {0x465B1B, 35},      {0x7E345B1B, 35},     {0x485B1B, 36},      {0x7E315B1B, 36},
      {0x7E335B1B, 46},    {0x7E355B1B, 33},     {0x7E365B1B, 34},    {0x524F1B, 114},
      {0x435B5B1B, 114},   {0x534F1B, 115},      {0x445B5B1B, 115},   {0x455B5B1B, 116},
      {0x7E35315B1B, 116}, {0x7E37315B1B, 117},  {0x7E38315B1B, 118}, {0x7E39315B1B, 119},
      {10, 13},            {26, 26},             {25, 25},
  };
  for (auto [value, code] : keys)
    EXPECT_EQ(keyevents(value), (std::vector<event>{{100, code, 0, 0, 0, 0}})) << std::hex << value;
}

TEST_F(Window, TypingKeysGoOnAsTheirEvents) {
  EXPECT_EQ(keyevents(9), (std::vector<event>{{101, 9, 0, 0, 0, 0}}));
  EXPECT_EQ(keyevents(127), (std::vector<event>{{101, 8, 0, 0, 0, 0}}));
  EXPECT_EQ(keyevents(0x504F1B), (std::vector<event>{{100, 16, 54, 0, 0, 0}}));
  EXPECT_EQ(keyevents(0x425B5B1B), (std::vector<event>{{100, 16, 54, 0, -1, 0}}));
  rec.seen.clear();
  win->OnChar('a', 0, 0);
  EXPECT_EQ(rec.seen, (std::vector<event>{{101, 'a', 0, 0, 0, 0}}));
}

TEST_F(Window, UnroutedKeysAreDropped) {
  for (keyvalue value : {3ull, 22ull, 24ull, 0x80ull, 0xFFull, 0x7E325B1Bull, 0x7E30325B1Bull, 0ull})
    EXPECT_TRUE(keyevents(value).empty()) << std::hex << value;
  // A control key that is no key says so.
  EXPECT_STREQ(statusline(), "  |  \xb4\xcb\xbc\xfc\xce\xde\xb9\xa6\xc4\xdc\xa3\xba"
                             "Ctrl-X");
  EXPECT_TRUE(keyevents(27).empty());  // Esc moves the focus and reaches no view
}

TEST_F(Window, EventsAreEchoedInGbk) {
  win->keymouse(100, 38, 0, 0, 0, 0);
  // "键按下键值为38, 标志为0"
  EXPECT_STREQ(statusline(), "  |  \xbc\xfc\xb0\xb4\xcf\xc2\xbc\xfc\xd6\xb5\xce\xaa"
                             "38, \xb1\xea\xd6\xbe\xce\xaa"
                             "0");
  win->keymouse(300, 0, 0, 0, 0, 0);
  EXPECT_STREQ(statusline(), "  |  \xb0\xb4\xc5\xa5"
                             "300\xb0\xb4\xcf\xc2");  // "按钮300按下"
}

TEST_F(Window, DispatchByType) {
  EXPECT_FALSE(win->keymouse(5, 0, 0, 0, 0, 0));
  EXPECT_FALSE(win->keymouse(200, 0, 0, 0, 0, 0));
  EXPECT_FALSE(win->keymouse(-1, 0, 0, 0, 0, 0));
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_STREQ(statusline(), "  |  ");

  EXPECT_TRUE(win->keymouse(307, 0, 0, 0, 0, 0));
  EXPECT_TRUE(win->isquit);
  EXPECT_TRUE(win->keymouse(306, 0, 0, 0, 0, 0));
  EXPECT_TRUE(rec.seen.empty());

  EXPECT_TRUE(win->keymouse(302, 0, 0, 0, 0, 0));
  EXPECT_TRUE(win->keymouse(2, 10, 20, 0, -1, 0));
  EXPECT_EQ(rec.seen, (std::vector<event>{{302, 0, 0, 0, 0, 0}, {2, 10, 20, 0, -1, 0}}));
}

TEST_F(Window, BroadcastStopsAtTheFirstTaker) {
  recorder second;
  win->addview(&second);
  rec.answer = 0;
  EXPECT_TRUE(win->keymouse(101, 'x', 0, 0, 0, 0));
  EXPECT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(second.seen.size(), 1u);
  second.answer = 0;
  EXPECT_FALSE(win->keymouse(101, 'y', 0, 0, 0, 0));
  rec.answer = 1;
  EXPECT_TRUE(win->keymouse(101, 'z', 0, 0, 0, 0));
  EXPECT_EQ(second.seen.size(), 2u);
}

TEST_F(Window, RegistryHoldsAHundredViews) {
  win->viewcount = 0;
  win->addview(nullptr);
  EXPECT_EQ(win->viewcount, 0);
  for (int i = 0; i < 101; i++) win->addview(&rec);
  EXPECT_EQ(win->viewcount, amybitmapwin::maxviews);
}

TEST_F(Window, MousePressOnceDragEveryPacketReleaseNothing) {
  mymouse& m = *win->mouse;
  auto packet = [&](int buttons) {
    std::memcpy(m.lastpacket, m.packet, sizeof m.packet);
    m.packet[0] = static_cast<unsigned char>(8 | buttons);
    rec.seen.clear();
    win->domouse();
    return rec.seen;
  };
  m.x = 40;
  m.y = 50;
  packet(0);
  EXPECT_EQ(packet(1), (std::vector<event>{{0, 40, 50, 0, 0, 0}}));
  EXPECT_EQ(packet(1), (std::vector<event>{{1, 40, 50, 1, 0, 0}}));
  EXPECT_EQ(packet(1), (std::vector<event>{{1, 40, 50, 1, 0, 0}}));
  EXPECT_TRUE(packet(0).empty());
  EXPECT_TRUE(packet(3).empty());  // left and right together
  EXPECT_TRUE(packet(2).empty());
}

TEST_F(Window, FontChoiceWhileModalIsAppliedThenTheEventGoesOn) {
  win->modalview = &win->fontsel;
  win->bitmap.savebuffer();
  // Inside the box but on no option: consumed by the modal step.
  EXPECT_TRUE(win->keymouse(0, 150, 110, 0, 0, 0));
  EXPECT_TRUE(rec.seen.empty());
  // Option 2 ("字体2") sits at offsets 61..89 from the box's top (100).
  win->keymouse(0, 150, 170, 0, 0, 0);
  EXPECT_EQ(mybitmap::zhityid, 1);
  EXPECT_EQ(win->modalview, nullptr);
  EXPECT_EQ(win->fontsel.selected, 0);
  ASSERT_EQ(rec.seen.size(), 1u);  // then dispatched as a normal click
  EXPECT_EQ(rec.seen[0][0], 0);
  mybitmap::zhityid = 0;
}

TEST_F(Window, PushLeavesTheBitmapAsItWas) {
  win->bitmap.setpixel(100, 100, mycolor(1, 2, 3));
  paintstatus();  // a push paints a changed status line first
  std::vector<unsigned char> before(win->bitmap.pixels,
                                    win->bitmap.pixels + win->pixelcount * 4);
  win->mouse->x = 100;
  win->mouse->y = 100;
  win->draw();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), win->bitmap.pixels));
  // The device got the cross.
  std::ifstream fb(fbpath, std::ios::binary);
  std::vector<unsigned char> shown((std::istreambuf_iterator<char>(fb)), {});
  ASSERT_GE(shown.size(), before.size());
  size_t at = (100 * 320 + 100) * 4;
  EXPECT_EQ(shown[at + 2], 255);
  EXPECT_EQ(shown[at + 1], 0);
  EXPECT_EQ(shown[at], 0);
  win->mouse->x = -300;  // fully off screen: the bitmap still comes back whole
  win->draw();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), win->bitmap.pixels));
}

}  // namespace
