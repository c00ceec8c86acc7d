// The command pane end to end: Esc twice moves the focus to pane 2, a line
// typed there runs on Enter; what pane 1 received is read back by saving it
// with F7 (focus 2 -> 0 -> 1 by Esc).
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

// Notices (GBK).
const std::string stopped =
    "\xC3\xFC\xC1\xEE\xD2\xD1\xCD\xA3\xD6\xB9\xA3\xAC\xC6\xE4\xD3\xE0\xCA\xE4\xB3\xF6\xB6\xAA"
    "\xC6\xFA";  // 命令已停止，其余输出丢弃
const std::string running = "\xA3\xBB\xC3\xFC\xC1\xEE\xD4\xCB\xD0\xD0\xD6\xD0";  // ；命令运行中
const std::string ended =
    "\xC3\xFC\xC1\xEE\xBD\xE1\xCA\xF8\xA3\xAC\xCD\xCB\xB3\xF6\xD7\xB4\xCC\xAC";  // 命令结束，退出状态

// Polls cond every 5 ms; the bound only ends a failure.
bool until(const std::function<bool()>& cond) {
  for (int waited = 0; waited < 20000; waited += 5) {
    if (cond()) return true;
    usleep(5000);
  }
  return false;
}

// Nothing of the process group is left.
bool groupgone(pid_t group) { return kill(-group, 0) != 0 && errno == ESRCH; }

// The process has ended and been reaped, or is a zombie.
bool processended(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return true;
  return stat.substr(stat.rfind(')') + 2, 1) == "Z";
}

class CommandPane : public ::testing::Test {
 protected:
  ::testing::AssertionResult start(std::map<std::string, std::string> files, int width = 800,
                                   int height = 600) {
    rigoptions o;
    o.screen = rigoptions::defaultscreen(width, height);
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
  // Runs a command that writes its shell's process id (its process group's
  // too) to name first, and returns that id once it is there.
  pid_t startnamed(const std::string& line, const std::string& name = "group.txt") {
    run.type("echo $$ >" + name + "; " + line);
    run.key("enter");
    EXPECT_TRUE(run.settle());
    EXPECT_TRUE(until([&] { return run.file(name).find('\n') != std::string::npos; }));
    return static_cast<pid_t>(std::stol("0" + run.file(name)));
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

// A word that is not there says so and leaves the cursor where it was; a
// found word shows selected.
TEST_F(CommandPane, AFailedFindSaysSoAndKeepsTheCursor) {
  ASSERT_TRUE(start({{"f.txt", "one two three"}}, 1920, 1080));
  command("find1 two");
  rigimage found = run.crop({0, 90, 400, 30});
  command("find1 four");
  EXPECT_TRUE(run.shows("未找到：four"));
  esc(1);
  run.type("X");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("f.txt"), "one Xtwo three");
  // The selection's blue covered the three letters of "two" (and the
  // cursor's one cell); now only the cursor's.
  auto blue = [](const rigimage& im) {
    int n = 0;
    for (uint32_t p : im.px) n += (p & 0xFF) > ((p >> 16) & 0xFF) + 40;
    return n;
  };
  rigimage plain = run.crop({0, 90, 400, 30});
  EXPECT_GT(blue(found), 2 * blue(plain));
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

// The name is the rest of the line: blanks inside it are kept, a quoted
// name is taken as it stands, and a missing file opens as a new one.
TEST_F(CommandPane, OpenTakesNamesWithBlanksAndSaysWhenAFileIsNew) {
  ASSERT_TRUE(start({{"a.txt", ""}, {"my notes.txt", "mine\r\n"}, {" a b.txt", "ab\r\n"}}, 1920, 1080));
  command("open2 my notes.txt  ");
  esc(2);
  run.type("1");
  run.key("F7");
  esc(1);
  command("open2 \" a b.txt\"");
  esc(2);
  run.type("2");
  run.key("F7");
  esc(1);
  command("open2 new one.txt");
  EXPECT_TRUE(run.shows("新文件：new one.txt"));
  esc(2);
  run.type("3");
  run.key("F7");
  esc(1);
  command("open2 nowhere/x.txt");
  EXPECT_TRUE(run.shows("新文件，但文件夹不存在，保存不了：nowhere/x.txt"));
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("my notes.txt"), "1mine\r\n");
  EXPECT_EQ(run.file(" a b.txt"), "2ab\r\n");
  EXPECT_EQ(run.file("new one.txt"), "3");
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

// A command that has not ended never holds up the next one or any key:
// the new line stops the old command's whole process group at once.
TEST_F(CommandPane, ANewCommandStopsTheRunningOneAndItsWholeGroup) {
  ASSERT_TRUE(start({{"a.txt", ""}, {"log.txt", ""}}));
  pid_t group = startnamed("sleep 1000 & sleep 1000");
  ASSERT_GT(group, 1);
  EXPECT_FALSE(groupgone(group));
  run.type("sleep 1001");
  run.key("enter");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows(stopped + running));
  EXPECT_TRUE(until([&] { return groupgone(group); }));
  pid_t second = startnamed("tail -f log.txt", "tail.txt");
  command("echo hi");
  EXPECT_TRUE(until([&] { return groupgone(second); }));
  EXPECT_TRUE(run.shows(ended + "0"));
  savepaneone();
  EXPECT_EQ(run.file("ed1.txt"), "hi\n");
  ASSERT_TRUE(run.stop());
}

TEST_F(CommandPane, CtrlCStopsACommandAndTheStatusLineSaysHowOneEnded) {
  ASSERT_TRUE(start({{"a.txt", ""}}));
  pid_t group = startnamed("sleep 1000");
  run.key("ctrl-c");
  ASSERT_TRUE(run.settle());
  EXPECT_TRUE(run.shows(stopped));
  EXPECT_TRUE(until([&] { return groupgone(group); }));
  command("echo out; exit 3");
  EXPECT_TRUE(run.shows(ended + "3"));
  // The command pane records it; Ctrl-C with nothing running does nothing.
  run.key("ctrl-c");
  command("kill -9 $$");
  // "命令被信号9终止"
  EXPECT_TRUE(run.shows("\xC3\xFC\xC1\xEE\xB1\xBB\xD0\xC5\xBA\xC5" "9" "\xD6\xD5\xD6\xB9"));
  savepaneone();
  EXPECT_EQ(run.file("ed1.txt"), "out\n");
  ASSERT_TRUE(run.stop());
}

std::string seqlines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; i++) s += std::to_string(i) + "\n";
  return s;
}

// Output is read as fast as it comes and drawn once a frame: 80,000 lines
// arrive whole, and keys typed while a command streams are taken
// at once, not after its end.
TEST_F(CommandPane, StreamingOutputArrivesWholeAndKeysAreTakenMeanwhile) {
  ASSERT_TRUE(start({{"a.txt", ""}}, 1920, 1080));
  command("seq 1 60000");
  // 40 bursts of 500 lines, 50 ms apart: seq 1 20000 over 2 s or more.
  run.type("for i in $(seq 1 40); do seq $((i*500-499)) $((i*500)); sleep 0.05; done");
  run.key("enter");
  ASSERT_TRUE(until([&] { return childrunning(); }));
  run.type("k");
  run.key("F7");
  EXPECT_TRUE(until([&] { return run.file("ed2.txt").find("\r\nk") != std::string::npos; }));
  EXPECT_TRUE(childrunning()) << "the key waited for the end of the output";
  ASSERT_TRUE(commandended());
  ASSERT_TRUE(run.settle(400));
  savepaneone();
  std::string got = run.file("ed1.txt");
  // Compared whole, not by EXPECT_EQ: its report of 450 kB would take minutes.
  EXPECT_TRUE(got == seqlines(1, 60000) + seqlines(1, 20000)) << got.size() << " bytes";
  ASSERT_TRUE(run.stop());
}

// Output belongs to pane 1 while it shows the output, never to a file the
// user opens there while the command still runs.
TEST_F(CommandPane, OutputNeverReachesAFileOpenedInPaneOne) {
  ASSERT_TRUE(start({{"a.txt", ""}, {"keep.txt", "keep\r\n"}}));
  pid_t shell = startnamed("sleep 1; echo INTRUDER");
  command("open2 keep.txt");
  EXPECT_TRUE(run.shows(stopped));
  // Long enough for the intruder to have come, had the command run on.
  EXPECT_TRUE(until([&] { return processended(shell); }));
  ASSERT_TRUE(run.settle(400));
  esc(2);
  run.type("Z");
  run.key("F7");
  ASSERT_TRUE(run.settle());
  EXPECT_EQ(run.file("keep.txt"), "Zkeep\r\n");
  ASSERT_TRUE(run.stop());
}

// The program's own terminal is never out of its hands while a command
// starts: a SIGTERM at any moment around it gives the terminal back.
TEST(CommandStart, ASigtermAroundTheStartAlwaysGivesTheTerminalBack) {
  for (int i = 0; i < 40; i++) {
    bihuarun run;
    rigoptions o;
    o.console = true;
    ASSERT_TRUE(run.start(o));
    for (int k = 0; k < 2; k++) {
      run.key("esc");
      ASSERT_TRUE(run.settle());
    }
    run.type("echo x\n");
    usleep(i % 10 * 400);
    ASSERT_TRUE(run.endwith(SIGTERM)) << "run " << i;
    EXPECT_EQ(run.exitstatus(), 128 + SIGTERM) << "run " << i;
    EXPECT_TRUE(run.terminalrestored()) << "run " << i;
    EXPECT_TRUE(run.consolerestored()) << "run " << i;
  }
}

}  // namespace
