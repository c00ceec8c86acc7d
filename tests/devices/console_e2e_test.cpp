// The program as a citizen of the console: every way out gives the
// terminal, the console mode and terminal switching back (and the exit
// status names the signal); a hang-up keeps unsaved text; the switch to
// another console and back stops and resumes pushes; missing permissions
// are explained; an escape sequence split across reads is still one key;
// and the rows pushed one by one add up to exactly what a full push shows.
#include <gtest/gtest.h>
#include <sys/resource.h>

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

// The console's own modes are back: text mode, automatic switching.
::testing::AssertionResult consoleback(const std::string& log) {
  size_t graphics = log.find("KDSETMODE 1\n"), text = log.rfind("KDSETMODE 0\n");
  size_t process = log.find("VT_SETMODE 1 "), autosw = log.rfind("VT_SETMODE 0 ");
  if (graphics == std::string::npos || process == std::string::npos)
    return ::testing::AssertionFailure() << "the console was never taken: " << log;
  if (text == std::string::npos || text < graphics || autosw == std::string::npos ||
      autosw < process || log.rfind("KDSETMODE 1\n") > text)
    return ::testing::AssertionFailure() << "the console was not given back: " << log;
  return ::testing::AssertionSuccess();
}

TEST(Console, EveryFatalSignalGivesTheConsoleBackAndEndsByThatSignal) {
  // No core files, and the sanitizers' runtime leaves these signals alone.
  rlimit nocore = {0, 0};
  setrlimit(RLIMIT_CORE, &nocore);
  const char* given = getenv("ASAN_OPTIONS");
  std::string kept = given ? given : "";
  setenv("ASAN_OPTIONS", (kept + (kept.empty() ? "" : ":") +
                          "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0").c_str(), 1);
  for (int sig : {SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    SCOPED_TRACE(strsignal(sig));
    bihuarun run;
    ASSERT_TRUE(run.start(onconsole()));
    run.type("ab");
    ASSERT_TRUE(run.settle());
    ASSERT_TRUE(run.endwith(sig));
    EXPECT_EQ(run.exitstatus(), 128 + sig);
    EXPECT_TRUE(run.terminalrestored());
    EXPECT_TRUE(consoleback(run.vtlog()));
  }
  // Normal exit and a start-up failure give it back too.
  bihuarun run;
  ASSERT_TRUE(run.start(onconsole()));
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(consoleback(run.vtlog()));
  if (given)
    setenv("ASAN_OPTIONS", kept.c_str(), 1);
  else
    unsetenv("ASAN_OPTIONS");
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
  EXPECT_TRUE(consoleback(run.vtlog()));
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
  std::vector<unsigned char> other(run.fbbytes().size(), 0x11);
  FILE* f = fopen((run.dir() + "/../fb0").c_str(), "r+b");
  ASSERT_NE(f, nullptr);
  fwrite(other.data(), 1, other.size(), f);
  fclose(f);
  run.raw("zzz");
  run.mousebytes(std::string("\x08\x30\x00", 3));
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
  EXPECT_TRUE(consoleback(run.vtlog()));
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
  // The status line's right half holds the notice.
  EXPECT_GT(mice.crop({400, 0, 400, 30}).count(0x000000), 50);
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

TEST(Console, AnOpenButSilentStandardInputHoldsNothingUp) {
  bihuarun run;
  rigoptions o;
  o.stdinpipe = true;
  ASSERT_TRUE(run.start(o));
  ASSERT_TRUE(run.moveto(300, 200));
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.pixel(300, 200), 0xFF0000u);  // the cursor followed
  ASSERT_TRUE(run.endwith(SIGTERM));
  EXPECT_EQ(run.exitstatus(), 128 + SIGTERM);
}

fbformat layout(int w, int h, int bpp, int line) {
  fbformat f = rigoptions::defaultscreen(w, h);
  f.bpp = bpp;
  f.linelength = line;
  if (bpp == 16) f.red = {11, 5}, f.green = {5, 6}, f.blue = {0, 5};
  return f;
}

// After every push of changed rows the device holds what a full push of
// the same bitmap writes (coming back from another console pushes it all).
TEST(Console, PushedRowsAddUpToAFullPush) {
  const fbformat screens[] = {layout(800, 600, 32, 3200), layout(800, 600, 24, 2400),
                              layout(800, 600, 16, 1600), layout(640, 480, 32, 700 * 4)};
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
