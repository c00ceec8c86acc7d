// Any bytes as the clipboard file: loaded whole or refused with a notice,
// never more than the clipboard holds.
#include <unistd.h>

#include "app/clipbd.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path = "/tmp/bihuafuzzclip." + std::to_string(getpid());
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  clipbd c;
  bool ok = c.load(path.c_str());
  unsigned long n = 0;
  unsigned char* p = c.getdata(n);
  if (ok && (n != size || (n && std::memcmp(p, data, n) != 0))) abort();
  if (!ok && (n != 0 || c.notice.empty())) abort();
  unlink(path.c_str());
  return 0;
}
