// The clipboard file through the real program: rewritten at exit with mode
// 0600 and nothing left beside it; a link, a FIFO or another user's file at
// its path is left alone (never pasted, never written through), and the
// program still starts and ends normally.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

namespace fs = std::filesystem;

std::string readfile(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writefile(const std::string& p, const std::string& s) {
  std::ofstream(p, std::ios::binary) << s;
}

unsigned modeof(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Files beside the clipboard file whose names start with its own.
int leftovers(const bihuarun& run) {
  fs::path clip = run.clipfile();
  int n = 0;
  for (auto& e : fs::directory_iterator(clip.parent_path())) {
    std::string name = e.path().filename();
    if (name != "clip.txt" && name.rfind("clip.txt", 0) == 0) n++;
  }
  return n;
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
  EXPECT_EQ(leftovers(run), 0);
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

struct planted {
  const char* what;
  std::function<bool(const std::string& clip, const std::string& target)> plant;
};

void PrintTo(const planted& p, std::ostream* os) { *os << p.what; }

class LeftAlone : public ::testing::TestWithParam<planted> {};

TEST_P(LeftAlone, NeitherReadNorWrittenNorFollowed) {
  if (std::string(GetParam().what) == "otheruser" && geteuid() != 0)
    GTEST_SKIP() << "giving a file to another user needs root";
  bihuarun run;
  std::string clip = run.clipfile();
  std::string target = fs::path(clip).parent_path() / "victim.txt";
  writefile(target, "precious\n");
  ASSERT_TRUE(GetParam().plant(clip, target)) << "could not plant it";
  auto kind = fs::symlink_status(clip).type();
  std::string before = fs::is_regular_file(fs::symlink_status(clip)) ? readfile(clip) : "";

  rigoptions o;
  o.files = {{"t.txt", "xy"}};
  o.args = {"t.txt"};
  ASSERT_TRUE(run.start(o));  // a FIFO must not hang the start
  run.key("f5");              // nothing to paste
  run.key("f7");
  run.key("f3");              // and something to keep at exit
  run.key("right");
  run.key("f4");
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file("t.txt"), "xy");

  EXPECT_EQ(fs::symlink_status(clip).type(), kind);
  if (kind == fs::file_type::regular) {
    EXPECT_EQ(readfile(clip), before);
  }
  EXPECT_EQ(readfile(target), "precious\n");
  EXPECT_EQ(leftovers(run), 0);
  EXPECT_NE(run.errors().find("/tmp/clip.txt"), std::string::npos) << run.errors();
  EXPECT_NE(run.errors().find("left alone"), std::string::npos) << run.errors();
}

INSTANTIATE_TEST_SUITE_P(
    AtTheClipboardPath, LeftAlone,
    ::testing::Values(
        planted{"link", [](const std::string& c,
                           const std::string& t) { return symlink(t.c_str(), c.c_str()) == 0; }},
        planted{"fifo", [](const std::string& c,
                           const std::string&) { return mkfifo(c.c_str(), 0666) == 0; }},
        planted{"otheruser",
                [](const std::string& c, const std::string&) {
                  writefile(c, "rm -rf ~\n");
                  return chown(c.c_str(), 12345, 12345) == 0;
                }}),
    [](const ::testing::TestParamInfo<planted>& i) { return std::string(i.param.what); });

}  // namespace
