// Prints how long it takes to fill a 1920 x 1080 screen with text in 24-px
// cells, looking glyphs up through the index and by the linear scans, and
// what building the index once costs at start-up, beside one memcpy of the
// whole frame. The text cycles through the font's two-byte glyphs, so the
// scans see codes from every part of the table. A benchmark, not a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/generated/fontdata.h"
#include "graphics/glyphindex.h"
#include "graphics/mybitmap.h"

namespace {

const int screenw = 1920, screenh = 1080, cell = 24;

std::vector<std::string> screenlines() {
  std::vector<std::string> lines;
  int first = 0;
  while (zzhi[first] < 0x100) first++;  // the first two-byte glyph
  int next = first;
  for (int row = 0; row < screenh / cell; row++) {
    std::string s;
    for (int col = 0; col < screenw / cell; col++) {
      unsigned short code = zzhi[next];
      s += static_cast<char>(code & 0xFF);
      s += static_cast<char>(code >> 8);
      next = next + 1 < zzhinumber && zzhi[next + 1] != mybitmap::widebox ? next + 1 : first;
    }
    lines.push_back(s);
  }
  return lines;
}

double screenms(mybitmap& screen, const std::vector<std::string>& lines, int rounds) {
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; r++) {
    screen.clear();
    for (size_t i = 0; i < lines.size(); i++)
      screen.drawtext(0, static_cast<int>(i) * cell, lines[i].c_str(), cell, 0);
  }
  std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

double msince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The first lookup after a font is installed builds the index.
double indexbuildms() {
  static const unsigned char other[2] = {1, 1};
  static const unsigned short othercode[1] = {' '};
  double best = 1e9;
  for (int i = 0; i < 5; i++) {
    mybitmap::setvzk(2, 1, other, othercode);
    mybitmap::findglyph(' ');
    mybitmap::setvzk(ttunumber, static_cast<unsigned short>(zzhinumber), ttu, zzhi);
    auto start = std::chrono::steady_clock::now();
    mybitmap::findglyph(0xD6D0);
    best = std::min(best, msince(start));
  }
  return best;
}

double framecopyms(const mybitmap& screen) {
  size_t bytes = static_cast<size_t>(screen.width) * screen.height * 4;
  std::vector<unsigned char> copy(bytes);
  double best = 1e9;
  for (int i = 0; i < 5; i++) {
    auto start = std::chrono::steady_clock::now();
    std::memcpy(copy.data(), screen.pixels, bytes);
    best = std::min(best, msince(start));
  }
  return best;
}

}  // namespace

int main() {
  mybitmap screen(screenw, screenh);
  std::vector<std::string> lines = screenlines();
  int glyphs = static_cast<int>(lines.size() * lines[0].size() / 2);
  std::printf("screen %dx%d, %d characters in %d-px cells\n", screenw, screenh, glyphs, cell);
  for (bool indexed : {true, false}) {
    glyphindex::enabled = indexed;
    screenms(screen, lines, 1);  // warm up (and build the index)
    double ms = screenms(screen, lines, indexed ? 20 : 3);
    std::printf("%-14s %8.2f ms a screen (%.2f us a character)\n",
                indexed ? "with index:" : "linear scans:", ms, 1000 * ms / glyphs);
  }
  glyphindex::enabled = true;
  std::printf("font: %d glyphs, %d stream bytes\n", zzhinumber, ttunumber);
  std::printf("%-14s %8.2f ms, once at start-up\n", "index build:", indexbuildms());
  std::printf("%-14s %8.2f ms (floor)\n", "frame memcpy:", framecopyms(screen));
  return 0;
}
