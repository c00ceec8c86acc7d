// The bad-input table through the real program: each row starts bihua on
// something hostile (a huge or odd file, a flood of keys or mouse bytes, a
// save that cannot succeed, something planted at the clipboard path, a
// standard input that is no terminal, a fatal signal), then checks that
// nothing was lost: the files on disk are unchanged unless the row saved
// them (then they hold exactly the text) and no other file appears, the
// notice a row expects is on the status line, no sanitizer report, the
// program still answers and ends as the row says (F8, or the signal in its
// exit status), and the terminal and the console come back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>

#include "tools/e2e/bihuarun.h"

namespace {

namespace fs = std::filesystem;

struct badrow {
  std::string name;
  std::map<std::string, std::string> files;  // opened in pane 0 (the first) and pane 1
  std::function<void(bihuarun&)> act;
  std::map<std::string, std::string> after;  // files that change or appear, and their bytes
  // Before the start: changes the options or plants files; false skips the
  // row (what it needs is not there).
  std::function<bool(rigoptions&, bihuarun&)> setup = nullptr;
  int endsignal = 0;                   // 0: F8 and status 0; else this signal ends it
  std::vector<std::string> args = {};  // instead of the files' names
  std::function<void(bihuarun&)> verify = nullptr;  // more checks after the end
};

void PrintTo(const badrow& r, std::ostream* os) { *os << r.name; }

std::string lines(int n, const std::string& line) {
  std::string s;
  s.reserve(n * line.size());
  for (int i = 0; i < n; i++) s += line;
  return s;
}

std::string letters(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) s += "abcdefghij klmnopqrstuvwxyz"[rng() % 27];
  return s;
}

// Settles, then the status line must end with this notice (GBK).
void notice(bihuarun& r, const std::string& text) {
  ASSERT_TRUE(r.settle());
  EXPECT_TRUE(r.shows(text)) << text;
}

// The program follows the mouse and, left alone, sleeps: over two seconds
// it hardly runs at all (a loop polling an input at its end would).
void answersandsleeps(bihuarun& r) {
  ASSERT_TRUE(r.moveto(300, 200));
  ASSERT_TRUE(r.settle());
  EXPECT_EQ(r.pixel(300, 200), 0xFF0000u);
  long before = r.contextswitches();
  double cpu = r.cpuseconds();
  usleep(2000000);
  EXPECT_LT(r.contextswitches() - before, 20);
  EXPECT_LT(r.cpuseconds() - cpu, 0.2);
}

const std::string bigfile = lines(2 * 1024 * 1024 / 32, std::string(30, 'x') + "\r\n");
const std::string shortlines = lines(200000, "ab\r\n");
const std::string longline = letters(100 * 1024, 1);
// Exactly as many bytes as a pane holds (999998).
const std::string fulltext = lines(9999, std::string(98, 'x') + "\r\n") + std::string(98, 'y');
// A 20 kB paste on the terminal, all of it waiting before the first push.
const std::string burst = letters(20 * 1024, 2);

std::vector<badrow> files() {
  return {
      {"TwoMegabyteFile", {{"big.txt", bigfile}},
       [](bihuarun& r) {
         notice(r, "不能读，File too large：big.txt");
         r.key("pgdown");
         r.type("y");
         r.key("f7");  // the refused file is not overwritten by what was typed
       },
       {{"ed.txt", "y"}}},
      {"FileWithAZeroByte", {{"zero.txt", std::string("ab\0cd\r\nef", 9)}},
       [](bihuarun& r) {
         notice(r, "含有零字节，不是文本，不能打开：zero.txt");
         EXPECT_FALSE(r.shows("含有零字节，不是文本"));  // the whole notice, not a start
         r.key("end");
         r.key("down");
         r.key("end");
       },
       {}},
      {"TwoHundredThousandShortLines", {{"many.txt", shortlines}},
       [](bihuarun& r) {
         notice(r, "显示行超过99999行，不能打开：many.txt");
         for (int i = 0; i < 5; i++) r.key("pgdown");
         r.key("end");
       },
       {}},
      {"TextAtCapacity", {{"full.txt", fulltext}},
       [](bihuarun& r) {
         r.type("z");
         notice(r, "文本已满（最多999998字节），不能再输入");
         r.key("f5");  // the clipboard's two bytes do not fit either
         notice(r, "文本已满（最多999998字节），不能再加入2字节");
       },
       {},
       [](rigoptions& o, bihuarun&) { return o.clipboard = "cb", true; }},
      {"OneLineOfHundredKilobytes", {{"long.txt", longline}},
       [](bihuarun& r) {
         r.key("pgdown");
         r.key("home");
         r.key("pgup");
         r.type("Z");
         r.key("f7");
       },
       {{"long.txt", "Z" + longline}}},
  };
}

std::vector<badrow> keysandmouse() {
  return {
      {"SixHundredByteCommand", {{"a.txt", "keep\r\n"}},
       [](bihuarun& r) {
         for (int i = 0; i < 2; i++) {
           r.key("esc");
           ASSERT_TRUE(r.settle());
         }
         r.type(std::string(600, 'q'));
         r.key("enter");
         notice(r, "命令过长（600字节，最多498字节），未执行");
         // A refused line stays to be mended: this makes it 1500 bytes.
         r.type(std::string(300, 'q') + " " + std::string(599, 'n'));
         r.key("enter");
         notice(r, "命令过长（1500字节，最多498字节），未执行");
       },
       {}},
      {"TenThousandRandomMouseBytes", {{"a.txt", "keep\r\n"}},
       [](bihuarun& r) {
         std::mt19937 rng(3);
         std::string bytes;
         // No left button bit: a click might land on the F7 or F8 button.
         for (int i = 0; i < 10000; i++) bytes += static_cast<char>(rng() & 0xFE);
         r.mousebytes(bytes);
         r.type("x");  // into the text, not saved
         ASSERT_TRUE(r.settle(1500, 240000));  // a push per packet: slow, not stuck
       },
       {}},
      {"PasteBurst", {{"paste.txt", ""}},
       [](bihuarun& r) {
         r.raw(burst);  // as one paste arrives: the key count is not waited for
         ASSERT_TRUE(r.settle(1000, 400000));  // slow, not stuck
         r.key("f7");
       },
       {{"paste.txt", burst}}},
  };
}

std::vector<badrow> saves() {
  return {
      {"SaveToAFullDevice", {{"full.txt", "keep\r\n"}},
       [](bihuarun& r) {
         r.type("more");
         r.key("f7");
         notice(r, "保存失败，No space left on device：full.txt");
         r.key("f8");  // unsaved: asks, the second F8 of stop() leaves
       },
       {},
       // The new copy (a name beside it) finds the disk full.
       [](rigoptions& o, bihuarun&) { return o.fullprefix = ".", true; }},
      {"SaveToAReadOnlyFile", {{"ro.txt", "keep\r\n"}},
       [](bihuarun& r) {
         r.type("more");
         r.key("f7");
         notice(r, "保存失败，Read-only file system：ro.txt");
       },
       {},
       [](rigoptions& o, bihuarun&) { return o.readonlyprefix = "ro.txt", true; }},
      {"SaveThroughARegularFile", {},
       [](bihuarun& r) {
         // A new file in a folder that is a regular file by the time of the save.
         rigwritefile(r.path("new"), "keep\r\n");
         r.type("abc");
         r.key("f7");
         notice(r, "保存失败，Not a directory：new/x.txt");
       },
       {{"new", "keep\r\n"}}, nullptr, 0, {"new/x.txt"}},
  };
}

// Something planted at the clipboard path is neither read, written nor
// followed, and the program says so on standard error.
badrow planted(const std::string& what, std::function<bool(const std::string& clip, const std::string& target)> plant,
               std::function<void(const std::string& clip)> unchanged) {
  badrow row{"ClipboardPath" + what, {{"t.txt", "xy"}},
             [](bihuarun& r) {
               r.key("f5");  // nothing to paste
               r.key("f7");
               r.key("f3");  // and something to keep at exit
               r.key("right");
               r.key("f4");
             },
             {}};
  row.setup = [plant](rigoptions&, bihuarun& r) {
    std::string target = fs::path(r.clipfile()).parent_path() / "victim.txt";
    rigwritefile(target, "precious\n");
    return plant(r.clipfile(), target);
  };
  row.verify = [unchanged](bihuarun& r) {
    unchanged(r.clipfile());
    EXPECT_EQ(rigreadfile(fs::path(r.clipfile()).parent_path() / "victim.txt"), "precious\n");
    EXPECT_TRUE(r.besideclipboard().empty());
    EXPECT_NE(r.errors().find("/tmp/clip.txt"), std::string::npos) << r.errors();
    EXPECT_NE(r.errors().find("left alone"), std::string::npos) << r.errors();
  };
  return row;
}

std::vector<badrow> clipboardpath() {
  return {
      planted("ALink",
              [](const std::string& c, const std::string& t) { return symlink(t.c_str(), c.c_str()) == 0; },
              [](const std::string& c) { EXPECT_TRUE(fs::is_symlink(c)); }),
      planted("AFifo", [](const std::string& c, const std::string&) { return mkfifo(c.c_str(), 0666) == 0; },
              [](const std::string& c) { EXPECT_TRUE(fs::is_fifo(fs::symlink_status(c))); }),
      planted("AnotherUsersFile",
              [](const std::string& c, const std::string&) {
                if (geteuid() != 0) return false;  // giving a file away needs root
                rigwritefile(c, "rm -rf ~\n");
                return chown(c.c_str(), 12345, 12345) == 0;
              },
              [](const std::string& c) { EXPECT_EQ(rigreadfile(c), "rm -rf ~\n"); }),
  };
}

// Standard input that is no terminal: nothing comes from an empty pipe or
// /dev/null, a file's bytes are keys until its end; the program still
// follows the mouse, sleeps when idle, and a TERM keeps what was typed.
std::vector<badrow> standardinput() {
  auto from = [](std::string file) {
    return [file](rigoptions& o, bihuarun&) {
      if (file.empty())
        o.stdinpipe = true;
      else
        o.stdinfile = file;
      return true;
    };
  };
  return {
      {"StandardInputAnEmptyPipe", {{"a.txt", "keep\r\n"}}, answersandsleeps, {}, from(""), SIGTERM},
      {"StandardInputDevNull", {{"a.txt", "keep\r\n"}}, answersandsleeps, {}, from("/dev/null"), SIGTERM},
      {"StandardInputAFile", {{"a.txt", "keep\r\n"}, {"keys", "typed"}}, answersandsleeps,
       {{"a.txt.save", "typedkeep\r\n"}}, from("keys"), SIGTERM},
  };
}

// Every fatal signal with a changed pane: the status names the signal, and
// a hang-up or kill (HUP, TERM) writes the pane beside its file.
std::vector<badrow> signals() {
  std::vector<badrow> rows;
  for (int sig : bihuarun::fatalsignals()) {
    badrow row{std::string("Signal") + sigabbrev_np(sig), {{"notes.txt", "keep\r\n"}},
               [](bihuarun& r) { r.type("ab"); }, {}};
    if (sig == SIGHUP || sig == SIGTERM) row.after = {{"notes.txt.save", "abkeep\r\n"}};
    row.setup = [](rigoptions& o, bihuarun&) { return o.rawsignals = true; };
    row.endsignal = sig;
    rows.push_back(row);
  }
  return rows;
}

std::vector<badrow> rows() {
  std::vector<badrow> all;
  for (auto group : {files, keysandmouse, saves, clipboardpath, standardinput, signals})
    for (badrow& r : group()) all.push_back(r);
  return all;
}

class BadInput : public ::testing::TestWithParam<badrow> {};

TEST_P(BadInput, NothingLostNoCrashTerminalBack) {
  const badrow& row = GetParam();
  rigoptions o;
  o.screen = rigoptions::defaultscreen(1280, 720);  // room for the notices
  o.files = row.files;
  for (auto& f : row.files) o.args.push_back(f.first);
  if (!row.args.empty()) o.args = row.args;
  o.console = true;
  bihuarun run;
  if (row.setup && !row.setup(o, run)) GTEST_SKIP() << "not possible here";
  ASSERT_TRUE(run.start(o));
  row.act(run);
  ASSERT_TRUE(run.settle(300, 240000));
  ASSERT_TRUE(run.running());
  if (row.endsignal) {
    ASSERT_TRUE(run.endwith(row.endsignal));
    EXPECT_EQ(run.exitstatus(), 128 + row.endsignal);
  } else {
    ASSERT_TRUE(run.stop());
    EXPECT_EQ(run.exitstatus(), 0);
  }
  EXPECT_TRUE(run.terminalrestored());
  EXPECT_TRUE(run.consolerestored());
  EXPECT_EQ(run.errors().find("runtime error"), std::string::npos) << run.errors();
  EXPECT_EQ(run.errors().find("Sanitizer"), std::string::npos) << run.errors();
  std::map<std::string, std::string> want = o.files;
  for (auto& f : row.after) want[f.first] = f.second;
  std::set<std::string> names;
  for (const std::string& name : run.files())
    if (name != "aaaaa.bmp") names.insert(name);
  for (auto& f : want) {
    names.erase(f.first);
    std::string got = run.file(f.first);
    EXPECT_EQ(got.size(), f.second.size()) << f.first;
    EXPECT_TRUE(got == f.second) << f.first << " differs";
  }
  EXPECT_TRUE(names.empty()) << "unexpected file " << *names.begin();
  if (row.verify) row.verify(run);
}

INSTANTIATE_TEST_SUITE_P(Table, BadInput, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<badrow>& i) { return i.param.name; });

}  // namespace
