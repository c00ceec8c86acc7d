// Terminal bytes in arbitrary chunks through the key decoder: every key
// comes out, nothing is read past what was fed.
#include "devices/keydecoder.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  keydecoder d;
  while (!in.empty()) {
    size_t chunk = in.byte() % 16 + 1;
    if (chunk > in.size) chunk = in.size;
    int took = d.feed(in.data, static_cast<int>(chunk));
    if (took < 0 || took > static_cast<int>(chunk)) abort();
    in.data += chunk;
    in.size -= chunk;
    for (int n = 0; n < 100000 && d.next() != 0; n++) {
    }
    if (d.pendlen < 0 || d.pendlen > keydecoder::pendsize) abort();
  }
  return 0;
}
