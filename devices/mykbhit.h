// mykbhit: the terminal keyboard. Puts standard input into raw, non-echoing
// mode, polls it without waiting and decodes one key per call into a 64-bit
// key value: a single byte, or an escape sequence of 3 to 5 bytes packed
// with its first byte (ESC) lowest.
#pragma once

#include <termios.h>

// Key values the rest of the program tests for.
constexpr long keyF7 = 0x7E38315B1BL;
constexpr long keyF8 = 0x7E39315B1BL;

class mykbhit {
 public:
  static constexpr int pendsize = 10000;  // bytes kept between polls
  static constexpr int readsize = 20;     // bytes taken from the terminal per poll

  unsigned char* pendbuf;
  int pendlen;

  static termios initial_settings;
  static termios new_settings;

  mykbhit();
  ~mykbhit();
  mykbhit(const mykbhit&) = delete;
  mykbhit& operator=(const mykbhit&) = delete;

  long kbhit();

  // Decodes the next key from bytes already pending; exposed for tests.
  long nextkey();
  // Appends bytes as if the terminal had sent them; returns how many fit.
  int feed(const unsigned char* bytes, int n);

  // Puts the terminal back as it was before the reader was made; safe to
  // call at any time, also when no reader exists.
  static void restoreterminal();

  static void ignore_sigint(int);
  static void restoreandleave(int sig);

 private:
  void consume(int n);
  static bool saved;
};

const char* keyname(long value);
void displaykey(int low, int high);
