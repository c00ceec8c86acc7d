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
// places or colours the whole pane changed, or the screen was wiped.
namespace {

enum markkind : char { glyph = 'c', glyph2 = 'C', lineend = 'n', fileend = 'e', selbar = 's' };

void addmark(std::string& row, char kind, int col, unsigned char b0 = 0, unsigned char b1 = 0) {
  const char m[5] = {kind, static_cast<char>(col & 0xFF), static_cast<char>(col >> 8),
                     static_cast<char>(b0), static_cast<char>(b1)};
  row.append(m, 5);
}

}  // namespace

// How far into the pane the focus frame reaches (its pen is 3 pixels wide).
const int framedepth = 2;

// A pane never placed (a screen under 300 pixels) has no rectangle to draw.
void editview::draw() {
  if (!ready) return;
  setsel();
  std::vector<std::string> now(rows > 0 ? rows : 0);
  for (int r = 0; r < rows; r++) describeline(r, now[r]);
  std::string whole = wholelook();
  bool same = whole == shownlook && now.size() == shownrows.size();
  // A wiped screen, or the focus come or gone, gets back the pixels the
  // pane had without its frame; the frame is drawn again below, also its
  // edge just outside the pane over whatever is there now.
  bool restore = pmymap->wipes != shownwipes || focus != shownfocus;
  bool restored = same && restore && !shownpixels.empty();
  // Only the frame came or went: its edges are all that changed.
  if (restored && pmymap->wipes == shownwipes)
    putedges(shownpixels, framedepth);
  else if (restored)
    putpixels(shownpixels, 0, high());
  bool full = !same || (restore && !restored);
  if (full) clear();
  // A line-end mark leaves the pen thin for the glyphs after it; a row
  // painted alone starts with the pen the whole pass would have there.
  const int pen = pmymap->thick;
  bool thinned = false;
  int first = rows, lastrow = -1;  // rows painted
  for (int r = 0; r < rows; r++) {
    bool paint = full || now[r] != shownrows[r];
    if (paint && !full) {
      clearrow(r);
      pmymap->thick = thinned ? 0 : pen;
    }
    if (paint) {
      paintline(r, now[r]);
      first = std::min(first, r);
      lastrow = r;
    }
    for (size_t i = 0; !thinned && i < now[r].size(); i += 5) thinned = now[r][i] == lineend;
  }
  bool changed = full || restored || lastrow >= 0;
  // The marker and the frame are translucent: drawn again over themselves
  // they leave the pixels as they are, so the marker need not be clipped to
  // the rows painted anew, and the frame is drawn only where it meets them.
  if (changed) drawcur();
  pmymap->thick = 0;
  dispstate();
  if (full)
    keeppixels(shownpixels, 0, high());
  else if (lastrow >= 0)
    keeppixels(shownpixels, first * lineh, (lastrow + 1) * lineh - 1);
  if (focus && changed) {
    pmymap->color = mycolor(0, 0, 0);
    if (full || restored)
      drawbj1();
    else
      drawbj1(first * lineh, (lastrow + 1) * lineh - 1);
  }
  shownfocus = focus;
  shownrows.swap(now);
  shownlook.swap(whole);
  shownwipes = pmymap->wipes;
}

void editview::forgetshown() {
  shownrows.clear();
  shownpixels.clear();
}

void editview::clear() { boxf(0, 0, width(), high(), mycolor(255, 255, 255)); }

void editview::clearrow(int r) {
  boxf(0, r * lineh, width(), (r + 1) * lineh - 1, mycolor(255, 255, 255));
}

// Everything besides the rows that decides what the pane looks like.
std::string editview::wholelook() const {
  char look[200];
  snprintf(look, sizeof look, "%p %dx%d %d %d %d %d %d %d %d %d %d %d %d %x %x %d %d",
           static_cast<void*>(pmymap), pmymap->width, pmymap->height, x1, y1, x2, y2, rows, cols,
           charw, charh, lineh, topline,
           linecount <= rows ? -1 : markery(), textcolor.value(), textcolor2.value(),
           mybitmap::zhityid, markstroke);
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

void editview::drawcur() {
  if (linecount <= rows) return;
  int y = markery();
  int x = cols * charw;
  boxf(x, std::max(y - 15, 0), x + charw, y + lineh, mycolor(0, 255, 0, 100));
}

void editview::dispstate() {
  unsigned b = cur[0];
  if (isgbkpair(cur, static_cast<size_t>(textend() - cur)))
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x,%2x",
             filename, curline + 1, curcol + 1, len, linecount, b, unsigned(cur[1]));
  else
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x",
             filename, curline + 1, curcol + 1, len, linecount, b);
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
