// pysentence: whole-sentence pinyin. Turns up to 64 typed letters (an
// apostrophe cuts between syllables) into the most likely sequence of words
// by a lattice search over the syllable readings of the typed letters:
// full syllables anywhere, initials (b, zh, ...) anywhere, and any start of
// a syllable as the last one still being typed. Word scores are the
// generated unigram costs and back-off bigrams (inputsent.h).
//
// State is kept per letter: the best paths ending at each letter position
// (a few per position, one per last word), so a typed letter computes only
// the paths ending at it, and Backspace drops the last position. Nothing is
// allocated per key; the tables are decoded once, on first use.
#pragma once

#include <cstdint>

class pylearn;

class pysentence {
 public:
  static constexpr int maxletters = 64;
  static constexpr int beam = 8;  // paths kept per position
  static constexpr int maxsyllable = 6;
  static constexpr int maxspan = 4 * (maxsyllable + 1);  // letters of a word

  pysentence();

  // Forgets the letters; `context` is the record of the word just committed
  // before them (-1 for none), which the first word is scored after.
  void clear(int context = -1);
  // Appends a letter a..z or an apostrophe; false (and nothing changes)
  // when full, for another character, or for an apostrophe first or twice.
  bool push(char c);
  void pop();
  int length() const { return n; }
  const char* letters() const { return text; }
  int context() const { return start; }

  // The best sentence as its pieces in order: a word record (>= 0) or a
  // letter no syllable covers (-1 - letter), and the letter position where
  // each piece ends. Returns the number of pieces; together they always
  // cover every letter typed.
  int sentence(int* pieces, int* ends, int max) const;
  // Words that begin at the first letter: their records and end
  // positions, longest first and more likely first; at most `max`.
  int startwords(int* recs, int* ends, int max) const;
  // The letters with an apostrophe between the syllables of the best
  // sentence (its syllable cuts), zero-terminated, into `out` (2 * 64 + 1).
  void syllabletext(char* out) const;

  // ---- the tables
  static int wordcount();
  static int wordsyllables(int rec);
  static int syllable(int rec, int i);
  static const char* syllablename(int id);
  static int syllablecount();
  // The record with these syllable ids and this GBK text, or -1.
  static int findrecord(const int* ids, int n, const char* text, int length);
  // What the user chose, when learning is on (null: nothing learned).
  static const pylearn* learned;
  // The letters s[0..len) are one syllable or the start of one.
  static bool syllablestart(const char* s, int len);
  static int entry(int rec);  // phrase-table entry of a record
  static int cost(int rec);
  static bool sametext(int a, int b);  // two records of the same word
  // What word b costs after word a (a < 0: at the start of a sentence).
  static int after(int a, int b);

 private:
  struct cell {
    int score;
    int piece;  // record, -1 - letter for a letter alone, or skip
    int last;   // the last word record on this path (-1 none)
    signed char from, slot;
  };
  struct edge {
    signed char to;
    signed char kind;  // 0 full syllable, 1 initial, 2 start of a syllable at the end
    short lo, hi;      // syllable ids [lo, hi)
  };
  // Where the words a walk finds go: into a beam of paths ending at one
  // position, or into a list of words from the first letter.
  struct sink {
    cell* beamcells;
    int* count;
    int* recs;
    int* ends;
    int* scores;
    int max;
  };
  static constexpr int maxedges = 8;
  static constexpr int skip = -1000;

  char text[maxletters + 1];
  int n;
  int start;
  cell paths[maxletters + 1][beam];
  int npaths[maxletters + 1];
  edge edges[maxletters][maxedges];
  int nedges[maxletters];
  cell last[beam];  // paths ending at n, with a last syllable still typed
  int nlast;

  void findedges(int x);
  void strictpaths(int q);
  void lastpaths();
  void words(int p, int q, bool partial, const sink& to) const;
  void walk(int p, int x, int d, int group, int lo, int hi, int q, bool partial, int pen,
            const sink& to) const;
  void found(int p, int y, int lo, int hi, int pen, const sink& to) const;
  static void insert(cell* cells, int& count, const cell& c);
};
