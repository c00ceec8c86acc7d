// The command pane's helpers: the text line under the cursor (a wrapped
// command is one line), the word split, the search ring with its character
// boundaries, and the pipe poll.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "app/commands.h"

namespace {

const unsigned char* bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

int len(const std::string& s) { return static_cast<int>(s.size()); }

TEST(CommandLine, RunsTheWholeTextLineFromBreakToBreak) {
  // Three lines; the last one long enough to wrap in a one-row pane.
  const std::string text = "ls\r\necho a/b\r\ncp -r a b && rm -rf a/x";
  struct {
    int at;
    int start, length;
    bool last;
  } cases[] = {
      {0, 0, 4, false},   {2, 0, 4, false},    // on the CR: still line 0
      {3, 0, 4, false},                        // on the LF
      {4, 4, 10, false},  {13, 4, 10, false},  // line 1 from its start to its LF
      {14, 14, 23, true}, {30, 14, 23, true},  // inside the wrapped last line
      {37, 14, 23, true},                      // the end of the text
  };
  for (auto& c : cases) {
    textline l = linearound(bytes(text), len(text), c.at);
    EXPECT_EQ(l.start, c.start) << c.at;
    EXPECT_EQ(l.length, c.length) << c.at;
    EXPECT_EQ(l.last, c.last) << c.at;
  }
  textline empty = linearound(bytes(""), 0, 0);
  EXPECT_EQ(empty.length, 0);
  EXPECT_TRUE(empty.last);
  // A bare LF ends a line as well.
  textline bare = linearound(bytes("a\nbc"), 4, 3);
  EXPECT_EQ(bare.start, 2);
  EXPECT_EQ(bare.length, 2);
}

TEST(CommandLine, SplitsTwoWordsAndRefusesAWordThatDoesNotFit) {
  char order[ordersize], fn[fnsize];
  EXPECT_EQ(splitcommand("open1 notes.txt more words", order, ordersize, fn, fnsize), 2);
  EXPECT_STREQ(order, "open1");
  EXPECT_STREQ(fn, "notes.txt");
  EXPECT_EQ(splitcommand(" \tfind2\r", order, ordersize, fn, fnsize), 1);
  EXPECT_STREQ(order, "find2");
  EXPECT_STREQ(fn, "");
  EXPECT_EQ(splitcommand("   ", order, ordersize, fn, fnsize), 0);
  // A first word of ordersize bytes does not fit: refused, not cut to a
  // shorter word that could name something else.
  std::string longword(ordersize, 'x');
  EXPECT_EQ(splitcommand((longword + " a").c_str(), order, ordersize, fn, fnsize), -1);
  EXPECT_STREQ(order, "");
  EXPECT_EQ(splitcommand(("find1 " + std::string(8, 'y')).c_str(), order, ordersize, fn, 8), -1);
  EXPECT_EQ(splitcommand(("find1 " + std::string(7, 'y')).c_str(), order, ordersize, fn, 8), 2);
}

TEST(SearchRing, TriesTheByteAfterTheCursorFirstAndTheCursorLast) {
  const std::string text = "one two one two";
  const char* w = "two";
  EXPECT_EQ(findnext(bytes(text), len(text), 0, w, 3), 4);
  EXPECT_EQ(findnext(bytes(text), len(text), 4, w, 3), 12);
  EXPECT_EQ(findnext(bytes(text), len(text), 12, w, 3), 4);  // round the end
  EXPECT_EQ(findnext(bytes(text), len(text), len(text), w, 3), 4);
  EXPECT_EQ(findnext(bytes(text), len(text), 0, "one", 3), 8);
  EXPECT_EQ(findnext(bytes(text), len(text), 8, "one", 3), 0);
  // Only occurrence under the cursor: found last, where it is.
  EXPECT_EQ(findnext(bytes("abc"), 3, 1, "b", 1), 1);
  EXPECT_EQ(findnext(bytes(text), len(text), 3, "Two", 3), -1);  // case counts
  EXPECT_EQ(findnext(bytes(""), 0, 0, "", 0), -1);
  EXPECT_EQ(findnext(bytes("ab"), 2, 0, "abc", 3), -1);  // would run past the end
}

TEST(SearchRing, AMatchStartsOnlyWhereACharacterStarts) {
  const std::string zhongguo = "\xD6\xD0\xB9\xFA";  // 中国
  const std::string xie = "\xD0\xB9";               // 泄: 中's second byte and 国's first
  EXPECT_EQ(findnext(bytes(zhongguo), 4, 0, xie.c_str(), 2), -1);
  EXPECT_EQ(findnext(bytes(zhongguo), 4, 0, "\xB9\xFA", 2), 2);
  const std::string mixed = "a" "\xD6\xD0\xB9\xFA" "b" "\xD6\xD0";  // a中国b中
  EXPECT_EQ(findnext(bytes(mixed), len(mixed), 0, xie.c_str(), 2), -1);
  EXPECT_EQ(findnext(bytes(mixed), len(mixed), 1, "\xD6\xD0", 2), 6);
  EXPECT_EQ(findnext(bytes(mixed), len(mixed), 6, "\xD6\xD0", 2), 1);
  // A word never matches a second byte that looks like ASCII: 這 is DF 40.
  const std::string zhe = "\xDF\x40" "@";
  EXPECT_EQ(findnext(bytes(zhe), 3, 0, "@", 1), 2);
  EXPECT_EQ(findnext(bytes(zhe), 3, 2, "@", 1), 2);
  // The empty word steps to the next character, never into one.
  int at = 0;
  std::string seen;
  for (int i = 0; i < 6; i++) {
    at = findnext(bytes(mixed), len(mixed), at, "", 0);
    seen += std::to_string(at) + " ";
  }
  EXPECT_EQ(seen, "1 3 5 6 0 1 ");
}

TEST(CommandOutput, AskingThePipeNeverWaits) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  EXPECT_EQ(isfilewaiting(fds[0]), 0);
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  EXPECT_EQ(isfilewaiting(fds[0]), 1);
  close(fds[1]);
  close(fds[0]);
  EXPECT_EQ(isfilewaiting(fds[0]), -1);
  EXPECT_EQ(isfilewaiting(-1), -1);
}

}  // namespace
