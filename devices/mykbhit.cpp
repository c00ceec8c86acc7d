// Terminal keyboard: polls that read only what is there, and the wait for
// the rest of a split escape sequence.
#include "devices/mykbhit.h"

#include <poll.h>
#include <unistd.h>

#include "devices/console.h"

mykbhit::mykbhit() : decoder() { console::take(); }

mykbhit::~mykbhit() { console::giveback(); }

void mykbhit::restoreterminal() { console::restore(); }

void mykbhit::readwaiting() {
  // When the buffer is full the surplus stays in the terminal until keys
  // have been taken out; nothing is dropped.
  for (;;) {
    int room = keydecoder::pendsize - decoder.pendlen;
    if (room > readsize) room = readsize;
    if (room <= 0 || ended) return;
    pollfd p = {0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR))) return;
    unsigned char bytes[readsize];
    ssize_t n = read(0, bytes, room);
    if (n == 0 || (n < 0 && !(p.revents & POLLIN))) {
      ended = true;  // a pipe or file at its end: nothing more will come
      return;
    }
    if (n < 0) return;
    decoder.feed(bytes, static_cast<int>(n));
    if (n < room) return;
  }
}

void mykbhit::discard() {
  readwaiting();
  decoder.pendlen = 0;
  holding = false;
}

keyvalue mykbhit::kbhit() {
  readwaiting();
  if (decoder.incomplete()) {
    if (!holding) {
      holding = true;
      heldsince = clock::now();
    }
    if (clock::now() - heldsince < std::chrono::milliseconds(escapedelay)) return 0;
  }
  holding = false;
  return decoder.next();
}

int mykbhit::waitms() const {
  if (!holding) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                  heldsince + std::chrono::milliseconds(escapedelay) - clock::now())
                  .count();
  return left < 0 ? 0 : static_cast<int>(left) + 1;
}
