// Key values and the one table of the keys the program knows by name.
// A key value is what the keyboard reader makes of the bytes the terminal
// sends for one key: a single byte, or an escape sequence of 3 to 5 bytes
// packed with its first byte (ESC) lowest. Five bytes need more than 32
// bits, so a key value is 64 bits wide on every target.
#pragma once

#include <cstdint>

using keyvalue = std::uint64_t;

// The bytes of one key (at most 8, zero-terminated) packed into its value.
constexpr keyvalue packkey(const char* bytes) {
  int n = 0;
  while (bytes[n]) n++;
  keyvalue v = 0;
  for (int i = n - 1; i >= 0; i--) v = v << 8 | static_cast<unsigned char>(bytes[i]);
  return v;
}

enum class key {
  // clang-format off
  none, tab, enter, esc, backspace, up, down, right, left, home, end, insert, del, pgup, pgdown,
  f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, ctrly, ctrlz
  // clang-format on
};

// One form of a key as the reader sees it (the terminal has already turned
// the console's CR into LF).
struct keyform {
  key id;
  const char* name;  // what keyname() answers
  const char* bytes;
};

// Where a key has two forms, the Linux console's comes first, then the
// xterm-style one.
inline constexpr keyform keyforms[] = {
    {key::tab, "Tab", "\t"},
    {key::enter, "enter", "\n"},
    {key::esc, "esc", "\x1b"},
    {key::backspace, "backspace", "\x7f"},
    {key::up, "up", "\x1b[A"},
    {key::down, "down", "\x1b[B"},
    {key::right, "right", "\x1b[C"},
    {key::left, "left", "\x1b[D"},
    {key::home, "home", "\x1b[1~"},
    {key::home, "home", "\x1b[H"},
    {key::end, "end", "\x1b[4~"},
    {key::end, "end", "\x1b[F"},
    {key::insert, "Insert", "\x1b[2~"},
    {key::del, "Delete", "\x1b[3~"},
    {key::pgup, "pgup", "\x1b[5~"},
    {key::pgdown, "pgdown", "\x1b[6~"},
    {key::f1, "F1", "\x1b[[A"},
    {key::f1, "F1", "\x1bOP"},
    {key::f2, "F2", "\x1b[[B"},
    {key::f2, "F2", "\x1bOQ"},
    {key::f3, "F3", "\x1b[[C"},
    {key::f3, "F3", "\x1bOR"},
    {key::f4, "F4", "\x1b[[D"},
    {key::f4, "F4", "\x1bOS"},
    {key::f5, "F5", "\x1b[[E"},
    {key::f5, "F5", "\x1b[15~"},
    {key::f6, "F6", "\x1b[17~"},
    {key::f7, "F7", "\x1b[18~"},
    {key::f8, "F8", "\x1b[19~"},
    {key::f9, "F9", "\x1b[20~"},
    {key::f10, "F10", "\x1b[21~"},
    {key::f11, "F11", "\x1b[23~"},
    {key::f12, "F12", "\x1b[24~"},
    {key::ctrly, "Ctrl-Y", "\x19"},
    {key::ctrlz, "Ctrl-Z", "\x1a"},
};

// The value of a key's first form; 0 for key::none.
constexpr keyvalue keyvalueof(key id) {
  for (const keyform& f : keyforms)
    if (f.id == id) return packkey(f.bytes);
  return 0;
}

// The two keys main acts on itself: F7 saves, F8 quits.
constexpr keyvalue keyF7 = keyvalueof(key::f7);
constexpr keyvalue keyCtrlS = 19;  // saves as F7 does
constexpr keyvalue keyF8 = keyvalueof(key::f8);

// The key a value is a form of; key::none for every other value.
key keyof(keyvalue value);

// The key's name, "Ctrl-A".."Ctrl-Z" for control bytes, else the low byte
// as a one-character string.
const char* keyname(keyvalue value);
void displaykey(int low, int high);
