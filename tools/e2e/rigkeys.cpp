// Key names and the key-value count the driver waits for, both taken from
// the program's own key table and decoder.
#include "tools/e2e/rigkeys.h"

#include <cctype>
#include <stdexcept>

#include "devices/keydecoder.h"
#include "devices/keys.h"

namespace {

std::string lowered(const std::string& s) {
  std::string out;
  for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The form'th form (0 the console's, 1 the xterm-style one) of the key of
// that name in the program's table; empty when there is none.
std::string formof(const std::string& name, int form) {
  for (const keyform& f : keyforms)
    if (lowered(f.name) == name && form-- == 0) return f.bytes;
  return "";
}

}  // namespace

std::string keybytes(const std::string& name) {
  std::string lower = lowered(name);
  // The console sends CR for Enter; the terminal makes it the table's LF.
  if (lower == "enter") return "\r";
  if (lower == "space") return " ";
  if (lower.size() == 6 && lower.compare(0, 5, "ctrl-") == 0 && lower[5] >= 'a' && lower[5] <= 'z')
    return std::string(1, static_cast<char>(lower[5] - 'a' + 1));
  std::string bytes = lower.compare(0, 6, "xterm-") == 0 ? formof(lower.substr(6), 1)
                                                          : formof(lower, 0);
  if (bytes.empty()) throw std::invalid_argument("no key named " + name);
  return bytes;
}

std::string terminalpasses(const std::string& bytes, const termios& mode) {
  // Non-canonical mode without signals: only flow control and CR are touched.
  std::string in;
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((mode.c_iflag & IXON) && (c == mode.c_cc[VSTART] || c == mode.c_cc[VSTOP])) continue;
    if (c == '\r' && (mode.c_iflag & IGNCR)) continue;
    if (c == '\r' && (mode.c_iflag & ICRNL)) c = '\n';
    in += static_cast<char>(c);
  }
  return in;
}

int keycount(const std::string& bytes, const termios& mode) {
  std::string in = terminalpasses(bytes, mode);
  // The program's decoder splits it; a NUL byte is no key.
  keydecoder decoder;
  int keys = 0;
  for (size_t at = 0; at < in.size() || decoder.pendlen > 0;) {
    at += decoder.feed(reinterpret_cast<const unsigned char*>(in.data()) + at,
                       static_cast<int>(in.size() - at));
    keys += decoder.next() != 0;
  }
  return keys;
}
