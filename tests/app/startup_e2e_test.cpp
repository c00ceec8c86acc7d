// The start-up failures of the framebuffer with their messages and exit
// statuses. A normal run from start to F8 (the size it reports, the screen
// it leaves in aaaaa.bmp, the terminal it gives back) is checked for every
// framebuffer layout in devices_e2e_test.cpp.
#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

struct failcase {
  const char* what;
  rigoptions options;
  int status;
  std::string output;  // empty: one line of the program's choosing
};

std::vector<failcase> failcases() {
  rigoptions missing, fixed, variable, eightbit;
  missing.fbmissing = true;
  fixed.ioctlfail = rigoptions::failfixed;
  variable.ioctlfail = rigoptions::failvariable;
  eightbit.screen.bpp = 8;
  eightbit.screen.linelength = 800;
  return {
      {"no /dev/fb0", missing, 1, "error: open fp fail.\n"},
      {"fixed info", fixed, 2, "Error reading fixed\n"},
      {"variable info", variable, 3, "Error reading variable\n"},
      {"8 bits per pixel", eightbit, 4, ""},
  };
}

TEST(Startup, FramebufferFailuresEndWithTheirStatusAndRestoreTheTerminal) {
  for (const failcase& c : failcases()) {
    SCOPED_TRACE(c.what);
    bihuarun run;
    run.launch(c.options);
    ASSERT_TRUE(run.waitexit());
    EXPECT_EQ(run.exitstatus(), c.status);
    // The console cursor was hidden and is shown again.
    EXPECT_NE(run.terminaloutput().find("\033[?25l"), std::string::npos);
    EXPECT_TRUE(run.terminalrestored());
    EXPECT_EQ(run.pushes(), 0u);
    EXPECT_FALSE(run.hasfile("aaaaa.bmp"));
    if (!c.output.empty()) {
      EXPECT_EQ(run.output(), c.output);
      continue;
    }
    // The size line may come first; then exactly one line saying why.
    std::string out = run.output();
    std::string size = "w and h is 800,600\n";
    if (out.compare(0, size.size(), size) == 0) out.erase(0, size.size());
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
  }
}

TEST(Startup, KilledFromOutsideItGivesTheTerminalBack) {
  for (int sig : {SIGTERM, SIGHUP}) {
    bihuarun run;
    ASSERT_TRUE(run.start(800, 600));
    ASSERT_TRUE(run.endwith(sig));
    EXPECT_EQ(run.exitstatus(), 128 + sig);
    EXPECT_TRUE(run.terminalrestored());
  }
}

}  // namespace
