// The dictionary dump tools. The writers end the process, so each runs in a
// child (EXPECT_EXIT) inside a fresh temporary folder, and the test reads
// the "temp.txt" it left there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "input/codelookup.h"
#include "input/dumptools.h"
#include "input/inputchi.h"
#include "input/inpywb.h"

namespace {

class DumpTools : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/bihua-dump-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::filesystem::current_path(dir_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }
  static std::string temp() {
    std::ifstream f("temp.txt", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  std::filesystem::path old_ = std::filesystem::current_path(), dir_;
};

uint64_t field(const char* letters) {
  uint64_t v = 0;
  std::memcpy(&v, letters, std::strlen(letters));
  return v;
}

}  // namespace

TEST_F(DumpTools, NumberListsBreakAfterEveryTenthValue) {
  std::vector<int> v(25);
  for (int i = 0; i < 25; i++) v[i] = i - 3;
  EXPECT_EXIT(storeints(v.data(), 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(temp(), "");
  EXPECT_EXIT(storeints(v.data(), 10), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(temp(), "-3,-2,-1,0,1,2,3,4,5,6,\n");
  EXPECT_EXIT(storeints(v.data(), 25), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(temp(),
            "-3,-2,-1,0,1,2,3,4,5,6,\n7,8,9,10,11,12,13,14,15,16,\n17,18,19,20,21,");
  unsigned short w[3] = {0, 40000, 65535};
  EXPECT_EXIT(storewords(w, 3), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(temp(), "0,40000,65535,");
}

TEST_F(DumpTools, Piksr2SortsSignedKeysStablyWithTheirRows) {
  long long keys[6] = {5, -2, 5, 1LL << 40, -2, 0};
  int rows[6] = {0, 1, 2, 3, 4, 5};
  EXPECT_EXIT(piksr2(keys, rows, 6), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(temp(), "-2,-2,0,5,5,1099511627776,\n===========\n1,4,5,0,2,3,");
}

TEST_F(DumpTools, PhraseFileHasOneCodeAndTextLinePerEntry) {
  EXPECT_EXIT(setchiwbfile(inputhzchi, inputhzchinumber, inputhzchiindex, inputhzchiwb),
              ::testing::ExitedWithCode(0), "");
  std::stringstream in(temp());
  std::string line;
  int k = 0;
  while (std::getline(in, line)) {
    ASSERT_LT(k, inputhzchinumber);
    char code[9] = {};
    std::memcpy(code, &inputhzchiwb[k], 8);
    std::string text(inputhzchi + inputhzchiindex[k], chinum(inputhzchiindex, k));
    ASSERT_EQ(line, std::string(code) + " " + text) << "entry " << k;
    k++;
  }
  EXPECT_EQ(k, inputhzchinumber);
}

TEST_F(DumpTools, WritersThatCannotOpenTheFileFailWithoutWriting) {
  ASSERT_TRUE(std::filesystem::create_directory("temp.txt"));  // fopen(..., "w") now fails
  int v[2] = {1, 2};
  unsigned short w[2] = {1, 2};
  long long keys[2] = {2, 1};
  EXPECT_EXIT(storeints(v, 2), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(storewords(w, 2), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(piksr2(keys, v, 2), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(setchiwbfile(inputhzchi, 2, inputhzchiindex, inputhzchiwb),
              ::testing::ExitedWithCode(1), "");
  EXPECT_TRUE(std::filesystem::is_directory("temp.txt"));
  EXPECT_TRUE(std::filesystem::is_empty("temp.txt"));
}

TEST(WordCode, RuleTakesLettersByWordLength) {
  const uint64_t g = field("ggll"), a = field("aaaa"), w = field("wty"), one = field("a");
  EXPECT_EQ(wordcode(g, w, 0, 0, 2), field("ggwt"));
  EXPECT_EQ(wordcode(g, a, w, 0, 3), field("gawt"));
  EXPECT_EQ(wordcode(g, a, w, one, 4), field("gawa"));
  EXPECT_EQ(wordcode(g, a, w, g, 9), field("gawg"));
  EXPECT_EQ(wordcode(one, g, 0, 0, 2), 0u) << "first code too short";
  EXPECT_EQ(wordcode(g, g, one, 0, 3), 0u) << "third code too short";
  EXPECT_EQ(wordcode(g, 0, g, g, 4), 0u) << "missing code";
  EXPECT_EQ(wordcode(g, g, g, g, 1), 0u);
}

// Words whose wubi86 code is set by hand rather than by the phrase rule.
// Most are pairs of characters with one radical, for which the rule gives
// many words one code (khkh for two foot-radical characters, qtqt for two
// dog-radical ones, qgqg for fish); the source takes a letter from past
// the radical instead (蹒跚 kakm from khaw and khmg). 围堵 likewise avoids
// lfff, and 版权所有 is coded by the initials of its pinyin. Six of them
// (踊跃 跟踪 跳跃 猖獗 狡猾 狼狈) are in the table under the rule's code too.
// The literals are compiled to GBK like every string of the program.
const std::map<std::string, std::string> kHandCoded = {
    {"版权所有", "bqsy"}, {"蹒跚", "kakm"}, {"蹂躏", "kcka"}, {"踊跃", "kckt"},
    {"踌躇", "kdka"},     {"蹊跷", "keka"}, {"践踏", "kgki"}, {"跳跃", "kikt"},
    {"踯躅", "kukl"},     {"蹉跎", "kukp"}, {"跟踪", "kvkp"}, {"踉跄", "kykw"},
    {"围堵", "lfft"},     {"鱿鱼", "qdqg"}, {"猪猡", "qfql"}, {"猿猴", "qfqw"},
    {"鱼鳞", "qgqo"},     {"猖獗", "qjqd"}, {"猖狂", "qjqg"}, {"猩猩", "qjqj"},
    {"狩猎", "qpqa"},     {"狰狞", "qqqp"}, {"狐狸", "qrqj"}, {"鲜鱼", "quqg"},
    {"狡猾", "quqm"},     {"猕猴", "qxqw"}, {"鲸鱼", "qyqg"}, {"狼狈", "qyqm"},
};

// Every word entry's code is the phrase rule over its characters' codes,
// except the hand-coded words above. The rule runs on cached character
// codes for all entries; awordwb itself (a slow scan per character) runs
// on a spread sample.
TEST(WordCode, AwordwbReproducesThePhraseCodesOfTheTable) {
  std::map<unsigned short, uint64_t> codes;
  auto code = [&](unsigned short ch) {
    auto it = codes.find(ch);
    if (it != codes.end()) return it->second;
    uint64_t c = azhiwb(ch, keyinputhanzhi, zhiinputsize, keyinputwb, keyinputwbindex);
    codes[ch] = c;
    return c;
  };
  std::map<std::string, std::string> handcoded;
  int words = 0;
  for (int k = 0; k < inputhzchinumber; k++) {
    int n = chinum(inputhzchiindex, k) / 2;
    if (n < 2) continue;
    words++;
    std::vector<unsigned short> chars(n);
    std::memcpy(chars.data(), inputhzchi + inputhzchiindex[k], 2 * n);
    uint64_t c3 = n >= 3 ? code(chars[2]) : 0, cl = n >= 4 ? code(chars[n - 1]) : 0;
    uint64_t rule = wordcode(code(chars[0]), code(chars[1]), c3, cl, n);
    ASSERT_NE(rule, 0u) << "entry " << k;
    if (rule != inputhzchiwb[k]) {
      char c[9] = {};
      std::memcpy(c, &inputhzchiwb[k], 8);
      handcoded[std::string(inputhzchi + inputhzchiindex[k], 2 * n)] = c;
    }
    if (k % 97 == 0) {
      EXPECT_EQ(awordwb(chars.data(), n, keyinputhanzhi, zhiinputsize, keyinputwb,
                        keyinputwbindex),
                rule)
          << "entry " << k;
    }
  }
  EXPECT_GT(words, 70000);
  EXPECT_EQ(handcoded, kHandCoded);
  const unsigned short notahanzi = 0x4141;
  EXPECT_EQ(azhiwb(notahanzi, keyinputhanzhi, zhiinputsize, keyinputwb, keyinputwbindex), 0u);
  EXPECT_EQ(awordwb(keyinputhanzhi, 1, keyinputhanzhi, zhiinputsize, keyinputwb,
                    keyinputwbindex),
            0u);
}
