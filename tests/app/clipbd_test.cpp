// The clipboard file: a folder or an oversized file at its path, content
// larger than the clipboard, and a write that fails.
#include "app/clipbd.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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
      if (e.path().filename() != "clip.txt") v.push_back(e.path());
    return v;
  }

  std::string dir, path;
};

// Links, FIFOs and other users' files, and the bytes and mode written, are
// pinned through the real program (clipboard_e2e_test.cpp); here the cases
// the program cannot easily meet.
TEST_F(ClipFile, AFolderAtThePathIsLeftAlone) {
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  clipbd c;
  EXPECT_FALSE(c.load(path.c_str()));
  EXPECT_NE(c.notice.find("不可信"), std::string::npos) << c.notice;
  set(c, "new");
  EXPECT_FALSE(c.save(path.c_str()));
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_TRUE(others().empty());
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
