// pyinput: the input-method row under the function-key bar. It shows the
// mode, the punctuation width, the typed letters and two candidate lists,
// turns letters into GBK characters by pinyin or wubi, and passes on what
// is not typing (converted to full width when that is on).
//
// Lookup (pylookup.cpp): the pinyin character scan, the word list walked
// through the generated word index, and the wubi scan, each paging forward
// and back. Events and drawing (pyinput.cpp). Everything leaves the row
// through `sendevent`, which the program sets to the window's dispatch;
// the candidate lists send through digiselview::sendevent.
//
// Pinyin letters that are more than one syllable (or the start of one) are
// converted whole (pysentrow.cpp): the left list holds the sentence first,
// then the words at the start, longest first; the right list goes on with
// the words.
#pragma once

#include <cstdint>

#include "input/pylearn.h"
#include "input/pysentence.h"
#include "views/digiselview.h"
#include "views/myview.h"

class pyinput : public amyview {
 public:
  static constexpr int codesize = 200;
  static constexpr int pageslots = 6;  // left list, slots 0..5
  static constexpr int wordslots = 4;  // right list, slots 6..9

  // ---- lookup state
  static constexpr int sentslots = 10;
  char* code;  // typed letters, zero-terminated: pinyin at most 64, wubi 5
  const unsigned short* zhitab;
  int zhicount;
  const uint64_t* pytab;
  const int* pyidx;
  const uint64_t* wbtab;
  const int* wbidx;
  const char* chitext;
  int chicount;
  const int* chiidx;
  const uint64_t* chiwb;
  int zhipos;                 // pytab index right after the last character shown
  int chipos;                 // word rank right after the last word shown
  int ringpos;                // pagechars slot of the last word's first character
  unsigned short* pagechars;  // characters of the left page's slots, 0 when empty
  digiselview* leftsel;
  digiselview* rightsel;

  // ---- sentence state
  pysentence* sentence;  // the pinyin letters typed, converted as a whole
  pylearn* learn;        // what was chosen, when learning is on
  bool sentencemode;     // the lists show a sentence and its words
  static constexpr int maxstartwords = 256;
  int* startrecs;  // words at the start: records and where they end
  int* startends;
  int nstart;
  int sentpage;             // page of start words shown
  int pagefirst[64];        // the first start word of each page up to sentpage
  int slotword[sentslots];  // start word of each slot, -1 for none
  char sentlabel[64];       // slot 0: the sentence, or its head and tail
  int sentlabellen;

  // ---- view state
  int labelwidth;
  unsigned char fullwidth;
  int mode;  // 0 English, 1 pinyin, 2 wubi
  int lastmode;
  static unsigned char isleftsy;  // the next double quote opens
  static unsigned char isleftdy;  // the next single quote opens

  // Where events passed on go: the application window's dispatch.
  static int (*sendevent)(int type, int a1, int a2, int a3, int a4, int a5);

  explicit pyinput(int screenwidth);
  ~pyinput() override;
  pyinput(const pyinput&) = delete;
  pyinput& operator=(const pyinput&) = delete;

  int keymouse(int type, int a1, int a2, int a3, int a4, int a5) override;
  void draw() override;
  void resetpos();
  void readcode() {}

  // ---- lookup (pylookup.cpp)
  // Each returns whether the shown page changed.
  bool search(bool forward);
  bool search1(bool forward);
  // True when the typed code is a complete four-letter wubi code with one
  // entry, which the caller commits at once.
  bool searchwb(bool forward);
  bool wbcode(int row, char*& text, int& length);
  int chinum(int k) const { return chiidx[k + 1] - chiidx[k]; }
  void reset();
  int codelength() const;
  int typedlength() const;
  // Empties the lists and the page state for a new code.
  void startcode();

  // ---- dump tools (forwarded to dumptools.h; the writers end the process)
  void setchiwbfile();
  uint64_t azhiwb(unsigned short ch);
  uint64_t awordwb(const unsigned short* chars, int n);

 private:
  int zhistart;   // pytab index of the first character shown, -1 for none
  int wordstart;  // rank of the first word shown
  int wbpage;     // wubi page: which six exact and four extending entries

  uint64_t key() const;
  void putcandidate(int slot, int row);
  int fillpage(int from);
  int wordpage(int rank, bool forward, int* entries);
  bool lookup();
  bool typeletter(int ch);
  bool eraseletter();
  bool offertolists(int type, int a1, int a2, int a3, int a4);
  bool passon(int type, int a1, int a2, int a3, int a4, int a5);
  bool cyclemode();
  bool page(bool forward);

  // ---- sentences (pysentrow.cpp)
  bool onesyllable() const;
  void syncsentence();
  void leavesentence();
  void resentence();
  void learnsentence();
  bool forgetslot(int a1);
  void showsentence();
  void fillwords();
  bool sentencechar(int a1);
  bool sentenceclick(int x, int y);
  void choose(int slot);
  void commitword(int k);
  void sendbytes(const char* bytes, int length);
  int piecetext(int piece, char* out) const;
  bool enterletters();
  void drawcode();
};
