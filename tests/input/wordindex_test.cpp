// The generated word index against the phrase tables: every word of two or
// more characters once, under its first character, ranks rising in a list.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "input/inputwords.h"

TEST(WordIndex, ListsEveryWordOnceUnderItsFirstCharacterByRank) {
  std::set<std::string> words, indexed;
  for (int k = 0; k < inputhzchinumber; k++)
    if (inputhzchiindex[k + 1] - inputhzchiindex[k] > 2)
      words.emplace(inputhzchi + inputhzchiindex[k], inputhzchiindex[k + 1] - inputhzchiindex[k]);
  std::set<int> ranks;
  ASSERT_EQ(inputwordfirst[0], 0);
  ASSERT_EQ(inputwordfirst[inputwordslots], inputwordcount);
  for (int s = 0; s < inputwordslots; s++) {
    ASSERT_LE(inputwordfirst[s], inputwordfirst[s + 1]);
    for (int i = inputwordfirst[s]; i < inputwordfirst[s + 1]; i++) {
      int k = inputwordlist[i];
      ASSERT_TRUE(k >= 0 && k < inputhzchinumber);
      int len = inputhzchiindex[k + 1] - inputhzchiindex[k];
      unsigned short first;
      std::memcpy(&first, inputhzchi + inputhzchiindex[k], 2);
      EXPECT_EQ(inputwordslot(first), s);
      EXPECT_GT(len, 2);
      EXPECT_GE(inputwordrank[k], 0);
      if (i > inputwordfirst[s]) {
        EXPECT_LT(inputwordrank[inputwordlist[i - 1]], inputwordrank[k]);
      }
      ranks.insert(inputwordrank[k]);
      EXPECT_TRUE(indexed.emplace(inputhzchi + inputhzchiindex[k], len).second);
    }
  }
  EXPECT_EQ(indexed, words);
  EXPECT_EQ(static_cast<int>(ranks.size()), inputwordcount);
  EXPECT_EQ(*ranks.rbegin(), inputwordcount - 1);
}
