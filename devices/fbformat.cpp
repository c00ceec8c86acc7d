// Pixel layout conversion for framebuffers that are not plain 32-bit BGRA.
#include "devices/fbformat.h"

#include <cstdio>
#include <cstring>

namespace {

// 64 bits: an offset near 2^32 must not wrap back into the pixel.
bool channelok(const fbchannel& c, int bpp) {
  return c.length >= 1 && c.length <= 8 &&
         static_cast<uint64_t>(c.offset) + c.length <= static_cast<uint64_t>(bpp);
}

std::string refusal(const char* what, uint64_t value, const char* why) {
  char line[160];
  snprintf(line, sizeof line, "error: unsupported framebuffer: %s %llu %s.", what,
           static_cast<unsigned long long>(value), why);
  return line;
}

// The first wrong value of a report, or "" when it is a sane frame.
std::string problem(const fbreport& r) {
  if (r.bpp != 16 && r.bpp != 24 && r.bpp != 32) {
    char line[120];
    snprintf(line, sizeof line, "error: unsupported framebuffer: %u bits per pixel.", r.bpp);
    return line;
  }
  if (r.xres == 0 || r.xres > fbformat::maxside)
    return refusal("width", r.xres, "is outside 1 to 16384");
  if (r.yres == 0 || r.yres > fbformat::maxside)
    return refusal("height", r.yres, "is outside 1 to 16384");
  uint64_t pixels = static_cast<uint64_t>(r.xres) * r.yres;
  if (pixels > fbformat::maxpixels) return refusal("frame of", pixels, "pixels is too large");
  const char* names[3] = {"red", "green", "blue"};
  const fbchannel* channels[3] = {&r.red, &r.green, &r.blue};
  for (int i = 0; i < 3; i++)
    if (!channelok(*channels[i], static_cast<int>(r.bpp))) {
      char line[160];
      snprintf(line, sizeof line,
               "error: unsupported framebuffer: %s channel at bit %u, %u bits long, is outside "
               "the %u-bit pixel.",
               names[i], channels[i]->offset, channels[i]->length, r.bpp);
      return line;
    }
  uint64_t bytes = r.bpp / 8;
  uint64_t row = (static_cast<uint64_t>(r.xoffset) + r.xres) * bytes;
  if (r.linelength < row) return refusal("line length", r.linelength, "is shorter than a row");
  if (r.linelength > fbformat::maxline) return refusal("line length", r.linelength, "is too long");
  if (r.yoffset > fbformat::maxyoffset) return refusal("y offset", r.yoffset, "is too large");
  return "";
}

uint32_t pack(unsigned v, const fbchannel& c) { return (v >> (8 - c.length)) << c.offset; }

}  // namespace

std::string fbformat::take(const fbreport& r) {
  std::string why = problem(r);
  if (!why.empty()) return why;
  width = static_cast<int>(r.xres);
  height = static_cast<int>(r.yres);
  bpp = static_cast<int>(r.bpp);
  linelength = static_cast<int>(r.linelength);
  xoffset = static_cast<int>(r.xoffset);
  yoffset = static_cast<int>(r.yoffset);
  red = r.red;
  green = r.green;
  blue = r.blue;
  return "";
}

bool fbformat::supported() const {
  if (width < 0 || height < 0 || bpp < 0 || linelength < 0 || xoffset < 0 || yoffset < 0)
    return false;
  fbreport r;
  r.xres = static_cast<uint32_t>(width);
  r.yres = static_cast<uint32_t>(height);
  r.bpp = static_cast<uint32_t>(bpp);
  r.linelength = static_cast<uint32_t>(linelength);
  r.xoffset = static_cast<uint32_t>(xoffset);
  r.yoffset = static_cast<uint32_t>(yoffset);
  r.red = red;
  r.green = green;
  r.blue = blue;
  return problem(r).empty();
}

bool fbformat::direct() const {
  return bpp == 32 && linelength == width * 4 && xoffset == 0 && red.offset == 16 &&
         red.length == 8 && green.offset == 8 && green.length == 8 && blue.offset == 0 &&
         blue.length == 8;
}

size_t fbformat::start() const {
  return static_cast<size_t>(yoffset) * linelength + static_cast<size_t>(xoffset) * (bpp / 8);
}

size_t fbformat::framebytes() const {
  if (height <= 0) return 0;
  return static_cast<size_t>(height - 1) * linelength + static_cast<size_t>(width) * (bpp / 8);
}

namespace {

// One writer per depth, chosen once per frame rather than per pixel.
// Each channel's byte value maps to its bits in the device pixel through a
// table, so a pixel costs three look-ups.
template <int bytes>
void convertrows(const fbformat& f, const unsigned char* pixels, unsigned char* out, int fromrow,
                 int torow) {
  uint32_t tr[256], tg[256], tb[256];
  for (unsigned v = 0; v < 256; v++) {
    tr[v] = pack(v, f.red);
    tg[v] = pack(v, f.green);
    tb[v] = pack(v, f.blue);
  }
  for (int y = fromrow; y < torow; y++) {
    const unsigned char* src = pixels + static_cast<size_t>(y) * f.width * 4;
    unsigned char* dst = out + static_cast<size_t>(y) * f.linelength;
    for (int x = 0; x < f.width; x++, src += 4, dst += bytes) {
      uint32_t px = tr[src[2]] | tg[src[1]] | tb[src[0]];
      for (int b = 0; b < bytes; b++) dst[b] = static_cast<unsigned char>(px >> (8 * b));
    }
  }
}

bool standardchannels(const fbformat& f) {
  return f.red.offset == 16 && f.red.length == 8 && f.green.offset == 8 && f.green.length == 8 &&
         f.blue.offset == 0 && f.blue.length == 8;
}

}  // namespace

void fbformat::convert(const unsigned char* pixels, std::vector<unsigned char>& out) const {
  convert(pixels, out, 0, height);
}

void fbformat::convert(const unsigned char* pixels, std::vector<unsigned char>& out, int fromrow,
                       int torow) const {
  // Gaps between rows are never written, so they stay zero once made.
  if (out.size() != framebytes()) out.assign(framebytes(), 0);
  if (fromrow < 0) fromrow = 0;
  if (torow > height) torow = height;
  if (bpp == 32 && standardchannels(*this)) {
    // Only the line length differs: copy row by row.
    for (int y = fromrow; y < torow; y++)
      std::memcpy(out.data() + static_cast<size_t>(y) * linelength,
                  pixels + static_cast<size_t>(y) * width * 4, static_cast<size_t>(width) * 4);
  } else if (bpp == 32) {
    convertrows<4>(*this, pixels, out.data(), fromrow, torow);
  } else if (bpp == 24) {
    convertrows<3>(*this, pixels, out.data(), fromrow, torow);
  } else {
    convertrows<2>(*this, pixels, out.data(), fromrow, torow);
  }
}
