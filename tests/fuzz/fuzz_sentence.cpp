// Pinyin sentence event sequences (letters, apostrophes, digits, space,
// '.', ',', Backspace, Enter, F2, clicks on the lists): after every event,
// while a sentence shows, the row is in pinyin, the engine holds exactly
// the letters of the row and the sentence's pieces cover every letter
// typed, in order; what reached the pane is whole GBK characters and
// single ASCII bytes.
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

// The first candidate covers the letters: pieces end in rising order at
// the last letter (an apostrophe after it cuts nothing).
bool covers(const pyinput& p) {
  const pysentence& s = *p.sentence;
  if (!p.sentencemode) return true;
  if (p.mode != 1 || std::string(s.letters()) != p.code) return false;
  int pieces[pysentence::maxletters], ends[pysentence::maxletters];
  int n = s.sentence(pieces, ends, pysentence::maxletters);
  if (n == 0) return false;
  for (int k = 1; k < n; k++)
    if (ends[k] <= ends[k - 1]) return false;
  int letters = s.length() - (s.letters()[s.length() - 1] == '\'');
  return ends[n - 1] == letters;
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
  p->mode = 1;
  sent.clear();
  static const char keys[] = "abcdefghijklmnopqrstuvwxyzaeiouhgn''0123456789 .,";
  for (int n = 0; n < 400 && !in.empty(); n++) {
    int op = in.byte() % 16;
    if (op < 12)
      p->keymouse(evChar, static_cast<unsigned char>(keys[in.byte() % (sizeof keys - 1)]), 0, 0, 0, 0);
    else if (op == 12)
      p->keymouse(evChar, 8, 0, 0, 0, 0);
    else if (op == 13)
      p->keymouse(evKey, kcEnter, 0, 0, 0, 0);
    else if (op == 14)
      p->keymouse(evKey, kcInputSwitch, inputswitchmark, 0, -1, 0);
    else
      p->keymouse(evPress, in.byte() * 4, 60 + in.byte() % 32, 1, 0, 0);
    if (!covers(*p) || !wholegbk(sent)) abort();
  }
  return 0;
}
