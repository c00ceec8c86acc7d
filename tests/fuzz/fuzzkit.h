// Shared by the fuzz targets: reading numbers and byte strings off the
// front of the fuzzer's input, and a screen bitmap for views to draw into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/mybitmap.h"
#include "views/myview.h"

struct fuzzinput {
  const uint8_t* data;
  size_t size;
  bool empty() const { return size == 0; }
  uint8_t byte() {
    if (!size) return 0;
    size--;
    return *data++;
  }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) v = v << 8 | byte();
    return v;
  }
  // Mostly small numbers, sometimes the far ends of int.
  int coord() {
    switch (byte() & 7) {
      case 0: return static_cast<int>(u32());
      case 1: return -static_cast<int>(byte());
      default: return byte() * 4;
    }
  }
  // Up to max bytes, ending at a zero byte or the end of input.
  std::string text(size_t max) {
    std::string s;
    while (size && s.size() < max) {
      uint8_t b = byte();
      if (b == 0) break;
      s += static_cast<char>(b);
    }
    return s;
  }
};

// A screen bitmap that the views draw into, made once.
inline mybitmap& fuzzscreen(int w = 160, int h = 120) {
  static mybitmap b(w, h);
  myview::pmymap = &b;
  return b;
}

// True when s is ASCII bytes and GBK pairs (lead 81-FE, trail 40-FE but 7F).
inline bool wholegbk(const std::string& s) {
  for (size_t i = 0; i < s.size(); i++) {
    unsigned char b = s[i];
    if (b < 0x80) continue;
    if (b == 0x80 || b == 0xFF || i + 1 >= s.size()) return false;
    unsigned char t = s[++i];
    if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
  }
  return true;
}
