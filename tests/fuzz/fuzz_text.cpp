// Any bytes as text, at any cell size and position, through every text
// operation of the bitmap and of a view (thin, marked, thick, trajectory).
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  mybitmap& b = fuzzscreen();
  myview v(in.coord() % 200, in.coord() % 200, in.coord() % 300, in.coord() % 300);
  while (!in.empty()) {
    int op = in.byte() % 10;
    int x = in.coord(), y = in.coord(), w = in.coord(), h = in.coord() % 3 == 0 ? 0 : in.coord();
    b.thick = in.byte() % 8 == 0 ? in.coord() % 40000 : in.byte() % 5;
    v.markstroke = in.byte() & 1;
    std::string s = in.text(64);
    try {
      switch (op) {
        case 0: b.drawtext(x, y, s.c_str(), w, h); break;
        case 1: b.drawtextc(x, y, s.c_str(), w, h); break;
        case 2: b.drawvtext(x, y, s.c_str(), w, h); break;
        case 3: b.msg(s.c_str()); break;
        case 4: v.drawtext(x, y, s.c_str(), w, h); break;
        case 5: v.drawtextc(x, y, s.c_str(), w, h); break;
        case 6: v.drawvtext(x, y, s.c_str(), w, h); break;
        case 7: v.drawvtextd(x, y, s.c_str(), w, h); break;
        case 8: if (s.size() >= 2) b.drawfont(x, y, s.c_str(), w, h); break;
        default: if (!s.empty()) v.drawfont(x, y, s.c_str(), w, h); break;
      }
    } catch (const char*) {
      // an impossible pen is refused by a throw, as the program expects
    }
  }
  b.thick = 1;
  return 0;
}
