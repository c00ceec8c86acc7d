// pinyinconvert: the pinyin sentence engine without the screen. Reads lines
// of letters (apostrophes allowed) on standard input and writes, for each,
// the first candidate the input row would offer, in UTF-8. Characters
// other than a..z and the apostrophe are left out; a line longer than the
// row takes is converted in pieces of 64.
#include <cstdio>
#include <iostream>
#include <string>

#include "editor/textcodec.h"
#include "input/inputchi.h"
#include "input/pysentence.h"

namespace {

// The sentence of the letters typed so far, appended in UTF-8.
void putsentence(const pysentence& s, std::string& out) {
  int pieces[pysentence::maxletters], ends[pysentence::maxletters];
  int n = s.sentence(pieces, ends, pysentence::maxletters);
  for (int k = 0; k < n; k++) {
    if (pieces[k] < 0) {
      out += static_cast<char>(-1 - pieces[k]);
      continue;
    }
    int e = pysentence::entry(pieces[k]);
    const unsigned char* t = reinterpret_cast<const unsigned char*>(inputhzchi + inputhzchiindex[e]);
    for (int i = inputhzchiindex[e]; i + 1 < inputhzchiindex[e + 1]; i += 2, t += 2)
      utf8append(out, gbkunicode(t[0], t[1]));
  }
}

}  // namespace

int main() {
  static pysentence s;
  for (std::string line; std::getline(std::cin, line);) {
    std::string out;
    s.clear();
    for (char c : line) {
      if (s.length() == pysentence::maxletters) {
        putsentence(s, out);
        s.clear();
      }
      s.push(c);
    }
    putsentence(s, out);
    std::printf("%s\n", out.c_str());
  }
  return 0;
}
