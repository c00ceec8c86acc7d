// What a GBK character is, in one place for every layer that steps through
// text: a lead byte 0x81..0xFE followed by a trail byte 0x40..0x7E or
// 0x80..0xFE is one two-column character. Any other byte is one byte: ASCII
// as itself, and a byte of 0x80 or more that starts no pair (0x80, 0xFF, a
// lead byte before a byte below 0x40, before 0x7F, or at the end) is a stray
// byte, kept as it is and shown as a placeholder.
#pragma once

#include <cstddef>
#include <cstring>

inline bool isgbklead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

inline bool isgbktrail(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// True when p[0] and p[1] form one GBK character; `left` counts the bytes
// from p to the end of the text (at least 1).
inline bool isgbkpair(const unsigned char* p, size_t left) {
  return left >= 2 && isgbklead(p[0]) && isgbktrail(p[1]);
}

// Bytes of the character at p: 2 for a GBK pair, else 1.
inline int gbkcharbytes(const unsigned char* p, size_t left) { return isgbkpair(p, left) ? 2 : 1; }

// The same for a zero-terminated string (a zero byte is never a trail).
inline int gbkcharbytes(const unsigned char* p) {
  return isgbklead(p[0]) && isgbktrail(p[1]) ? 2 : 1;
}

// A byte of 0x80 or more that starts no pair (p at a character's start).
inline bool isgbkstray(const unsigned char* p, size_t left) {
  return p[0] >= 0x80 && !isgbkpair(p, left);
}

// Where to cut the n bytes at p so that at most max bytes stay and no pair
// is split: the length of the whole characters that fit.
inline size_t gbkfit(const unsigned char* p, size_t n, size_t max) {
  size_t k = 0;
  while (k < n) {
    size_t c = static_cast<size_t>(gbkcharbytes(p + k, n - k));
    if (k + c > max) break;
    k += c;
  }
  return k;
}

// Copies the zero-terminated src into dst, at most max bytes of whole
// characters and a terminating zero (dst holds max + 1 bytes).
inline void gbkcopy(char* dst, const char* src, size_t max) {
  size_t k = gbkfit(reinterpret_cast<const unsigned char*>(src), strnlen(src, max + 1), max);
  std::memcpy(dst, src, k);
  dst[k] = 0;
}
