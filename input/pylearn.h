// pylearn: what the user chose in pinyin sentences, remembered when
// learning is on (off until open() is called; the program calls it for
// --learn). Committed words and the pairs of words committed one after the
// other make those words cheaper to the sentence engine, so `zg` offers
// 中国 first once it has been chosen. The memory is a small text file in
// the user's data folder, read by open() and rewritten after each choice
// through a private temporary file renamed over it; with learning off
// nothing is read or written.
//
// File lines: "w SYL TEXT COUNT" for a word, "p SYL TEXT SYL TEXT COUNT"
// for a pair, SYL the syllables joined by '-', TEXT the GBK bytes in hex.
// Lines that do not name a word of the tables are left out.
#pragma once

#include <string>

class pylearn {
 public:
  static constexpr int capacity = 1024;

  pylearn();
  // Turns learning on with the memory in `path`; a missing file is an
  // empty memory. False when the file could not be read.
  bool open(const std::string& path);
  bool on() const { return !path.empty(); }
  // How many cost steps word b gains after word a (a < 0: no word before).
  int bonus(int a, int b) const;
  // Word b was committed after word a; save() writes the memory.
  void note(int a, int b);
  void forget(int rec);
  bool save() const;
  // The memory's place: $XDG_DATA_HOME/bihua/learned, or
  // $HOME/.local/share/bihua/learned; empty when neither is known.
  static std::string defaultpath();

 private:
  struct item {
    int a;  // -1 for a word alone
    int b;
    int count;
  };
  item items[capacity];
  int count;
  unsigned char mark[4096];  // some item has b with this hash: a quick no
  std::string path;

  void add(int a, int b, int times);
  void remark();
  bool readline(const char* line);
};
