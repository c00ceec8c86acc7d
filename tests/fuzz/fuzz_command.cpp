// Command-pane lines through the split into an order and a file name
// (nothing is ever run): no word is cut, both buffers end in a zero.
#include "app/commands.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  int ordermax = in.byte() % 40 + 1, fnmax = in.byte() % 600 + 1;
  std::string line = in.text(4000);
  std::string order(ordermax, '\x7F'), fn(fnmax, '\x7F');
  int words = splitcommand(line.c_str(), &order[0], ordermax, &fn[0], fnmax);
  if (words < -1 || words > 2) abort();
  if (words >= 0) {
    if (std::memchr(order.data(), 0, ordermax) == nullptr) abort();
    if (std::memchr(fn.data(), 0, fnmax) == nullptr) abort();
    if (line.find(order.c_str()) == std::string::npos) abort();
    if (line.find(fn.c_str()) == std::string::npos) abort();
  }
  return 0;
}
