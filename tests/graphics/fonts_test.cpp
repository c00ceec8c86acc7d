// Text drawing: glyph lookup, the glyph walk, advances and size limits,
// centring, the message screen and the missing-font failure. Most checks
// compare two drawings that must be pixel for pixel the same.
#include <gtest/gtest.h>

#include <string>

#include "graphics/glyphindex.h"
#include "graphics/mybitmap.h"
#include "tests/graphics/drawtest.h"

namespace {

const char* zhong = "\xD6\xD0";  // 中 in GBK

// A Chinese character followed by letters, at w = 25: the letters start at
// x + 25 and x + 37.
TEST(FontText, TwoByteCharacterAdvancesAFullCellOneByteHalfACell) {
  std::string s = std::string(zhong) + "AB";
  mybitmap line(120, 40), parts(120, 40);
  line.drawtext(3, 2, s.c_str(), 25, 0);
  parts.drawtext(3, 2, zhong, 25, 0);
  parts.drawtext(3 + 25, 2, "A", 25, 0);
  parts.drawtext(3 + 37, 2, "B", 25, 0);
  EXPECT_TRUE(samepixels(line, parts));
  EXPECT_GT(ink(parts).x1, 3 + 25);  // the letters were drawn at all
}

TEST(FontText, BlanksDrawNothingAndUnknownPairsTheBoxButAdvance) {
  mybitmap blank(100, 40);
  blank.drawtext(0, 0, " \xA1\xA1\xA3\xA0", 24, 0);
  EXPECT_EQ(ink(blank).count, 0);

  // Lead byte 0xAA holds no glyph: the pair is drawn as the wide box.
  mybitmap unknown(100, 40), shifted(100, 40);
  unknown.drawtext(0, 0, "\xAA\xA1" "A", 24, 0);
  shifted.drawvfont(0, 0, mybitmap::widebox, 24, 24, 0, 0, nullptr, nullptr);
  shifted.drawtext(24, 0, "A", 24, 0);
  EXPECT_TRUE(samepixels(unknown, shifted));
  EXPECT_EQ(mybitmap::findglyph(0xA1AA), nullptr);
}

TEST(FontText, CellSizesOutsideTwoTo5000DrawNothing) {
  struct {
    int w, h;
    bool drawn;
  } cases[] = {{1, 0, false}, {5001, 0, false}, {24, 1, false}, {24, 5001, false},
               {2, 0, true},  {5000, 2, true},  {2, 5000, true}};
  for (auto c : cases) {
    // A drawn cell fits the bitmap whole, so its strokes are seen.
    mybitmap b(c.drawn ? c.w + 1 : 60, c.drawn ? (c.h ? c.h : c.w) + 1 : 60);
    b.drawtext(0, 0, zhong, c.w, c.h);
    EXPECT_EQ(ink(b).count > 0, c.drawn) << "w " << c.w << " h " << c.h;
  }
  mybitmap square(60, 60), zero(60, 60);
  square.drawtext(0, 0, zhong, 30, 30);
  zero.drawtext(0, 0, zhong, 30, 0);
  EXPECT_TRUE(samepixels(square, zero));
}

TEST(FontText, ThickPenDrawsBothKindsOfCharacters) {
  mybitmap b(100, 40);
  b.thick = 3;
  b.drawtext(0, 0, "A", 24, 0);
  EXPECT_GT(ink(b).count, 0);
  // drawfont on a character string always reads a two-byte code.
  mybitmap c(100, 40);
  c.drawfont(0, 0, "A", 24, 0);
  EXPECT_EQ(ink(c).count, 0);
  c.drawfont(0, 0, zhong, 24, 0);
  EXPECT_GT(ink(c).count, 0);
}

TEST(FontText, CentredLineStartsHalfItsWidthLeftAndHalfACellUp) {
  const char* s = "\xD6\xD0" "ab";  // four bytes
  mybitmap c(200, 100), plain(200, 100);
  c.drawtextc(100, 50, s, 20, 0);
  plain.drawtext(80, 40, s, 20, 0);
  EXPECT_TRUE(samepixels(c, plain));
  EXPECT_GT(ink(c).count, 0);
}

// A hand-made font of three glyphs exercises the stream format.
class FontStream : public ::testing::Test {
 protected:
  // glyph 0: code 'a': a stray stroke end, then a stroke (0,0)-(64,32)-(64,96)
  // whose last point also ends the glyph.
  // glyph 1: code 'b', blank. glyph 2: code 'a' again (never found).
  unsigned char stream[14] = {1, 0, 0, 0, 128, 64, 129, 193, 1, 1, 10, 10, 11, 11};
  unsigned short codes[3] = {'a', 'b', 'a'};

  void TearDown() override { mybitmap b(1, 1); }  // reinstalls the built-in font
};

TEST_F(FontStream, WalkDrawsLaterPointFirstAndReturnsTheNextGlyph) {
  mybitmap b(80, 80), ref(80, 80);  // constructing a bitmap installs the built-in font
  mybitmap::setvzk(sizeof stream, 3, stream, codes);
  const unsigned char* g = mybitmap::findglyph('a');
  ASSERT_EQ(g, stream);
  EXPECT_EQ(b.drawvect(0, 0, g, 64, 64), stream + 8);
  // (64,32) lands at (32,16); the segment is drawn from it back to (0,0).
  ref.drawthinline(32, 16, 0, 0);
  ref.drawthinline(32, 48, 32, 16);
  EXPECT_TRUE(samepixels(b, ref));
  EXPECT_EQ(b.drawvect(0, 0, nullptr, 64, 64), nullptr);
  EXPECT_EQ(b.drawvect(0, 0, stream + 8, 64, 64), stream + 10);  // a blank walks one point
}

TEST_F(FontStream, LookupTakesTheFirstCodeAndNeverReadsPastTheStream) {
  for (bool indexed : {true, false}) {
    glyphindex::enabled = indexed;
    mybitmap::setvzk(sizeof stream, 3, stream, codes);
    EXPECT_EQ(mybitmap::findglyph('b'), stream + 8);
    EXPECT_EQ(mybitmap::findglyph('c'), nullptr);
    // Cut the stream inside glyph 0: its end mark is gone.
    mybitmap::setvzk(6, 3, stream, codes);
    EXPECT_EQ(mybitmap::findglyph('a'), nullptr);
    // An odd length leaves the last half point unread.
    mybitmap::setvzk(9, 3, stream, codes);
    EXPECT_EQ(mybitmap::findglyph('a'), stream);
    EXPECT_EQ(mybitmap::findglyph('b'), nullptr);
  }
  glyphindex::enabled = true;
}

TEST_F(FontStream, MissingFontFailsUnlessOneIsGiven) {
  mybitmap b(40, 40);
  mybitmap::setvzk(0, 0, nullptr, nullptr);
  try {
    b.drawfont(0, 0, "a", 24, 0);
    FAIL() << "no exception";
  } catch (const char* e) {
    EXPECT_STREQ(e, "error to get font");
  }
  EXPECT_THROW(b.drawvtext(0, 0, "a", 24, 0), const char*);
  b.drawvfont(0, 0, 'a', 64, 64, sizeof stream, 3, stream, codes);
  EXPECT_GT(ink(b).count, 0);
}

// ---- the message screen

TEST(FontMsg, ShortTextIsCentredVerticallyAndLongerTextNarrowed) {
  mybitmap low(100, 10);  // too low for a line: only cleared
  low.drawthinline(0, 0, 99, 9);
  low.msg("hello");
  EXPECT_EQ(ink(low).count, 0);

  mybitmap m(200, 40), ref(200, 40);
  m.msg("hello");
  ref.drawtext(0, 8, "hello", 24, 24);
  EXPECT_TRUE(samepixels(m, ref));
  EXPECT_GT(ink(m).count, 0);

  std::string s(20, 'x');  // 20 bytes, perline 16, 200 / 20 = 10 >= 8
  m.msg(s.c_str());
  ref.clear();
  ref.drawtext(0, 8, s.c_str(), 20, 24);
  EXPECT_TRUE(samepixels(m, ref));
}

TEST(FontMsg, LongTextTakesTwoLinesSplitBeforeTheCharacterReachingTheEnd) {
  // 120 wide: perline 10, and 120 / 30 < 8.
  std::string s;
  for (int i = 0; i < 15; i++) s += zhong;
  mybitmap m(120, 60), ref(120, 60);
  m.msg(s.c_str());
  ref.drawtext(0, 0, s.substr(0, 8).c_str(), 24, 24);
  ref.drawtext(0, 24, s.substr(8).c_str(), 24, 24);
  EXPECT_TRUE(samepixels(m, ref));

  std::string a = "0123456789abcdefghijklmnopqrst";
  m.msg(a.c_str());
  ref.clear();
  ref.drawtext(0, 0, a.substr(0, 9).c_str(), 24, 24);
  ref.drawtext(0, 24, a.substr(9).c_str(), 24, 24);
  EXPECT_TRUE(samepixels(m, ref));
}

TEST(FontMsg, LinesLongerThanTheBuffersAreCut) {
  // 5000 wide, 14 high: perline 714, 1000 bytes take two lines.
  std::string s(1000, 'y');
  mybitmap m(5000, 14), ref(5000, 14);
  m.msg(s.c_str());
  ref.drawtext(0, 0, s.substr(0, 299).c_str(), 14, 14);
  ref.drawtext(0, 14, s.substr(0, 299).c_str(), 14, 14);
  EXPECT_TRUE(samepixels(m, ref));
}

}  // namespace
