// The built-in font tables: the point stream's format and size limits over
// every glyph, the code table's coverage, and that lookup finds exactly the
// glyphs of the table.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "graphics/gbkchar.h"
#include "graphics/generated/fontdata.h"
#include "graphics/glyphindex.h"
#include "graphics/mybitmap.h"

namespace {

struct glyph {
  unsigned short code;
  int start, end;  // byte offsets: first point, one past the last
};

// Splits the stream at its glyph-end marks, one glyph per code entry.
std::vector<glyph> glyphs() {
  std::vector<glyph> out;
  int start = 0;
  for (int i = 0; i + 1 < ttunumber; i += 2)
    if (ttu[i + 1] & 1) {
      unsigned short code = out.size() < static_cast<size_t>(zzhinumber) ? zzhi[out.size()] : 0;
      out.push_back({code, start, i + 2});
      start = i + 2;
    }
  return out;
}

bool blank(unsigned short code) { return code == 0x20 || code == 0xA1A1 || code == 0xA0A3; }

// Codes the font must hold: ASCII, the GB2312 symbol rows (ranges of trail
// bytes per lead byte), the full row 0xA3 and the GB2312 hanzi.
std::set<unsigned short> required() {
  std::set<unsigned short> codes;
  for (int c = 0x20; c <= 0x7E; c++) codes.insert(c);
  struct { int lead, from, to; } rows[] = {
      {0xA1, 0xA1, 0xFE}, {0xA2, 0xB1, 0xE2}, {0xA2, 0xE5, 0xEE}, {0xA2, 0xF1, 0xFC},
      {0xA3, 0xA0, 0xFF}, {0xA4, 0xA1, 0xF3}, {0xA5, 0xA1, 0xF6}, {0xA6, 0xA1, 0xB8},
      {0xA6, 0xC1, 0xD8}, {0xA7, 0xA1, 0xC1}, {0xA7, 0xD1, 0xF1}, {0xA8, 0xA1, 0xBA},
      {0xA8, 0xC5, 0xE9}, {0xA9, 0xA4, 0xEF}};
  for (auto r : rows)
    for (int t = r.from; t <= r.to; t++) codes.insert(r.lead | t << 8);
  for (int lead = 0xB0; lead <= 0xF7; lead++)
    for (int t = 0xA1; t <= (lead == 0xD7 ? 0xF9 : 0xFE); t++) codes.insert(lead | t << 8);
  return codes;
}

// Also the trajectory buffers' limits: a drawn glyph is recorded one point
// per step of its segments, at most 10000 points in 200 strokes (at 128 px).
TEST(FontData, EveryGlyphIsWellFormedAndFitsTheTrajectoryBuffers) {
  ASSERT_EQ(ttunumber % 2, 0);
  std::vector<glyph> gs = glyphs();
  ASSERT_EQ(gs.size(), static_cast<size_t>(zzhinumber));
  EXPECT_EQ(gs.back().end, ttunumber) << "bytes after the last glyph";
  for (const glyph& g : gs) {
    SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << g.code);
    if (blank(g.code)) {
      EXPECT_EQ(g.end - g.start, 2);
      EXPECT_EQ(ttu[g.start], 1);
      EXPECT_EQ(ttu[g.start + 1], 1);
      continue;
    }
    int xmax = g.code < 0x80 ? 63 : 127;
    int strokes = 0, run = 0, drawn = 0;
    for (int i = g.start; i < g.end; i += 2) {
      EXPECT_LE(ttu[i] >> 1, xmax);
      if (run > 0) {
        int dx = (ttu[i] >> 1) - (ttu[i - 2] >> 1), dy = (ttu[i + 1] >> 1) - (ttu[i - 1] >> 1);
        drawn += std::max(std::abs(dx), std::abs(dy));
      }
      run++;
      if (ttu[i] & 1 || ttu[i + 1] & 1) {
        EXPECT_GE(run, 2) << "a stroke of one point draws nothing";
        strokes++;
        run = 0;
      }
    }
    EXPECT_EQ(ttu[g.end - 2] & 1, 1) << "last point ends the stroke too";
    EXPECT_GT(strokes, 0);
    EXPECT_LE(strokes, 200);
    EXPECT_LE(drawn, 10000);
  }
}

TEST(FontData, CodeTableCoversTheCharacterSetOnce) {
  std::set<unsigned short> seen;
  for (int i = 0; i < zzhinumber; i++) EXPECT_TRUE(seen.insert(zzhi[i]).second) << zzhi[i];
  for (unsigned short c : required()) EXPECT_TRUE(seen.count(c)) << std::hex << c;
  for (int i = 0; i < 95; i++) EXPECT_EQ(zzhi[i], 0x20 + i);
  // The placeholders, then nothing but GBK pairs (and 0xA3FF, which
  // completes the full-width row).
  EXPECT_EQ(zzhi[95], mybitmap::narrowbox);
  EXPECT_EQ(zzhi[zzhinumber - 1], mybitmap::widebox);
  for (int i = 96; i < zzhinumber - 1; i++) {
    const unsigned char pair[2] = {static_cast<unsigned char>(zzhi[i] & 0xFF),
                                   static_cast<unsigned char>(zzhi[i] >> 8)};
    EXPECT_TRUE(isgbkpair(pair, 2) || zzhi[i] == 0xFFA3) << std::hex << zzhi[i];
  }
}

TEST(FontData, LookupFindsEveryGlyphAndNothingElse) {
  mybitmap b(1, 1);
  std::vector<const unsigned char*> expect(65536, nullptr);
  std::vector<glyph> gs = glyphs();
  for (const glyph& g : gs) expect[g.code] = ttu + g.start;
  for (int code = 0; code < 65536; code++)
    ASSERT_EQ(mybitmap::findglyph(static_cast<unsigned short>(code)), expect[code]) << code;
  // The scans are slow: a sample of glyphs spread over the stream.
  for (size_t i = 0; i < gs.size(); i += 97)
    EXPECT_EQ(glyphindex::scan(ttu, ttunumber, zzhi, zzhinumber, gs[i].code), ttu + gs[i].start);
}

}  // namespace
