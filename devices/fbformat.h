// fbformat: how the framebuffer lays out its pixels, and the conversion of
// the 32-bit screen bitmap into that layout. The common case (32 bits,
// blue/green/red at 0/8/16, no padding, no panning) is a straight copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct fbchannel {
  unsigned offset;
  unsigned length;
};

// The layout exactly as the driver reports it, before anything is trusted.
struct fbreport {
  uint32_t xres = 0, yres = 0, bpp = 0, linelength = 0, xoffset = 0, yoffset = 0;
  fbchannel red{0, 0}, green{0, 0}, blue{0, 0};
};

struct fbformat {
  int width = 0;
  int height = 0;
  int bpp = 32;
  int linelength = 0;  // bytes from one device row to the next
  int xoffset = 0;
  int yoffset = 0;
  fbchannel red{16, 8}, green{8, 8}, blue{0, 8};

  // The largest visible frame taken: a side of 16384 pixels, 2^26 pixels in
  // all (8K is 2^25), a line at most twice the widest row. Anything more
  // is a broken driver, and the bitmap and its copies would not fit anyway.
  static constexpr uint32_t maxside = 16384;
  static constexpr uint64_t maxpixels = 1ull << 26;
  static constexpr uint32_t maxline = 2 * maxside * 4;
  static constexpr uint32_t maxyoffset = 8 * maxside;

  // Takes a reported layout when it describes a sane visible frame; else
  // returns the one line saying which value is wrong and leaves *this as it
  // was. Every check is made in 64 bits on the values as reported.
  std::string take(const fbreport& r);

  bool supported() const;
  // True when the bitmap's bytes can be written to the device unchanged.
  bool direct() const;
  // Byte offset in the device of the first visible pixel row.
  size_t start() const;
  // Bytes of one push: the visible rows at the device's line length.
  size_t framebytes() const;
  // Converts a width × height 32-bit bitmap into out (framebytes() long).
  void convert(const unsigned char* pixels, std::vector<unsigned char>& out) const;
  // The same for rows fromrow .. torow - 1 only; the rest of out is left.
  void convert(const unsigned char* pixels, std::vector<unsigned char>& out, int fromrow,
               int torow) const;
};
