// The input row with pinyin of more than one syllable: the letters cut
// into syllables, the whole sentence in slot 0 and the words that begin at
// the first letter after it, longest first. The blank (or 0) commits the
// sentence, a digit commits a word and converts the rest after it, '.'
// and ',' page through the words, Enter types the letters themselves.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "input/pyinput.h"
#include "views/viewevents.h"

namespace {
const int headchars = 4;   // a long sentence shows its first characters,
const int tailchars = 3;   // an ellipsis and its last characters
const int leftbytes = 32;  // the left list's labels up to this length
const char ellipsis[] = "…";
}  // namespace

int pyinput::typedlength() const { return static_cast<int>(strnlen(code, codesize)); }

// The letters are one syllable or the start of one: the character lists.
bool pyinput::onesyllable() const { return pysentence::syllablestart(code, typedlength()); }

// The engine holds the letters of the code (they may have been typed in
// another mode).
void pyinput::syncsentence() {
  int n = typedlength();
  if (sentence->length() == n && std::strncmp(sentence->letters(), code, n) == 0) return;
  if (sentence->length() == n + 1 && std::strncmp(sentence->letters(), code, n) == 0) {
    sentence->pop();
    return;
  }
  int context = sentence->context();
  sentence->clear(context);
  for (int i = 0; i < n; i++) sentence->push(code[i]);
}

// The engine anew on the letters (what it learned changed).
void pyinput::resentence() {
  int context = sentence->context();
  sentence->clear(context);
  for (int i = 0; code[i]; i++) sentence->push(code[i]);
}

// The words of the sentence committed, and each after the one before.
void pyinput::learnsentence() {
  if (!learn->on()) return;
  int pieces[pysentence::maxletters], ends[pysentence::maxletters];
  int n = sentence->sentence(pieces, ends, pysentence::maxletters);
  int before = sentence->context();
  for (int k = 0; k < n; k++) {
    if (pieces[k] < 0) continue;
    learn->note(before, pieces[k]);
    before = pieces[k];
  }
  learn->save();
}

// With learning on, Shift and a slot's digit forget its word (slot 0: the
// words of the sentence).
bool pyinput::forgetslot(int a1) {
  const char shifted[] = ")!@#$%^&*(";
  const char* at = a1 > 0 ? std::strchr(shifted, a1) : nullptr;
  if (!learn->on() || !at) return false;
  int slot = static_cast<int>(at - shifted);
  if (slot == 0) {
    int pieces[pysentence::maxletters], ends[pysentence::maxletters];
    int n = sentence->sentence(pieces, ends, pysentence::maxletters);
    for (int k = 0; k < n; k++)
      if (pieces[k] >= 0) learn->forget(pieces[k]);
  } else if (slotword[slot] >= 0) {
    learn->forget(startrecs[slotword[slot]]);
  }
  learn->save();
  resentence();
  lookup();
  return true;
}

// The text of a sentence piece (GBK, or the letter alone); returns its length.
int pyinput::piecetext(int piece, char* out) const {
  if (piece < 0) {
    out[0] = static_cast<char>(-1 - piece);
    return 1;
  }
  int e = pysentence::entry(piece);
  std::memcpy(out, chitext + chiidx[e], chinum(e));
  return chinum(e);
}

void pyinput::showsentence() {
  int pieces[pysentence::maxletters], ends[pysentence::maxletters];
  int n = sentence->sentence(pieces, ends, pysentence::maxletters);
  // Where each character starts, to cut a long sentence between them.
  char text[4 * pysentence::maxletters];
  int starts[2 * pysentence::maxletters + 1], chars = 0, len = 0;
  for (int k = 0; k < n; k++) {
    int m = piecetext(pieces[k], text + len);
    for (int i = 0; i < m; i += static_cast<unsigned char>(text[len + i]) >= 0x80 ? 2 : 1)
      starts[chars++] = len + i;
    len += m;
  }
  starts[chars] = len;
  if (chars > headchars + tailchars + 1) {
    int head = starts[headchars], tail = len - starts[chars - tailchars];
    std::memcpy(sentlabel, text, head);
    std::memcpy(sentlabel + head, ellipsis, 2);
    std::memcpy(sentlabel + head + 2, text + len - tail, tail);
    sentlabellen = head + 2 + tail;
  } else {
    std::memcpy(sentlabel, text, len);
    sentlabellen = len;
  }
  nstart = sentence->startwords(startrecs, startends, maxstartwords);
  // A sentence of one word is not offered twice.
  if (n == 1 && pieces[0] >= 0) {
    int kept = 0;
    for (int k = 0; k < nstart; k++)
      if (!pysentence::sametext(startrecs[k], pieces[0]) || startends[k] != ends[0]) {
        startrecs[kept] = startrecs[k];
        startends[kept++] = startends[k];
      }
    nstart = kept;
  }
  sentpage = 0;
  pagefirst[0] = 0;
  fillwords();
}

// The sentence in slot 0 and the start words of the page: slots 1 to 5
// while the left list stays short (it shows only the slots it fills), then
// slots 6 to 9.
void pyinput::fillwords() {
  char text[sentslots][16];
  int len[sentslots] = {}, k = pagefirst[sentpage], used = sentlabellen + 1, left = 0;
  for (int s = 0; s < sentslots; s++) slotword[s] = -1;
  for (int s = 1; s < sentslots && k < nstart; s++) {
    int m = piecetext(startrecs[k], text[s]);
    if (s < pageslots) {
      if (used + m + 2 > leftbytes && s > 1) {
        s = pageslots - 1;  // on with the right list
        continue;
      }
      used += m + 2;
      left = s;
    }
    len[s] = m;
    slotword[s] = k++;
  }
  if (sentpage + 1 < 64) pagefirst[sentpage + 1] = k;
  leftsel->setrang(0, left);
  rightsel->reset();
  leftsel->setchar('0', sentlabel, sentlabellen);
  for (int s = 1; s < sentslots; s++)
    if (slotword[s] >= 0) (s < pageslots ? leftsel : rightsel)->setchar('0' + s, text[s], len[s]);
}

void pyinput::sendbytes(const char* bytes, int length) {
  for (int i = 0; i < length; i++)
    if (sendevent) sendevent(evChar, static_cast<signed char>(bytes[i]), 0, 0, 0, 0);
}

// Blank or 0 commits the sentence, another digit a word; '.' and ',' page.
bool pyinput::sentencechar(int a1) {
  if (forgetslot(a1)) return true;
  if (a1 == ' ' || (a1 >= '0' && a1 <= '9')) {
    choose(a1 == ' ' ? 0 : a1 - '0');
    return true;
  }
  if (a1 == '.' || a1 == ',') {
    bool forward = a1 == '.';
    if (forward && sentpage + 1 < 64 && pagefirst[sentpage + 1] < nstart) sentpage++;
    if (!forward && sentpage > 0) sentpage--;
    fillwords();
    draw();
    return true;
  }
  return false;
}

bool pyinput::sentenceclick(int x, int y) {
  int s = leftsel->slotat(x, y);
  if (s < 0) s = rightsel->slotat(x, y);
  if (s < 0) return false;
  choose(s);
  return true;
}

void pyinput::choose(int slot) {
  if (slot == 0) {
    int pieces[pysentence::maxletters], ends[pysentence::maxletters];
    int n = sentence->sentence(pieces, ends, pysentence::maxletters);
    for (int k = 0; k < n; k++) {
      char t[16];
      sendbytes(t, piecetext(pieces[k], t));
    }
    learnsentence();
    digiselview::waitsel = 0;
    reset();
    return;
  }
  if (slotword[slot] >= 0) commitword(slotword[slot]);
}

// Sends a start word and converts the letters after it with it as the
// word before.
void pyinput::commitword(int k) {
  int rec = startrecs[k], end = startends[k];
  char text[16];
  sendbytes(text, piecetext(rec, text));
  if (learn->on()) {
    learn->note(sentence->context(), rec);
    learn->save();
  }
  int n = typedlength();
  if (end < n && code[end] == '\'') end++;
  std::memmove(code, code + end, n - end);
  std::memset(code + n - end, 0, codesize - (n - end));
  sentence->clear(rec);
  for (int i = 0; code[i]; i++) sentence->push(code[i]);
  if (typedlength() == 0) {
    digiselview::waitsel = 0;
    reset();
    return;
  }
  lookup();
}

// Enter with pinyin letters typed sends the letters as they are.
bool pyinput::enterletters() {
  if (mode != 1 || typedlength() == 0) return false;
  sendbytes(code, typedlength());
  digiselview::waitsel = 0;
  reset();
  return true;
}

// The letters, cut into syllables when a sentence shows; the end of them
// when they do not fit before the lists.
void pyinput::drawcode() {
  char text[2 * pysentence::maxletters + 2];
  if (sentencemode) {
    sentence->syllabletext(text);
  } else {
    std::snprintf(text, sizeof text, "%s", code);
  }
  int x = labelwidth * 5, room = (leftsel->x1 - x) / std::max(1, labelwidth / 2);
  int n = static_cast<int>(std::strlen(text));
  const char* shown = text;
  if (n > room && room > 1) {
    shown = text + n - (room - 1);
    drawtext(x, 1, "<", labelwidth, gcharwidth);
    x += labelwidth / 2;
  }
  drawtext(x, 1, shown, labelwidth, gcharwidth);
}
