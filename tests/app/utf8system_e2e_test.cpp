// A UTF-8 system end to end (LANG=C.UTF-8 in the program's environment):
// the command line reaches the shell in UTF-8, its output comes back as GBK
// ("?" for what GBK lacks), and file names from the command line and the
// command pane are shown in GBK and opened and saved by their UTF-8 names.
// Plain literals are GBK here, u8"" ones UTF-8.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/syslocale.h"
#include "tools/e2e/bihuarun.h"

namespace {

class Utf8System : public ::testing::Test {
 protected:
  ::testing::AssertionResult start(rigoptions o) {
    o.locale = {{"LANG", "C.UTF-8"}};
    return run.start(o);
  }
  void esc(int times) {
    for (int i = 0; i < times; i++) {
      run.key("esc");
      ASSERT_TRUE(run.settle());
    }
  }
  void enter() {
    run.key("enter");
    ASSERT_TRUE(run.settle(400));
  }
  void keep(const char* name) {
    if (getenv("BIHUA_KEEP_PICTURES")) run.savepng(std::string("/tmp/") + name + ".png");
  }
  bihuarun run;
};

TEST_F(Utf8System, CommandsGoOutAndComeBackThroughUtf8) {
  rigoptions o;
  o.files[u8"名字.txt"] = u8"内容\n";
  o.args = {u8"名字.txt"};
  // The command with Chinese in it comes from the clipboard, which is GBK.
  o.clipboard = "echo 中文; echo 中文 | od -An -tx1";
  ASSERT_TRUE(start(o));
  esc(2);
  run.key("F5");
  enter();
  run.type("printf 'a\\360\\237\\230\\200b\\n'");  // an emoji between a and b
  enter();
  keep("utf8-replaced");
  run.type("ls");
  enter();
  esc(2);  // pane 1, the output
  run.key("F7");
  ASSERT_TRUE(run.settle());
  keep("utf8-commands");
  EXPECT_EQ(run.file("ed1.txt"), "中文\n e4 b8 ad e6 96 87 0a\na?b\n名字.txt\n");
  // Pane 0 opened the file named in UTF-8 and saves it under that name.
  esc(2);
  run.type("y");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file(u8"名字.txt"), u8"y内容\n");
}

TEST_F(Utf8System, OpenTakesTheNameAsThePaneShowsIt) {
  rigoptions o;
  o.files[u8"名字.txt"] = "ab";
  o.clipboard = "open2 名字.txt";
  ASSERT_TRUE(start(o));
  esc(2);
  run.key("F5");
  enter();
  esc(2);
  run.type("z");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  ASSERT_TRUE(run.stop());
  EXPECT_EQ(run.file(u8"名字.txt"), "zab");
  EXPECT_FALSE(run.hasfile("名字.txt"));  // nothing under the GBK bytes
}

TEST(Utf8Locale, TheFirstSetVariableDecides) {
  EXPECT_TRUE(isutf8locale(nullptr, nullptr, "C.UTF-8"));
  EXPECT_TRUE(isutf8locale("", "zh_CN.utf8", "C"));
  EXPECT_FALSE(isutf8locale("C", "zh_CN.UTF-8", "en_US.UTF-8"));
  EXPECT_FALSE(isutf8locale(nullptr, nullptr, "zh_CN.GBK"));
  EXPECT_FALSE(isutf8locale(nullptr, nullptr, nullptr));
}

}  // namespace
