// Checks the generated dictionary tables as a whole: every order, index and
// content rule the code lookup relies on, over every row and entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "input/codelookup.h"
#include "input/inputchi.h"
#include "input/inpywb.h"

namespace {

std::string codetext(uint64_t field) {
  char s[9] = {};
  std::memcpy(s, &field, 8);
  return s;
}

// Letters from `first` to `last`, 1..maxlen of them, then only zero bytes.
bool wellformed(uint64_t field, char first, char last, size_t maxlen, char banned = 0) {
  std::string s = codetext(field);
  if (s.empty() || s.size() > maxlen) return false;
  if (s.size() < 8 && (field >> (8 * s.size())) != 0) return false;
  for (char c : s)
    if (c < first || c > last || c == banned) return false;
  return true;
}

bool gb2312hanzi(unsigned char lead, unsigned char trail) {
  if (lead < 0xB0 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return false;
  return !(lead == 0xD7 && trail > 0xF9);
}

bool gb2312hanzi(unsigned short ch) { return gb2312hanzi(ch & 0xFF, ch >> 8); }

// Sorted by the 64-bit value, equal values in ascending row order, and the
// rows a permutation of 0..n-1.
void expectsortedpermutation(const uint64_t* keys, const int* rows, int n) {
  std::vector<int> seen(n, 0);
  for (int i = 0; i < n; i++) {
    ASSERT_TRUE(rows[i] >= 0 && rows[i] < n) << "entry " << i;
    seen[rows[i]]++;
    if (i > 0) {
      ASSERT_LT(std::make_pair(keys[i - 1], rows[i - 1]), std::make_pair(keys[i], rows[i])) << "entry " << i;
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), n);
}

std::vector<uint64_t> rowcodes(const uint64_t* keys, const int* rows, int n) {
  std::vector<uint64_t> out(n);
  for (int i = 0; i < n; i++) out[rows[i]] = keys[i];
  return out;
}

unsigned short hz(const char* gbk) {
  unsigned short v;
  std::memcpy(&v, gbk, 2);
  return v;
}

}  // namespace

TEST(CharacterTables, CodeTablesSortedStableAndIndexedByPermutations) {
  const int n = zhiinputsize;
  ASSERT_GT(n, 6763);
  expectsortedpermutation(keyinputpy, keyinputpyindex, n);
  expectsortedpermutation(keyinputwb, keyinputwbindex, n);
}

TEST(CharacterTables, RowsAreInPinyinOrderWithWellFormedCodes) {
  const int n = zhiinputsize;
  std::vector<uint64_t> py = rowcodes(keyinputpy, keyinputpyindex, n);
  std::vector<uint64_t> wb = rowcodes(keyinputwb, keyinputwbindex, n);
  std::map<unsigned short, uint64_t> wubiof;
  std::set<std::pair<unsigned short, uint64_t>> pairs;
  for (int r = 0; r < n; r++) {
    SCOPED_TRACE("row " + std::to_string(r));
    ASSERT_TRUE(gb2312hanzi(keyinputhanzhi[r]));
    ASSERT_TRUE(wellformed(py[r], 'a', 'z', 6, 'v')) << codetext(py[r]);
    ASSERT_TRUE(wellformed(wb[r], 'a', 'y', 4)) << codetext(wb[r]);
    size_t wblen = codetext(wb[r]).size();
    EXPECT_TRUE(wblen == 1 || wblen == 3 || wblen == 4);
    if (r > 0) {
      ASSERT_LE(codetext(py[r - 1]), codetext(py[r]));
    }
    // A second reading is a second pinyin with the same wubi code.
    EXPECT_TRUE(pairs.insert({keyinputhanzhi[r], py[r]}).second);
    auto it = wubiof.emplace(keyinputhanzhi[r], wb[r]).first;
    EXPECT_EQ(it->second, wb[r]);
  }
  EXPECT_EQ(wubiof.size(), 6763u) << "every GB2312 hanzi has a row";
}

// The order within a pinyin is what users see first; spot-check that the
// most common character of some syllables leads them.
TEST(CharacterTables, MostFrequentCharacterLeadsItsPinyin) {
  const char* cases[][2] = {{"de", "的"}, {"shi", "是"}, {"wo", "我"},
                            {"zhong", "中"}, {"ren", "人"}, {"lu", "路"}};
  std::vector<uint64_t> py = rowcodes(keyinputpy, keyinputpyindex, zhiinputsize);
  for (auto& c : cases) {
    int r = 0;
    while (r < zhiinputsize && codetext(py[r]) != c[0]) r++;
    ASSERT_LT(r, zhiinputsize) << c[0];
    EXPECT_EQ(keyinputhanzhi[r], hz(c[1])) << c[0];
  }
}

TEST(PhraseTables, OffsetsCutTheBufferIntoWholeHanziTexts) {
  const int n = inputhzchinumber;
  ASSERT_GT(n, 80000);
  EXPECT_EQ(inputhzchi, inputhanchibyte);
  EXPECT_EQ(inputhzchiindex[0], 0);
  EXPECT_EQ(inputhzchiindex[n], 2 * inputchibufnumber);
  for (int k = 0; k < n; k++) {
    int len = chinum(inputhzchiindex, k);
    ASSERT_TRUE(len >= 2 && len <= 18 && len % 2 == 0) << "entry " << k << " length " << len;
    const unsigned char* t =
        reinterpret_cast<const unsigned char*>(inputhzchi) + inputhzchiindex[k];
    for (int i = 0; i < len; i += 2)
      ASSERT_TRUE(gb2312hanzi(t[i], t[i + 1])) << "entry " << k;
  }
}

TEST(PhraseTables, CodesAreOrderedByTheirFirstThreeLetters) {
  const int n = inputhzchinumber;
  std::string prev;
  for (int k = 0; k < n; k++) {
    ASSERT_TRUE(wellformed(inputhzchiwb[k], 'a', 'y', 4)) << "entry " << k;
    std::string group = codetext(inputhzchiwb[k]).substr(0, 3);
    ASSERT_LE(prev, group) << "entry " << k;
    prev = group;
  }
}

// Wubi finds characters only in the phrase table, so each character must be
// there under the full code the character rows give it.
TEST(PhraseTables, EveryCharacterIsFoundUnderItsFullCode) {
  std::set<std::pair<unsigned short, uint64_t>> singles;
  for (int k = 0; k < inputhzchinumber; k++) {
    if (chinum(inputhzchiindex, k) == 2)
      singles.insert({hz(inputhzchi + inputhzchiindex[k]), inputhzchiwb[k]});
  }
  std::vector<uint64_t> wb = rowcodes(keyinputwb, keyinputwbindex, zhiinputsize);
  for (int r = 0; r < zhiinputsize; r++)
    EXPECT_EQ(singles.count({keyinputhanzhi[r], wb[r]}), 1u) << "row " << r;
}

TEST(CodeLookup, MasksKeepTheFirstNLetters) {
  uint64_t zhong = 0, zh = 0;
  std::memcpy(&zhong, "zhong", 5);
  std::memcpy(&zh, "zh", 2);
  EXPECT_EQ(zhong & pbws[2], zh);
  EXPECT_EQ(zhong & pbws[5], zhong);
  EXPECT_EQ(zhong & pbws[0], 0u);
  EXPECT_EQ(pbws[7], 0x00FFFFFFFFFFFFFFULL);
}
