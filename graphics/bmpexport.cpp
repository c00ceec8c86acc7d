// Writes a bitmap as an uncompressed 24-bit BMP, bottom row first.
#include "graphics/bmpexport.h"

#include <vector>

#include "graphics/mybitmap.h"

namespace {

void put16(FILE* f, uint32_t v) {
  unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
  fwrite(b, 1, 2, f);
}

void put32(FILE* f, uint32_t v) {
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  fwrite(b, 1, 4, f);
}

}  // namespace

void bmpfileheader::save(FILE* f) const {
  if (!f) return;
  put16(f, type);
  put32(f, size);
  put16(f, reserved1);
  put16(f, reserved2);
  put32(f, offbits);
}

void bmpheader::save(FILE* f) const {
  if (!f) return;
  put32(f, size);
  put32(f, static_cast<uint32_t>(width));
  put32(f, static_cast<uint32_t>(height));
  put16(f, planes);
  put16(f, bitcount);
  put32(f, compression);
  put32(f, sizeimage);
  put32(f, static_cast<uint32_t>(xpelspermeter));
  put32(f, static_cast<uint32_t>(ypelspermeter));
  put32(f, clrused);
  put32(f, clrimportant);
}

void mybitmap::savetobmp(const char* path) {
  FILE* f = fopen(path, "wb");
  if (!f) return;
  uint32_t rowsize = (3u * width + 3u) / 4u * 4u;
  uint32_t datasize = rowsize * height;
  bmpfileheader fh;
  fh.size = 54 + datasize;
  fh.offbits = 54;
  bmpheader ih;
  ih.width = width;
  ih.height = height;
  ih.sizeimage = datasize;
  fh.save(f);
  ih.save(f);
  std::vector<unsigned char> row(rowsize, 0);
  for (int y = height - 1; y >= 0; y--) {
    for (int x = 0; x < width; x++) {
      const unsigned char* p = at(x, y);
      row[3 * x] = p[0];
      row[3 * x + 1] = p[1];
      row[3 * x + 2] = p[2];
    }
    fwrite(row.data(), 1, rowsize, f);
  }
  fclose(f);
}
