// keydecoder: turns the bytes a terminal sends into key values, one key per
// call to next(). Knows nothing of the terminal: mykbhit feeds it what it
// reads, the tests and the end-to-end rig feed it byte strings.
#pragma once

#include "devices/keys.h"

class keydecoder {
 public:
  static constexpr int pendsize = 10000;  // bytes kept between polls

  unsigned char* pendbuf;
  int pendlen;

  keydecoder();
  ~keydecoder();
  keydecoder(const keydecoder&) = delete;
  keydecoder& operator=(const keydecoder&) = delete;

  // Appends bytes as if the terminal had sent them; returns how many fit.
  int feed(const unsigned char* bytes, int n);
  // Decodes the next key from the pending bytes; 0 when none is pending.
  // NUL bytes are skipped (they are keys without effect). Incomplete
  // sequences are not waited for.
  keyvalue next();
  // Whether the pending bytes are only the start of an escape sequence
  // (ESC [, ESC O, ESC [ [, ESC [ digit, ESC [ digit digit), so that the
  // rest may still be on its way. A lone ESC is not: it is the Esc key.
  bool incomplete() const;

 private:
  void consume(int n);
};
