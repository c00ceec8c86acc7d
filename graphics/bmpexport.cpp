// Writes a bitmap as an uncompressed 24-bit BMP, bottom row first.
#include "graphics/bmpexport.h"

#include <string>

#include "graphics/mybitmap.h"

namespace {

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8 & 0xFF);
}

void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void emit(FILE* f, const std::string& bytes) {
  if (f) fwrite(bytes.data(), 1, bytes.size(), f);
}

}  // namespace

void bmpfileheader::append(std::string& out) const {
  put16(out, type);
  put32(out, size);
  put16(out, reserved1);
  put16(out, reserved2);
  put32(out, offbits);
}

void bmpheader::append(std::string& out) const {
  put32(out, size);
  put32(out, static_cast<uint32_t>(width));
  put32(out, static_cast<uint32_t>(height));
  put16(out, planes);
  put16(out, bitcount);
  put32(out, compression);
  put32(out, sizeimage);
  put32(out, static_cast<uint32_t>(xpelspermeter));
  put32(out, static_cast<uint32_t>(ypelspermeter));
  put32(out, clrused);
  put32(out, clrimportant);
}

void bmpfileheader::save(FILE* f) const {
  std::string bytes;
  append(bytes);
  emit(f, bytes);
}

void bmpheader::save(FILE* f) const {
  std::string bytes;
  append(bytes);
  emit(f, bytes);
}

std::string mybitmap::bmpbytes() const {
  uint32_t rowsize = (3u * width + 3u) / 4u * 4u;
  uint32_t datasize = rowsize * height;
  bmpfileheader fh;
  fh.size = 54 + datasize;
  fh.offbits = 54;
  bmpheader ih;
  ih.width = width;
  ih.height = height;
  ih.sizeimage = datasize;
  std::string out;
  out.reserve(54 + static_cast<size_t>(datasize));
  fh.append(out);
  ih.append(out);
  std::string row(rowsize, '\0');
  for (int y = height - 1; y >= 0; y--) {
    for (int x = 0; x < width; x++) {
      const unsigned char* p = at(x, y);
      row[3 * x] = static_cast<char>(p[0]);
      row[3 * x + 1] = static_cast<char>(p[1]);
      row[3 * x + 2] = static_cast<char>(p[2]);
    }
    out += row;
  }
  return out;
}

bool mybitmap::savetobmp(const char* path) const {
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  std::string bytes = bmpbytes();
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}
