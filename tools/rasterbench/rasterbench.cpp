// Prints how long the raster primitives take on a 1920 x 1080 bitmap: thin
// and thick lines, pen dots, scattered discs, the largest ring stamp, a
// line whose ends lie far outside, and lines and circles drawn with the
// largest pen (40000 pixels). Figures only; nothing is checked.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "graphics/circles.h"
#include "graphics/mybitmap.h"

namespace {

using clk = std::chrono::steady_clock;

double since(clk::time_point t) {
  return std::chrono::duration<double, std::milli>(clk::now() - t).count();
}

void thicklines(mybitmap& b, int t) {
  b.thick = t;
  auto start = clk::now();
  for (int i = 0; i < 1000; i++) b.line(i % 1920, 0, 1919 - i % 1920, 1079);
  printf("1000 thick lines, pen %2d:         %8.1f ms\n", t, since(start));
}

}  // namespace

int main() {
  mybitmap b(1920, 1080);
  // The floor: one copy of the whole frame, as a push makes it.
  std::vector<unsigned char> copy(static_cast<size_t>(b.width) * b.height * 4);
  auto start = clk::now();
  std::memcpy(copy.data(), b.pixels, copy.size());
  printf("one memcpy of the frame (floor):    %8.3f ms\n", since(start));
  start = clk::now();
  for (int i = 0; i < 10000; i++) b.drawthinline(i % 1920, 0, 1919 - i % 1920, 1079);
  printf("10000 thin lines across the screen: %8.1f ms\n", since(start));
  for (int t : {2, 3, 10, 30}) thicklines(b, t);
  start = clk::now();
  for (int i = 0; i < 100000; i++) b.circled(i % 1920, i % 1080, 8);
  printf("100000 scattered discs, d 8:        %8.1f ms\n", since(start));
  start = clk::now();
  fillring(20000);
  printf("ring stamp of radius 20000:         %8.1f ms\n", since(start));
  start = clk::now();
  b.drawthinline(-2000000000, -5, 2000000000, 1000);
  printf("line with ends 4e9 apart:           %8.3f ms\n", since(start));
  b.thick = 40001;
  start = clk::now();
  b.line(0, 0, 687865856, -721420288);
  printf("line with a 40000-pixel pen:        %8.1f ms\n", since(start));
  start = clk::now();
  b.circle(960, 540, 20000);
  printf("circle of radius 20000, same pen:   %8.1f ms\n", since(start));
  start = clk::now();
  b.circle(960, 540 + 20000, 100);
  printf("circle of radius 100 beside it:     %8.1f ms\n", since(start));
  return 0;
}
