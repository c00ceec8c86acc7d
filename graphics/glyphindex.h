// Glyph lookup in a stroke font: from a character code to the first point
// of its glyph in the point stream.
//
// The plain lookup scans the code table for the first matching entry and
// then the stream for that glyph's start (`scan`). `find` gives the same
// answer in constant time from two tables built once per installed font,
// rebuilt whenever another font is installed. Nothing here draws.
#pragma once

class glyphindex {
 public:
  // Benchmark switch: false makes `find` fall back to `scan`.
  static bool enabled;

  // The glyph of `code`, or null when the code is absent or the stream
  // ends before the glyph does. The stream is read in whole points (two
  // bytes); an odd last byte is ignored.
  static const unsigned char* find(const unsigned char* vec, int vennum, const unsigned short* chss,
                                   int zn, unsigned short code);
  static const unsigned char* scan(const unsigned char* vec, int vennum, const unsigned short* chss,
                                   int zn, unsigned short code);

 private:
  static void build(const unsigned char* vec, int vennum, const unsigned short* chss, int zn);

  // The font the tables describe.
  static const unsigned char* keyvec;
  static int keyvennum;
  static const unsigned short* keychss;
  static int keyzn;
  // Plain arrays, so lookups work even from other files' static set-up.
  static int glyphofcode[65536];   // -1 when absent
  static int startofglyph[65536];  // byte offset, -1 when incomplete
};
