// The sentence engine alone, for what the row does not show: the state kept
// per letter gives the same sentence as converting the letters afresh after
// any typing and erasing, the pieces always cover the letters, nothing is
// allocated per key, and the letter limit.
#include "input/pysentence.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}  // namespace

// Counts every allocation of the test; malloc and free underneath.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
  allocations++;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

std::vector<int> pieces(const pysentence& s) {
  int p[pysentence::maxletters], e[pysentence::maxletters];
  int n = s.sentence(p, e, pysentence::maxletters);
  std::vector<int> out;
  for (int k = 0; k < n; k++) {
    out.push_back(p[k]);
    out.push_back(e[k]);
  }
  return out;
}

std::vector<int> fresh(const std::string& letters) {
  static pysentence s;
  s.clear();
  for (char c : letters) s.push(c);
  return pieces(s);
}

TEST(SentenceEngine, TypingAndErasingGiveWhatFreshLettersGive) {
  std::mt19937 rng(26);
  const std::string keys = "abcdefghijklmnopqrstuvwxyzaeiouhgn'";
  pysentence s;
  std::string typed;
  for (int step = 0; step < 3000; step++) {
    if (rng() % 4 == 0 && !typed.empty()) {
      s.pop();
      typed.pop_back();
    } else {
      char c = keys[rng() % keys.size()];
      if (s.push(c)) typed += c;
    }
    ASSERT_EQ(typed, s.letters());
    if (step % 7) continue;
    std::vector<int> now = pieces(s);
    ASSERT_EQ(now, fresh(typed)) << typed;
    // Every letter is covered (an apostrophe at the end cuts nothing).
    if (!typed.empty()) {
      ASSERT_FALSE(now.empty()) << typed;
      EXPECT_EQ(now.back(), static_cast<int>(typed.size()) - (typed.back() == '\'')) << typed;
    }
    if (typed.size() > 40) {
      while (!typed.empty()) {
        s.pop();
        typed.pop_back();
      }
    }
  }
}

TEST(SentenceEngine, SixtyFourLettersAndNoAllocationPerKey) {
  pysentence s;
  std::string letters;
  for (int i = 0; i < 8; i++) letters += "zhongguo";
  pysentence::wordcount();  // the tables are decoded on first use
  allocations = 0;
  for (char c : letters) ASSERT_TRUE(s.push(c));
  EXPECT_FALSE(s.push('a'));  // the 65th
  EXPECT_EQ(s.length(), 64);
  for (int i = 0; i < 10; i++) s.pop();
  s.push('\'');
  EXPECT_FALSE(s.push('\''));  // no two apostrophes in a row
  EXPECT_EQ(allocations.load(), 0);
  char cut[2 * pysentence::maxletters + 1];
  s.syllabletext(cut);
  EXPECT_EQ(std::string(cut).substr(0, 18), "zhong'guo'zhong'gu");
}

TEST(SentenceEngine, BigramsChangeTheScoreOfTheWordAfter) {
  // Some word is cheaper after one word than after nothing: the pairs are
  // read and applied.
  int better = 0;
  for (int a = 0; a < pysentence::wordcount() && !better; a += 97)
    for (int b = 0; b < pysentence::wordcount() && !better; b += 13)
      better += pysentence::after(a, b) < pysentence::after(-1, b);
  EXPECT_GT(better, 0);
}

}  // namespace
