// Prints what one screen push costs at 1920 x 1080 for each framebuffer
// layout: converting the 32-bit bitmap (nothing to do for the plain
// layout), and the single write of the frame into a file standing in for
// the device. A benchmark, not a test.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "devices/fbformat.h"
#include "graphics/mybitmap.h"

namespace {

const int screenw = 1920, screenh = 1080, rounds = 30;

fbformat layout(int bpp, int line) {
  fbformat f;
  f.width = screenw;
  f.height = screenh;
  f.bpp = bpp;
  f.linelength = line;
  if (bpp == 16) f.red = {11, 5}, f.green = {5, 6}, f.blue = {0, 5};
  return f;
}

double ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count() / rounds;
}

void measure(const char* name, const fbformat& f, const mybitmap& screen, int fd) {
  std::vector<unsigned char> frame;
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; r++)
    if (!f.direct()) f.convert(screen.pixels, frame);
  auto converted = std::chrono::steady_clock::now();
  const unsigned char* bytes = f.direct() ? screen.pixels : frame.data();
  size_t size = f.direct() ? static_cast<size_t>(screenw) * screenh * 4 : frame.size();
  for (int r = 0; r < rounds; r++)
    if (pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size)) std::perror("pwrite");
  auto written = std::chrono::steady_clock::now();
  std::printf("%-28s convert %6.2f ms   write %6.2f ms   %zu bytes\n", name,
              ms(converted - start), ms(written - converted), size);
}

}  // namespace

int main() {
  mybitmap screen(screenw, screenh);
  for (int y = 0; y < screenh; y++)
    for (int x = 0; x < screenw; x++) screen.setpixel(x, y, mycolor(x & 255, y & 255, 128));
  char path[] = "/tmp/pushbench.XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return 1;
  std::printf("one push of a %d x %d screen, mean of %d\n", screenw, screenh, rounds);
  measure("32 bpp, plain", layout(32, screenw * 4), screen, fd);
  measure("32 bpp, padded lines", layout(32, (screenw + 16) * 4), screen, fd);
  measure("24 bpp", layout(24, screenw * 3), screen, fd);
  measure("16 bpp (RGB565)", layout(16, screenw * 2), screen, fd);
  close(fd);
  unlink(path);
  return 0;
}
