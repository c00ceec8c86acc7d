// mybitmapwin: the screen bitmap tied to the Linux framebuffer. Opens
// /dev/fb0, sizes the bitmap to the visible resolution and pushes the whole
// bitmap to the device, with the mouse cursor drawn on a saved copy so the
// cursor never becomes part of the bitmap.
#pragma once

#include <vector>

#include "devices/fbformat.h"
#include "graphics/mybitmap.h"

class mymouse;

class mybitmapwin {
 public:
  mybitmap bitmap;
  int width;
  int height;
  int fbfd;
  int pixelcount;
  mymouse* mouse;
  fbformat format;

  mybitmapwin();
  virtual ~mybitmapwin();
  mybitmapwin(const mybitmapwin&) = delete;
  mybitmapwin& operator=(const mybitmapwin&) = delete;

  virtual void draw();

 private:
  void push();
  static mybitmap& cursorunder();
  std::vector<unsigned char> staging;  // converted frame for non-plain devices
};

// Prints one start-up failure line, restores the terminal and ends the
// process at once with the given status.
[[noreturn]] void fbfail(const char* message, int status);
