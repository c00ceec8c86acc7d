// Selection, copy, cut and paste of a pane, and its two clipboard hooks.
//
// The selection runs from the lower to the higher of `cur` and `sel`, both
// included. What copy and cut hand to the clipboard is the filtered text
// with its terminating zero byte, the length counting that zero. A bare LF
// (one without a CR before it, as raw appends leave) is a line break of its
// own: an end of a range on it never takes the byte before it along.
#include <cstring>
#include <string>
#include <utility>

#include "editor/editview.h"
#include "graphics/gbkchar.h"

void (*editview::setclipdata)(unsigned char*, unsigned long) = nullptr;
unsigned char* (*editview::getclipdata)(unsigned long&) = nullptr;

namespace {

const unsigned char CR = 0x0D, LF = 0x0A;

// Where a range whose last position is q ends: past the whole two-byte
// character, or past a CR LF line break whose CR is at q; never past the
// end of the text.
unsigned char* rangeend(const editview& v, unsigned char* q) {
  unsigned char* end = v.textend();
  if (q >= end) return end;
  unsigned char* e = q + 1;
  if (*q >= 0x80)
    e = q + gbkcharbytes(q, static_cast<size_t>(end - q));
  else if (*q == CR && e < end && *e == LF)
    e++;
  return e < end ? e : end;
}

// The lower end of a range starting at p: on the LF of a CR LF line break
// the break is taken whole.
unsigned char* rangestart(const editview& v, unsigned char* p) {
  if (p > v.text && p < v.textend() && *p == LF && p[-1] == CR) return p - 1;
  return p;
}

// Hands the filtered bytes from lo up to e, with their zero byte, to the
// clipboard; true when the clipboard now holds them.
bool copyrange(editview& v, unsigned char* lo, unsigned char* e) {
  v.text[v.len] = 0;
  char* f = editview::tfileter(reinterpret_cast<char*>(lo), static_cast<int>(e - lo));
  if (!f) return false;
  unsigned long n = strlen(f) + 1;
  v.mycopy(reinterpret_cast<unsigned char*>(f), n);
  unsigned long held = 0;
  unsigned char* got = v.mypaste(held);
  return got && held == n && memcmp(got, f, n) == 0;
}

}  // namespace

bool editview::issel(unsigned char* p) {
  unsigned char* lo = cur < sel ? cur : sel;
  unsigned char* hi = cur < sel ? sel : cur;
  return p >= lo && p <= hi;
}

void editview::setsel() {
  if (!selecting) sel = cur;
}

// ---- copy, cut, paste

void editview::copy() {
  if (cur == sel) return;
  unsigned char* lo = cur < sel ? cur : sel;
  unsigned char* hi = cur < sel ? sel : cur;
  copyrange(*this, rangestart(*this, lo), rangeend(*this, hi));
}

void editview::cut() {
  if (cur == sel) return;
  undoaction action(history, editundo::other);
  if (cur > sel) std::swap(cur, sel);
  unsigned char* lo = rangestart(*this, cur);
  unsigned char* e = rangeend(*this, sel);
  // Text the clipboard did not take is not removed.
  if (!copyrange(*this, lo, e)) return;
  removebytes(lo, e);
  setpara();
  cur = sel = lo;
  setcur(lo);
  draw();
}

void editview::paste() {
  undoaction action(history, editundo::other);
  unsigned long n = 0;
  unsigned char* clip = mypaste(n);
  // The text to insert: the filtered clipboard up to its first zero byte.
  std::string add;
  if (clip && n > 0) {
    const char* f = tfileter(reinterpret_cast<const char*>(clip), static_cast<int>(n));
    if (f) add = f;
  }
  int m = static_cast<int>(add.size());
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(add.data());

  if (cur == sel) {
    // At a CR LF line break the text goes in before its CR; at a bare LF
    // before the LF itself.
    unsigned char* ip = rangestart(*this, cur);
    int at = static_cast<int>(cur - text);
    if (m > 0 && !insertlaid(ip, bytes, m)) return;
    setcur(text + at + m);
    sel = cur;
    draw();
    return;
  }

  // With a selection the text replaces it; refused whole when the text
  // would pass the pane's capacity.
  if (cur > sel) std::swap(cur, sel);
  int grows = m - static_cast<int>(rangeend(*this, sel) - cur);
  if (grows > 0 && !roomfor(grows)) return;
  unsigned char* ip = insertpoint();
  unsigned char* e = rangeend(*this, sel);
  int curat = static_cast<int>(cur - text);
  std::string removed(reinterpret_cast<char*>(ip), static_cast<size_t>(e - ip));
  removebytes(ip, e);
  if (m > 0 && !insertlaid(ip, bytes, m)) {
    // The line table would overflow: the selected text comes back.
    insertbytes(ip, reinterpret_cast<const unsigned char*>(removed.data()),
                static_cast<int>(removed.size()));
    setpara();
    setcur(text + curat);
    draw();
    return;
  }
  if (m == 0) setpara();
  setcur(ip + m);
  sel = cur;
  draw();
}

// ---- the clipboard hooks

void editview::mycopy(unsigned char* p, unsigned long n) {
  if (setclipdata) setclipdata(p, n);
}

unsigned char* editview::mypaste(unsigned long& n) {
  n = 0;
  return getclipdata ? getclipdata(n) : nullptr;
}
