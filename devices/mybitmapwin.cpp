// Framebuffer window: opening and measuring /dev/fb0, and pushing frames.
#include "devices/mybitmapwin.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "devices/console.h"
#include "devices/drmscreen.h"
#include "devices/mymouse.h"

void fbfail(const char* message, int status, const char* why) {
  console::restore();
  printf("%s\n", message);
  fflush(stdout);
  if (why) console::say(why);
  _exit(status);
}

namespace {

// The line after "error: open fp fail.": what was tried, the system's
// reason and what to do.
std::string whynofb(int err, const std::string& drmwhy) {
  std::string line = "bihua: ";
  if (!drmwhy.empty()) line += "DRM: " + drmwhy + "; ";
  line += std::string(mybitmapwin::devicepath) + ": " + strerror(err);
  if (err == EACCES || err == EPERM)
    line +=
        "; the framebuffer belongs to the video group: add yourself to it "
        "(sudo usermod -aG video $USER) and log in again";
  else if (err == ENOENT || err == ENODEV || err == ENXIO)
    line +=
        "; bihua needs a framebuffer console (a Linux virtual console, not X or a terminal window)";
  return line + "\n";
}

}  // namespace

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

const char* mybitmapwin::devicepath = "/dev/fb0";
displaykind mybitmapwin::choice = displaykind::automatic;

mybitmapwin::mybitmapwin()
    : bitmap(1, 1), width(800), height(800), fbfd(-1), pixelcount(640000), mouse(nullptr) {
  // The bitmap gets its size from the display below.
  std::string drmwhy;
  if (!(choice != displaykind::fb && opendrm(drmwhy))) openfb(drmwhy);
  bitmap.reset(width, height);
  pixelcount = width * height;
  mouse = new mymouse;
  mouse->setbounds(width, height);
}

// The DRM output, when asked for or when automatic; a card that is there
// but cannot be used leaves a line for the status and standard error.
bool mybitmapwin::opendrm(std::string& drmwhy) {
  drmscreen::found f = drmscreen::open();
  if (!f.screen) {
    drmwhy = f.why;
    if (choice == displaykind::drm)
      fbfail("error: open drm fail.", 1, ("bihua: DRM: " + f.why + "\n").c_str());
    if (f.cardseen)
      fallbackwhy = "bihua: DRM: " + f.why + "; drawing on " + devicepath + " instead\n";
    return false;
  }
  drm = f.screen;
  printf("w and h is %d,%d\n", drm->width, drm->height);
  fflush(stdout);
  width = format.width = drm->width;
  height = format.height = drm->height;
  format.bpp = 32;
  format.linelength = width * 4;
  return true;
}

void mybitmapwin::openfb(const std::string& drmwhy) {
  fbfd = open(devicepath, O_RDWR | O_CLOEXEC);
  if (fbfd < 0) fbfail("error: open fp fail.", 1, whynofb(errno, drmwhy).c_str());
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
  mapfb(fix.smem_len);
}

// Maps the device when its layout is the bitmap's and it is large enough
// for the visible frame (a regular file standing in for it: by its size).
// Anything else keeps the writes.
void mybitmapwin::mapfb(size_t devicebytes) {
  if (!format.direct()) return;
  struct stat st {};
  if (fstat(fbfd, &st) != 0) return;
  size_t have = S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : devicebytes;
  size_t need = format.start() + format.framebytes();
  if (need == 0 || need > have) return;
  void* p = mmap(nullptr, need, PROT_READ | PROT_WRITE, MAP_SHARED, fbfd, 0);
  if (p == MAP_FAILED) return;
  fbmap = static_cast<unsigned char*>(p);
  fbmaplength = need;
}

mybitmapwin::~mybitmapwin() {
  delete mouse;
  if (fbmap) munmap(fbmap, fbmaplength);
  if (fbfd >= 0) close(fbfd);
}

// Only the rows that differ from what the display already shows are
// written (only rows the bitmap flags as drawn on are compared); the whole
// frame when asked (start, full redraw, back from another console).
void mybitmapwin::push() {
  if (console::away()) {
    wholeframe = true;  // the other console has drawn over it meanwhile
    return;
  }
  if (drm && drm->lost()) {
    if (!drm->retake()) return;  // another program has the display: later
    wholeframe = true;
  }
  size_t pitch = 0;
  unsigned char* device = drm ? drm->rows(pitch) : fbmap ? fbmap + format.start() : nullptr;
  if (!device) {
    writefb(changedruns());
    return;
  }
  if (!drm) pitch = static_cast<size_t>(format.linelength);
  std::vector<std::pair<int, int>> runs = syncdevice(device, pitch);
  if (drm) {
    drm->dirty(runs);
  } else {
    // Every push still ends with one write, of no bytes, which tells a
    // driver that tracks writes (and the test rig) that a frame is done.
    ssize_t r = write(fbfd, bitmap.pixels, 0);
    (void)r;
  }
}

namespace {

// Row y added to the runs [from, to) of changed rows, rising.
void addrow(std::vector<std::pair<int, int>>& runs, int y) {
  if (!runs.empty() && runs.back().second == y)
    runs.back().second = y + 1;
  else
    runs.emplace_back(y, y + 1);
}

// Copies the blocks of a row that were drawn on (bit b of `touched` for
// bytes b * blockbytes ..) and differ from what was shown into `was` and
// the device. A block that differs usually does so early, so comparing
// costs little more than reading; only changed blocks are written.
// True when something was copied.
bool syncrow(const unsigned char* now, unsigned char* was, unsigned char* device, size_t bytes,
             uint64_t touched, size_t blockbytes) {
  // Neighbouring changed blocks are copied as one run: a call per block
  // costs more than the copying when a whole row changed.
  bool copied = false;
  size_t from = 0, to = 0;  // the run not yet copied
  auto flush = [&] {
    if (to <= from) return;
    std::memcpy(was + from, now + from, to - from);
    std::memcpy(device + from, now + from, to - from);
    copied = true;
    from = to = 0;
  };
  while (touched) {
    // Each stretch of touched blocks is most often all the same or all
    // changed: one long comparison settles the first case.
    int b = __builtin_ctzll(touched), e = b;
    while (e < 64 && (touched >> e & 1)) e++;
    touched = e < 64 ? touched & ~((uint64_t{1} << e) - 1) : 0;
    size_t first = static_cast<size_t>(b) * blockbytes;
    size_t last = std::min(bytes, static_cast<size_t>(e) * blockbytes);
    if (first >= last) break;
    if (std::memcmp(now + first, was + first, last - first) == 0) continue;
    for (size_t at = first; at < last; at += blockbytes) {
      size_t n = std::min(blockbytes, last - at);
      if (std::memcmp(now + at, was + at, n) == 0) {
        flush();
        continue;
      }
      if (to != at) {
        flush();
        from = at;
      }
      to = at + n;
    }
  }
  flush();
  return copied;
}

}  // namespace

// A device drawn into directly (the mapped framebuffer, the DRM buffer),
// rows `pitch` bytes apart: the whole frame when asked; else the touched
// rows, each compared with what the device shows where it was drawn on,
// and only its changed blocks copied. Returns the row runs [from, to)
// that changed. A DRM output is told exactly which rows changed, so there
// `shown` is filled at once; for the framebuffer a row drawn on later is
// copied once without comparing, which costs less than filling it now.
std::vector<std::pair<int, int>> mybitmapwin::syncdevice(unsigned char* device, size_t pitch) {
  const size_t rowbytes = static_cast<size_t>(width) * 4;
  const size_t total = rowbytes * height;
  std::vector<std::pair<int, int>> runs;
  if (wholeframe || shownbytes != total) {
    if (shownbytes != total) shown.reset(framealloc(total));
    shownbytes = total;
    shownknown.assign(height, drm ? 1 : 0);
    if (drm) std::memcpy(shown.get(), bitmap.pixels, total);
    for (int y = 0; y < height; y++)
      std::memcpy(device + y * pitch, bitmap.pixels + y * rowbytes, rowbytes);
    if (height > 0) runs.emplace_back(0, height);
  } else {
    const size_t blockbytes = static_cast<size_t>(bitmap.blockwidth()) * 4;
    for (int y = 0; y < height; y++) {
      uint64_t touched = bitmap.rowtouched[y];
      if (!touched) continue;
      const unsigned char* now = bitmap.pixels + y * rowbytes;
      unsigned char* was = shown.get() + y * rowbytes;
      unsigned char* to = device + y * pitch;
      if (shownknown[y]) {
        if (syncrow(now, was, to, rowbytes, touched, blockbytes)) addrow(runs, y);
        continue;
      }
      std::memcpy(was, now, rowbytes);
      std::memcpy(to, now, rowbytes);
      shownknown[y] = 1;
      addrow(runs, y);
    }
  }
  wholeframe = false;
  bitmap.untouchrows();
  return runs;
}

// For a framebuffer that is written: the row runs [from, to) to write, and
// what the display will show noted.
std::vector<std::pair<int, int>> mybitmapwin::changedruns() {
  const size_t rowbytes = static_cast<size_t>(width) * 4;
  const size_t total = rowbytes * height;
  std::vector<std::pair<int, int>> runs;
  if (wholeframe || shownbytes != total) {
    // Not copied: a row drawn on later is written once without comparing,
    // which costs less than copying every row now.
    if (shownbytes != total) shown.reset(framealloc(total));
    shownbytes = total;
    shownknown.assign(height, 0);
    runs.emplace_back(0, height);
  } else {
    // Only rows drawn on since the last push can differ from the device.
    for (int y = 0; y < height; y++) {
      if (!bitmap.rowtouched[y]) continue;
      unsigned char* now = bitmap.pixels + y * rowbytes;
      unsigned char* was = shown.get() + y * rowbytes;
      if (shownknown[y] && std::memcmp(now, was, rowbytes) == 0) continue;
      std::memcpy(was, now, rowbytes);
      shownknown[y] = 1;
      addrow(runs, y);
    }
  }
  wholeframe = false;
  bitmap.untouchrows();
  return runs;
}

// Each run at its offset in the device. Runs before the last go with
// pwrite; the last with one write at the file position, so every push ends
// with exactly one write (of no bytes when nothing changed). A short or
// failed write is not retried.
void mybitmapwin::writefb(const std::vector<std::pair<int, int>>& runs) {
  const size_t rowbytes = static_cast<size_t>(width) * 4;
  const size_t pixelbytes = static_cast<size_t>(format.bpp / 8);
  for (size_t i = 0; i < runs.size(); i++) {
    int from = runs[i].first, to = runs[i].second;
    const unsigned char* data;
    size_t length = static_cast<size_t>(to - from - 1) * format.linelength + width * pixelbytes;
    if (format.direct()) {
      data = bitmap.pixels + from * rowbytes;
    } else {
      format.convert(bitmap.pixels, staging, from, to);
      data = staging.data() + static_cast<size_t>(from) * format.linelength;
    }
    off_t at = static_cast<off_t>(format.start() + static_cast<size_t>(from) * format.linelength);
    ssize_t r;
    if (i + 1 < runs.size()) {
      r = pwrite(fbfd, data, length, at);
    } else {
      lseek(fbfd, at, SEEK_SET);
      r = write(fbfd, data, length);
    }
    (void)r;
  }
  if (runs.empty()) {
    ssize_t r = write(fbfd, bitmap.pixels, 0);
    (void)r;
  }
}

void mybitmapwin::pushall() {
  wholeframe = true;
  draw();
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
