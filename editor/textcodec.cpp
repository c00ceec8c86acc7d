// GBK <-> UTF-8 conversion and the UTF-8 detector (see textcodec.h).
#include "editor/textcodec.h"

#include <cstring>
#include <vector>

#include "editor/generated/gbktable.h"
#include "graphics/gbkchar.h"

namespace {

// Inverse of the generated table, made on first use: Unicode (BMP) -> code.
const std::vector<unsigned short>& unicodetable() {
  static const std::vector<unsigned short> table = [] {
    std::vector<unsigned short> t(0x10000, 0);
    for (int i = 0; i < gbkleads * gbktrails; i++) {
      unsigned u = gbktounicode[i];
      if (u)
        t[u] = static_cast<unsigned short>((gbkfirstlead + i / gbktrails) << 8 |
                                           (gbkfirsttrail + i % gbktrails));
    }
    return t;
  }();
  return table;
}

// Counts lines and columns of the characters passed so far.
struct position {
  int line = 1;
  int column = 1;
  void step(unsigned c) {
    if (c == '\n') {
      line++;
      column = 1;
    } else {
      column++;
    }
  }
  void fault(codecfault& f, unsigned ch, unsigned code) const {
    f.line = line;
    f.column = column;
    f.ch = ch;
    f.code = code;
  }
};

const char* breakbytes(breakstyle b) {
  return b == breakstyle::crlf ? "\r\n" : b == breakstyle::cr ? "\r" : "\n";
}

void putgbk(std::string& out, unsigned code) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

}  // namespace

unsigned gbkunicode(unsigned char lead, unsigned char trail) {
  if (lead < gbkfirstlead || lead >= gbkfirstlead + gbkleads || trail < gbkfirsttrail ||
      trail >= gbkfirsttrail + gbktrails)
    return 0;
  return gbktounicode[(lead - gbkfirstlead) * gbktrails + (trail - gbkfirsttrail)];
}

unsigned unicodegbk(unsigned u) { return u < 0x10000 ? unicodetable()[u] : 0; }

int utf8decode(const unsigned char* p, size_t n, unsigned& u) {
  if (n == 0) return -1;
  unsigned b = p[0];
  if (b < 0x80) {
    u = b;
    return 1;
  }
  // Length, first bits, and the range the second byte must lie in: that
  // range is what refuses overlong forms, surrogates and values past U+10FFFF.
  int need;
  unsigned lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    need = 2;
    u = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    need = 3;
    u = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    need = 4;
    u = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  for (int i = 1; i < need; i++) {
    if (static_cast<size_t>(i) >= n) return -1;
    unsigned c = p[i];
    if (c < (i == 1 ? lo : 0x80) || c > (i == 1 ? hi : 0xBF)) return 0;
    u = u << 6 | (c & 0x3F);
  }
  return need;
}

void utf8append(std::string& out, unsigned u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | u >> 6);
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | u >> 12);
    out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | u >> 18);
    out += static_cast<char>(0x80 | (u >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

utf8scan scanutf8(const unsigned char* p, size_t n) {
  utf8scan s = {true, false, n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF};
  size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {  // the common case, without the call
      i++;
      continue;
    }
    unsigned u;
    int k = utf8decode(p + i, n - i, u);
    if (k <= 0) {
      s.valid = false;
      return s;
    }
    s.nonascii = true;
    i += k;
  }
  return s;
}

bool utf8togbk(const unsigned char* p, size_t n, std::string& out, codecfault& fault) {
  out.reserve(out.size() + n);
  position at;
  size_t i = 0;
  while (i < n) {
    unsigned u;
    int k = utf8decode(p + i, n - i, u);
    if (k <= 0) {
      at.fault(fault, 0, 0);
      return false;
    }
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else {
      unsigned code = unicodegbk(u);
      if (!code) {
        at.fault(fault, u, 0);
        return false;
      }
      putgbk(out, code);
    }
    at.step(u);
    i += k;
  }
  return true;
}

bool gbktoutf8(const unsigned char* p, size_t n, std::string& out, breakstyle breaks,
               codecfault& fault) {
  out.reserve(out.size() + n + n / 2);
  position at;
  size_t i = 0;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      bool crlf = b == '\r' && i + 1 < n && p[i + 1] == '\n';
      if (breaks != breakstyle::keep && (b == '\n' || crlf)) {
        out += breakbytes(breaks);
        i += crlf ? 2 : 1;
        at.step('\n');
        continue;
      }
      out += static_cast<char>(b);
      at.step(b);
      i++;
      continue;
    }
    // Only a GBK pair has a character in the table.
    unsigned u = i + 1 < n ? gbkunicode(b, p[i + 1]) : 0;
    if (!u) {
      at.fault(fault, 0, isgbkpair(p + i, n - i) ? (b << 8 | p[i + 1]) : b);
      return false;
    }
    utf8append(out, u);
    at.step(u);
    i += 2;
  }
  return true;
}

bool firstbreakiscrlf(const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n; i++)
    if (p[i] == '\n') return i > 0 && p[i - 1] == '\r';
  return false;
}

breakscan scanbreaks(const unsigned char* p, size_t n) {
  breakscan s;
  for (size_t i = 0; i < n; i++) {
    unsigned char b = p[i];
    if (b != '\r' && b != '\n') continue;
    breakstyle style = breakstyle::lf;
    if (b == '\r') {
      bool crlf = i + 1 < n && p[i + 1] == '\n';
      style = crlf ? breakstyle::crlf : breakstyle::cr;
      i += crlf;
    }
    s.note(style);
    if (s.mixed) return s;
  }
  return s;
}

const char* breakname(breakstyle b) {
  switch (b) {
    case breakstyle::lf:
      return "LF";
    case breakstyle::cr:
      return "CR";
    default:
      return "CRLF";
  }
}

void putbreaks(const unsigned char* p, size_t n, breakstyle b, std::string& out) {
  if (b == breakstyle::keep) {
    out.append(reinterpret_cast<const char*>(p), n);
    return;
  }
  const char* brk = breakbytes(b);
  out.reserve(out.size() + n);
  const unsigned char* end = p + n;
  while (p < end) {
    const unsigned char* lf = static_cast<const unsigned char*>(memchr(p, '\n', end - p));
    if (!lf) lf = end;
    // Bytes up to the LF, without the CR of a CR LF.
    const unsigned char* stop = lf < end && lf > p && lf[-1] == '\r' ? lf - 1 : lf;
    out.append(reinterpret_cast<const char*>(p), stop - p);
    if (lf < end) out += brk;
    p = lf + 1;
  }
}

// ---- the stream

void utf8stream::put(unsigned u, std::string& out) {
  unsigned code = u < 0x80 ? 0 : unicodegbk(u);
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (code) {
    putgbk(out, code);
  } else {
    out += '?';
    replaced++;
  }
}

void utf8stream::feed(const unsigned char* p, size_t n, std::string& out) {
  if (pending > 0) {
    // The cut-off character is read again with the bytes that follow it.
    std::string joined(reinterpret_cast<const char*>(held), pending);
    joined.append(reinterpret_cast<const char*>(p), n);
    pending = 0;
    convert(reinterpret_cast<const unsigned char*>(joined.data()), joined.size(), out);
  } else {
    convert(p, n, out);
  }
}

void utf8stream::convert(const unsigned char* p, size_t n, std::string& out) {
  size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      out += static_cast<char>(p[i++]);
      continue;
    }
    unsigned u;
    int k = utf8decode(p + i, n - i, u);
    if (k < 0) {  // at most 3 bytes: a longer start would have decoded
      for (; i < n; i++) held[pending++] = p[i];
      return;
    }
    if (k == 0) {
      // No UTF-8: one "?" for the longest start of a character that is
      // there (or the one byte), then go on after it.
      size_t bad = 1;
      while (bad < 3 && bad < n - i && utf8decode(p + i, bad + 1, u) < 0) bad++;
      put(notunicode, out);
      i += bad;
      continue;
    }
    put(u, out);
    i += k;
  }
}

void utf8stream::finish(std::string& out) {
  if (pending > 0) put(notunicode, out);
  pending = 0;
}
