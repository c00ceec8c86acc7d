// Pixel layout conversion for framebuffers that are not plain 32-bit BGRA.
#include "devices/fbformat.h"

#include <cstring>

namespace {

bool channelok(const fbchannel& c, int bpp) {
  return c.length >= 1 && c.length <= 8 && c.offset + c.length <= static_cast<unsigned>(bpp);
}

uint32_t pack(unsigned v, const fbchannel& c) { return (v >> (8 - c.length)) << c.offset; }

}  // namespace

bool fbformat::supported() const {
  if (bpp != 16 && bpp != 24 && bpp != 32) return false;
  return channelok(red, bpp) && channelok(green, bpp) && channelok(blue, bpp) &&
         linelength >= width * (bpp / 8);
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
void convertrows(const fbformat& f, const unsigned char* pixels, unsigned char* out) {
  uint32_t tr[256], tg[256], tb[256];
  for (unsigned v = 0; v < 256; v++) {
    tr[v] = pack(v, f.red);
    tg[v] = pack(v, f.green);
    tb[v] = pack(v, f.blue);
  }
  for (int y = 0; y < f.height; y++) {
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
  // Gaps between rows are never written, so they stay zero once made.
  if (out.size() != framebytes()) out.assign(framebytes(), 0);
  if (bpp == 32 && standardchannels(*this)) {
    // Only the line length differs: copy row by row.
    for (int y = 0; y < height; y++)
      std::memcpy(out.data() + static_cast<size_t>(y) * linelength,
                  pixels + static_cast<size_t>(y) * width * 4, static_cast<size_t>(width) * 4);
  } else if (bpp == 32) {
    convertrows<4>(*this, pixels, out.data());
  } else if (bpp == 24) {
    convertrows<3>(*this, pixels, out.data());
  } else {
    convertrows<2>(*this, pixels, out.data());
  }
}
