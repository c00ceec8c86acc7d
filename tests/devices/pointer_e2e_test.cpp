// Pointers beyond the plain mouse: the wheel on /dev/input/mice after the
// wheel handshake (and plain packets where the device is read-only), and
// evdev pointers (tablets, touch panels) read directly, mapped to the
// screen, picked up when plugged in, with /dev/input/mice not read twice.
#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

// Forty numbered lines in pane 0.
rigoptions lines() {
  std::string text;
  for (int i = 0; i < 40; i++) text += "line" + std::to_string(i) + "\r\n";
  rigoptions o = withfiles({{"notes.txt", text}}, {"notes.txt"});
  o.screen = rigoptions::defaultscreen(1024, 768);  // the status line has room for the echo
  return o;
}

// The line of the saved file that starts with `mark`, or -1.
int linewith(const std::string& file, const std::string& mark) {
  int n = 0;
  for (size_t at = 0; at < file.size(); n++) {
    if (file.compare(at, mark.size(), mark) == 0) return n;
    size_t end = file.find("\r\n", at);
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return -1;
}

// Polls a condition the push counter cannot announce (a device opened or
// closed), for at most 10 s.
bool eventually(bihuarun& run, const std::function<bool()>& cond) {
  auto t0 = std::chrono::steady_clock::now();
  while (!cond()) {
    if (!run.running() || std::chrono::steady_clock::now() - t0 > std::chrono::seconds(10)) return false;
    usleep(2000);
  }
  return true;
}

TEST(Pointer, TheWheelMovesTheFramedPaneALinePerClick) {
  bihuarun run;
  rigoptions o = lines();
  o.wheelmouse = true;
  ASSERT_TRUE(run.start(o));
  // Sample rates 200, 100, 80, then GET ID: the wheel mouse handshake.
  EXPECT_EQ(run.micewritten(), "\xf3\xc8\xf3\x64\xf3\x50\xf2");
  ASSERT_TRUE(run.wheel(3));  // towards the user: down
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("鼠标滚轮，x=100,y=100"));
  run.type("X");
  ASSERT_TRUE(run.wheel(-1));
  ASSERT_TRUE(run.settle());
  run.type("Y");
  // Moves and clicks still work with the longer packets.
  ASSERT_TRUE(run.click(300, 200));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("左键单击，x=300,y=200"));
  run.key("F7");
  ASSERT_TRUE(run.stop());
  std::string saved = run.file("notes.txt");
  EXPECT_EQ(linewith(saved, "Xline3"), 3) << saved;
  EXPECT_EQ(linewith(saved, "lYine2"), 2) << saved;  // the column stays
}

TEST(Pointer, AMouseThatMayOnlyBeReadKeepsPlainPackets) {
  for (bool wheel : {false, true}) {
    SCOPED_TRACE(wheel ? "read-only" : "no wheel");
    bihuarun run;
    rigoptions o = lines();
    o.micereadonly = wheel;  // read-only: no handshake; else a plain mouse answers id 0
    ASSERT_TRUE(run.start(o));
    EXPECT_EQ(run.micewritten(), wheel ? "" : "\xf3\xc8\xf3\x64\xf3\x50\xf2");
    ASSERT_TRUE(run.click(250, 150));
    ASSERT_TRUE(run.click(260, 160));
    ASSERT_TRUE(run.settle());
    EXPECT_TRUE(run.shows("左键单击，x=260,y=160"));
    EXPECT_EQ(run.pixel(260, 160), 0xFF0000u);
    ASSERT_TRUE(run.stop());
  }
}

TEST(Pointer, ATabletPointsAtScreenPixelsAndTheMouseIsNotReadTwice) {
  bihuarun run;
  rigoptions o = lines();
  o.evdev = {"keyboard", "tablet"};
  ASSERT_TRUE(run.start(o));
  EXPECT_TRUE(run.isopen(run.evpath(1)));
  EXPECT_FALSE(run.isopen(run.evpath(0)));  // keys come from the terminal
  EXPECT_FALSE(run.isopen(run.mousepath()));  // it repeats the tablet
  // Clicks at the far corner and near the origin land on those pixels.
  for (bool pressed : {false, true, false}) ASSERT_TRUE(run.evpoint(1, 1021, 767, pressed));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("左键单击，x=1021,y=767"));
  EXPECT_EQ(run.pixel(1021, 767), 0xFF0000u);
  for (bool pressed : {false, true, false}) ASSERT_TRUE(run.evpoint(1, 7, 0, pressed));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("左键单击，x=7,y=0"));
  // The tablet's wheel: REL_WHEEL > 0 turns away from the user.
  ASSERT_TRUE(run.evframe(1, {{EV_REL, REL_WHEEL, -2}}));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("鼠标滚轮，x=7,y=0"));
  run.type("W");
  run.key("F7");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(linewith(run.file("notes.txt"), "Wline2"), 2) << run.file("notes.txt");
}

TEST(Pointer, APointerPluggedInLaterIsPickedUpAndUnpluggedGivesTheMouseBack) {
  bihuarun run;
  ASSERT_TRUE(run.start(lines()));
  ASSERT_TRUE(run.isopen(run.mousepath()));
  int touch = run.plug("touch");
  ASSERT_TRUE(eventually(run, [&] { return run.isopen(run.evpath(touch)); }));
  for (bool pressed : {true, false}) ASSERT_TRUE(run.evpoint(touch, 400, 300, pressed));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("左键单击，x=400,y=300"));
  EXPECT_FALSE(run.isopen(run.mousepath()));
  run.unplug(touch);
  ASSERT_TRUE(eventually(run, [&] { return run.isopen(run.mousepath()); }));
  EXPECT_FALSE(run.isopen(run.evpath(touch)));
  // The relative mouse goes on from where the touch left the cross.
  ASSERT_TRUE(run.click(420, 310));
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows("左键单击，x=420,y=310"));
  ASSERT_TRUE(run.stop());
}

}  // namespace
