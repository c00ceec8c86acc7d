// The numbered candidate list: slot texts, drawing, and the digit or click
// that sends a slot's characters on.
#include "views/digiselview.h"

#include <cstring>

#include "graphics/gbkchar.h"
#include "views/viewevents.h"

unsigned char digiselview::waitsel = 0;
int (*digiselview::sendevent)(int, int, int, int, int, int) = nullptr;

digiselview::digiselview(int left, int top, int right, int bottom)
    : selstr(new char[bufsize]()),
      firstdigit(0),
      lastdigit(9),
      textsize(12),
      cellwidth(12),
      slotlen(new int[10]()) {
  x1 = left;
  y1 = top;
  x2 = right;
  y2 = bottom;
  reset();
}

digiselview::~digiselview() {
  delete[] selstr;
  delete[] slotlen;
}

void digiselview::reset() {
  for (int i = 0; i < 10; i++) slotlen[i] = 0;
  int n = 0;
  for (int d = firstdigit; d <= lastdigit; d++) selstr[n++] = static_cast<char>('0' + d);
  selstr[n] = 0;
}

void digiselview::setrang(int first, int last) {
  if (first < 0) first = 0;
  if (last > 9) last = 9;
  firstdigit = first;
  lastdigit = last;
  reset();
}

int digiselview::slottext(int slot) const {
  int start = 0;
  for (int s = firstdigit; s < slot; s++) start += slotlen[s] + 1;
  return start + 1;
}

void digiselview::setchar(int digit, const char* bytes, int length) {
  int slot = digit - '0';
  if (slot < firstdigit || slot > lastdigit || length < 0) return;
  int n = static_cast<int>(std::strlen(selstr));
  if (n - slotlen[slot] + length >= bufsize) return;
  char* at = selstr + slottext(slot);
  std::memmove(at + length, at + slotlen[slot], std::strlen(at + slotlen[slot]) + 1);
  std::memcpy(at, bytes, length);
  slotlen[slot] = length;
}

void digiselview::draw() {
  clear();
  int n = static_cast<int>(std::strlen(selstr));
  cellwidth = textsize;
  if (n > 0 && cellwidth * n > width()) cellwidth = width() / n;
  pmymap->color = mycolor();
  drawtext(2, 1, selstr, 2 * cellwidth, gcharwidth);
}

// A slot covers its digit and its text: bytes start .. end of the list
// string, each cellwidth pixels wide, drawn from x = 2.
int digiselview::slotat(int x, int y) const {
  if (x < x1 || x >= x2 || y < y1 || y >= y2) return -1;
  int dx = x - x1;
  int start = 0;
  for (int slot = firstdigit; slot <= lastdigit; slot++) {
    int end = start + slotlen[slot] + 1;
    if (cellwidth * start + 2 < dx && dx <= cellwidth * end + 1) return slot;
    start = end;
  }
  return -1;
}

// Only the characters go: a hint code or blanks after them stay behind.
void digiselview::sendslot(int slot) {
  const char* text = selstr + slottext(slot);
  waitsel = 0;
  const unsigned char* u = reinterpret_cast<const unsigned char*>(text);
  for (int i = 0; i + 1 < slotlen[slot] && isgbkpair(u + i, slotlen[slot] - i); i += 2)
    for (int k = 0; k < 2; k++)
      if (sendevent) sendevent(evChar, static_cast<signed char>(u[i + k]), 0, 0, 0, 0);
}

int digiselview::keymouse(int type, int a1, int a2, int, int, int) {
  if (!waitsel) {
    reset();
    return 0;
  }
  if (type == evPress) {
    int slot = slotat(a1, a2);
    if (slot < 0) return 0;
    sendslot(slot);
  } else if (type == evChar) {
    if (a1 < '0' + firstdigit || a1 > '0' + lastdigit) return 0;
    sendslot(a1 - '0');
  }
  if (waitsel) return 0;
  reset();
  return 1;
}
