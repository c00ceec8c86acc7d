// View text with the test font: rounding of the plain walk, truncation and
// red horizontal strokes of the marking walk, and trajectory text; and with
// the built-in font, GBK pairs and the placeholders as the editor draws them.
#include <gtest/gtest.h>

#include "graphics/glyphwalk.h"
#include "tests/views/viewtest.h"

namespace {

TEST(ViewText, MarkingWalkTruncatesAndReddensStrokesStartingAcross) {
  testfont f;
  screen s(140, 140);
  myview v(10, 10, 139, 139);
  v.drawfont(0, 0, "\xD2\xBB", 64, 64);  // x 0.5..62.5, y 32.5: rounded
  EXPECT_EQ(s.count(black, 11, 43, 73, 43), 63);
  v.markstroke = true;
  v.drawfont(0, 0, "\xD2\xBB", 64, 64);  // truncated
  EXPECT_EQ(s.count(red, 10, 42, 72, 42), 63);
  EXPECT_EQ(s.bmp.color.value(), black);

  screen t(140, 140);
  v.move(0, 0, 139, 139);
  t.bmp.color = mycolor(0, 0, 255);
  v.drawtext(0, 0, "\xCA\xAE", 128, 0);
  EXPECT_EQ(t.count(red), 126);  // the bar, less the crossing drawn over it
  EXPECT_EQ(t.count(blue, 64, 0, 64, 126), 127);
  EXPECT_EQ(t.bmp.color.value(), blue);

  screen u(140, 140);  // thick: thick lines and no marking
  u.bmp.thick = 2;
  v.drawtext(0, 0, "\xCA\xAE", 128, 0);
  EXPECT_EQ(u.count(red), 0);
  EXPECT_GT(u.count(black), 2 * 127);
}

TEST(ViewText, TrajectoryIsRecordedRelativeAndRedrawnByProfile) {
  testfont f;
  int saved = mybitmap::zhityid;
  mybitmap::zhityid = 0;  // every recorded point one pixel
  screen s(400, 300);
  myview v(100, 100, 399, 299);
  v.drawvtextd(0, 0, "\xD2\xBB\xD2\xBB", 128, 0);
  // The record holds the second glyph only: from its stroke's later point
  // (128 + 125 across), the first point left out.
  EXPECT_EQ(mybitmap::xynum, 124);
  EXPECT_EQ(mybitmap::xybuffer[0][0], 253);
  EXPECT_EQ(mybitmap::xybuffer[0][1], 65);
  EXPECT_EQ(s.count(black, 102, 165, 225, 165), 124);
  EXPECT_EQ(s.count(black), 2 * 124);
  EXPECT_EQ(s.bmp.thick, 26);  // sparse: 2 + a fifth of the extent

  mybitmap::zhityid = 2;  // thin where recording starts, full where it ends
  screen t(300, 300);
  v.drawvtextd(0, 0, "\xD2\xBB", 128, 0);
  EXPECT_GE(t.count(black, 105, 100, 105, 299), 20);  // late points: discs of 26
  EXPECT_LE(t.count(black, 220, 100, 220, 299), 4);   // early points: discs of 2
  mybitmap::zhityid = saved;
}

// The editor hands each character as its own string, a stray byte as a
// one-byte one, in a full cell with the marking walk.
TEST(ViewText, EditorCellsDrawPairsAsThemselvesAndStrayBytesAsTheNarrowBox) {
  screen s(200, 60);
  myview v(0, 0, 199, 59);
  v.markstroke = true;
  v.drawfont(0, 0, "\xDF\x40", 48, 48);  // 這
  v.drawfont(50, 0, "\x81\x42", 48, 48);  // 丅, not in the font: the wide box
  v.drawfont(100, 0, "\x81", 48, 48);      // a stray byte
  v.drawfont(150, 0, "\x7F", 48, 48);      // DEL: nothing
  EXPECT_GT(s.count(red, 0, 0, 48, 48), 10);
  EXPECT_GT(s.count(black, 0, 0, 48, 48), 10);
  // The boxes are all in the text colour, unlike any character.
  EXPECT_EQ(s.count(red, 50, 0, 199, 59), 0);
  EXPECT_GT(s.count(black, 50, 0, 73, 48), 20);
  EXPECT_GT(s.count(black, 75, 0, 98, 48), 20);  // across the whole cell
  EXPECT_GT(s.count(black, 100, 0, 123, 48), 20);
  EXPECT_EQ(s.count(black, 125, 0, 199, 59), 0);  // the narrow box keeps to its column

  // A line steps the same way: a stray byte is one column.
  screen t(200, 60);
  v.drawtext(0, 0, "\x80" "\xDF\x40" "\xFF", 48, 48);
  auto whole = t.pixels();
  screen u(200, 60);
  v.drawfont(0, 0, "\x80", 48, 48);
  v.drawfont(24, 0, "\xDF\x40", 48, 48);
  v.drawfont(72, 0, "\xFF", 48, 48);
  EXPECT_EQ(u.pixels(), whole);
}

}  // namespace

// Glyphs drawn from their kept points land exactly where walking them
// lands: every 97th built-in glyph at a few cell sizes, both thin walks,
// opaque and translucent, whole and cut by the bitmap's edges, drawn twice
// (the second time from what was kept).
TEST(ViewText, KeptGlyphPointsDrawWhatTheWalkDraws) {
  screen first(8, 8);  // the built-in font
  const unsigned short* codes = mybitmap::chss;
  const int count = mybitmap::zn;
  ASSERT_GT(count, 1000);
  for (int size : {16, 24, 37})
    for (bool marked : {false, true})
      for (mycolor c : {mycolor(0, 0, 0), mycolor(0, 0, 255, 100)}) {
        screen kept(200, 120);
        myview v(3, 2, 190, 110);
        v.markstroke = marked;
        screen walked(200, 120);
        myview u(3, 2, 190, 110);
        for (int i = 0; i < count; i += 97) {
          // Whole, then cut by the right, the bottom and the left edge.
          const int at = (i / 97) % 4, x = at == 0 ? 10 : at == 3 ? -7 : 190, y = at == 1 ? 100 : 20;
          const unsigned char b[3] = {static_cast<unsigned char>(codes[i] & 0xFF),
                                      static_cast<unsigned char>(codes[i] >> 8), 0};
          const char* s = reinterpret_cast<const char*>(b);
          for (int twice = 0; twice < 2; twice++) {
            myview::pmymap = &kept.bmp;
            kept.bmp.clear(mycolor(255, 255, 255));
            kept.bmp.color = c;
            v.drawfont(x, y, s, 2 * size, size);
          }
          myview::pmymap = &walked.bmp;
          walked.bmp.clear(mycolor(255, 255, 255));
          walked.bmp.color = c;
          const unsigned char* g = mybitmap::drawnglyph(glyphcode(b));
          if (marked)
            u.drawvect1(x, y, g, 2 * size, size);
          else
            u.drawvect(x, y, g, 2 * size, size);
          ASSERT_EQ(kept.pixels(), walked.pixels()) << "glyph " << i << " size " << size;
        }
      }
}
