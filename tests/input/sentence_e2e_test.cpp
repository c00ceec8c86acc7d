// End to end: whole pinyin sentences typed through the input row into
// pane 0 and saved with F7. The digit of a word is found by the same row
// run here without the screen, so the tests follow the tables.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "input/pyinput.h"
#include "tests/views/viewtest.h"
#include "tools/e2e/bihuarun.h"
#include "views/viewevents.h"

namespace {

// The slot digit under which the row offers `word` (GBK) after the keys
// typed, or 0 when it does not.
char digitof(const std::string& keys, const std::string& word) {
  screen scr{800, 600};
  pyinput p(800);
  pyinput::sendevent = nullptr;
  digiselview::sendevent = nullptr;
  p.mode = 1;
  for (char c : keys) p.keymouse(evChar, c, 0, 0, 0, 0);
  char found = 0;
  for (int s = 0; s < 10 && !found; s++) {
    const digiselview* list = s < 6 ? p.leftsel : p.rightsel;
    if (std::string(list->selstr + list->slottext(s), list->slotlen[s]) == word) found = '0' + s;
  }
  p.keymouse(evChar, 8, 0, 0, 0, 0);
  digiselview::waitsel = 0;
  return found;
}

// Types `keys` in pinyin into a new file and returns what F7 saved.
std::string typed(const std::string& keys, bool learning = false) {
  bihuarun run;
  std::vector<std::string> args{"s.txt"};
  if (learning) args.insert(args.begin(), "--learn");
  if (!run.start(800, 600, args)) return "(no start)";
  run.key("F1");
  run.type(keys);
  if (getenv("BIHUA_KEEP_PICTURES") && run.settle()) run.savepng("/tmp/sentence-row.png");
  run.key("F7");
  if (!run.settle() || !run.stop()) return "(no stop)";
  return run.file("s.txt");
}

TEST(Sentences, OneBlankConvertsAWholeSentence) {
  EXPECT_EQ(typed("jintiantianqihenhao "), "今天天气很好");
}

TEST(Sentences, SyllablesAreCutAsTyped) {
  // xian alone is one syllable (先, as ever); an apostrophe makes it two.
  EXPECT_EQ(typed("xian xi'an fangan lvse nve "), "先西安方案绿色虐");
}

TEST(Sentences, InitialsOfaWordOfferItOnTheFirstPage) {
  char d = digitof("zg", "中国");
  ASSERT_NE(d, 0);
  char t = digitof("jt", "今天");
  ASSERT_NE(t, 0);
  EXPECT_EQ(typed(std::string("zg") + d + "jt" + t), "中国今天");
}

// The sentence goes wrong at its end (推出 for 退出): the words before are
// taken one by one from the start, each converting the rest after it, and
// the right word is chosen where the wrong one was.
TEST(Sentences, AWrongSentenceIsMendedWordByWord) {
  std::string keys = "baocunwenjianbingtuichu";
  for (const char* word : {"保存", "文件", "并", "退出"}) {
    char d = digitof(keys, word);
    ASSERT_NE(d, 0) << keys;
    keys += d;
  }
  EXPECT_EQ(typed(keys), "保存文件并退出");
  // Letters typed after a word was taken go on from the letters left.
  char d = digitof("baocunwenjian", "保存");
  ASSERT_NE(d, 0);
  EXPECT_EQ(typed(std::string("baocunwenjian") + d + "bing "), "保存文件并");
}

// The program's data folder for learning: XDG_DATA_HOME, which the program
// inherits from here, set to a fresh folder while the object lives.
struct datafolder {
  std::string dir;
  datafolder() {
    char name[] = "/tmp/bihua-learn-XXXXXX";
    dir = mkdtemp(name) ? name : "";
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
  }
  ~datafolder() {
    unsetenv("XDG_DATA_HOME");
    std::string rm = "rm -rf '" + dir + "'";
    if (system(rm.c_str()) != 0) ADD_FAILURE() << rm;
  }
  std::string file() const { return dir + "/bihua/learned"; }
  std::string content() const {
    std::ifstream f(file());
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
};

int modeof(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

TEST(Learning, AWordChosenOnceComesFirstAndIsKeptPrivately) {
  datafolder data;
  char d = digitof("zg", "中国");
  ASSERT_NE(d, 0);
  ASSERT_NE(d, '0');  // not the first candidate before learning
  // Chosen once: the next zg and blank give it, in this run and the next.
  EXPECT_EQ(typed(std::string("zg") + d + "zg ", true), "中国中国");
  EXPECT_EQ(modeof(data.file()), 0600);
  EXPECT_EQ(modeof(data.dir + "/bihua"), 0700);
  EXPECT_NE(data.content().find("w zhong-guo d6d0b9fa"), std::string::npos) << data.content();
  // Shift and the slot digit (0: the sentence) forget it.
  EXPECT_EQ(typed("zg zg) ", true), "中国这个");
  EXPECT_EQ(data.content().find("zhong-guo"), std::string::npos) << data.content();
  EXPECT_EQ(access((data.file() + ".new").c_str(), F_OK), -1);
}

TEST(Learning, OffNoFileIsReadOrWritten) {
  datafolder data;
  ASSERT_EQ(mkdir((data.dir + "/bihua").c_str(), 0700), 0);
  const std::string learned = "w zheng-ge d5fbb8f6 9\n";
  {
    std::ofstream f(data.file());
    f << learned;
  }
  char d = digitof("zg", "中国");
  ASSERT_NE(d, 0);
  EXPECT_EQ(typed(std::string("zg zg") + d), "这个中国");  // 整个 not first: not read
  EXPECT_EQ(data.content(), learned);
  EXPECT_EQ(access((data.file() + ".new").c_str(), F_OK), -1);
  // With learning on, that file is read.
  EXPECT_EQ(typed("zg ", true), "整个");
}

}  // namespace
