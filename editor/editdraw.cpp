// Drawing a pane: its visible rows, the selection and cursor bars, the
// line-end marks, the end-of-text block, the scroll marker, the focus frame,
// and the state line in the left half of the status bar.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editview.h"
#include "graphics/gbkchar.h"
#include "views/statusbar.h"

std::vector<unsigned char> editview::selarray;

// What a row shows is described first, as a string of five-byte marks (kind,
// column low and high, two bytes), then painted from the description. A
// pane keeps the descriptions of what it painted last: drawing again
// repaints only the rows whose description changed, unless something that
// places or colours the whole pane changed, or the screen was wiped. A
// scroll moves the rows that only moved.
namespace {

enum markkind : char {
  glyph = 'c',
  glyph2 = 'C',
  lineend = 'n',
  fileend = 'e',
  selbar = 's',
  markerpart = 'm',
  thickpen = 'p'
};

void addmark(std::string& row, char kind, int col, unsigned char b0 = 0, unsigned char b1 = 0) {
  const char m[5] = {kind, static_cast<char>(col & 0xFF), static_cast<char>(col >> 8),
                     static_cast<char>(b0), static_cast<char>(b1)};
  row.append(m, 5);
}

bool hasmark(const std::string& row, char kind) {
  for (size_t i = 0; i + 5 <= row.size(); i += 5)
    if (row[i] == kind) return true;
  return false;
}

}  // namespace

// How far into the pane the focus frame reaches (its pen is 3 pixels wide).
const int framedepth = 2;

// A pane never placed (a screen under 300 pixels) has no rectangle to draw.
void editview::draw() {
  if (!ready) return;
  setsel();
  // The rows, then the strip below the last one.
  std::vector<std::string> now(rows > 0 ? rows + 1 : 0);
  for (int r = 0; r < rows; r++) describeline(r, now[r]);
  describepen(now);
  describemarker(now);
  std::string whole = wholelook();
  bool same = whole == shownlook && now.size() == shownrows.size();
  // The focus come or gone gets back the pixels the pane had under its
  // frame; the frame is drawn again below, also its edge just outside the
  // pane over whatever is there now. A wiped screen gets the whole pane.
  bool restore = pmymap->wipes != shownwipes || focus != shownfocus;
  bool restored = same && restore && pmymap->wipes == shownwipes && shownedges.h == high();
  if (restored) putedges(shownedges);
  bool full = !same || (restore && !restored);
  // Row r shows what row r + shift showed: rows that only moved are moved.
  int shift = full || restore ? 0 : bestshift(now);
  int lo = std::max(0, -shift), hi = rows - 1 - std::max(0, shift);  // rows moved
  if (shift) {
    // The frame's top and bottom edges lie on the first and last rows:
    // those are painted instead.
    while (lo <= hi && (underframe(lo) || underframe(lo + shift))) lo++;
    while (lo <= hi && (underframe(hi) || underframe(hi + shift))) hi--;
    int from = rowtop(lo + shift), to = rowbottom(hi + shift), dy = -shift * lineh;
    // Only as far right as any row involved has ink, and the marker's
    // column, which some of them may carry; the rest is blank.
    int right = framedepth;
    for (int r = std::min(lo, lo + shift); r <= std::max(hi, hi + shift); r++)
      right = std::max(right, inkright(shownrows[r]));
    if (lo <= hi && shiftedges(shownedges, from, to, dy))
      moverows(from, to, dy, inkspans(right, true));
    else
      shift = 0;
  }
  if (full) clear();
  // A line-end mark leaves the pen thin for the glyphs after it; a row
  // painted alone starts with the pen the whole pass would have there.
  const int pen = pmymap->thick;
  bool thinned = false;
  int first = rows + 1, lastrow = -1;  // rows painted or moved
  for (int r = 0; r < static_cast<int>(now.size()); r++) {
    int from = r + shift;
    bool moved = shift && r >= lo && r <= hi;
    bool paint = full || now[r] != shownrows[moved ? from : r];
    if (paint && !full) {
      clearrow(r, shownrows[moved ? from : r]);
      pmymap->thick = thinned ? 0 : pen;
    }
    if (paint) {
      paintline(r, now[r]);
      // Kept row by row, while its pixels are at hand: a row between two
      // painted ones still has the frame.
      if (!full) keepedges(shownedges, framedepth, rowtop(r), rowbottom(r));
    }
    if (paint || moved) {
      first = std::min(first, r);
      lastrow = r;
    }
    thinned = thinned || hasmark(now[r], lineend);
  }
  bool changed = full || restored || lastrow >= 0;
  // The marker and the frame are translucent: drawn again over themselves
  // they leave the pixels as they are, so the marker need not be clipped to
  // the rows painted anew, and the frame is drawn only where it meets them.
  if (changed) drawcur();
  pmymap->thick = 0;
  dispstate();
  if (full) keepedges(shownedges, framedepth, 0, high());
  if (focus && changed) {
    pmymap->color = mycolor(0, 0, 0);
    if (full || restored)
      drawbj1();
    else
      drawbj1(rowtop(first), rowbottom(lastrow));
  }
  shownfocus = focus;
  shownrows.swap(now);
  shownlook.swap(whole);
  shownwipes = pmymap->wipes;
}

// The pen a row is painted with when it is thick enough to change the
// glyphs: it is thin after the first line end.
void editview::describepen(std::vector<std::string>& now) const {
  if (pmymap->thick < 2) return;
  for (int r = 0; r < rows; r++) {
    addmark(now[r], thickpen, pmymap->thick);
    for (size_t i = 0; i < now[r].size(); i += 5)
      if (now[r][i] == lineend) return;
  }
}

// The scroll marker's piece in every row it crosses (rows' own view rows),
// so that a row's marks say all about its pixels but the frame.
void editview::describemarker(std::vector<std::string>& now) const {
  if (linecount <= rows) return;
  int top = 0, bottom = -1;
  markerspan(top, bottom);
  for (int r = 0; r < static_cast<int>(now.size()); r++) {
    int a = std::max(top, rowtop(r)) - rowtop(r), b = std::min(bottom, rowbottom(r)) - rowtop(r);
    if (a <= b) addmark(now[r], markerpart, a, b & 0xFF, b >> 8);
  }
}

// The scroll that leaves the fewest rows to paint: row r then shows what
// row r + k showed (0: none). Rows are told apart by hash here; the draw
// compares them in full.
int editview::bestshift(const std::vector<std::string>& now) const {
  const int n = rows;
  std::vector<size_t> a(n), b(n);
  for (int r = 0; r < n; r++) {
    a[r] = std::hash<std::string>()(now[r]);
    b[r] = std::hash<std::string>()(shownrows[r]);
  }
  auto topaint = [&](int k) {
    int count = 0;
    for (int r = 0; r < n; r++) {
      int from = r + k;
      count += from >= 0 && from < n ? a[r] != b[from] : a[r] != b[r];
    }
    return count;
  };
  int best = 0, least = topaint(0);
  for (int d = 1; d < n && least > 0; d++)
    for (int k : {d, -d}) {
      int c = topaint(k);
      if (c < least) best = k, least = c;
    }
  return best;
}

void editview::forgetshown() {
  shownrows.clear();
  shownedges = keptedges();
}

// Whether the frame's top or bottom edge crosses row r.
bool editview::underframe(int r) const {
  return rowtop(r) <= framedepth || rowbottom(r) >= high() - framedepth;
}

// The view rows of pane row r; the row after the last is the strip below.
int editview::rowtop(int r) const { return r * lineh; }
int editview::rowbottom(int r) const { return r < rows ? (r + 1) * lineh - 1 : high(); }

void editview::clear() { boxf(0, 0, width(), high(), mycolor(255, 255, 255)); }

// A row is blank right of its ink but for the frame's edges and, where the
// scroll marker crossed it, the marker's column; most of what it spans is
// blank too: only what `was` inked is cleared, and only its pixels that are
// not blank already are written, so the push looks at the ink alone. The
// first and last rows lie under the frame's top and bottom edges and are
// cleared whole.
void editview::clearrow(int r, const std::string& was) {
  const mycolor white(255, 255, 255);
  if (underframe(r)) {
    reboxf(0, rowtop(r), width(), rowbottom(r), white);
    return;
  }
  bool marker = hasmark(was, markerpart);
  for (const std::pair<int, int>& s : inkspans(std::max(inkright(was), framedepth), marker))
    reboxf(s.first, rowtop(r), s.second, rowbottom(r), white);
}

// The rightmost view x a row's glyphs and bars can ink (-1: none): a
// glyph's box is two cells wide and its strokes may reach a cell and the
// pen further. The scroll marker has a column of its own.
int editview::inkright(const std::string& row) const {
  int right = -1, pen = 0;
  for (size_t i = 0; i + 5 <= row.size(); i += 5) {
    const unsigned char* m = reinterpret_cast<const unsigned char*>(row.data() + i);
    int c = m[1] | m[2] << 8;
    if (m[0] == thickpen)
      pen = c;
    else if (m[0] != markerpart)
      right = std::max(right, (c + 3) * charw);
  }
  return right < 0 ? -1 : right + pen + 2;
}

// The columns of a row that can differ from blank when its ink ends at
// `right`: from the left edge to there, the scroll marker's column (when
// the marker crosses the row) and the frame's right edge; rising, apart
// and within the pane.
std::vector<std::pair<int, int>> editview::inkspans(int right, bool marker) const {
  std::vector<std::pair<int, int>> spans;
  int x = cols * charw;
  std::pair<int, int> column = marker ? std::make_pair(x, x + charw) : std::make_pair(0, -1);
  for (std::pair<int, int> s :
       {std::make_pair(0, right), column, std::make_pair(width() - framedepth, width())}) {
    s.second = std::min(s.second, width());
    if (s.first > s.second) continue;
    if (!spans.empty() && s.first <= spans.back().second + 1)
      spans.back().second = std::max(spans.back().second, s.second);
    else
      spans.push_back(s);
  }
  return spans;
}

// Everything besides the rows that decides what the pane looks like.
std::string editview::wholelook() const {
  char look[200];
  snprintf(look, sizeof look, "%p %dx%d %d %d %d %d %d %d %d %d %d %x %x %d %d",
           static_cast<void*>(pmymap), pmymap->width, pmymap->height, x1, y1, x2, y2, rows, cols,
           charw, charh, lineh, textcolor.value(), textcolor2.value(), mybitmap::zhityid,
           markstroke);
  return look;
}

void editview::describeline(int r, std::string& row) {
  row.clear();
  if (r < 0 || r >= rows) return;
  // One mark for every column of the pane, however wide the screen.
  selarray.assign(cols + 1, 0);
  int k = r + topline;
  if (k < 0 || k >= linecount) return;
  bool marked = false;
  auto mark = [&](int j) {
    if (j >= 0 && j <= cols) selarray[j] = 1;
    marked = true;
  };
  unsigned char* p = text + linestart[k];
  unsigned char* end = text + linestart[k + 1];
  int j = 0;
  // The walk also stops far right of the pane: only a line the full line
  // table left unbroken gets there.
  for (; p < end && j <= cols + 4; p++) {
    ctrbyte* f = ctrl + (p - text);
    bool s = issel(p);
    if (f->is(ctrbyte::tab)) {
      if (s)
        for (int m = 0; m < 4; m++) mark(j + m);
      j += 4;
    } else if (f->is(ctrbyte::hz2)) {
      if (s) mark(j);
      j += 1;
    } else if (*p == '\r') {
    } else if (*p == ' ') {
      if (s) mark(j);
      j += 1;
    } else if (*p == '\n') {
      if (s) mark(j);
      addmark(row, lineend, j);
      j += 1;
      p++;
      break;
    } else {
      if (s) mark(j);
      describechar(row, j, p, f);
      j += 1;
    }
  }
  if (p == textend() && k == linecount - 1) {
    addmark(row, fileend, j);
    if (issel(p)) mark(j);
  }
  if (r == curline - topline && !marked && curcol >= 0 && curcol <= cols) selarray[curcol] = 1;
  for (int m = 0; m <= cols; m++)
    if (selarray[m]) addmark(row, selbar, m);
}

void editview::describechar(std::string& row, int c, unsigned char* p, ctrbyte* f) {
  if (f->is(ctrbyte::lf) || f->is(ctrbyte::hz2) || *p == '\r') return;
  // A GBK character goes as its two bytes; any other byte alone, so that a
  // stray byte of 0x80 or more draws as a one-column placeholder.
  unsigned char second = f->is(ctrbyte::hz1) ? p[1] : 0;
  addmark(row, f->is(ctrbyte::mark) ? glyph2 : glyph, c, p[0], second);
}

void editview::paintline(int r, const std::string& row) {
  for (size_t i = 0; i + 5 <= row.size(); i += 5) {
    const unsigned char* m = reinterpret_cast<const unsigned char*>(row.data() + i);
    int c = m[1] | m[2] << 8;
    switch (m[0]) {
      case glyph:
      case glyph2:
        drawchar(r, c, m[3], m[4], m[0] == glyph2);
        break;
      case lineend:
        drawnr(r, c);
        break;
      case fileend:
        drawfileend(r, c);
        break;
      case selbar:
        drawsel(c, r);
        break;
    }
  }
}

void editview::drawchar(int r, int c, unsigned char b0, unsigned char b1, bool marked) {
  pmymap->color = marked ? textcolor2 : textcolor;
  char glyph[3] = {static_cast<char>(b0), static_cast<char>(b1), 0};
  drawfont(c * charw, r * lineh, glyph, 2 * charw, charh);
}

void editview::drawnr(int r, int c) {
  pmymap->color = mycolor(255, 0, 0);
  pmymap->thick = 0;
  drawfont(c * charw, r * lineh, "/", 2 * charw, charh);
}

void editview::drawfileend(int r, int c) {
  int x = c * charw, y = r * lineh;
  boxf(x, y, x + charw, y + charh, mycolor(255, 0, 0));
}

void editview::drawsel(int c, int r) {
  int x = c * charw, y = r * lineh;
  boxf(x, y + charh, x + charw, y + charh - charw, mycolor(0, 0, 255, 100));
}

// The marker is kept inside the pane: scrolled past the last page it would
// land on the pane below, and at the top it would reach into the row above.
int editview::markery() const {
  double part = std::min(1.0, std::max(0.0, topline / static_cast<double>(linecount - rows)));
  return std::min(static_cast<int>(high() * part), high() - lineh);
}

void editview::markerspan(int& top, int& bottom) const {
  int y = markery();
  top = std::max(y - 15, 0);
  bottom = y + lineh;
}

void editview::drawcur() {
  if (linecount <= rows) return;
  int top, bottom, x = cols * charw;
  markerspan(top, bottom);
  boxf(x, top, x + charw, bottom, mycolor(0, 255, 0, 100));
}

void editview::dispstate() {
  unsigned b = cur[0];
  if (isgbkpair(cur, static_cast<size_t>(textend() - cur)))
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x,%2x",
             filename, curline + 1, curcol + 1, len, linecount, b, unsigned(cur[1]));
  else
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x", filename,
             curline + 1, curcol + 1, len, linecount, b);
  // A UTF-8 file says so after the rest, with its line breaks; a GBK one
  // names its line breaks when they are not CR LF.
  size_t n = strlen(publicbuffer);
  if (utf8file)
    snprintf(publicbuffer + n, publicbuffersize - n, ",UTF-8%s,%s", utf8bom ? "+BOM" : "",
             breakname(linebreaks));
  else if (linebreaks != breakstyle::crlf)
    snprintf(publicbuffer + n, publicbuffersize - n, ",%s", breakname(linebreaks));
  dispmsg(publicbuffer);
}
