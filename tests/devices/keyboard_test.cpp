// The key decoder: every named key value, escape-sequence length rules,
// incomplete and unknown sequences, Alt-x, and a full buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/mykbhit.h"

namespace {

// Decodes a byte string the way successive polls would, one key per call.
class Decoder : public ::testing::Test {
 protected:
  std::vector<long> keys(const std::string& bytes) {
    kb.feed(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    std::vector<long> out;
    while (kb.pendlen > 0) out.push_back(kb.nextkey());
    return out;
  }
  mykbhit kb;
};

TEST_F(Decoder, EveryNamedKeyDecodesAndIsNamed) {
  const struct {
    const char* bytes;
    long value;
    const char* name;
  } table[] = {
      {"\t", 9, "Tab"}, {"\n", 10, "enter"}, {"\x1b", 27, "esc"}, {"\x7f", 127, "backspace"},
      {"\x1b[A", 0x415B1B, "up"}, {"\x1b[B", 0x425B1B, "down"}, {"\x1b[C", 0x435B1B, "right"},
      {"\x1b[D", 0x445B1B, "left"}, {"\x1b[F", 0x465B1B, "end"}, {"\x1b[4~", 0x7E345B1B, "end"},
      {"\x1b[H", 0x485B1B, "home"}, {"\x1b[1~", 0x7E315B1B, "home"},
      {"\x1b[3~", 0x7E335B1B, "Del"}, {"\x1b[5~", 0x7E355B1B, "pgup"},
      {"\x1b[6~", 0x7E365B1B, "pgdown"}, {"\x1bOP", 0x504F1B, "F1"},
      {"\x1b[[A", 0x415B5B1B, "F1"}, {"\x1bOQ", 0x514F1B, "F2"}, {"\x1b[[B", 0x425B5B1B, "F2"},
      {"\x1bOR", 0x524F1B, "F3"}, {"\x1b[[C", 0x435B5B1B, "F3"}, {"\x1bOS", 0x534F1B, "F4"},
      {"\x1b[[D", 0x445B5B1B, "F4"}, {"\x1b[[E", 0x455B5B1B, "F5"},
      {"\x1b[15~", 0x7E35315B1B, "F5"}, {"\x1b[17~", 0x7E37315B1B, "F6"},
      {"\x1b[18~", 0x7E38315B1B, "F7"}, {"\x1b[19~", 0x7E39315B1B, "F8"},
      {"\x01", 1, "Ctrl-A"}, {"\x03", 3, "Ctrl-C"}, {"\x1a", 26, "Ctrl-Z"}, {"a", 0x61, "a"},
  };
  for (const auto& k : table) {
    EXPECT_EQ(keys(k.bytes), std::vector<long>{k.value}) << k.name;
    EXPECT_STREQ(keyname(k.value), k.name);
  }
  EXPECT_EQ(keyF7, 0x7E38315B1BL);
  EXPECT_EQ(keyF8, 0x7E39315B1BL);
  EXPECT_STREQ(keyname(0), "");
  EXPECT_STREQ(keyname(0x7E30325B1B), "\x1b");  // F9 decodes but has no name
}

TEST_F(Decoder, SequencesSplitIntoKeysOnePerPoll) {
  const std::pair<const char*, std::vector<long>> cases[] = {
      {"ab", {0x61, 0x62}},
      {"\xb0\xa1", {0xB0, 0xA1}},
      {"\x1b[20~", {0x7E30325B1B}},  // F9
      {"\x1b[2~", {0x7E325B1B}},     // Insert
      {"\x1bx", {27, 'x'}},          // Alt-x
      // Ctrl+Up is not a recognised form: ESC, then its bytes one by one.
      {"\x1b[1;5A", {27, '[', '1', ';', '5', 'A'}},
      {"\x1b[A\x1b[19~q", {0x415B1B, keyF8, 'q'}},
      // Incomplete sequences are not waited for.
      {"\x1b[", {27, '['}},
      {"\x1b[1", {27, '[', '1'}},
      // A console F-key cut off after ESC [ [ takes no more than is there.
      {"\x1b[[", {0x5B5B1B}},
      {"ab", {'a', 'b'}},
  };
  for (const auto& c : cases) EXPECT_EQ(keys(c.first), c.second) << c.first + 1;
  // Stale bytes behind the pending ones never complete a sequence.
  keys("\x1b[19~");
  EXPECT_EQ(keys("\x1b[1"), (std::vector<long>{27, '[', '1'}));
}

TEST_F(Decoder, FullBufferTakesNoMore) {
  std::string lots(mykbhit::pendsize + 50, 'z');
  int taken = kb.feed(reinterpret_cast<const unsigned char*>(lots.data()),
                      static_cast<int>(lots.size()));
  EXPECT_EQ(taken, mykbhit::pendsize);
  EXPECT_EQ(kb.feed(reinterpret_cast<const unsigned char*>("x"), 1), 0);
  // An escape sequence at the very end of a full buffer decodes in bounds.
  kb.pendlen = mykbhit::pendsize - 2;
  kb.pendbuf[kb.pendlen - 1] = 27;
  long last = 0;
  int n = 0;
  for (; kb.pendlen > 0; n++) last = kb.nextkey();
  EXPECT_EQ(n, mykbhit::pendsize - 2);
  EXPECT_EQ(last, 27);
}

}  // namespace
