// The dictionary dump tools. Each writer opens "temp.txt", writes, closes
// and ends the process; none of them returns.
#include "input/dumptools.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FILE* opentemp() {
  FILE* f = std::fopen("temp.txt", "w");
  if (!f) std::exit(1);
  return f;
}

// A write error (full disk, ...) must not end as success.
[[noreturn]] void closeandexit(FILE* f) {
  bool bad = std::ferror(f) != 0;
  if (std::fclose(f) != 0) bad = true;
  std::exit(bad ? 1 : 0);
}

void putvalue(FILE* f, int v) { std::fprintf(f, "%d,", v); }
void putvalue(FILE* f, long long v) { std::fprintf(f, "%lld,", v); }

// Comma after each value, newline after every tenth.
template <typename T>
void writelist(FILE* f, const T* values, int n) {
  for (int i = 0; i < n; i++) {
    putvalue(f, values[i]);
    if (i % 10 == 9) std::fputc('\n', f);
  }
}

int letters(uint64_t code) {
  int n = 0;
  while (n < 8 && ((code >> (8 * n)) & 0xFF) != 0) n++;
  return n;
}

uint64_t letter(uint64_t code, int i) { return (code >> (8 * i)) & 0xFF; }

uint64_t pack(uint64_t a, uint64_t b, uint64_t c, uint64_t d) {
  return a | (b << 8) | (c << 16) | (d << 24);
}

}  // namespace

void storeints(int* values, int n) {
  FILE* f = opentemp();
  writelist(f, values, n);
  closeandexit(f);
}

void storewords(unsigned short* values, int n) {
  FILE* f = opentemp();
  // Promoted to int, so "%d" prints the unsigned value.
  writelist(f, values, n);
  closeandexit(f);
}

void piksr2(long long* keys, int* rows, int n) {
  // Open first: when the file cannot be had, the arrays stay as they were.
  FILE* f = opentemp();
  for (int i = 1; i < n; i++) {
    long long key = keys[i];
    int row = rows[i];
    int j = i - 1;
    while (j >= 0 && keys[j] > key) {
      keys[j + 1] = keys[j];
      rows[j + 1] = rows[j];
      j--;
    }
    keys[j + 1] = key;
    rows[j + 1] = row;
  }
  writelist(f, keys, n);
  std::fputs("\n===========\n", f);
  writelist(f, rows, n);
  closeandexit(f);
}

void setchiwbfile(const char* chitext, int chicount, const int* chiidx, const uint64_t* chiwb) {
  FILE* f = opentemp();
  for (int k = 0; k < chicount; k++) {
    char text[100];
    std::memset(text, 0, sizeof text);
    int len = chiidx[k + 1] - chiidx[k];
    if (len < 0) len = 0;
    if (len > static_cast<int>(sizeof text) - 1) len = sizeof text - 1;
    std::memcpy(text, chitext + chiidx[k], len);
    char code[9];
    std::memcpy(code, &chiwb[k], 8);
    code[8] = 0;
    std::fprintf(f, "%s %s\n", code, text);
  }
  closeandexit(f);
}

uint64_t azhiwb(unsigned short ch, const unsigned short* zhitab, int zhicount,
                const uint64_t* wbtab, const int* wbidx) {
  for (int row = 0; row < zhicount; row++) {
    if (zhitab[row] != ch) continue;
    for (int i = 0; i < zhicount; i++)
      if (wbidx[i] == row) return wbtab[i];
  }
  return 0;
}

uint64_t wordcode(uint64_t c1, uint64_t c2, uint64_t c3, uint64_t cl, int n) {
  if (n == 2) {
    if (letters(c1) < 2 || letters(c2) < 2) return 0;
    return pack(letter(c1, 0), letter(c1, 1), letter(c2, 0), letter(c2, 1));
  }
  if (n == 3) {
    if (letters(c1) < 1 || letters(c2) < 1 || letters(c3) < 2) return 0;
    return pack(letter(c1, 0), letter(c2, 0), letter(c3, 0), letter(c3, 1));
  }
  if (n >= 4) {
    if (!c1 || !c2 || !c3 || !cl) return 0;
    return pack(letter(c1, 0), letter(c2, 0), letter(c3, 0), letter(cl, 0));
  }
  return 0;
}

uint64_t awordwb(const unsigned short* chars, int n, const unsigned short* zhitab, int zhicount,
                 const uint64_t* wbtab, const int* wbidx) {
  if (n < 2) return 0;
  auto code = [&](int i) { return azhiwb(chars[i], zhitab, zhicount, wbtab, wbidx); };
  uint64_t c1 = code(0);
  uint64_t c2 = code(1);
  uint64_t c3 = n >= 3 ? code(2) : 0;
  uint64_t cl = n >= 4 ? code(n - 1) : 0;
  return wordcode(c1, c2, c3, cl, n);
}
