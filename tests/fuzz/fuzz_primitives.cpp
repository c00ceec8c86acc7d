// Lines, discs, rings, boxes, triangles, copies and 3D with any values,
// on the bitmap and through a view.
#include <cmath>

#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  mybitmap& b = fuzzscreen();
  static mybitmap other(40, 30);
  myview v(in.coord() % 200, in.coord() % 200, in.coord() % 300, in.coord() % 300);
  for (int n = 0; n < 64 && !in.empty(); n++) {
    int op = in.byte() % 20;
    int x = in.coord(), y = in.coord(), c = in.coord(), d = in.coord();
    b.thick = in.byte() % 8 == 0 ? in.coord() : in.byte() % 6;
    b.color = mycolor(in.u32());
    double f[7];
    for (double& e : f) e = static_cast<int>(in.u32()) / 65536.0;
    try {
      switch (op) {
        case 0: b.line(x, y, c, d); break;
        case 1: b.drawthinline(x, y, c, d); break;
        case 2: b.box(x, y, c, d); break;
        case 3: b.boxfill(x, y, c, d); break;
        case 4: b.circle(x, y, c); break;
        case 5: b.circlef(x, y, c); break;
        case 6: b.circlef1(x, y, c); break;
        case 7: b.circled(x, y, c); break;
        case 8: b.sanjiaomv(x, y, b.color); break;
        case 9: b.set(x, y); break;
        case 10: b.copyblock(other, x % 1000, y % 1000, c % 1000, d % 1000, 50, 50); break;
        case 11:
          if (b.init3d(f[0], f[0] + 1 + std::fabs(f[1]), f[2], f[2] + 1 + std::fabs(f[3]), f[4],
                       f[4] + 1 + std::fabs(f[5]))) {
            b.box3d(f[0], f[1], f[2], f[3], f[4], f[5]);
            b.ball3d(f[1], f[2], f[3], f[6]);
            b.arrow3d(f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
          }
          break;
        case 12: v.line(x, y, c, d); break;
        case 13: v.box(x, y, c, d); break;
        case 14: v.boxf(x, y, c, d, b.color); break;
        case 15: v.circlef(x, y, c); break;
        case 16: v.circled(x, y, c); break;
        case 17: v.sanjiaomv(x, y, c, b.color); break;
        case 18: v.pixel(x, y); break;
        default: v.drawbj1(); break;
      }
    } catch (const char*) {
      // an impossible pen is refused by a throw, as the program expects
    }
  }
  b.thick = 1;
  return 0;
}
