// Reading, comparing and saving test pictures (PNG through libpng).
#include "tools/e2e/rigimage.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

uint32_t le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; i--) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

std::string rigreadfile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  if (f) s << f.rdbuf();
  return s.str();
}

void rigwritefile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
}

rigimage rigimage::crop(const rigrect& r) const {
  int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
  int x1 = std::min(r.x + r.w, width), y1 = std::min(r.y + r.h, height);
  if (x1 <= x0 || y1 <= y0) return rigimage();
  rigimage out(x1 - x0, y1 - y0);
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) out.at(x - x0, y - y0) = at(x, y);
  return out;
}

int rigimage::count(uint32_t c, const rigrect& r) const {
  int n = 0;
  for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, height); y++)
    for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, width); x++) n += at(x, y) == c;
  return n;
}

rigimage rigimage::loadbmp(const std::string& path) {
  std::string b = rigreadfile(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return rigimage();
  uint32_t offset = le(b, 10, 4);
  int32_t w = static_cast<int32_t>(le(b, 18, 4));
  int32_t h = static_cast<int32_t>(le(b, 22, 4));
  int bits = static_cast<int>(le(b, 28, 2));
  if (le(b, 30, 4) != 0 || (bits != 24 && bits != 32) || w <= 0 || h == 0) return rigimage();
  bool bottomup = h > 0;
  if (!bottomup) h = -h;
  size_t rowsize = (static_cast<size_t>(w) * bits / 8 + 3) / 4 * 4;
  if (offset + rowsize * h > b.size()) return rigimage();
  rigimage img(w, h);
  for (int row = 0; row < h; row++) {
    size_t at = offset + rowsize * row;
    int y = bottomup ? h - 1 - row : row;
    for (int x = 0; x < w; x++, at += bits / 8) img.at(x, y) = le(b, at, 3);
  }
  return img;
}

rigimage rigimage::loadpng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return rigimage();
  png.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(png));
  // Pictures with transparency are laid on white, as viewers show them.
  png_color white = {255, 255, 255};
  if (!png_image_finish_read(&png, &white, rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    return rigimage();
  }
  rigimage img(static_cast<int>(png.width), static_cast<int>(png.height));
  for (size_t i = 0; i < img.px.size(); i++)
    img.px[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  return img;
}

bool rigimage::saveppm(const std::string& path) const {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  fprintf(f, "P6\n%d %d\n255\n", width, height);
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      uint32_t p = at(x, y);
      row[3 * x] = static_cast<unsigned char>(p >> 16);
      row[3 * x + 1] = static_cast<unsigned char>(p >> 8);
      row[3 * x + 2] = static_cast<unsigned char>(p);
    }
    fwrite(row.data(), 1, row.size(), f);
  }
  return fclose(f) == 0;
}

bool rigimage::savepng(const std::string& path) const {
  if (empty()) return false;
  std::vector<unsigned char> rgb(px.size() * 3);
  for (size_t i = 0; i < px.size(); i++) {
    rgb[3 * i] = static_cast<unsigned char>(px[i] >> 16);
    rgb[3 * i + 1] = static_cast<unsigned char>(px[i] >> 8);
    rgb[3 * i + 2] = static_cast<unsigned char>(px[i]);
  }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(width);
  png.height = static_cast<png_uint_32>(height);
  png.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

::testing::AssertionResult sameimage(const rigimage& a, const rigimage& b,
                                     const std::vector<rigrect>& excluded) {
  if (a.width != b.width || a.height != b.height)
    return ::testing::AssertionFailure() << "sizes differ: " << a.width << "x" << a.height
                                         << " and " << b.width << "x" << b.height;
  long differ = 0;
  int fx = -1, fy = -1;
  for (size_t i = 0; i < a.px.size(); i++) {
    if (a.px[i] == b.px[i]) continue;
    int x = static_cast<int>(i % a.width), y = static_cast<int>(i / a.width);
    bool skip = false;
    for (const rigrect& r : excluded) skip = skip || r.contains(x, y);
    if (!skip && differ++ == 0) fx = x, fy = y;
  }
  if (differ == 0) return ::testing::AssertionSuccess();
  char first[80];
  snprintf(first, sizeof first, "(%d,%d): %06X against %06X", fx, fy, a.at(fx, fy), b.at(fx, fy));
  return ::testing::AssertionFailure() << differ << " pixels differ, the first at " << first;
}

::testing::AssertionResult matchesreference(const rigimage& img, const std::string& png,
                                            const std::vector<rigrect>& excluded) {
  if (std::getenv("BIHUA_UPDATE_REFERENCES")) {
    if (img.savepng(png)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cannot write " << png;
  }
  rigimage want = rigimage::loadpng(png);
  if (want.empty()) return ::testing::AssertionFailure() << "cannot read " << png;
  ::testing::AssertionResult same = sameimage(img, want, excluded);
  if (same) return same;
  std::string base = png.substr(png.find_last_of('/') + 1);
  std::string actual = ::testing::TempDir() + base.substr(0, base.rfind('.')) + "-actual.png";
  img.savepng(actual);
  return same << "; this run's picture is " << actual;
}
