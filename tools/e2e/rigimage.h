// rigimage: a plain RGB picture for tests, read back from the framebuffer
// file, a BMP or a PNG, compared pixel by pixel (every reference picture
// goes through matchesreference) and saved for a human to look at. Pixels
// are 0xRRGGBB; alpha is never kept.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct rigrect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct rigimage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> px;  // rows from the top

  rigimage() = default;
  rigimage(int w, int h, uint32_t fill = 0xFFFFFF)
      : width(w), height(h), px(static_cast<size_t>(w) * h, fill) {}

  bool empty() const { return width <= 0 || height <= 0; }
  bool inside(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }
  uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
  uint32_t& at(int x, int y) { return px[static_cast<size_t>(y) * width + x]; }

  // The part inside r, clipped to the picture.
  rigimage crop(const rigrect& r) const;
  // How many pixels of r (clipped) have the colour c.
  int count(uint32_t c, const rigrect& r) const;
  int count(uint32_t c) const { return count(c, {0, 0, width, height}); }

  // Reads an uncompressed 24- or 32-bit BMP; empty on any error.
  static rigimage loadbmp(const std::string& path);
  // Any PNG (grey, palette, 16-bit, with alpha: laid on white); empty on
  // error.
  static rigimage loadpng(const std::string& path);
  bool saveppm(const std::string& path) const;
  // An 8-bit RGB PNG.
  bool savepng(const std::string& path) const;
};

// The whole content of a file; empty when it cannot be read.
std::string rigreadfile(const std::string& path);
// Writes (replaces) a file with exactly these bytes.
void rigwritefile(const std::string& path, const std::string& content);

// Success when a and b have the same size and every pixel outside the
// excluded rectangles matches; otherwise says how many differ and where
// the first one is.
::testing::AssertionResult sameimage(const rigimage& a, const rigimage& b,
                                     const std::vector<rigrect>& excluded = {});

// Compares a picture with a reference PNG kept with the tests. With
// BIHUA_UPDATE_REFERENCES set in the environment it writes the picture as
// the new reference instead (look at it before committing). On a mismatch
// the picture is saved beside the test's temporary files and the message
// says where.
::testing::AssertionResult matchesreference(const rigimage& img, const std::string& png,
                                            const std::vector<rigrect>& excluded = {});
