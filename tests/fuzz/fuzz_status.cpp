// Any bytes as the two halves of the status line: the line is composed
// and drawn, never longer than its halves allow.
#include "fuzzkit.h"
#include "views/statusbar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  fuzzscreen();
  static myview bar(0, 0, 159, 20);
  statebar = &bar;
  while (!in.empty()) {
    bool right = in.byte() & 1;
    std::string s = in.text(2000);
    if (right)
      dispmsg1(s.c_str());
    else
      dispmsg(s.c_str());
    if (in.empty() || (s.size() & 1)) paintstatus();
    if (std::strlen(statusline()) > 2 * messagehalf + 5) abort();
  }
  return 0;
}
