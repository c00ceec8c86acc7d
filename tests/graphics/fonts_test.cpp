// Text drawing: glyph lookup, the glyph walk, advances and size limits,
// centring, the message screen and the missing-font failure. Most checks
// compare two drawings that must be pixel for pixel the same.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// ---- GBK beyond GB2312: pairs with a low trail byte, placeholders

// One drawing of each piece at its own x, for comparing with a whole line.
const mybitmap& pieces(std::initializer_list<std::pair<int, const char*>> parts, int thick = 1) {
  static std::vector<std::unique_ptr<mybitmap>> kept;
  kept.push_back(std::make_unique<mybitmap>(120, 40));
  mybitmap& b = *kept.back();
  b.thick = thick;
  for (auto& [x, s] : parts) b.drawtext(x, 2, s, 24, 0);
  return b;
}

const mybitmap& line(const char* s, int thick = 1) { return pieces({{0, s}}, thick); }

TEST(FontGbk, PairsWithATrailBelow0x80StepAsOneCharacterAndDrawTheirGlyph) {
  const char* zhe = "\xDF\x40";   // 這, GBK/3
  const char* shuo = "\xD5\x66";  // 說
  for (int thick : {1, 3}) {
    SCOPED_TRACE(thick);
    EXPECT_TRUE(samepixels(line("\xDF\x40" "A\xD5\x66", thick),
                           pieces({{0, zhe}, {24, "A"}, {36, shuo}}, thick)));
    // A trail byte '@' or 'f' is never a letter of its own.
    EXPECT_FALSE(samepixels(line(zhe, thick), pieces({{12, "@"}}, thick)));
  }
  for (const char* c : {zhe, shuo}) {
    inkbox r = ink(line(c));
    EXPECT_GT(r.count, 40) << "draws strokes";
    EXPECT_GT(r.x1, 12) << "over both columns";
    EXPECT_FALSE(samepixels(line(c), line("\xAA\xA1"))) << "not the box";
  }
}

TEST(FontGbk, MissingPairsDrawTheWideBoxAndStrayBytesTheNarrowOne) {
  mybitmap wide(120, 40), narrow(120, 40);
  wide.drawvfont(0, 2, mybitmap::widebox, 24, 24, 0, 0, nullptr, nullptr);
  narrow.drawvfont(0, 2, mybitmap::narrowbox, 24, 24, 0, 0, nullptr, nullptr);
  inkbox w = ink(wide), n = ink(narrow);
  EXPECT_TRUE(w.x0 >= 0 && w.x1 < 24 && w.x1 - w.x0 > 16 && w.count > 60);
  EXPECT_TRUE(n.x0 >= 0 && n.x1 < 12 && n.count > 40);

  // 丅 (0x81 0x42) is a GBK character the font lacks.
  EXPECT_EQ(mybitmap::findglyph(0x4281), nullptr);
  EXPECT_TRUE(samepixels(line("\x81\x42" "A"), pieces({{0, "\xAA\xA1"}, {24, "A"}})));
  EXPECT_TRUE(samepixels(line("\x81\x42"), wide));
  // Stray bytes: 0x80, 0xFF, a lead byte before a byte below 0x40, before
  // 0x7F and at the end; each one column, the byte after it its own.
  EXPECT_TRUE(samepixels(line("\x80"), narrow));
  EXPECT_TRUE(samepixels(line("\xFF\xFF" "A"),
                         pieces({{0, "\x80"}, {12, "\x80"}, {24, "A"}})));
  EXPECT_TRUE(samepixels(line("\x81" "0\xB0\x7F" "A\xB0"),
                         pieces({{0, "\x80"}, {12, "0"}, {24, "\x80"}, {48, "A"}, {60, "\x80"}})));
  // An ASCII control byte still draws nothing and takes half a cell.
  EXPECT_TRUE(samepixels(line("\x01" "A"), pieces({{12, "A"}})));
  // The thick pen draws the boxes too.
  EXPECT_GT(ink(line("\x81\x42\x80", 3)).count, w.count + n.count);
}

TEST(FontGbk, MessageLinesSplitAfterAStrayByte) {
  // 120 wide: perline 10. The stray 0x81 before '0' is one byte, so the
  // character reaching byte 10 is the '0' at 9 and the first line keeps
  // nine bytes.
  std::string t = std::string("aaaaaaaa\x81") + "0123456789abcdefghij";
  mybitmap m(120, 60), ref(120, 60);
  m.msg(t.c_str());
  ref.drawtext(0, 0, t.substr(0, 9).c_str(), 24, 24);
  ref.drawtext(0, 24, t.substr(9).c_str(), 24, 24);
  EXPECT_TRUE(samepixels(m, ref));
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
