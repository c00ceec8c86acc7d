// Contact sheets of the built-in font for a person to look at: every glyph
// at 24 px, one row per lead byte, and a sample at 96 px. They are written
// to fontsheets/ in the build folder (the sample ends with lines drawn
// with a thick pen). The test itself checks that every
// glyph draws inside its own cell (one-byte glyphs in the left half) and
// that only the blanks draw nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "graphics/generated/fontdata.h"
#include "graphics/mybitmap.h"
#include "tests/graphics/inkbox.h"

namespace {

std::string sheetpath(const char* name) {
  std::string dir = std::string(BIHUA_BINARY_DIR) + "/fontsheets";
  std::filesystem::create_directories(dir);
  return dir + "/" + name;
}

// The character string of a code, for drawtext.
std::string chars(unsigned short code) {
  std::string s(1, static_cast<char>(code & 0xFF));
  if (code >= 0x80) s += static_cast<char>(code >> 8);
  return s;
}

void frame(mybitmap& b, int x, int y, int w, int h) {
  b.color = mycolor(205, 215, 255);
  b.drawthinline(x - 1, y - 1, x + w, y - 1);
  b.drawthinline(x - 1, y + h, x + w, y + h);
  b.drawthinline(x - 1, y - 1, x - 1, y + h);
  b.drawthinline(x + w, y - 1, x + w, y + h);
  b.color = mycolor();
}

bool isblank(unsigned short code) { return code == 0x20 || code == 0xA1A1 || code == 0xA0A3; }

TEST(FontSheet, EveryGlyphDrawsInsideItsCell) {
  const int w = 24, at = 4;
  mybitmap b(w + 2 * at, w + 2 * at);
  for (int i = 0; i < zzhinumber; i++) {
    unsigned short code = zzhi[i];
    b.clear();
    b.drawtext(at, at, chars(code).c_str(), w, 0);
    inkbox r = ink(b);
    SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << code);
    if (isblank(code)) {
      EXPECT_EQ(r.count, 0);
      continue;
    }
    ASSERT_GT(r.count, 0) << "draws nothing";
    EXPECT_GE(r.x0, at);
    EXPECT_GE(r.y0, at);
    EXPECT_LE(r.x1, at + (code < 0x80 ? w / 2 : w) - 1);
    EXPECT_LE(r.y1, at + w - 1);
  }
}

TEST(FontSheet, WritesAllGlyphsAt24AndASampleAt96) {
  // Rows: the one-byte codes, then one per lead byte; columns by trail byte
  // 0xA0..0xFF (one-byte codes by code - 0x20).
  std::map<int, std::vector<unsigned short>> rows;
  for (int i = 0; i < zzhinumber; i++) rows[zzhi[i] < 0x80 ? 0 : zzhi[i] & 0xFF].push_back(zzhi[i]);
  const int cell = 24, pitch = 30, left = 40;
  mybitmap sheet(left + 96 * pitch, static_cast<int>(rows.size()) * pitch + 6);
  int row = 0;
  for (auto& [lead, codes] : rows) {
    int y = 4 + row++ * pitch;
    char label[8];
    std::snprintf(label, sizeof label, "%02X", lead);
    sheet.drawtext(4, y + 4, lead ? label : "1B", 16, 0);
    for (unsigned short code : codes) {
      int col = code < 0x80 ? code - 0x20 : (code >> 8) - 0xA0;
      int x = left + col * pitch;
      frame(sheet, x, y, cell, cell);
      sheet.drawtext(x, y, chars(code).c_str(), cell, 0);
    }
  }
  sheet.savetobmp(sheetpath("glyphs-24.bmp").c_str());

  // The sample: a text line and a spread of every lead byte's glyphs.
  std::vector<std::string> lines = {
      "Quick fox: 0123456789 @#$%&", "{[(<jumps over the lazy>)]}?",
      "\xD3\xC0\xBA\xCD\xBE\xC5\xC4\xEA\xA3\xAC\xCB\xEA\xD4\xDA\xB9\xEF\xB3\xF3\xA1\xA3"
      "\xC4\xBA\xB4\xBA\xD6\xAE\xB3\xF5"};
  for (auto& [lead, codes] : rows) {
    if (lead == 0 || (lead >= 0xB0 && lead % 8 != 0)) continue;
    std::string s;
    for (size_t i = 0; i < 14; i++) s += chars(codes[i * codes.size() / 14]);
    lines.push_back(s);
  }
  // The first three lines again with a thick pen.
  const int big = 96, plain = static_cast<int>(lines.size());
  lines.insert(lines.end(), lines.begin(), lines.begin() + 3);
  mybitmap sample(14 * big + 2 * big / 4 + 8, static_cast<int>(lines.size()) * (big + 8) + 8);
  for (int i = 0; i < static_cast<int>(lines.size()); i++) {
    sample.thick = i < plain ? 1 : 5;
    sample.drawtext(8, 8 + i * (big + 8), lines[i].c_str(), big, 0);
  }
  sample.savetobmp(sheetpath("sample-96.bmp").c_str());
  EXPECT_TRUE(std::filesystem::file_size(sheetpath("glyphs-24.bmp")) > 0);
}

}  // namespace
