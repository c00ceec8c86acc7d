// The escape-sequence decoder.
#include "devices/keydecoder.h"

#include <cstring>

keydecoder::keydecoder() : pendbuf(new unsigned char[pendsize]()), pendlen(0) {}

keydecoder::~keydecoder() { delete[] pendbuf; }

int keydecoder::feed(const unsigned char* bytes, int n) {
  int room = pendsize - pendlen;
  if (n > room) n = room;
  if (n > 0) {
    std::memcpy(pendbuf + pendlen, bytes, n);
    pendlen += n;
  }
  return n > 0 ? n : 0;
}

keyvalue keydecoder::next() {
  // A NUL byte (Ctrl-Space) is a key with no effect: skipped here, since
  // the value 0 means "no key" and would hold up the keys after it.
  int nuls = 0;
  while (nuls < pendlen && pendbuf[nuls] == 0) nuls++;
  if (nuls > 0) consume(nuls);
  if (pendlen <= 0) return 0;
  unsigned char b[5];
  for (int i = 0; i < 5; i++) b[i] = i < pendlen ? pendbuf[i] : 0;
  if (b[0] != 27) {
    consume(1);
    return b[0];
  }
  int len;
  if ((b[1] == '[' || b[1] == 'O') && b[2] >= 'A' && b[2] <= 'Z')
    len = 3;
  else if (b[3] == '~' || (b[1] == '[' && b[2] == '['))
    len = 4;
  else if (b[4] == '~')
    len = 5;
  else
    len = 1;
  // An ESC never stands inside a sequence: an Esc key that came in
  // together with the next key's sequence is a key of its own.
  for (int i = 1; i < len; i++)
    if (b[i] == 27) len = 1;
  if (len == 1) {
    consume(1);
    return 27;
  }
  keyvalue value = 0;
  for (int i = len - 1; i >= 0; i--) value = value << 8 | b[i];
  consume(len);
  return value;
}

bool keydecoder::incomplete() const {
  if (pendlen <= 0 || pendlen > 4 || pendbuf[0] != 27) return false;
  // A lone Esc is the Esc key at once: a sequence cut right after its ESC
  // is rare, and Esc must not wait.
  if (pendlen == 1) return false;
  unsigned char b1 = pendbuf[1];
  if (b1 != '[' && b1 != 'O') return false;
  if (pendlen == 2) return true;
  auto digit = [](unsigned char c) { return c >= '0' && c <= '9'; };
  unsigned char b2 = pendbuf[2];
  if (pendlen == 3) return b1 == '[' && (b2 == '[' || digit(b2));
  return b1 == '[' && digit(b2) && digit(pendbuf[3]);
}

void keydecoder::consume(int n) {
  // ESC [ [ with nothing after it is taken whole though only three of its
  // four bytes are there.
  if (n > pendlen) n = pendlen;
  pendlen -= n;
  std::memmove(pendbuf, pendbuf + n, pendlen);
  int tail = pendsize - pendlen;
  std::memset(pendbuf + pendlen, 0, tail < 10 ? tail : 10);
}
