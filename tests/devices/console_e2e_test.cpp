// The program as a citizen of the console: a normal exit gives the
// terminal, the console mode and terminal switching back (the fatal
// signals and standard inputs that are no terminal are rows of the
// bad-input table); a stop gives them back until the program is
// continued; a hang-up keeps unsaved text; the switch to
// another console and back stops and resumes pushes; missing permissions
// are explained; an escape sequence split across reads is still one key;
// and the rows pushed one by one add up to exactly what a full push shows.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

rigoptions onconsole(int w = 800, int h = 600) {
  rigoptions o;
  o.screen = rigoptions::defaultscreen(w, h);
  o.console = true;
  return o;
}

// The fatal signals, each ending the program with the console given back,
// are rows of the bad-input table (tests/app/badinput_e2e_test.cpp).
TEST(Console, ANormalExitGivesTheConsoleBack) {
  bihuarun run;
  ASSERT_TRUE(run.start(onconsole()));
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.consolerestored());
  EXPECT_TRUE(run.terminalrestored());
}

TEST(Console, AClosedStandardOutputIsNoReasonToDie) {
  // SIGPIPE is ignored: the program runs on and ends normally.
  bihuarun run;
  ASSERT_TRUE(run.start(onconsole()));
  run.signal(SIGPIPE);
  run.type("a");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.running());
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.consolerestored());
}

TEST(Console, HangUpWritesChangedPanesBesideThemNeverOverAFile) {
  bihuarun run;
  rigoptions o = onconsole();
  o.args = {"notes.txt", "other.txt"};
  o.files = {{"notes.txt", "abc"}, {"notes.txt.save", "older rescue"}, {"other.txt", "same"}};
  ASSERT_TRUE(run.start(o));
  run.type("xy");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.endwith(SIGHUP));
  EXPECT_EQ(run.exitstatus(), 128 + SIGHUP);
  EXPECT_EQ(run.file("notes.txt"), "abc");
  EXPECT_EQ(run.file("notes.txt.save"), "older rescue");
  EXPECT_EQ(run.file("notes.txt.save.1"), "xyabc");
  EXPECT_FALSE(run.hasfile("other.txt.save"));  // unchanged panes are not written
  EXPECT_NE(run.errors().find("notes.txt.save.1"), std::string::npos) << run.errors();
  EXPECT_TRUE(run.terminalrestored());

  bihuarun term;
  o.files = {{"notes.txt", "abc"}};
  ASSERT_TRUE(term.start(o));
  term.type("z");
  ASSERT_TRUE(term.settle());
  ASSERT_TRUE(term.endwith(SIGTERM));
  EXPECT_EQ(term.file("notes.txt.save"), "zabc");
}

// What another program draws while this one is not on the screen.
bool scribble(const bihuarun& run) {
  std::vector<unsigned char> other(run.fbbytes().size(), 0x11);
  FILE* f = fopen((run.dir() + "/../fb0").c_str(), "r+b");
  if (!f) return false;
  fwrite(other.data(), 1, other.size(), f);
  return fclose(f) == 0;
}

TEST(Console, SwitchingAwayStopsPushesAndComingBackShowsTheWholeScreen) {
  bihuarun run;
  rigoptions o = onconsole();
  o.args = {"notes.txt"};
  ASSERT_TRUE(run.start(o));
  run.type("hello");
  ASSERT_TRUE(run.settle());
  rigimage before = run.frame();

  ASSERT_TRUE(run.vtrelease());
  uint64_t pushes = run.pushes();
  // The other console draws; keys and mouse meant for it reach us too.
  ASSERT_TRUE(scribble(run));
  run.raw("zzz");
  run.mousebytes(std::string("\x08\x30\x00", 3));
  // Read while away, however slow the machine (under emulation it could
  // come after the switch back and move the cross).
  ASSERT_TRUE(run.micedrained());
  usleep(300000);
  EXPECT_EQ(run.pushes(), pushes);
  EXPECT_EQ(run.pixel(5, 5), 0x111111u);

  ASSERT_TRUE(run.vtacquire());
  ASSERT_TRUE(run.settle());
  EXPECT_GT(run.pushes(), pushes);
  EXPECT_TRUE(sameimage(run.frame(), before));  // nothing of what came while away
  run.type("!");
  ASSERT_TRUE(run.settle());
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "hello!");
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.consolerestored());
}

TEST(Console, AStopGivesTheConsoleBackUntilTheProgramContinues) {
  bihuarun run;
  rigoptions o = onconsole();
  o.jobcontrol = true;  // as a shell starts it: the stop is not discarded
  o.args = {"notes.txt"};
  ASSERT_TRUE(run.start(o));
  run.type("ab");
  ASSERT_TRUE(run.settle());
  rigimage before = run.frame();
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitstopped());
  EXPECT_TRUE(run.terminalrestored());  // cooked, cursor shown
  EXPECT_TRUE(run.consolerestored());   // text mode, automatic switching
  ASSERT_TRUE(scribble(run));           // the shell's screen meanwhile

  run.signal(SIGCONT);
  ASSERT_TRUE(run.waitfor([&] { return bool(sameimage(run.frame(), before)); }));
  EXPECT_EQ(run.terminalmode().c_lflag & (ICANON | ECHO), 0u);
  EXPECT_FALSE(run.terminalrestored());  // the cursor hidden again
  EXPECT_FALSE(run.consolerestored());   // graphics mode, switching in process mode
  run.type("c");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "abc");
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(run.consolerestored());
}

TEST(Console, AStopTheKernelDiscardsKeepsTheConsole) {
  // In a session of its own (the rig's default) the program's process
  // group is orphaned and the kernel discards the stop: it carries on and
  // must hold the console again, not run on a cooked terminal.
  bihuarun run;
  rigoptions o = onconsole();
  o.args = {"notes.txt"};
  ASSERT_TRUE(run.start(o));
  run.type("ab");
  ASSERT_TRUE(run.settle());
  run.signal(SIGTSTP);
  for (int i = 0; i < 5000 && run.vtlog().find("KDSETMODE 0") == std::string::npos; i++)
    usleep(1000);
  ASSERT_NE(run.vtlog().find("KDSETMODE 0"), std::string::npos) << "the stop gave nothing back";
  ASSERT_TRUE(run.waitfor([&] { return !run.consolerestored(); }));  // taken again
  EXPECT_EQ(run.terminalmode().c_lflag & (ICANON | ECHO), 0u);
  run.type("c");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "abc");
  ASSERT_TRUE(run.stop());
}

TEST(Console, PermissionProblemsSayWhyAndWhatToDo) {
  bihuarun fb;
  rigoptions o;
  o.denyfb = true;
  fb.launch(o);
  ASSERT_TRUE(fb.waitexit());
  EXPECT_EQ(fb.exitstatus(), 1);
  EXPECT_EQ(fb.output(), "error: open fp fail.\n");
  EXPECT_NE(fb.errors().find("Permission denied"), std::string::npos) << fb.errors();
  EXPECT_NE(fb.errors().find("video group"), std::string::npos) << fb.errors();
  EXPECT_TRUE(fb.terminalrestored());

  bihuarun mice;
  o = rigoptions();
  o.denymouse = true;
  ASSERT_TRUE(mice.start(o));
  EXPECT_NE(mice.errors().find("/dev/input/mice: Permission denied"), std::string::npos);
  EXPECT_NE(mice.errors().find("input group"), std::string::npos);
  EXPECT_EQ(mice.pixel(100, 100), 0xFF0000u);  // the cursor parked where it starts
  EXPECT_TRUE(mice.shows("无鼠标:无读权限,请加入input组"));
  mice.savepng("/tmp/bihua-nomouse.png");
  ASSERT_TRUE(mice.stop());
}

TEST(Console, AnEscapeSequenceSplitAcrossReadsIsStillOneKey) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600, {"notes.txt"}));
  run.type("ab");
  ASSERT_TRUE(run.settle());
  run.raw("\x1b[");
  usleep(15000);
  run.type("D");  // Left, the cursor goes between a and b
  ASSERT_TRUE(run.settle());
  run.type("c");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "acb");
  ASSERT_TRUE(run.stop());
}

// A NUL byte (Ctrl-Space) read together with the keys after it holds
// none of them up: they show without any further input.
TEST(Console, ANulByteHoldsUpNoKeyAfterIt) {
  bihuarun run;
  ASSERT_TRUE(run.start(1920, 1080, {"notes.txt"}));  // the echo fits beside the state
  run.raw(std::string("\0ab", 3));
  ASSERT_TRUE(run.settle());
  // "字符信息为98, 标志为0": the b has been handled and shown.
  EXPECT_TRUE(run.shows("\xD7\xD6\xB7\xFB\xD0\xC5\xCF\xA2\xCE\xAA" "98, "
                        "\xB1\xEA\xD6\xBE\xCE\xAA" "0"));
  run.raw(std::string("c\0", 2));
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("notes.txt"), "abc");
  ASSERT_TRUE(run.stop());
}

// Ctrl-S and Ctrl-Q are keys: the terminal's flow control is off while the
// program runs, so a Ctrl-S never holds up its way out (the cursor
// sequence it writes), neither F8 nor a SIGTERM with its rescue.
TEST(Console, CtrlSNeverHoldsUpTheWayOut) {
  rigoptions o = onconsole();
  o.args = {"notes.txt"};
  o.files = {{"notes.txt", "abc"}};
  bihuarun term;
  ASSERT_TRUE(term.start(o));
  EXPECT_EQ(term.terminalmode().c_iflag & (IXON | IXOFF), 0u);
  term.type("x\x13y");  // Ctrl-S saves; the y after it is rescued
  ASSERT_TRUE(term.settle());
  ASSERT_TRUE(term.endwith(SIGTERM));
  EXPECT_EQ(term.file("notes.txt"), "xabc");
  EXPECT_EQ(term.file("notes.txt.save"), "xyabc");
  EXPECT_TRUE(term.terminalrestored());
  EXPECT_TRUE(term.consolerestored());

  bihuarun quit;
  ASSERT_TRUE(quit.start(o));
  quit.type("\x13");
  ASSERT_TRUE(quit.settle());
  quit.type("y\x11");
  quit.key("F7");
  ASSERT_TRUE(quit.settle());
  EXPECT_EQ(quit.file("notes.txt"), "yabc");
  quit.type("\x13");
  ASSERT_TRUE(quit.stop());
  EXPECT_EQ(quit.exitstatus(), 0);
  EXPECT_TRUE(quit.terminalrestored());
}

// After every push of changed rows the device holds what a full push of
// the same bitmap writes (coming back from another console pushes it all).
TEST(Console, PushedRowsAddUpToAFullPush) {
  const fbformat screens[] = {riglayout(800, 600, 32, 3200), riglayout(800, 600, 24, 2400),
                              riglayout(800, 600, 16, 1600), riglayout(640, 480, 32, 700 * 4)};
  std::mt19937 random(15);
  const std::string pieces[] = {"abc", "\x7f", "\n", "\x1b[D", "\x1b[A", "xyz", "\x1b[B", "\t"};
  for (const fbformat& s : screens) {
    SCOPED_TRACE(std::to_string(s.bpp) + " bpp, line " + std::to_string(s.linelength));
    bihuarun run;
    rigoptions o = onconsole();
    o.screen = s;
    o.args = {"notes.txt"};
    ASSERT_TRUE(run.start(o));
    for (int round = 0; round < 3; round++) {
      uint64_t bytes = run.pushedbytes(), pushes = run.pushes();
      for (int i = 0; i < 8; i++) {
        run.type(pieces[random() % 8]);
        if (i % 3 == 0) {
          ASSERT_TRUE(run.mouse(static_cast<int>(random() % 21) - 10, 3));
        }
        ASSERT_TRUE(run.settle(20));
      }
      ASSERT_TRUE(run.settle());
      // Fewer bytes than whole frames: the pushes were partial.
      uint64_t frame = bihuarun::endbyte(s) - bihuarun::firstbyte(s);
      EXPECT_LT(run.pushedbytes() - bytes, (run.pushes() - pushes) * frame / 2);
      std::vector<unsigned char> partial = run.fbbytes();
      ASSERT_TRUE(run.vtrelease());
      ASSERT_TRUE(run.vtacquire());
      ASSERT_TRUE(run.settle());
      EXPECT_TRUE(partial == run.fbbytes()) << "round " << round;
    }
    ASSERT_TRUE(run.stop());
  }
}

}  // namespace
