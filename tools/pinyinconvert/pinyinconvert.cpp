// pinyinconvert: the pinyin sentence engine without the screen. Reads lines
// of letters (apostrophes allowed) on standard input and writes, for each,
// the first candidate the input row would offer, in UTF-8. Characters
// other than a..z and the apostrophe are left out; a line longer than the
// row takes is converted in pieces of 64.
//
// pinyinconvert --page: writes instead, for each line, the candidates of
// the row's first page after typing the line in pinyin (slot 0 first,
// blanks between), as the row shows them.
#include <cstdio>
#include <iostream>
#include <string>

#include "editor/textcodec.h"
#include "graphics/mybitmap.h"
#include "input/inputchi.h"
#include "input/pyinput.h"
#include "input/pysentence.h"
#include "views/viewevents.h"

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

// The hanzi of a candidate label (a character's label carries its code).
void puthanzi(const char* text, int length, std::string& out) {
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  for (int i = 0; i + 1 < length; i++)
    if (t[i] >= 0x80) {
      utf8append(out, gbkunicode(t[i], t[i + 1]));
      i++;
    }
}

int firstpage() {
  static mybitmap screen(800, 600);
  myview::pmymap = &screen;
  static pyinput row(800);
  row.mode = 1;
  for (std::string line; std::getline(std::cin, line);) {
    row.reset();
    digiselview::waitsel = 0;
    for (char c : line) row.keymouse(evChar, static_cast<unsigned char>(c), 0, 0, 0, 0);
    std::string out;
    for (int s = 0; s < 10; s++) {
      const digiselview* list = s < pyinput::pageslots ? row.leftsel : row.rightsel;
      if (s < list->firstdigit || s > list->lastdigit || list->slotlen[s] == 0) continue;
      if (!out.empty()) out += ' ';
      puthanzi(list->selstr + list->slottext(s), list->slotlen[s], out);
    }
    std::printf("%s\n", out.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--page") return firstpage();
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
