// The lookup of the input-method row: from the typed letters to the two
// candidate lists. Pinyin: characters by a masked scan of the sorted pinyin
// codes (left list), words from the word index for the characters on the
// page (right list). Wubi: entries whose code equals the typed code (left)
// and entries whose code extends it (right).
//
// Paging never repeats or skips: the next page starts right after the last
// candidate shown, the previous page is exactly the one before, and a page
// forward past the end leaves the list as it is. A short page clears the
// slots it does not fill.
#include <algorithm>
#include <cstring>

#include "input/codelookup.h"
#include "input/inputwords.h"
#include "input/pyinput.h"

// The first letters as a code field; pinyin reads v as u (lv, nve).
uint64_t pyinput::key() const {
  char letters[8];
  std::memcpy(letters, code, 8);
  if (mode == 1) std::replace(letters, letters + 8, 'v', 'u');
  uint64_t k;
  std::memcpy(&k, letters, 8);
  return k & pbws[std::min(codelength(), 7)];
}

int pyinput::codelength() const { return static_cast<int>(strnlen(code, 8)); }

// ---- pinyin characters ------------------------------------------------------

// The character of a row followed by its wubi code, in seven bytes.
void pyinput::putcandidate(int slot, int row) {
  char label[7];
  std::memset(label, ' ', sizeof label);
  std::memcpy(label, &zhitab[row], 2);
  char* text;
  int length;
  if (wbcode(row, text, length)) std::memcpy(label + 2, text, std::min(length, 5));
  leftsel->setchar('0' + slot, label, 7);
  pagechars[slot] = zhitab[row];
}

// Fills the left page with the matches from pytab index `from` on; returns
// how many were placed (0: nothing changed).
int pyinput::fillpage(int from) {
  uint64_t k = key(), mask = pbws[codelength()];
  int found[pageslots];
  int n = 0;
  for (int i = from; i < zhicount && n < pageslots; i++)
    if ((pytab[i] & mask) == k) found[n++] = i;
  if (n == 0) return 0;
  leftsel->reset();
  for (int s = 0; s < pageslots; s++) pagechars[s] = 0;
  for (int s = 0; s < n; s++) putcandidate(s, pyidx[found[s]]);
  zhistart = found[0];
  zhipos = found[n - 1] + 1;
  return n;
}

bool pyinput::search(bool forward) {
  if (key() == 0) return false;
  int before = zhistart;
  if (forward || zhistart < 0) {
    fillpage(forward && zhistart >= 0 ? zhipos : 0);
  } else {
    // The start of the page before: six matches back from this page's
    // first, or the first page when fewer lie before it.
    uint64_t k = key(), mask = pbws[codelength()];
    int from = 0, seen = 0;
    for (int i = std::min(zhistart, zhicount) - 1; i >= 0 && seen < pageslots; i--)
      if ((pytab[i] & mask) == k) {
        seen++;
        from = i;
      }
    if (seen < pageslots) from = 0;
    fillpage(from);
  }
  digiselview::waitsel = 1;
  if (zhistart == before) return false;
  chipos = 0;
  ringpos = 0;
  return true;
}

// ---- pinyin words -----------------------------------------------------------

// The word list of a character slot of the page, or an empty range for an
// empty slot or a character an earlier slot already has.
static void wordlist(const unsigned short* pagechars, int s, const int*& b, const int*& e) {
  b = e = inputwordlist;
  int slot = pagechars[s] ? inputwordslot(pagechars[s]) : -1;
  if (slot < 0 || std::find(pagechars, pagechars + s, pagechars[s]) != pagechars + s) return;
  b = inputwordlist + inputwordfirst[slot];
  e = inputwordlist + inputwordfirst[slot + 1];
}

// Up to four words of the page's characters in rank order, merged from
// their lists: forward the first ranks at or after `rank`, backward the
// last ranks before it. Returns how many entries went to `entries`.
int pyinput::wordpage(int rank, bool forward, int* entries) {
  const int* lo[pageslots];
  const int* hi[pageslots];
  for (int s = 0; s < pageslots; s++) {
    const int *b, *e;
    wordlist(pagechars, s, b, e);
    const int* at =
        std::lower_bound(b, e, rank, [](int entry, int r) { return inputwordrank[entry] < r; });
    lo[s] = forward ? at : b;
    hi[s] = forward ? e : at;
  }
  int n = 0;
  while (n < wordslots) {
    int best = -1, bestrank = 0;
    // The ring: the slot of the last word is asked first.
    for (int j = 0; j < pageslots; j++) {
      int s = (ringpos + j) % pageslots;
      if (lo[s] == hi[s]) continue;
      int r = inputwordrank[forward ? *lo[s] : hi[s][-1]];
      if (best < 0 || (forward ? r < bestrank : r > bestrank)) {
        best = s;
        bestrank = r;
      }
    }
    if (best < 0) break;
    entries[n++] = forward ? *lo[best]++ : *--hi[best];
    ringpos = best;
  }
  if (!forward) std::reverse(entries, entries + n);
  return n;
}

bool pyinput::search1(bool forward) {
  int entries[wordslots];
  bool first = forward && chipos == 0;
  int n = wordpage(forward ? chipos : wordstart, forward, entries);
  if (!forward && n < wordslots) {
    first = true;
    n = wordpage(0, true, entries);
  }
  digiselview::waitsel = 1;
  if (n == 0 && !first) return false;  // past the last word
  rightsel->reset();
  for (int i = 0; i < n; i++)
    rightsel->setchar('0' + pageslots + i, chitext + chiidx[entries[i]], chinum(entries[i]));
  wordstart = n ? inputwordrank[entries[0]] : 0;
  chipos = n ? inputwordrank[entries[n - 1]] + 1 : 0;
  return n > 0;
}

// ---- wubi -------------------------------------------------------------------

namespace {
// The first three letters of a code as a number that sorts like the
// letters as a string (a missing letter as 0, so "a" before "aa").
uint32_t firstthree(uint64_t field) {
  return static_cast<uint32_t>((field & 0xFF) << 16 | (field & 0xFF00) | (field >> 16 & 0xFF));
}

// The phrase table is ordered by the first three letters of the codes, so
// every code that starts with the n typed letters of key lies in one
// stretch [from, to) of it.
void wbstretch(const uint64_t* chiwb, int chicount, uint64_t key, int n, const uint64_t*& from,
               const uint64_t*& to) {
  uint32_t lo = firstthree(key), hi = lo | (n >= 3 ? 0 : 0xFFFFu >> (8 * (n - 1)));
  from = std::lower_bound(chiwb, chiwb + chicount, lo,
                          [](uint64_t c, uint32_t v) { return firstthree(c) < v; });
  to = std::upper_bound(from, chiwb + chicount, hi,
                        [](uint32_t v, uint64_t c) { return v < firstthree(c); });
}

// The entry text and its code letters, then one blank.
int wblabel(char* label, const char* text, int length, uint64_t field) {
  std::memcpy(label, text, length);
  char letters[8];
  std::memcpy(letters, &field, 8);
  int n = static_cast<int>(strnlen(letters, 8));
  std::memcpy(label + length, letters, n);
  label[length + n] = ' ';
  return length + n + 1;
}
}  // namespace

bool pyinput::searchwb(bool forward) {
  uint64_t k = key();
  if (k == 0) return false;
  int n = codelength();
  // zhistart < 0: no page shown yet for this code.
  int page = zhistart < 0 ? 0 : forward ? wbpage + 1 : std::max(wbpage - 1, 0);
  // One pass over the stretch that can match: the exact and the extending
  // matches of the wanted page.
  const uint64_t *from, *to;
  wbstretch(chiwb, chicount, k, n, from, to);
  int exact[pageslots], longer[wordslots];
  int ne = 0, nl = 0, seenexact = 0, seenlonger = 0;
  for (int e = static_cast<int>(from - chiwb); e < to - chiwb; e++) {
    uint64_t c = chiwb[e];
    if (c == k) {
      if (seenexact++ >= page * pageslots && ne < pageslots) exact[ne++] = e;
    } else if ((c & pbws[n]) == k) {
      if (seenlonger++ >= page * wordslots && nl < wordslots) longer[nl++] = e;
    }
  }
  digiselview::waitsel = 1;
  if (ne == 0 && nl == 0 && zhistart >= 0) return false;  // past the end
  zhistart = 0;
  wbpage = page;
  leftsel->reset();
  rightsel->reset();
  char label[40];
  for (int i = 0; i < ne; i++) {
    int e = exact[i];
    leftsel->setchar('0' + i, label, wblabel(label, chitext + chiidx[e], chinum(e), chiwb[e]));
  }
  if (page == 0 && seenexact == 1 && n == 4) return true;
  for (int i = 0; i < nl; i++) {
    int e = longer[i];
    rightsel->setchar('0' + pageslots + i, label,
                      wblabel(label, chitext + chiidx[e], chinum(e), chiwb[e]));
  }
  return false;
}

// ---- codes and reset ---------------------------------------------------------

bool pyinput::wbcode(int row, char*& text, int& length) {
  static char bb[9];
  for (int i = 0; i < zhicount; i++)
    if (wbidx[i] == row) {
      std::memcpy(bb, &wbtab[i], 8);
      bb[8] = 0;
      text = bb;
      length = static_cast<int>(std::strlen(bb));
      return true;
    }
  return false;
}

void pyinput::reset() {
  std::memset(code, 0, codesize);
  sentence->clear();
  sentencemode = false;
  leftsel->setrang(0, pageslots - 1);
  leftsel->reset();
  rightsel->reset();
  zhipos = 0;
  zhistart = -1;
  draw();
}
