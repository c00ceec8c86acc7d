// Cursor placement and movement, scrolling, and the four text edits
// (typing a byte, Enter, Delete, Backspace). Every edit goes through the
// primitives of editfile.cpp, so the cursor and the anchor stay inside the
// text and on the bytes they were on.
#include <algorithm>
#include <cstdio>

#include "editor/editview.h"
#include "graphics/gbkchar.h"
#include "views/statusbar.h"

unsigned char editview::last = 0;

// ---- placing the cursor

void editview::setcur(int o, int k) {
  if (len == 0) {
    cur = text;
    curline = curcol = 0;
    return;
  }
  if (k >= linecount) k = linecount - 1;
  if (k < 0) k = 0;
  if (o < 0) o = 0;
  curline = k;
  curcol = o;
  int n = linelength(k);
  if (k == linecount - 1 && o >= n) {
    curcol = n;
    cur = textend();
    return;
  }
  if (curcol > n - 1) curcol = std::max(n - 1, 0);
  cur = text + linestart[k] + curcol;
  if (ctrl[cur - text].is(ctrbyte::hz2) && cur > text) {
    cur--;
    curcol--;
    return;
  }
  while (cur < textend() && *cur == '\r') {
    cur++;
    curcol++;
  }
}

void editview::setcur(unsigned char* p) {
  // Never inside a character: an edit that joins a stray lead byte with
  // the byte after it into one character leaves the cursor before it.
  if (p > text && p < textend() && ctrl[p - text].is(ctrbyte::hz2)) p--;
  if (p < text) {
    p = text;
    curline = curcol = topline = 0;
  }
  if (p >= text + linestart[linecount]) {
    p = textend();
    curline = linecount - 1;
    if (curline < topline)
      topline = curline;
    else if (curline >= topline + rows)
      topline = std::max(curline - rows + 1, 0);
    curcol = linelength(curline);
  } else {
    int k = lineof(p);
    curline = k;
    if (k - topline >= rows)
      topline = k - rows + 1;
    else if (k < topline)
      topline = k;
    int tabs = 0;
    for (unsigned char* q = text + linestart[k]; q < p; q++) tabs += *q == '\t';
    curcol = static_cast<int>(p - (text + linestart[k])) + 3 * tabs;
  }
  cur = p;
  if (!selecting) sel = p;
}

void editview::setms(int c, int r) {
  int k = std::min(r + topline, linecount - 1);
  k = std::max(k, 0);
  int n = linelength(k);
  const unsigned char* line = text + linestart[k];
  int x = 0;
  for (int i = 0; i < n; i++) {
    if (line[i] == '\t') x += 3;
    if (x >= c) {
      setcur(i, k);
      return;
    }
    x += 1;
  }
  setcur(k == linecount - 1 ? n : n - 1, k);
}

void editview::settop(int y) {
  int hp = high();
  if (y < lineh)
    topline = 0;
  else if (y > hp - lineh)
    topline = linecount - rows / 2;
  else
    topline =
        static_cast<int>((linecount - 1) * (y - lineh) / static_cast<double>(hp - 2 * lineh) + 0.5);
  topline = std::max(0, std::min(topline, linecount - 1));
}

// ---- moving

void editview::rightone(bool right) {
  unsigned char* q = cur;
  if (right) {
    if (q >= textend()) {
      q = textend();
    } else if (*q == '\r') {
      q += 1;
    } else {
      q += gbkcharbytes(q, static_cast<size_t>(textend() - q));
      if (*q == '\r') q += 1;
    }
    if (q > textend()) q = textend();
  } else {
    if (cur == text || (cur == text + 1 && *cur == '\n')) return;
    q = cur - 1;
    if (*q == '\r' && q > text) q -= 1;
    if (q > text && ctrl[q - text].is(ctrbyte::hz2)) q -= 1;
    if (q < text) q = text;
  }
  setcur(q);
  draw();
}

void editview::upone(bool up) {
  int o = curcol, k = curline;
  if (up) {
    if (k <= 0) return;
    setcur(o, k - 1);
    if (curline < topline) topline = curline;
  } else {
    if (k >= linecount - 1) return;
    setcur(o, k + 1);
    if (curline >= topline + rows) topline = curline - rows + 1;
  }
  draw();
}

void editview::homeend(bool home) {
  if (home)
    setcur(0, curline);
  else
    setcur(linelength(curline) - 1, curline);
  draw();
}

void editview::pgupdn(bool up) {
  int o = curcol, d = curline - topline;
  if (up) {
    int t = std::max(topline - rows, 0);
    topline = t;
    setcur(o, t + d);
  } else {
    int t = topline + rows;
    if (t >= linecount) return;
    topline = t;
    setcur(o, t + d);
  }
  draw();
}

// ---- editing

unsigned char* editview::insertpoint() {
  if (cur >= textend()) return textend();
  if (*cur != '\n') return cur;
  if (cur == text || cur[-1] != '\r') {
    static const unsigned char cr = '\r';
    unsigned char* at = cur;
    insertbytes(at, &cr, 1);  // an end past the LF moves up with it
    return at;
  }
  int i = 0;
  while (cur - i - 1 >= text && cur[-i - 1] == '\r') i++;
  if (i == 1) return cur - 1;
  unsigned char* at = cur - i;
  removebytes(at, cur - 1);  // cur and sel move down with the LF
  return at;
}

namespace {

void fullnotice() { notify("文本已满（最多%d字节），不能再输入", editview::maxtextlen); }

}  // namespace

void editview::insertchar(unsigned ch) {
  undoaction action(history, editundo::typing);
  unsigned char b = static_cast<unsigned char>(ch);
  unsigned char pair[2];
  int n;
  // A lead byte waits for its trail; a pending lead that gets none, and a
  // high byte that can lead nothing, are dropped: typing never makes a
  // stray byte.
  if (last != 0 && isgbktrail(b)) {
    pair[0] = last;
    pair[1] = b;
    last = 0;
    if (pair[0] == 0xA3 && pair[1] == 0xA0) return;
    n = 2;
  } else if (b >= 0x80) {
    last = isgbklead(b) ? b : 0;
    return;
  } else {
    last = 0;
    if (b == 0) return;  // a zero byte would end the text for every reader
    pair[0] = b;
    n = 1;
  }
  // Room for the bytes and a CR the insertion point may add.
  if (len + n + 1 > maxtextlen) {
    fullnotice();
    return;
  }
  unsigned char* p = insertpoint();
  if (!insertlaid(p, pair, n)) return;
  setcur(p + n);
  draw();
}

void editview::insertda() {
  undoaction action(history, editundo::other);
  static const unsigned char crlf[2] = {'\r', '\n'};
  if (len + 3 > maxtextlen) {
    fullnotice();
    return;
  }
  unsigned char* p = insertpoint();
  if (!insertlaid(p, crlf, 2)) return;
  unsigned char* q = p + 2;
  if (q < textend() && *q == '\r') q += 1;
  setcur(q);
  draw();
}

void editview::deletechar() {
  undoaction action(history, editundo::other);
  if (cur > sel) std::swap(cur, sel);
  if (cur >= textend()) {
    sel = cur;
    return;
  }
  unsigned char* a = insertpoint();
  unsigned char* q = sel;
  unsigned char* e;
  if (q >= textend())
    e = textend();
  else if (*q == '\n')
    e = q + 1;
  else if (*q >= 0x80)
    e = q + gbkcharbytes(q, static_cast<size_t>(textend() - q));
  else {
    e = q + 1;
    if (e < textend() && *e == '\n') e += 1;
  }
  if (e > textend()) e = textend();
  removebytes(a, e);
  cur = sel = a;
  setpara();
  setcur(cur);
}

void editview::backchar() {
  if (cur != sel) {
    deletechar();
    draw();
    return;
  }
  if (cur == text || (cur == text + 1 && *cur == '\n')) return;
  undoaction action(history, editundo::erasing);
  unsigned char* d = cur - 1;
  if (d > text && ctrl[d - text].is(ctrbyte::hz2)) {
    d -= 1;
  } else if (*d == '\n' && d > text && d[-1] == '\r') {
    d -= 1;  // the line break goes whole; a bare LF goes alone
  }
  removebytes(d, cur);
  setpara();
  setcur(d);
  sel = cur;
  draw();
}
