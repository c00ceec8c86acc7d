// Key names and the key-value count the driver waits for.
#include "tools/e2e/rigkeys.h"

#include <cctype>
#include <map>
#include <stdexcept>

namespace {

const std::map<std::string, std::string> named = {
    {"f1", "\x1b[[A"},     {"f2", "\x1b[[B"},    {"f3", "\x1b[[C"},     {"f4", "\x1b[[D"},
    {"f5", "\x1b[[E"},     {"f6", "\x1b[17~"},   {"f7", "\x1b[18~"},    {"f8", "\x1b[19~"},
    {"f9", "\x1b[20~"},    {"f10", "\x1b[21~"},  {"f11", "\x1b[23~"},   {"f12", "\x1b[24~"},
    {"xterm-f1", "\x1bOP"}, {"xterm-f2", "\x1bOQ"}, {"xterm-f3", "\x1bOR"}, {"xterm-f4", "\x1bOS"},
    {"up", "\x1b[A"},      {"down", "\x1b[B"},   {"right", "\x1b[C"},   {"left", "\x1b[D"},
    {"home", "\x1b[1~"},   {"end", "\x1b[4~"},   {"insert", "\x1b[2~"}, {"delete", "\x1b[3~"},
    {"pgup", "\x1b[5~"},   {"pgdown", "\x1b[6~"}, {"enter", "\r"},      {"tab", "\t"},
    {"esc", "\x1b"},       {"backspace", "\x7f"}, {"space", " "},
};

}  // namespace

std::string keybytes(const std::string& name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto it = named.find(lower);
  if (it != named.end()) return it->second;
  if (lower.size() == 6 && lower.compare(0, 5, "ctrl-") == 0 && lower[5] >= 'a' && lower[5] <= 'z')
    return std::string(1, static_cast<char>(lower[5] - 'a' + 1));
  throw std::invalid_argument("no key named " + name);
}

int keycount(const std::string& bytes, const termios& mode) {
  // What the terminal passes on in non-canonical mode.
  std::string in;
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((mode.c_iflag & IXON) && (c == mode.c_cc[VSTART] || c == mode.c_cc[VSTOP])) continue;
    if (c == '\r' && (mode.c_iflag & IGNCR)) continue;
    if (c == '\r' && (mode.c_iflag & ICRNL)) c = '\n';
    in += static_cast<char>(c);
  }
  // The reader's sequence lengths; missing bytes read as 0.
  auto at = [&](size_t i) { return i < in.size() ? static_cast<unsigned char>(in[i]) : 0; };
  int keys = 0;
  for (size_t i = 0; i < in.size();) {
    unsigned char b0 = at(i), b1 = at(i + 1), b2 = at(i + 2), b3 = at(i + 3), b4 = at(i + 4);
    size_t len = 1;
    if (b0 == 27) {
      if ((b1 == '[' || b1 == 'O') && b2 >= 'A' && b2 <= 'Z')
        len = 3;
      else if (b3 == '~' || (b1 == '[' && b2 == '['))
        len = 4;
      else if (b4 == '~')
        len = 5;
    }
    keys += b0 != 0;
    i += len;
  }
  return keys;
}
