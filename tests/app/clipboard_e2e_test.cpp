// The clipboard file through the real program: rewritten at exit with mode
// 0600 and nothing left beside it. A link, a FIFO or another user's file at
// its path are rows of the bad-input table (badinput_e2e_test.cpp).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

namespace fs = std::filesystem;

unsigned modeof(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(ClipboardFile, ExitRewritesItPrivatelyWithTheSameBytes) {
  bihuarun run;
  rigoptions o;
  o.clipboard = std::string("ab\xd6\xd0\0", 5);
  ASSERT_TRUE(run.start(o));
  chmod(run.clipfile().c_str(), 0644);  // as an earlier version left it
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.clipboard(), std::string("ab\xd6\xd0\0", 5));
  EXPECT_EQ(modeof(run.clipfile()), 0600u);
  EXPECT_TRUE(run.besideclipboard().empty());
  EXPECT_EQ(run.errors(), "");
}

TEST(ClipboardFile, NoneAtStartAnEmptyOneAtExit) {
  bihuarun run;
  ASSERT_TRUE(run.start(800, 600));
  ASSERT_TRUE(run.stop());
  EXPECT_TRUE(fs::is_regular_file(run.clipfile()));
  EXPECT_EQ(run.clipboard(), "");
  EXPECT_EQ(modeof(run.clipfile()), 0600u);
}

}  // namespace
