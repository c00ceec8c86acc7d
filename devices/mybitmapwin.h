// mybitmapwin: the screen bitmap tied to the display: a DRM/KMS output
// (drmscreen) or the Linux framebuffer /dev/fb0 (or the device --fb
// names). Sizes the bitmap to the visible resolution and pushes the
// bitmap to the display (the rows that changed since the last push), with
// the mouse cursor drawn on a saved copy so the cursor never becomes part
// of the bitmap. Nothing is pushed while the user is on another console.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "devices/fbformat.h"
#include "graphics/framememory.h"
#include "graphics/mybitmap.h"

class drmscreen;
class mymouse;

// Which display to draw on: a DRM output, the framebuffer, or the DRM
// output when one works and else the framebuffer.
enum class displaykind { automatic, drm, fb };

class mybitmapwin {
 public:
  mybitmap bitmap;
  int width;
  int height;
  int fbfd;
  int pixelcount;
  mymouse* mouse;
  fbformat format;

  // The framebuffer device to open; --fb names another one, such as an
  // SPI panel at /dev/fb1.
  static const char* devicepath;
  static displaykind choice;
  // The DRM output drawn on, or null when drawing on the framebuffer.
  drmscreen* drm = nullptr;
  // Set when a DRM card was there but could not be used, so the
  // framebuffer is drawn on instead: one line saying why.
  std::string fallbackwhy;

  mybitmapwin();
  virtual ~mybitmapwin();
  mybitmapwin(const mybitmapwin&) = delete;
  mybitmapwin& operator=(const mybitmapwin&) = delete;

  virtual void draw();
  // Pushes the whole frame, not only the rows that changed.
  void pushall();

 private:
  void push();
  void openfb(const std::string& drmwhy);
  bool opendrm(std::string& drmwhy);
  std::vector<std::pair<int, int>> changedruns();
  void writefb(const std::vector<std::pair<int, int>>& runs);
  void mapfb(size_t devicebytes);
  std::vector<std::pair<int, int>> syncdevice(unsigned char* device, size_t pitch);
  static mybitmap& cursorunder();
  std::vector<unsigned char> staging;  // converted frame for non-plain devices
  // The bitmap as last pushed, cursor included; left uninitialised (its
  // pages untouched) until a row is copied in.
  framebytes shown;
  size_t shownbytes = 0;
  std::vector<unsigned char> shownknown;  // per row: `shown` holds that row
  bool wholeframe = true;                 // the next push writes every row
  // The device's memory, when it can be mapped and takes the bitmap's
  // bytes as they are: a push then copies only the bytes that changed.
  unsigned char* fbmap = nullptr;
  size_t fbmaplength = 0;
};

// Prints one start-up failure line (and why, on standard error), restores
// the console and ends the process at once with the given status.
[[noreturn]] void fbfail(const char* message, int status, const char* why = nullptr);
