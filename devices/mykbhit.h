// mykbhit: the terminal keyboard. Owns the console while it exists (see
// console.h: raw terminal, hidden cursor, graphics mode, terminal
// switching, the signal handlers) and gives it back when it goes.
// Each poll reads only the bytes the terminal already has, so an open
// but silent standard input (an empty pipe) never holds the program, and
// hands them to its keydecoder, which returns one key value per call.
// When the bytes waiting are the start of an escape sequence (ESC and at
// least its next byte) the rest is waited for up to escapedelay ms before
// the bytes are taken as they are; a lone Esc is taken at once.
#pragma once

#include <chrono>

#include "devices/keydecoder.h"
#include "devices/keys.h"

class mykbhit {
 public:
  static constexpr int readsize = 64;     // bytes taken from the terminal per read
  static constexpr int escapedelay = 50;  // ms to wait for the rest of a sequence

  keydecoder decoder;

  mykbhit();
  ~mykbhit();
  mykbhit(const mykbhit&) = delete;
  mykbhit& operator=(const mykbhit&) = delete;

  // The next key value, 0 when there is none.
  keyvalue kbhit();
  // Reads and forgets whatever the terminal has (input while the user is
  // on another console).
  void discard();

  // The descriptor to wait on for keys, -1 once standard input has ended.
  int waitfd() const { return ended ? -1 : 0; }
  // How long a wait may last before kbhit() must be called again: the
  // rest of the escape delay, or -1 for no limit.
  int waitms() const;

  // Puts the terminal back as it was before the reader was made; safe to
  // call at any time, also when no reader exists.
  static void restoreterminal();

 private:
  using clock = std::chrono::steady_clock;
  void readwaiting();
  bool ended = false;    // standard input reached its end
  bool holding = false;  // an escape sequence's start is being held
  clock::time_point heldsince;
};
