// Layout of a pane: breaking the text into display lines that fit the
// pane's width, filling the line table and the per-byte flags.
//
// A display line's layout depends only on where it starts (and on whether
// an LF ended the line before it), so after an edit only the lines from just
// before the edit to the first line start that lines up again with an old
// one are laid out; the rest of the table is the old one shifted.
#include <algorithm>
#include <cstring>

#include "editor/editview.h"
#include "graphics/gbkchar.h"

namespace {

bool isletter(unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

bool isbreakable(unsigned char b) {
  return b == ' ' || b == ',' || b == ';' || b == '/' || b == '\r';
}

int letterrun(const unsigned char* t, int p, int n, int cols) {
  int e = 0;
  while (p + e < n && e < cols && isletter(t[p + e])) e++;
  return e;
}

// Breaks t[s..n) into display lines of `cols` columns, starting a line at s.
// `forced`: the line at s began by a break, so its first item is placed
// without a fit test. Flags go to f (if any); newline(p, afterlf, wasafterlf)
// is called for each further line start and stops the walk by returning
// true: afterlf tells whether an LF ended the line before, wasafterlf
// whether the flags f held for byte p - 1 before this walk said so. A GBK
// character (graphics/gbkchar.h) is one item two columns wide; any other
// byte of 0x80 or more is a stray byte, one column.
template <class F>
bool breaklines(const unsigned char* t, int n, int cols, int s, bool forced, ctrbyte* f,
                F newline) {
  int c = 0, p = s;
  bool wasafterlf = false;
  while (p < n) {
    unsigned char b = t[p];
    if (b == '\n') {
      if (f) {
        wasafterlf = f[p].is(ctrbyte::lf);
        f[p].bits = ctrbyte::lf;
      }
      p += 1;
      c = 0;
      forced = false;
      if (newline(p, true, wasafterlf)) return true;
      continue;
    }
    int w = 1, step = 1;
    bool fits;
    unsigned char flag = 0;
    bool pair = b >= 0x80 && isgbkpair(t + p, static_cast<size_t>(n - p));
    if (pair) {
      w = step = 2;
      fits = c + 2 < cols;
    } else if (b >= 0x80) {
      fits = c + 1 < cols;
    } else if (b == '\t') {
      w = 4;
      fits = c + 1 < cols;
      flag = ctrbyte::tab;
    } else if (isbreakable(b)) {
      fits = c + 1 < cols;
    } else {
      int e = letterrun(t, p, n, cols);
      if (e > 0) w = step = e;
      fits = c + w < cols;
    }
    if (forced || fits) {
      c += w;
    } else {
      if (newline(p, false, wasafterlf)) return true;
      c = w;
    }
    forced = false;
    if (f) {
      wasafterlf = f[p + step - 1].is(ctrbyte::lf);
      if (pair) {
        f[p].bits = ctrbyte::hz1;
        f[p + 1].bits = ctrbyte::hz2;
      } else {
        for (int i = 0; i < step; i++) f[p + i].bits = 0;
        f[p].bits = flag;
      }
    }
    p += step;
  }
  return false;
}

// New line starts of the relaid stretch, before they go into the table.
int* scratch() {
  static int* s = new int[maxlinenumber];
  return s;
}

}  // namespace

int editview::wordlth(const unsigned char* p) {
  return letterrun(text, static_cast<int>(p - text), len, cols);
}

int editview::lineof(const unsigned char* p) const {
  int off = static_cast<int>(p - text);
  // Last line whose start is at or before off (an empty line followed by
  // one starting at the same byte yields the latter).
  int* end = linestart + linecount;
  int k = static_cast<int>(std::upper_bound(linestart, end, off) - linestart) - 1;
  return std::max(0, std::min(k, linecount - 1));
}

int editview::countlines(const unsigned char* t, int n) {
  int c = std::max(width() / charw - 1, 8);
  int k = 0;
  breaklines(t, n, c, 0, false, nullptr, [&](int, bool, bool) { return ++k >= maxlinenumber - 1; });
  return k + 1 >= maxlinenumber - 1 ? maxlinenumber : k + 1;
}

bool editview::setpara() {
  // Degenerate panes (never placed) still get a usable line width.
  cols = std::max(width() / charw - 1, 8);
  rows = std::max(high() / lineh, 1);
  bool ok;
  if (!editpending || laidcols != cols || linecount < 1) {
    memset(ctrl, 0, (len + 2) * sizeof(ctrbyte));
    ok = layout(0, len + 1, 0);
  } else {
    // Decisions read at most `cols` bytes ahead, so lines starting well
    // before the edit are as they were.
    int target = std::max(0, editlo - cols - 2);
    int k =
        static_cast<int>(std::upper_bound(linestart, linestart + linecount, target) - linestart) -
        1;
    k = std::max(k, 0);
    while (k > 0 && linestart[k - 1] == linestart[k]) k--;
    ok = layout(k, edithi, editdelta);
  }
  editpending = false;
  laidcols = cols;
  if (cur > textend()) cur = textend();
  if (sel > textend()) sel = textend();
  return ok;
}

// Lays out from line `startline` (whose start is still right). The old table
// past it is taken over, shifted by `delta`, from the first new line start
// at or past hi + 1 that matches an old one begun the same way.
bool editview::layout(int startline, int hi, int delta) {
  int* fresh = scratch();
  int oldcount = linecount;
  int s = linestart[startline];
  bool forced = s > 0 && !ctrl[s - 1].is(ctrbyte::lf);
  int k = startline;      // index of the line being filled
  int j = startline + 1;  // old line that could line up next
  bool overflow = false, synced = false;
  breaklines(text, len, cols, s, forced, ctrl, [&](int p, bool afterlf, bool wasafterlf) {
    if (k + 1 >= maxlinenumber - 1) {
      overflow = true;
      return true;
    }
    if (p >= hi + 1 && afterlf == wasafterlf) {
      int want = p - delta;
      while (j < oldcount && linestart[j] < want) j++;
      if (j < oldcount && linestart[j] == want) {
        synced = true;
        return true;
      }
    }
    fresh[++k] = p;
    return false;
  });
  if (synced) {
    int tail = oldcount - j + 1;  // old entries j..oldcount, the end included
    if (k + tail >= maxlinenumber) {
      synced = false;
      overflow = true;
    } else {
      memmove(linestart + k + 1, linestart + j, tail * sizeof(int));
      for (int i = k + 1; i <= k + tail; i++) linestart[i] += delta;
      linecount = k + tail;
    }
  }
  for (int i = startline + 1; i <= k; i++) linestart[i] = fresh[i];
  linestart[0] = 0;
  if (!synced) {
    linecount = k + 1;
    linestart[linecount] = len;
  }
  return !overflow;
}
