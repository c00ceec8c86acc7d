// Drawing a pane: its visible rows, the selection and cursor bars, the
// line-end marks, the end-of-text block, the scroll marker, the focus frame,
// and the state line in the left half of the status bar.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "editor/editview.h"
#include "views/statusbar.h"

unsigned char editview::selarray[301];

// A pane never placed (a screen under 300 pixels) has no rectangle to draw.
void editview::draw() {
  if (!ready) return;
  setsel();
  clear();
  for (int r = 0; r < rows && r < linecount - topline; r++) drawline(r);
  drawcur();
  pmymap->thick = 0;
  dispstate();
  if (focus) {
    pmymap->color = mycolor(0, 0, 0);
    drawbj1();
  }
}

void editview::clear() { boxf(0, 0, width(), high(), mycolor(255, 255, 255)); }

void editview::drawline(int r) {
  if (r < 0 || r >= rows || cols > 300) return;
  memset(selarray, 0, sizeof selarray);
  int k = r + topline;
  if (k < 0 || k >= linecount) return;
  bool marked = false;
  auto mark = [&](int j) {
    if (j <= cols && j <= 300) selarray[j] = 1;
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
      drawnr(r, j);
      j += 1;
      p++;
      break;
    } else {
      if (s) mark(j);
      drawchar(r, j, p, f);
      j += 1;
    }
  }
  if (p == textend() && k == linecount - 1) {
    drawfileend(r, j);
    if (issel(p)) mark(j);
  }
  if (r == curline - topline && !marked && curcol >= 0 && curcol <= 300) selarray[curcol] = 1;
  for (int m = 0; m <= cols && m <= 300; m++)
    if (selarray[m]) drawsel(m, r);
}

void editview::drawchar(int r, int c, unsigned char* p, ctrbyte* f) {
  if (f->is(ctrbyte::lf) || f->is(ctrbyte::hz2) || *p == '\r') return;
  pmymap->color = f->is(ctrbyte::mark) ? textcolor2 : textcolor;
  // A lone high byte at the very end has no second byte: draw it as a pair
  // with itself rather than read past the text.
  char glyph[3] = {static_cast<char>(p[0]), static_cast<char>(p[0] >= 0x80 ? p[1] : 0), 0};
  if (p[0] >= 0x80 && p + 1 >= textend()) glyph[1] = glyph[0];
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
void editview::drawcur() {
  if (linecount <= rows) return;
  double part = std::min(1.0, std::max(0.0, topline / static_cast<double>(linecount - rows)));
  int y = std::min(static_cast<int>(high() * part), high() - lineh);
  int x = cols * charw;
  boxf(x, std::max(y - 15, 0), x + charw, y + lineh, mycolor(0, 255, 0, 100));
}

void editview::dispstate() {
  unsigned b = cur[0];
  if (b >= 0x80)
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x,%2x",
             filename, curline + 1, curcol + 1, len, linecount, b, unsigned(cur[1]));
  else
    snprintf(publicbuffer, publicbuffersize, "%s:当前%d行,%d列,共%d字节,共%d行,代码:%2x",
             filename, curline + 1, curcol + 1, len, linecount, b);
  // A UTF-8 file says so after the rest; a GBK one shows nothing more.
  if (utf8file) {
    size_t n = strlen(publicbuffer);
    snprintf(publicbuffer + n, publicbuffersize - n, ",UTF-8%s,%s", utf8bom ? "+BOM" : "",
             crlfbreaks ? "CRLF" : "LF");
  }
  dispmsg(publicbuffer);
}
