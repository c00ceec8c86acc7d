// The two BMP header records. Each writes its fields one by one in
// little-endian order, so the file layout never depends on struct packing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

struct bmpfileheader {
  uint16_t type;
  uint32_t size;
  uint16_t reserved1;
  uint16_t reserved2;
  uint32_t offbits;

  bmpfileheader() : type(0x4D42), size(0), reserved1(0), reserved2(0), offbits(0) {}
  void save(FILE* f) const;
  void append(std::string& out) const;  // the 14 bytes, for a file built in memory
};

struct bmpheader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitcount;
  uint32_t compression;
  uint32_t sizeimage;
  int32_t xpelspermeter;
  int32_t ypelspermeter;
  uint32_t clrused;
  uint32_t clrimportant;

  bmpheader()
      : size(40),
        width(0),
        height(0),
        planes(1),
        bitcount(24),
        compression(0),
        sizeimage(0),
        xpelspermeter(0),
        ypelspermeter(0),
        clrused(0),
        clrimportant(0) {}
  void save(FILE* f) const;
  void append(std::string& out) const;  // the 40 bytes
};
