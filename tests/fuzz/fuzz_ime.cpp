// Input-method event sequences (letters, digits, space, '.', ',', Backspace,
// F1, F2, clicks anywhere on the input row): after every event, what reached
// the pane is whole GBK characters and single ASCII bytes.
#include <string>

#include "fuzzkit.h"
#include "input/pyinput.h"
#include "views/digiselview.h"
#include "views/viewevents.h"

namespace {

std::string sent;
int record(int type, int a1, int, int, int, int) {
  if (type == evChar) sent += static_cast<char>(a1);
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  fuzzscreen(800, 600);
  static pyinput* p = new pyinput(800);
  pyinput::sendevent = record;
  digiselview::sendevent = record;
  digiselview::waitsel = 0;
  p->reset();
  p->mode = in.byte() % 3;
  sent.clear();
  static const char keys[] = "abcdefghijklmnopqrstuvwxyz0123456789 .,;'\"ABZ";
  for (int n = 0; n < 300 && !in.empty(); n++) {
    int op = in.byte() % 8;
    if (op < 5)
      p->keymouse(evChar, static_cast<unsigned char>(keys[in.byte() % (sizeof keys - 1)]), 0, 0, 0, 0);
    else if (op == 5)
      p->keymouse(evChar, 8, 0, 0, 0, 0);
    else if (op == 6)
      p->keymouse(evKey, kcInputSwitch, inputswitchmark, 0, in.byte() & 1 ? 0 : -1, 0);
    else
      p->keymouse(evPress, in.byte() * 4, in.byte() % 64, 1, 0, 0);
    if (!wholegbk(sent)) abort();
  }
  return 0;
}
