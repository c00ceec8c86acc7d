// The DRM/KMS display through the rig's card stand-in: the output found and
// its current mode taken, pushes that mark exactly the changed rows dirty,
// display ownership across a console switch, the output given back on the
// way out, and the framebuffer used instead when the card cannot be.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/e2e/bihuarun.h"

namespace {

// A card (number 1, so the scan must pass card0) whose output shows
// 800x600 now and prefers 1024x768; no framebuffer at all.
rigoptions ondrm() {
  rigoptions o;
  o.drm = true;
  o.drmcard = 1;
  o.drmpreferred = "1024x768";
  o.fbmissing = true;
  o.console = true;
  return o;
}

std::vector<std::string> lineswith(const bihuarun& run, const std::string& start) {
  std::vector<std::string> out;
  for (const std::string& l : run.drmlines())
    if (l.compare(0, start.size(), start) == 0) out.push_back(l);
  return out;
}

// The rows the DIRTYFB lines from index `from` on mark, checking that
// every rectangle spans the whole width.
std::set<int> dirtyrows(const bihuarun& run, size_t from, int width) {
  std::set<int> rows;
  std::vector<std::string> d = lineswith(run, "DIRTYFB ");
  for (size_t i = from; i < d.size(); i++) {
    std::istringstream in(d[i].substr(8));
    unsigned fb = 0;
    in >> fb;
    for (std::string r; in >> r;) {
      int x1, y1, x2, y2;
      EXPECT_EQ(sscanf(r.c_str(), "%d,%d,%d,%d", &x1, &y1, &x2, &y2), 4) << r;
      EXPECT_EQ(x1, 0);
      EXPECT_EQ(x2, width);
      for (int y = y1; y < y2; y++) rows.insert(y);
    }
  }
  return rows;
}

std::set<int> changedrows(const rigimage& a, const rigimage& b) {
  std::set<int> rows;
  for (int y = 0; y < a.height; y++)
    for (int x = 0; x < a.width; x++)
      if (a.at(x, y) != b.at(x, y)) {
        rows.insert(y);
        break;
      }
  return rows;
}

// Index of the last line that starts with `start`, or -1.
int lastline(const std::vector<std::string>& lines, const std::string& start) {
  for (int i = static_cast<int>(lines.size()) - 1; i >= 0; i--)
    if (lines[i].compare(0, start.size(), start) == 0) return i;
  return -1;
}

TEST(Drm, ShowsTheOutputsModeAndMarksExactlyTheChangedRows) {
  bihuarun run;
  ASSERT_TRUE(run.start(withfiles({{"notes.txt", "first line\r\nsecond\r\n"}}, {"notes.txt"})));
  run.kill();
  bihuarun drm;
  rigoptions o = ondrm();
  o.files = {{"notes.txt", "first line\r\nsecond\r\n"}};
  o.args = {"notes.txt"};
  ASSERT_TRUE(drm.start(o));
  // The mode the output already shows, not the preferred one.
  EXPECT_EQ(drm.output(), "w and h is 800,600\n");
  std::vector<std::string> log = drm.drmlines();
  EXPECT_NE(lastline(log, "CREATE_DUMB 800 600"), -1) << drm.drmlog();
  EXPECT_NE(lastline(log, "SETCRTC 31 50 800 600"), -1) << drm.drmlog();
  // The first push is the whole frame, and it is the picture the
  // framebuffer program shows.
  std::vector<std::string> dirty = lineswith(drm, "DIRTYFB ");
  ASSERT_FALSE(dirty.empty());
  EXPECT_EQ(dirty[0], "DIRTYFB 50 0,0,800,600");
  EXPECT_TRUE(sameimage(run.frame(), drm.frame(), {}));

  // Key by key, each handled in one pass and shown by one push: its
  // rectangles are the rows that push changed, no more and no fewer.
  for (const char* text : {"h", "e", "l", "l", "o", "\x1b[B", "x"}) {
    SCOPED_TRACE(text);
    rigimage before = drm.frame();
    size_t seen = lineswith(drm, "DIRTYFB ").size();
    drm.type(text);
    ASSERT_TRUE(drm.settle());
    ASSERT_EQ(lineswith(drm, "DIRTYFB ").size(), seen + 1);
    std::set<int> changed = changedrows(before, drm.frame());
    EXPECT_FALSE(changed.empty());
    std::set<int> dirty = dirtyrows(drm, seen, 800), extra, missed;
    for (int y : dirty)
      if (!changed.count(y)) extra.insert(y);
    for (int y : changed)
      if (!dirty.count(y)) missed.insert(y);
    EXPECT_TRUE(extra.empty() && missed.empty())
        << "marked but unchanged: " << ::testing::PrintToString(extra)
        << ", changed but not marked: " << ::testing::PrintToString(missed);
  }
  drm.key("F7");
  ASSERT_TRUE(drm.stop());
  EXPECT_EQ(drm.file("notes.txt"), "hellofirst line\r\nseconxd\r\n");
  EXPECT_TRUE(sameimage(drm.bmp(), drm.frame(), {drm.cursorbox()}));
  // The console's own picture (framebuffer 7) is back, then master let go.
  log = drm.drmlines();
  int restored = lastline(log, "SETCRTC 31 7 800 600");
  ASSERT_NE(restored, -1) << drm.drmlog();
  EXPECT_GT(restored, lastline(log, "DIRTYFB "));
  EXPECT_GT(lastline(log, "DROP_MASTER"), restored);
  EXPECT_TRUE(drm.consolerestored());
  EXPECT_TRUE(drm.terminalrestored());
}

TEST(Drm, ASwitchAwayGivesTheDisplayUpAndTheWayBackRetakesIt) {
  bihuarun run;
  ASSERT_TRUE(run.start(ondrm()));
  ASSERT_TRUE(run.vtrelease());
  // Master was dropped, the console's picture put back, before the
  // switch was allowed.
  std::vector<std::string> log = run.drmlines();
  int dropped = lastline(log, "DROP_MASTER");
  ASSERT_NE(dropped, -1) << run.drmlog();
  EXPECT_GT(dropped, lastline(log, "SETCRTC 31 7 "));
  uint64_t pushes = run.pushes();
  rigimage before = run.frame();
  run.raw("away");  // meant for the other console
  usleep(300000);
  EXPECT_EQ(run.pushes(), pushes);

  // The other side still holds master for a moment after the switch back.
  run.setdrmbusy(true);
  size_t earlier = run.drmlines().size();
  ASSERT_TRUE(run.vtacquire());
  usleep(60000);
  run.setdrmbusy(false);
  ASSERT_TRUE(run.waitfor([&] { return run.pushes() > pushes; }));
  log = run.drmlines();
  log.erase(log.begin(), log.begin() + static_cast<long>(earlier));
  int refused = lastline(log, "SET_MASTER -16"), taken = lastline(log, "SET_MASTER 0");
  EXPECT_NE(refused, -1) << run.drmlog();
  EXPECT_GT(taken, refused);
  EXPECT_GT(lastline(log, "SETCRTC 31 50 800 600"), taken);
  EXPECT_EQ(log.back(), "DIRTYFB 50 0,0,800,600");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(sameimage(run.frame(), before));
  run.type("back");
  ASSERT_TRUE(run.settle());
  run.key("F7");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("aaaaa.txt"), "back");
  EXPECT_NE(lastline(run.drmlines(), "SETCRTC 31 7 800 600"), -1);
}

TEST(Drm, AStopGivesTheOutputBackUntilTheProgramContinues) {
  bihuarun run;
  rigoptions o = ondrm();
  o.jobcontrol = true;  // as a shell starts it: the stop is not discarded
  ASSERT_TRUE(run.start(o));
  run.type("ab");
  ASSERT_TRUE(run.settle());
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitstopped());
  std::vector<std::string> log = run.drmlines();
  int restored = lastline(log, "SETCRTC 31 7 800 600");
  ASSERT_NE(restored, -1) << run.drmlog();
  EXPECT_GT(lastline(log, "DROP_MASTER"), restored);
  size_t earlier = log.size();
  run.signal(SIGCONT);
  ASSERT_TRUE(run.waitfor([&] { return run.drmlines().back() == "DIRTYFB 50 0,0,800,600"; }));
  log = run.drmlines();
  EXPECT_GT(lastline(log, "SETCRTC 31 50 800 600"), lastline(log, "SET_MASTER 0"));
  EXPECT_GE(lastline(log, "SET_MASTER 0"), static_cast<int>(earlier));
  run.type("c");
  run.key("F7");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("aaaaa.txt"), "abc");
}

TEST(Drm, ASignalThatEndsTheProgramGivesTheOutputBack) {
  for (int sig : {SIGTERM, SIGSEGV}) {
    SCOPED_TRACE(sig);
    bihuarun run;
    rigoptions o = ondrm();
    o.rawsignals = true;
    ASSERT_TRUE(run.start(o));
    run.type("abc");
    ASSERT_TRUE(run.settle());
    ASSERT_TRUE(run.endwith(sig));
    std::vector<std::string> log = run.drmlines();
    int restored = lastline(log, "SETCRTC 31 7 800 600");
    EXPECT_GT(restored, lastline(log, "DIRTYFB ")) << run.drmlog();
    EXPECT_TRUE(run.consolerestored());
  }
}

TEST(Drm, ACardInUseFallsBackToTheFramebufferWithANotice) {
  bihuarun run;
  rigoptions o = ondrm();
  o.fbmissing = false;
  o.drmbusy = true;
  ASSERT_TRUE(run.start(o));
  EXPECT_EQ(run.output(), "w and h is 800,600\n");
  EXPECT_NE(run.errors().find("another program holds the display"), std::string::npos)
      << run.errors();
  EXPECT_NE(run.errors().find("/dev/fb0 instead"), std::string::npos);
  EXPECT_TRUE(run.shows("DRM不可用(被占用或无输出),改用/dev/fb0"));
  EXPECT_EQ(lineswith(run, "SETCRTC").size(), 0u) << run.drmlog();
  run.type("fb");
  ASSERT_TRUE(run.settle());  // pushes counted on the framebuffer
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(lineswith(run, "DIRTYFB").empty());
}

struct nodisplay {
  const char* what;
  rigoptions options;
  std::vector<std::string> args;
  std::string output;
  std::string why;  // in the one line on standard error
};

TEST(Drm, WithoutAUsableDisplayOneLineSaysWhatWasTried) {
  rigoptions none, unplugged = ondrm(), busy = ondrm(), denied = ondrm(), fbonly = ondrm();
  none.fbmissing = true;
  unplugged.drmdisconnected = true;
  busy.drmbusy = true;
  denied.denydrm = true;
  fbonly.fbmissing = false;
  const nodisplay cases[] = {
      {"no card, no framebuffer", none, {}, "error: open fp fail.\n",
       "DRM: no card (/dev/dri/card0 .. card63); /dev/fb0: No such file"},
      {"no output connected", unplugged, {}, "error: open fp fail.\n",
       "/dev/dri/card1: no connected output; /dev/fb0: No such file"},
      {"--display drm, card held", busy, {"--display", "drm"}, "error: open drm fail.\n",
       "/dev/dri/card1: another program holds the display"},
      {"--display drm, no permission", denied, {"--display", "drm"}, "error: open drm fail.\n",
       "/dev/dri/card1: Permission denied (the card belongs to the video group)"},
      {"--display fb, no framebuffer", ondrm(), {"--display", "fb"}, "error: open fp fail.\n",
       "bihua: /dev/fb0: No such file"},
  };
  for (const nodisplay& c : cases) {
    SCOPED_TRACE(c.what);
    bihuarun run;
    rigoptions o = c.options;
    o.args = c.args;
    run.launch(o);
    ASSERT_TRUE(run.waitexit());
    EXPECT_EQ(run.exitstatus(), 1);
    EXPECT_EQ(run.output(), c.output);
    std::string err = run.errors();
    EXPECT_NE(err.find(c.why), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_TRUE(run.terminalrestored());
    EXPECT_TRUE(lineswith(run, "SETCRTC").empty());
  }
  bihuarun bad;
  rigoptions b = ondrm();
  b.args = {"--display", "vga"};
  bad.launch(b);
  ASSERT_TRUE(bad.waitexit());
  EXPECT_EQ(bad.exitstatus(), 2);
  EXPECT_EQ(bad.errors().rfind("bihua: --display takes drm, fb or auto, not 'vga'\n", 0), 0u);
  EXPECT_TRUE(bad.drmlog().empty());
  // Asked for the framebuffer, the program leaves a working card alone.
  bihuarun fb;
  fbonly.args = {"--display", "fb"};
  ASSERT_TRUE(fb.start(fbonly));
  EXPECT_TRUE(fb.drmlog().empty()) << fb.drmlog();
  ASSERT_TRUE(fb.stop());
}

}  // namespace
