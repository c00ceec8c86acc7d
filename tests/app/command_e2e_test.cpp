// The command pane end to end: Esc twice moves the focus to pane 2, a line
// typed there runs on Enter; what pane 1 received is read back by saving it
// with F7 (focus 2 -> 0 -> 1 by Esc).
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

class CommandPane : public ::testing::Test {
 protected:
  ::testing::AssertionResult start(std::map<std::string, std::string> files) {
    rigoptions o;
    for (auto& f : files) o.args.push_back(f.first);
    o.files = std::move(files);
    auto started = run.start(o);
    if (!started) return started;
    esc(2);
    return ::testing::AssertionSuccess();
  }
  // Each Esc settles first: an Esc read together with the next byte would
  // be one key.
  void esc(int times) {
    for (int i = 0; i < times; i++) {
      run.key("esc");
      ASSERT_TRUE(run.settle());
    }
  }
  // Types a command into pane 2 and runs it, then waits until the shell
  // has ended and its output has been taken in.
  void command(const std::string& line) {
    run.type(line);
    run.key("enter");
    ASSERT_TRUE(run.settle());
    ASSERT_TRUE(commandended());
    ASSERT_TRUE(run.settle(400));
  }
  // A finished command stays a zombie child until the next one closes its
  // pipe; any other child is still running (20 s at most).
  bool commandended() {
    for (int waited = 0; waited < 20000; waited += 5) {
      if (!childrunning()) return true;
      usleep(5000);
    }
    return false;
  }
  bool childrunning() {
    DIR* proc = opendir("/proc");
    if (!proc) return false;
    bool running = false;
    while (dirent* d = readdir(proc)) {
      std::ifstream in(std::string("/proc/") + d->d_name + "/stat");
      std::string stat;
      if (!std::getline(in, stat)) continue;
      // pid (comm) state ppid ...: comm may hold spaces, so read after ')'.
      std::istringstream rest(stat.substr(stat.rfind(')') + 1));
      char state = 0;
      long ppid = 0;
      rest >> state >> ppid;
      if (ppid == run.processid() && state != 'Z') running = true;
    }
    closedir(proc);
    return running;
  }
  // From pane 2: saves pane 1 (and leaves the focus there).
  void savepaneone() {
    esc(2);
    run.key("F7");
    ASSERT_TRUE(run.settle());
  }
  bihuarun run;
};

TEST_F(CommandPane, OutputOfEachCommandIsAddedToPaneOne) {
  ASSERT_TRUE(start({{"a.txt", "text\r\n"}}));
  command("ls");
  command("echo a/b/c");
  run.savepng(::testing::TempDir() + "command-ls.png");
  savepaneone();
  EXPECT_EQ(run.file("ed1.txt"), "a.txt\na/b/c\n");
  esc(1);
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed2.txt"), "ls\r\necho a/b/c\r\n");
  EXPECT_EQ(run.file("a.txt"), "text\r\n");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, ACommandThatReadsGetsNothingAndEndsAtOnce) {
  ASSERT_TRUE(start({{"a.txt", ""}}));
  command("cat");
  command("echo after");
  savepaneone();
  EXPECT_EQ(run.file("ed1.txt"), "after\n");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, AWrappedCommandRunsWhole) {
  ASSERT_TRUE(start({{"a.txt", ""}}));
  std::string word(70, 'w');  // pane 2 shows 65 columns at 800 wide
  command("echo " + word + " && echo tail");
  run.savepng(::testing::TempDir() + "command-wrapped.png");
  savepaneone();
  EXPECT_EQ(run.file("ed1.txt"), word + "\ntail\n");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, FindMovesThroughTheOccurrencesAndRound) {
  ASSERT_TRUE(start({{"f.txt", "cat dog cat cow cat"}}));
  command("find1 cat");  // 8
  command("find1");      // 16
  command("find1");      // round to 0
  command("find1");      // 8
  esc(1);
  run.type("X");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("f.txt"), "cat dog Xcat cow cat");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, FindNeverStopsInsideACharacter) {
  // 這 is DF 40 and 說 D5 66: "@" and "f" match only the letters themselves.
  ASSERT_TRUE(start({{"f.txt", "這@說f"}}));
  command("find1 @");
  command("find1 f");
  esc(1);
  run.type("X");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("f.txt"), "這@說Xf");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, OpenTwoLoadsAFileIntoPaneOne) {
  ASSERT_TRUE(start({{"a.txt", ""}, {"other.txt", "other\r\n"}}));
  command("open2 other.txt");
  esc(2);
  run.type("Y");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("other.txt"), "Yother\r\n");
  EXPECT_FALSE(run.hasfile("ed1.txt"));
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, ACommandIsRefusedWhilePaneOneHasUnsavedChanges) {
  ASSERT_TRUE(run.start(800, 600, {"a.txt", "b.txt"}));
  esc(1);
  run.type("Z");
  esc(1);
  command("echo hi");
  run.savepng(::testing::TempDir() + "command-refused.png");
  savepaneone();
  EXPECT_EQ(run.file("b.txt"), "Z");
  EXPECT_FALSE(run.hasfile("ed1.txt"));
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, ALineOfSixHundredBytesIsRefused) {
  ASSERT_TRUE(start({{"a.txt", ""}}));
  std::string line = "echo " + std::string(595, 'q');
  command(line);
  run.key("F7");  // pane 2 as it is: nothing recorded
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("ed2.txt"), line);
  savepaneone();  // unchanged: nothing to save
  EXPECT_FALSE(run.hasfile("ed1.txt"));
  ASSERT_TRUE(run.stop());
}

}  // namespace
