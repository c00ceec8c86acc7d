// Every glyph of the built-in font draws inside its own cell (one-byte
// glyphs in the left half) and only the blanks draw nothing. On the way,
// contact sheets for a person to look at are written to fontsheets/ in the
// build folder: every glyph at 24 px, 96 to a row in code order, and a
// sample at 96 px whose last three lines are drawn with a thick pen.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "graphics/generated/fontdata.h"
#include "graphics/mybitmap.h"
#include "tests/graphics/drawtest.h"

namespace {

// The text of a code; the wide placeholder is drawn for a pair the font
// lacks (0xAA 0xA1, in a user-defined row).
std::string chars(unsigned short code) {
  if (code == mybitmap::widebox) return "\xAA\xA1";
  std::string s(1, static_cast<char>(code & 0xFF));
  if (code >= 0x100) s += static_cast<char>(code >> 8);
  return s;
}

TEST(FontSheet, EveryGlyphDrawsInsideItsCell) {
  const int w = 24, at = 4, pitch = 30;
  std::map<int, std::vector<unsigned short>> rows;  // by lead byte, 0 for one-byte codes
  for (int i = 0; i < zzhinumber; i++) rows[zzhi[i] < 0x80 ? 0 : zzhi[i] & 0xFF].push_back(zzhi[i]);
  mybitmap b(w + 2 * at, w + 2 * at), sheet(96 * pitch, (zzhinumber + 95) / 96 * pitch);
  int at_sheet = 0;
  for (auto& [lead, codes] : rows) {
    for (unsigned short code : codes) {
      b.clear();
      b.drawtext(at, at, chars(code).c_str(), w, 0);
      inkbox r = ink(b);
      SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << code);
      if (code == 0x20 || code == 0xA1A1 || code == 0xA0A3) {
        EXPECT_EQ(r.count, 0);
      } else {
        ASSERT_GT(r.count, 0) << "draws nothing";
        EXPECT_TRUE(r.x0 >= at && r.y0 >= at && r.y1 <= at + w - 1);
        EXPECT_LE(r.x1, at + (code < 0x100 ? w / 2 : w) - 1);
      }
      sheet.drawtext(at_sheet % 96 * pitch + 3, at_sheet / 96 * pitch + 3, chars(code).c_str(), w,
                     0);
      at_sheet++;
    }
  }
  // The sample: text lines, then fourteen glyphs spread over each symbol
  // row and every eighth other row.
  std::vector<std::string> sample = {
      "Quick fox: 0123456789 @#$%&", "{[(<jumps over the lazy>)]}?",
      "\xD3\xC0\xBA\xCD\xBE\xC5\xC4\xEA\xA3\xAC\xCB\xEA\xD4\xDA\xB9\xEF\xB3\xF3\xA1\xA3"
      "\xC4\xBA\xB4\xBA\xD6\xAE\xB3\xF5"};
  for (auto& [lead, codes] : rows) {
    if (lead < 0x81 || lead == 0xFF || ((lead < 0xA1 || lead > 0xA9) && lead % 8 != 0)) continue;
    sample.emplace_back();
    for (size_t i = 0; i < 14; i++) sample.back() += chars(codes[i * codes.size() / 14]);
  }
  std::string dir = std::string(BIHUA_BINARY_DIR) + "/fontsheets/";
  std::filesystem::create_directories(dir);
  sheet.savetobmp((dir + "glyphs-24.bmp").c_str());
  const int big = 96, plain = static_cast<int>(sample.size());
  sample.insert(sample.end(), {sample[0], sample[1], sample[2]});
  mybitmap s(15 * big + 16, static_cast<int>(sample.size()) * (big + 8) + 8);
  for (int i = 0; i < static_cast<int>(sample.size()); i++) {
    s.thick = i < plain ? 1 : 5;
    s.drawtext(8, 8 + i * (big + 8), sample[i].c_str(), big, 0);
  }
  s.savetobmp((dir + "sample-96.bmp").c_str());
}

}  // namespace
