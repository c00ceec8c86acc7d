// fbformat: how the framebuffer lays out its pixels, and the conversion of
// the 32-bit screen bitmap into that layout. The common case (32 bits,
// blue/green/red at 0/8/16, no padding, no panning) is a straight copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct fbchannel {
  unsigned offset;
  unsigned length;
};

struct fbformat {
  int width = 0;
  int height = 0;
  int bpp = 32;
  int linelength = 0;  // bytes from one device row to the next
  int xoffset = 0;
  int yoffset = 0;
  fbchannel red{16, 8}, green{8, 8}, blue{0, 8};

  bool supported() const;
  // True when the bitmap's bytes can be written to the device unchanged.
  bool direct() const;
  // Byte offset in the device of the first visible pixel row.
  size_t start() const;
  // Bytes of one push: the visible rows at the device's line length.
  size_t framebytes() const;
  // Converts a width × height 32-bit bitmap into out (framebytes() long).
  void convert(const unsigned char* pixels, std::vector<unsigned char>& out) const;
};
