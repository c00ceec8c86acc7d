// Framebuffer window: opening and measuring /dev/fb0, and pushing frames.
#include "devices/mybitmapwin.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "devices/mykbhit.h"
#include "devices/mymouse.h"

void fbfail(const char* message, int status) {
  mykbhit::restoreterminal();
  printf("%s\n", message);
  fflush(stdout);
  _exit(status);
}

namespace {

// A line length of 0 means rows follow each other without a gap.
fbreport reportof(const fb_var_screeninfo& var, const fb_fix_screeninfo& fix) {
  fbreport r;
  r.xres = var.xres;
  r.yres = var.yres;
  r.bpp = var.bits_per_pixel;
  uint64_t row = static_cast<uint64_t>(var.xres) * (var.bits_per_pixel / 8);
  r.linelength = fix.line_length ? fix.line_length
                                 : static_cast<uint32_t>(std::min<uint64_t>(row, UINT32_MAX));
  r.xoffset = var.xoffset;
  r.yoffset = var.yoffset;
  r.red = {var.red.offset, var.red.length};
  r.green = {var.green.offset, var.green.length};
  r.blue = {var.blue.offset, var.blue.length};
  return r;
}

}  // namespace

mybitmapwin::mybitmapwin()
    : bitmap(800, 800), width(800), height(800), fbfd(-1), pixelcount(640000), mouse(nullptr) {
  fbfd = open("/dev/fb0", O_RDWR);
  if (fbfd < 0) fbfail("error: open fp fail.", 1);
  fb_fix_screeninfo fix{};
  if (ioctl(fbfd, FBIOGET_FSCREENINFO, &fix) != 0) fbfail("Error reading fixed", 2);
  fb_var_screeninfo var{};
  if (ioctl(fbfd, FBIOGET_VSCREENINFO, &var) != 0) fbfail("Error reading variable", 3);
  printf("w and h is %u,%u\n", var.xres, var.yres);
  fflush(stdout);
  std::string refused = format.take(reportof(var, fix));
  if (!refused.empty()) fbfail(refused.c_str(), 4);
  width = format.width;
  height = format.height;
  bitmap.reset(width, height);
  pixelcount = width * height;
  mouse = new mymouse;
}

mybitmapwin::~mybitmapwin() {
  delete mouse;
  if (fbfd >= 0) close(fbfd);
}

void mybitmapwin::push() {
  // One write per push; a short or failed write is not retried.
  lseek(fbfd, static_cast<off_t>(format.start()), SEEK_SET);
  if (format.direct()) {
    ssize_t r = write(fbfd, bitmap.pixels, static_cast<size_t>(pixelcount) * 4);
    (void)r;
    return;
  }
  format.convert(bitmap.pixels, staging);
  ssize_t r = write(fbfd, staging.data(), staging.size());
  (void)r;
}

// The cursor is drawn on the pixels only for the push and taken away again,
// so the bitmap itself never holds it. Only the cursor's square is kept
// aside: the bitmap's own backup copy belongs to the views (a pop-up saves
// the screen there to restore it later), so a push must not overwrite it.
void mybitmapwin::draw() {
  if (!mouse) {
    push();
    return;
  }
  int left = mouse->x - mymouse::reach, top = mouse->y - mymouse::reach;
  const int side = 2 * mymouse::reach + 1;
  mybitmap& under = cursorunder();
  under.copyblock(bitmap, left, top, 0, 0, side, side);
  mouse->drawcursor(bitmap);
  push();
  for (int i = 0; i < side; i++)
    for (int j = 0; j < side; j++) bitmap.copypixel(under, i, j, left + i, top + j);
  mouse->moved = false;
}

mybitmap& mybitmapwin::cursorunder() {
  static mybitmap under(2 * mymouse::reach + 1, 2 * mymouse::reach + 1);
  return under;
}
