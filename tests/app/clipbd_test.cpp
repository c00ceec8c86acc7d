// The clipboard file: what load() trusts, what save() writes and how, and
// what both leave alone (links, FIFOs, other users' files, oversized files).
#include "app/clipbd.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readfile(const std::string& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writefile(const std::string& p, const std::string& s) {
  std::ofstream(p, std::ios::binary) << s;
}

class ClipFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/cliptest.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    path = dir + "/clip.txt";
  }
  void TearDown() override { fs::remove_all(dir); }

  void set(clipbd& c, const std::string& s) {
    ASSERT_TRUE(c.setdata(reinterpret_cast<const unsigned char*>(s.data()), s.size()));
  }
  static std::string held(clipbd& c) {
    unsigned long n = 0;
    unsigned char* p = c.getdata(n);
    return std::string(reinterpret_cast<char*>(p), n);
  }
  // Names in the folder other than the clipboard file (temporary leftovers).
  std::vector<std::string> others() const {
    std::vector<std::string> v;
    for (auto& e : fs::directory_iterator(dir))
      if (e.path().filename() != "clip.txt" && e.path().filename() != "target") v.push_back(e.path());
    return v;
  }

  std::string dir, path;
};

TEST_F(ClipFile, SavedBytesComeBackInTheNextRunAndOnlyTheOwnerReadsThem) {
  writefile(path, "old");
  chmod(path.c_str(), 0644);  // as an earlier run left it
  {
    clipbd c;
    ASSERT_TRUE(c.load(path.c_str()));
    EXPECT_EQ(held(c), "old");
    set(c, std::string("ab\xd6\xd0\r\n\0", 7));
    ASSERT_TRUE(c.save(path.c_str())) << c.notice;
  }
  EXPECT_EQ(readfile(path), std::string("ab\xd6\xd0\r\n\0", 7));
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_TRUE(others().empty());
  clipbd next;
  ASSERT_TRUE(next.load(path.c_str()));
  EXPECT_EQ(held(next), std::string("ab\xd6\xd0\r\n\0", 7));
}

TEST_F(ClipFile, NoFileGivesAnEmptyClipboardAndExitLeavesAnEmptyFile) {
  clipbd c;
  EXPECT_TRUE(c.load(path.c_str()));
  EXPECT_EQ(held(c), "");
  EXPECT_TRUE(c.notice.empty());
  EXPECT_TRUE(c.save(path.c_str()));
  EXPECT_TRUE(fs::is_regular_file(path));
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(ClipFile, LinkFifoFolderAndOtherUsersFileAreLeftAlone) {
  std::string target = dir + "/target";
  struct planted {
    const char* what;
    std::function<bool(const std::string&)> plant;
  };
  std::vector<planted> cases = {
      {"symbolic link", [&](const std::string& p) {
         writefile(target, "mine");
         return symlink(target.c_str(), p.c_str()) == 0;
       }},
      {"FIFO", [](const std::string& p) { return mkfifo(p.c_str(), 0666) == 0; }},
      {"folder", [](const std::string& p) { return mkdir(p.c_str(), 0755) == 0; }},
      {"other user's file", [](const std::string& p) {
         writefile(p, "echo owned\n");
         return chown(p.c_str(), 12345, 12345) == 0;  // needs root
       }},
  };
  for (const planted& k : cases) {
    SCOPED_TRACE(k.what);
    fs::remove_all(path);
    fs::remove(target);
    if (!k.plant(path)) {
      ADD_FAILURE() << "could not plant (root needed for chown)";
      continue;
    }
    auto before = fs::symlink_status(path).type();
    clipbd c;
    EXPECT_FALSE(c.load(path.c_str()));  // a FIFO must not block here
    EXPECT_EQ(held(c), "");
    EXPECT_NE(c.notice.find("不可信"), std::string::npos) << c.notice;
    set(c, "new");
    EXPECT_FALSE(c.save(path.c_str()));
    EXPECT_NE(c.plainnotice.find("left alone"), std::string::npos) << c.plainnotice;
    EXPECT_EQ(fs::symlink_status(path).type(), before);
    if (fs::exists(target)) {
      EXPECT_EQ(readfile(target), "mine");
    }
    if (fs::is_regular_file(fs::symlink_status(path))) {
      EXPECT_EQ(readfile(path), "echo owned\n");
    }
    EXPECT_TRUE(others().empty());
  }
}

TEST_F(ClipFile, AFileLargerThanTheClipboardIsRefusedAndKeptUntilSomethingIsCopied) {
  writefile(path, std::string(clipbd::clipsize, 'x'));
  {
    clipbd c;
    EXPECT_TRUE(c.load(path.c_str()));  // exactly full fits
    unsigned long n = 0;
    c.getdata(n);
    EXPECT_EQ(n, clipbd::clipsize);
  }
  writefile(path, std::string(clipbd::clipsize + 1, 'x'));
  clipbd c;
  EXPECT_FALSE(c.load(path.c_str()));
  EXPECT_EQ(held(c), "");
  EXPECT_NE(c.notice.find("超过2000000字节"), std::string::npos) << c.notice;
  EXPECT_TRUE(c.save(path.c_str()));
  EXPECT_EQ(fs::file_size(path), clipbd::clipsize + 1);  // left as it was
  set(c, "copied");
  EXPECT_TRUE(c.save(path.c_str()));
  EXPECT_EQ(readfile(path), "copied");
}

TEST_F(ClipFile, MoreThanTheClipboardHoldsIsRefusedAndTheOldContentStays) {
  clipbd c;
  set(c, "keep");
  std::string big(clipbd::clipsize + 1, 'y');
  EXPECT_FALSE(c.setdata(reinterpret_cast<const unsigned char*>(big.data()), big.size()));
  EXPECT_FALSE(c.notice.empty());
  EXPECT_EQ(held(c), "keep");
}

TEST_F(ClipFile, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  clipbd c;
  set(c, "x");
  std::string nowhere = dir + "/missing/clip.txt";
  EXPECT_FALSE(c.save(nowhere.c_str()));
  EXPECT_NE(c.plainnotice.find("No such file"), std::string::npos) << c.plainnotice;
}

}  // namespace
