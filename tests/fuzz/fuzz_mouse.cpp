// Mouse packets of any bytes, the cursor drawn after each wherever it went.
#include "devices/mymouse.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mybitmap& b = fuzzscreen();
  static mymouse* m = new mymouse;  // no device: the reader stays closed
  m->startposition();
  for (size_t i = 0; i + mymouse::packetsize <= size; i += mymouse::packetsize) {
    m->takepacket(data + i);
    m->drawcursor(b);
  }
  return 0;
}
