// End to end: whole pinyin sentences typed through the input row into
// pane 0 and saved with F7. The digit of a word is found by the same row
// run here without the screen, so the tests follow the tables.
#include <gtest/gtest.h>

#include <cstdlib>
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
  for (int s = 1; s < 10 && !found; s++) {
    const digiselview* list = s < 6 ? p.leftsel : p.rightsel;
    if (std::string(list->selstr + list->slottext(s), list->slotlen[s]) == word) found = '0' + s;
  }
  p.keymouse(evChar, 8, 0, 0, 0, 0);
  digiselview::waitsel = 0;
  return found;
}

// Types `keys` in pinyin into a new file and returns what F7 saved.
std::string typed(const std::string& keys) {
  bihuarun run;
  if (!run.start(800, 600, {"s.txt"})) return "(no start)";
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
}

}  // namespace
