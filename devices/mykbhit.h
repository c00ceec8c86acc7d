// mykbhit: the terminal keyboard. Owns the terminal while it exists: puts
// standard input into raw, non-echoing mode, hides the console's cursor and
// catches Ctrl-C, kill and hang-up; gives all of it back when it goes.
// Each poll reads what the terminal has without waiting and hands the
// bytes to its keydecoder, which returns one key value per call.
#pragma once

#include <signal.h>
#include <termios.h>

#include "devices/keydecoder.h"
#include "devices/keys.h"

class mykbhit {
 public:
  static constexpr int readsize = 20;  // bytes taken from the terminal per poll

  keydecoder decoder;

  static termios initial_settings;
  static termios new_settings;

  mykbhit();
  ~mykbhit();
  mykbhit(const mykbhit&) = delete;
  mykbhit& operator=(const mykbhit&) = delete;

  // The next key value, 0 when there is none.
  keyvalue kbhit();

  // Puts the terminal back as it was before the reader was made; safe to
  // call at any time, also when no reader exists.
  static void restoreterminal();

  static void ignore_sigint(int);
  static void restoreandleave(int sig);

 private:
  static bool saved;
  struct sigaction oldint, oldterm, oldhup;  // put back by the destructor
};
