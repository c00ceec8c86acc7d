// The input-method row without the window: typing and erasing letters,
// choosing candidates, the three searches paging both ways, mode and width
// switches, full-width conversion and the quote flags. What the row passes
// on is recorded as the window would receive it.
#include "input/pyinput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "input/inputwords.h"
#include "input/inpywb.h"
#include "tests/views/viewtest.h"
#include "views/viewevents.h"

namespace {

std::string sent;         // character bytes that reached the window
std::vector<int> others;  // types of the other events that reached it
int record(int type, int a1, int, int, int, int) {
  if (type == evChar)
    sent += static_cast<char>(a1);
  else
    others.push_back(type);
  return 1;
}

uint64_t field(const char* code) {
  uint64_t k = 0;
  std::memcpy(&k, code, std::strlen(code));
  return k;
}

// Every character whose pinyin starts with `code`, in table order.
std::vector<std::string> pinyinmatches(const char* code) {
  std::vector<std::string> out;
  uint64_t k = field(code), mask = (1ULL << (8 * std::strlen(code))) - 1;
  for (int i = 0; i < zhiinputsize; i++)
    if ((keyinputpy[i] & mask) == k)
      out.emplace_back(reinterpret_cast<const char*>(&keyinputhanzhi[keyinputpyindex[i]]), 2);
  return out;
}

std::string slot(const digiselview* list, int s) {
  return std::string(list->selstr + list->slottext(s), list->slotlen[s]);
}

// The characters of the left page (first two bytes of each filled slot).
std::vector<std::string> leftpage(const pyinput& p) {
  std::vector<std::string> out;
  for (int s = 0; s < 6; s++)
    if (p.leftsel->slotlen[s]) out.push_back(slot(p.leftsel, s).substr(0, 2));
  return out;
}

std::vector<std::string> rightpage(const pyinput& p) {
  std::vector<std::string> out;
  for (int s = 6; s < 10; s++)
    if (p.rightsel->slotlen[s]) out.push_back(slot(p.rightsel, s));
  return out;
}

struct row : testing::Test {
  screen scr{800, 600};
  pyinput p{800};
  row() {
    sent.clear();
    others.clear();
    pyinput::sendevent = record;
    digiselview::sendevent = record;
    digiselview::waitsel = 0;
    pyinput::isleftsy = pyinput::isleftdy = 1;
  }
  ~row() override { digiselview::waitsel = 0; }
  int put(int ch) { return p.keymouse(evChar, ch, 0, 0, 0, 0); }
  void type(const char* s) {
    for (; *s; s++) put(static_cast<unsigned char>(*s));
  }
  int backspace() { return put(8); }
  void pinyin() { p.mode = 1; }
  void wubi() { p.mode = 2; }
};

TEST_F(row, PinyinDigitAndSpaceChooseCandidates) {
  pinyin();
  type("zhong");
  std::vector<std::string> all = pinyinmatches("zhong");
  ASSERT_GE(all.size(), 2u);
  EXPECT_EQ(leftpage(p)[0], "中");
  EXPECT_EQ(slot(p.leftsel, 0), "中khk  ");  // with its wubi code, 7 bytes
  put('1');
  EXPECT_EQ(sent, all[1]);
  EXPECT_STREQ(p.code, "");
  EXPECT_EQ(digiselview::waitsel, 0);
  type("a ");
  EXPECT_EQ(sent, all[1] + pinyinmatches("a")[0]);
  put(' ');  // idle again: the blank goes on
  EXPECT_EQ(sent.back(), ' ');
}

TEST_F(row, WordsStartWithAPageCharacterMostFrequentFirst) {
  pinyin();
  type("zhong");
  std::vector<std::string> page = leftpage(p), words = rightpage(p);
  ASSERT_EQ(words.size(), 4u);
  std::set<std::string> first(page.begin(), page.end());
  for (const std::string& w : words) {
    EXPECT_GE(w.size(), 4u) << w;
    EXPECT_TRUE(first.count(w.substr(0, 2))) << w;
  }
  EXPECT_EQ(words[0], "中国");
  put('7');  // a word from the right list
  EXPECT_EQ(sent, words[1]);
}

// Pages forward until the end, then back to the first: every match once,
// in order, and each page back is exactly the page before.
TEST_F(row, PinyinPagesNeitherRepeatNorSkip) {
  pinyin();
  for (const char* code : {"z", "sh", "zei", "a"}) {
    type(code);
    std::vector<std::vector<std::string>> pages{leftpage(p)};
    std::vector<std::string> seen = pages[0];
    for (int guard = 0; guard < 500; guard++) {
      put('.');
      if (leftpage(p) == pages.back()) break;
      pages.push_back(leftpage(p));
      seen.insert(seen.end(), pages.back().begin(), pages.back().end());
    }
    EXPECT_EQ(seen, pinyinmatches(code)) << code;
    put('.');  // past the end: unchanged
    EXPECT_EQ(leftpage(p), pages.back()) << code;
    for (size_t i = pages.size() - 1; i-- > 0;) {
      put(',');
      EXPECT_EQ(leftpage(p), pages[i]) << code << " page " << i;
    }
    put(',');  // back on the first page stays there
    EXPECT_EQ(leftpage(p), pages[0]) << code;
    put(' ');
    sent.clear();
  }
}

// A short last page leaves nothing of the page before in its slots or in
// the characters the words are found by.
TEST_F(row, ShortPageClearsTheSlotsItDoesNotFill) {
  pinyin();
  const char* code = "zh";
  size_t n = pinyinmatches(code).size();
  ASSERT_NE(n % 6, 0u);
  type(code);
  for (size_t i = 0; i < n / 6; i++) put('.');
  ASSERT_EQ(leftpage(p).size(), n % 6);
  for (size_t s = n % 6; s < 6; s++) {
    EXPECT_EQ(p.leftsel->slotlen[s], 0) << s;
    EXPECT_EQ(p.pagechars[s], 0) << s;
  }
  for (const std::string& w : rightpage(p)) {
    std::vector<std::string> page = leftpage(p);
    EXPECT_NE(std::find(page.begin(), page.end(), w.substr(0, 2)), page.end()) << w;
  }
  put('5');  // an empty slot commits nothing
  EXPECT_EQ(sent, "");
  EXPECT_STREQ(p.code, "");
}

TEST_F(row, WordPagesGoOnPastTheCharactersAndComeBack) {
  pinyin();
  type("zei");  // one character, many words
  ASSERT_EQ(leftpage(p).size(), 1u);
  std::vector<std::vector<std::string>> pages{rightpage(p)};
  for (int guard = 0; guard < 50; guard++) {
    put('.');
    if (rightpage(p) == pages.back()) break;
    pages.push_back(rightpage(p));
  }
  std::set<std::string> all;
  size_t count = 0;
  for (const auto& pg : pages) {
    all.insert(pg.begin(), pg.end());
    count += pg.size();
  }
  EXPECT_EQ(all.size(), count);  // no word twice
  int slotofzei = inputwordslot(p.pagechars[0]);
  EXPECT_EQ(static_cast<int>(count), inputwordfirst[slotofzei + 1] - inputwordfirst[slotofzei]);
  for (size_t i = pages.size() - 1; i-- > 0;) {
    put(',');
    EXPECT_EQ(rightpage(p), pages[i]) << i;
  }
}

TEST_F(row, TypingAndErasingLetters) {
  pinyin();
  type("zhongguo");  // two syllables: the letters stay together
  EXPECT_STREQ(p.code, "zhongguo");
  EXPECT_TRUE(p.sentencemode);
  for (int i = 0; i < 3; i++) backspace();
  EXPECT_STREQ(p.code, "zhong");
  EXPECT_FALSE(p.sentencemode);  // one syllable: its characters, as ever
  for (int i = 0; i < 5; i++) EXPECT_EQ(backspace(), 1);
  EXPECT_EQ(sent, "");
  // With the code empty the row is idle: the next blank, digit and '.' go on.
  EXPECT_EQ(digiselview::waitsel, 0);
  type(" 1.");
  EXPECT_EQ(sent, " 1.");
  EXPECT_EQ(backspace(), 1);  // nothing typed: the pane gets the Backspace
  EXPECT_EQ(sent, " 1.\x08");
  type("zhon");
  backspace();
  EXPECT_STREQ(p.code, "zho");
  EXPECT_EQ(leftpage(p)[0], pinyinmatches("zho")[0]);
  EXPECT_EQ(digiselview::waitsel, 1);

  put(' ');
  wubi();
  type("abcdef");  // the sixth wubi letter starts a new code
  EXPECT_STREQ(p.code, "f");
}

TEST_F(row, WubiCommitsAUniqueFullCodeAtOnce) {
  wubi();
  type("khk");  // 中 is also the first of khk's exact entries
  EXPECT_EQ(leftpage(p)[0], "中");
  EXPECT_EQ(sent, "");
  backspace();
  backspace();
  backspace();
  // A unique four-letter code: find one in the table.
  std::string unique;
  for (int k = 0; k < inputhzchinumber && unique.empty(); k++) {
    char c[9] = {};
    std::memcpy(c, &inputhzchiwb[k], 8);
    if (std::strlen(c) != 4 || inputhzchiindex[k + 1] - inputhzchiindex[k] != 2) continue;
    int same = 0;
    for (int j = 0; j < inputhzchinumber; j++) same += inputhzchiwb[j] == inputhzchiwb[k];
    if (same == 1) unique = c;
  }
  ASSERT_FALSE(unique.empty());
  type(unique.c_str());
  EXPECT_EQ(sent.size(), 2u);
  EXPECT_STREQ(p.code, "");
  EXPECT_EQ(digiselview::waitsel, 0);
}

// The first six exact and four longer entries in table order, found by a
// plain scan of the whole phrase table.
TEST_F(row, WubiListsMatchAScanOfTheWholeTable) {
  wubi();
  for (const char* code : {"a", "g", "y", "aa", "kh", "khk", "tgjf", "yyy", "gggg", "xyz"}) {
    type(code);
    uint64_t k = field(code), mask = (1ULL << (8 * std::strlen(code))) - 1;
    std::vector<std::string> exact, longer;
    for (int e = 0; e < inputhzchinumber; e++) {
      std::string text(inputhzchi + inputhzchiindex[e],
                       inputhzchiindex[e + 1] - inputhzchiindex[e]);
      if (inputhzchiwb[e] == k && exact.size() < 6) exact.push_back(text);
      if (inputhzchiwb[e] != k && (inputhzchiwb[e] & mask) == k && longer.size() < 4)
        longer.push_back(text);
    }
    std::vector<std::string> left, right;
    for (int s = 0; s < 10; s++) {
      const digiselview* list = s < 6 ? p.leftsel : p.rightsel;
      std::string label = slot(list, s);
      size_t text = label.find_first_of("abcdefghijklmnopqrstuvwxy");
      if (!label.empty()) (s < 6 ? left : right).push_back(label.substr(0, text));
    }
    EXPECT_EQ(left, exact) << code;
    EXPECT_EQ(right, longer) << code;
    put(',');
    put(' ');
  }
}

TEST_F(row, WubiPagesThroughExactAndLongerCodes) {
  wubi();
  type("g");
  std::vector<std::string> left0 = leftpage(p), right0 = rightpage(p);
  ASSERT_EQ(right0.size(), 4u);
  for (const std::string& e : right0) {  // text, a longer code starting with g, a blank
    size_t letters = e.find_first_of("abcdefghijklmnopqrstuvwxy");
    ASSERT_NE(letters, std::string::npos) << e;
    EXPECT_EQ(e[letters], 'g');
    EXPECT_GT(e.size() - letters, 2u) << e;
    EXPECT_EQ(e.back(), ' ');
  }
  put('.');
  std::vector<std::string> right1 = rightpage(p);
  ASSERT_EQ(right1.size(), 4u);
  EXPECT_NE(right1, right0);
  for (const std::string& e : right1)
    EXPECT_EQ(std::find(right0.begin(), right0.end(), e), right0.end()) << e;
  put(',');
  EXPECT_EQ(leftpage(p), left0);
  EXPECT_EQ(rightpage(p), right0);
  put(',');  // before the first page: the first page
  EXPECT_EQ(rightpage(p), right0);
  put(' ');

  type("trnt");  // one page of exact entries and nothing longer
  std::vector<std::string> only = leftpage(p);
  ASSERT_GT(only.size(), 1u);
  put('.');  // past the end: unchanged
  EXPECT_EQ(leftpage(p), only);
  put(',');
  EXPECT_EQ(leftpage(p), only);
}

TEST_F(row, SwitchesAndLabels) {
  EXPECT_EQ(p.keymouse(evKey, kcInputSwitch, inputswitchmark, 0, -1, 0), 1);  // F2
  EXPECT_EQ(p.mode, 1);
  p.keymouse(evKey, kcInputSwitch, inputswitchmark, 0, -1, 0);
  EXPECT_EQ(p.mode, 2);
  p.keymouse(evKey, kcInputSwitch, inputswitchmark, 0, -1, 0);
  EXPECT_EQ(p.mode, 0);
  EXPECT_EQ(p.lastmode, 2);
  p.keymouse(evKey, kcInputSwitch, inputswitchmark, 0, 0, 0);  // F1: Chinese, full width
  EXPECT_EQ(p.mode, 2);
  EXPECT_EQ(p.fullwidth, 1);
  p.keymouse(evKey, kcInputSwitch, inputswitchmark, 0, 0, 0);
  EXPECT_EQ(p.mode, 0);
  EXPECT_EQ(p.fullwidth, 0);

  p.draw();  // labelwidth 16 on an 800-pixel screen
  EXPECT_EQ(p.labelwidth, 16);
  int top = p.y1;
  EXPECT_EQ(p.keymouse(evPress, 10, top + 10, 0, 0, 0), 1);  // the mode label
  EXPECT_EQ(p.mode, 1);
  EXPECT_EQ(p.keymouse(evPress, 40, top + 10, 0, 0, 0), 1);  // the width label
  EXPECT_EQ(p.fullwidth, 1);
  EXPECT_TRUE(others.empty());
  p.keymouse(evPress, 500, 300, 0, 0, 0);  // elsewhere: on to the window
  EXPECT_EQ(others, std::vector<int>{evPress});
}

TEST_F(row, FullWidthConversionAndAlternatingQuotes) {
  p.fullwidth = 1;
  type("\"\"'',.~a1 ");
  EXPECT_EQ(sent, "“”‘’，。~ａ１\xA3\xA0");
  type("\"");
  EXPECT_EQ(sent.substr(sent.size() - 2), "“");
  // With candidates waiting, '.' pages instead of passing on.
  sent.clear();
  pinyin();
  type("zhong.");
  EXPECT_EQ(sent, "");
  type("!");  // neither letter nor digit: passed on converted, candidates stay
  EXPECT_EQ(sent, "！");
  EXPECT_EQ(digiselview::waitsel, 1);
}

TEST_F(row, ClickAboveTheListsPicksNothing) {
  pinyin();
  type("zhong");
  int x = p.leftsel->x1 + 10;
  EXPECT_EQ(p.keymouse(evPress, x, 40, 0, 0, 0), 1);  // the button bar: passed on
  EXPECT_EQ(sent, "");
  EXPECT_EQ(others, std::vector<int>{evPress});
  EXPECT_EQ(digiselview::waitsel, 1);
  p.keymouse(evPress, x, p.leftsel->y1 + 10, 0, 0, 0);
  EXPECT_EQ(sent, "中");
}

TEST_F(row, DumpToolsForwardTheTables) {
  unsigned short zhongguo[2];
  std::memcpy(zhongguo, "中国", 4);
  EXPECT_EQ(p.azhiwb(zhongguo[0]), field("khk"));
  EXPECT_EQ(p.awordwb(zhongguo, 2), field("khlg"));
}

}  // namespace
