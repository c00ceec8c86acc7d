// Glyph lookup: the two linear scans and the constant-time index that must
// answer exactly as they do. Reads the font; never draws or changes it.
#include "graphics/glyphindex.h"

#include <algorithm>

bool glyphindex::enabled = true;
const unsigned char* glyphindex::keyvec = nullptr;
int glyphindex::keyvennum = -1;
const unsigned short* glyphindex::keychss = nullptr;
int glyphindex::keyzn = -1;
int glyphindex::glyphofcode[65536];
int glyphindex::startofglyph[65536];

namespace {

// A glyph is usable only when its end mark lies inside the stream, so the
// walk that draws it cannot run past the end.
bool hasend(const unsigned char* vec, int vennum, int start) {
  for (int i = start; i + 1 < vennum; i += 2)
    if (vec[i + 1] & 1) return true;
  return false;
}

}  // namespace

const unsigned char* glyphindex::scan(const unsigned char* vec, int vennum,
                                      const unsigned short* chss, int zn, unsigned short code) {
  if (!vec || !chss) return nullptr;
  int g = 0;
  while (g < zn && chss[g] != code) g++;
  if (g == zn) return nullptr;
  int start = 0;
  for (int marks = 0; marks < g; start += 2) {
    if (start + 1 >= vennum) return nullptr;
    if (vec[start + 1] & 1) marks++;
  }
  return hasend(vec, vennum, start) ? vec + start : nullptr;
}

void glyphindex::build(const unsigned char* vec, int vennum, const unsigned short* chss, int zn) {
  keyvec = vec;
  keyvennum = vennum;
  keychss = chss;
  keyzn = zn;
  std::fill(glyphofcode, glyphofcode + 65536, -1);
  // Only the first zn glyph numbers are ever looked up.
  std::fill(startofglyph, startofglyph + std::max(zn, 0), -1);
  if (!vec || !chss) return;
  // Later entries first, so the first of duplicate codes wins.
  for (int g = zn - 1; g >= 0; g--) glyphofcode[chss[g]] = g;
  // A glyph starts after the previous glyph's end mark; it is recorded
  // only once its own end mark is found.
  int g = 0, start = 0;
  for (int i = 0; i + 1 < vennum && g < zn; i += 2)
    if (vec[i + 1] & 1) {
      startofglyph[g++] = start;
      start = i + 2;
    }
}

const unsigned char* glyphindex::find(const unsigned char* vec, int vennum,
                                      const unsigned short* chss, int zn, unsigned short code) {
  if (!enabled) return scan(vec, vennum, chss, zn, code);
  if (vec != keyvec || vennum != keyvennum || chss != keychss || zn != keyzn)
    build(vec, vennum, chss, zn);
  int g = glyphofcode[code];
  if (g < 0 || startofglyph[g] < 0) return nullptr;
  return vec + startofglyph[g];
}
