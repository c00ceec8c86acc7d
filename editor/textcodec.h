// GBK and UTF-8: the detector that tells a UTF-8 file from a GBK one, and
// the converters between the pane's GBK text and UTF-8 (files, command
// lines, command output, file names). Built on the generated GBK table;
// no iconv. A character "has a GBK form" when the table gives it a
// two-byte GBK code (all of GBK, 21791 codes, whether or not the font draws
// it); the one-byte 0x80 of some GBK variants is not one: a pane keeps such
// a byte as a stray byte (graphics/gbkchar.h), which has no UTF-8 form.
//
// Nothing here shows a notice: callers say what went wrong, from the
// position a failed conversion reports.
#pragma once

#include <cstddef>
#include <string>

// Unicode character of the two-byte GBK code lead, trail; 0 when none.
unsigned gbkunicode(unsigned char lead, unsigned char trail);
// Two-byte GBK code of Unicode character u as lead << 8 | trail; 0 when
// the character has no GBK form (ASCII included: it is one byte).
unsigned unicodegbk(unsigned u);

// Decodes the UTF-8 character at p, with n bytes available. Returns its
// length (1..4) with the character in u; 0 when the bytes are no UTF-8
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF);
// -1 when they are the start of a character cut off by the end.
int utf8decode(const unsigned char* p, size_t n, unsigned& u);
// Appends the UTF-8 form of u.
void utf8append(std::string& out, unsigned u);

// What the detector found in a file's bytes.
struct utf8scan {
  bool valid;     // the whole is UTF-8 (no truncated sequence either)
  bool nonascii;  // it holds a character above U+007F
  bool bom;       // it starts with the byte-order mark EF BB BF
};
utf8scan scanutf8(const unsigned char* p, size_t n);
// A file is read as UTF-8 when it is valid UTF-8 with a non-ASCII
// character (a byte-order mark counts as one); anything else is GBK.
inline bool isutf8text(const utf8scan& s) { return s.valid && s.nonascii; }

// Where a conversion stopped: the first character that has no form in the
// other encoding. Lines and columns count from 1, columns in characters,
// lines by LF.
struct codecfault {
  int line = 0;
  int column = 0;
  unsigned ch = 0;    // the Unicode character (UTF-8 to GBK)
  unsigned code = 0;  // the byte pair, lead << 8 | trail (GBK to UTF-8)
};

// How line breaks are written: as they are, or every CR LF and bare LF as
// LF, as CR LF, or as a lone CR.
enum class breakstyle { keep, lf, crlf, cr };

// The line breaks of a file's bytes: the style of the first one (CR LF for
// a file without any), and whether another style occurs too. A CR not
// followed by LF is a break of its own.
struct breakscan {
  breakstyle first = breakstyle::crlf;
  bool found = false;
  bool mixed = false;
  // Counts the next line break met, of style s.
  void note(breakstyle s) {
    if (!found) {
      first = s;
      found = true;
    } else if (s != first) {
      mixed = true;
    }
  }
};
breakscan scanbreaks(const unsigned char* p, size_t n);
// The style's name as the state line and the notices show it.
const char* breakname(breakstyle b);
// Appends the pane's text p with every CR LF and bare LF written in style
// b (keep: as they are); every other byte as it is.
void putbreaks(const unsigned char* p, size_t n, breakstyle b, std::string& out);

// UTF-8 to GBK. False at the first character with no GBK form or the first
// byte that is no UTF-8 (ch 0), with out holding what came before it.
bool utf8togbk(const unsigned char* p, size_t n, std::string& out, codecfault& fault);
// GBK to UTF-8, stepping as the pane does (graphics/gbkchar.h). False at
// the first pair that has no Unicode character, or the first stray byte
// (its code then is the byte alone).
bool gbktoutf8(const unsigned char* p, size_t n, std::string& out, breakstyle breaks,
               codecfault& fault);
// The file's line-break style: CR LF when its first line break is CR LF,
// otherwise LF (also for a file without line breaks).
bool firstbreakiscrlf(const unsigned char* p, size_t n);

// UTF-8 arriving in pieces (command output) turned into GBK as it comes: a
// character cut at the end of one piece is kept for the next, never broken.
// A character with no GBK form, or a byte that is no UTF-8, becomes `?`
// and is counted.
class utf8stream {
 public:
  // Converts the next piece, appending the GBK bytes to out.
  void feed(const unsigned char* p, size_t n, std::string& out);
  // The output has ended: a character still cut off counts as replaced.
  void finish(std::string& out);
  void reset() { pending = replaced = 0; }
  int replacedcount() const { return replaced; }
  int pendingbytes() const { return static_cast<int>(pending); }

 private:
  static const unsigned notunicode = 0xFFFFFFFF;  // stands for a byte that is no UTF-8
  void convert(const unsigned char* p, size_t n, std::string& out);
  void put(unsigned u, std::string& out);
  unsigned char held[4] = {0, 0, 0, 0};
  size_t pending = 0;
  int replaced = 0;
};
