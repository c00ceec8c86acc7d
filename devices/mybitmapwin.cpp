// Framebuffer window: opening and measuring /dev/fb0, and pushing frames.
#include "devices/mybitmapwin.h"

#include <cstdio>
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

fbformat formatof(const fb_var_screeninfo& var, const fb_fix_screeninfo& fix) {
  fbformat f;
  f.width = static_cast<int>(var.xres);
  f.height = static_cast<int>(var.yres);
  f.bpp = static_cast<int>(var.bits_per_pixel);
  f.linelength = fix.line_length ? static_cast<int>(fix.line_length) : f.width * (f.bpp / 8);
  f.xoffset = static_cast<int>(var.xoffset);
  f.yoffset = static_cast<int>(var.yoffset);
  f.red = {var.red.offset, var.red.length};
  f.green = {var.green.offset, var.green.length};
  f.blue = {var.blue.offset, var.blue.length};
  return f;
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
  printf("w and h is %d,%d\n", var.xres, var.yres);
  fflush(stdout);
  format = formatof(var, fix);
  if (!format.supported()) {
    char line[120];
    snprintf(line, sizeof line, "error: unsupported framebuffer: %d bits per pixel.", format.bpp);
    fbfail(line, 4);
  }
  width = static_cast<int>(var.xres);
  height = static_cast<int>(var.yres);
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
