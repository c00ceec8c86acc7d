// Trajectory text in a view: glyph strokes are recorded (view-relative, in
// the bitmap's shared trajectory buffers) instead of drawn, then redrawn
// point by point as scattered discs (circled) whose size follows the stroke
// profile.
#include "graphics/glyphwalk.h"
#include "graphics/linestep.h"
#include "views/myview.h"

void myview::setpixeld(int x, int y) { mybitmap::setpixeld(x, y); }

// Only as many points are walked as the trajectory buffer still takes.
void myview::drawthinlined(int ax, int ay, int bx, int by) {
  linewalk(ax, ay, bx, by, false).runfirst(mybitmap::xymax - mybitmap::xynum, [this](int x, int y) {
    setpixeld(x, y);
  });
}

void myview::addguiji() { mybitmap::addguiji(); }

void myview::drawguiji(int start, int end, int t) {
  for (int j = start; j < end; j++) {
    int d = static_cast<int>(0.5 + t * mybitmap::calmoban(j - start, end - start));
    circled(mybitmap::xybuffer[j][0], mybitmap::xybuffer[j][1], d);
  }
}

void myview::drawallguiji() {
  pmymap->thick = mybitmap::calthick();
  int start = 0;
  for (int s = 0; s < mybitmap::guijinum; s++) {
    drawguiji(start, mybitmap::guiji[s], pmymap->thick);
    start = mybitmap::guiji[s];
  }
}

// A character whose cell cannot reach the bitmap records nothing (its
// dots, at most a cell wide, would all fall outside).
void myview::drawvtextd(int x, int y, const char* s, int w, int h) {
  linewindow r = reach(2);
  eachcell(s, x, w, r.xlo, r.xhi, [&](int cx, const unsigned char* p, int) {
    drawvfontd(cx, y, reinterpret_cast<const char*>(p), w, h ? h : w, 0, 0, nullptr, nullptr);
  });
}

void myview::drawvfontd(int x, int y, unsigned short code, int w, int h, int vennum,
                        unsigned short zn, const unsigned char* vec, const unsigned short* chss) {
  if (mybitmap::zn == 0) {
    if (zn == 0) throw "error to get font";
    mybitmap::setvzk(vennum, zn, vec, chss);
  }
  drawvectd(x, y, mybitmap::drawnglyph(code), w, h);
}

void myview::drawvfontd(int x, int y, const char* s, int w, int h, int vennum, unsigned short zn,
                        const unsigned char* vec, const unsigned short* chss) {
  drawvfontd(x, y, glyphcode(reinterpret_cast<const unsigned char*>(s)), w, h, vennum, zn, vec,
             chss);
}

const unsigned char* myview::drawvectd(int x, int y, const unsigned char* g, int w, int h) {
  if (!g) return nullptr;
  mybitmap::resetpixeld();
  const unsigned char* next = walkglyph(
      g, mybitmap::streamend(), x, y, w, h, true,
      [this](int qx, int qy, int px, int py, bool) { drawthinlined(qx, qy, px, py); },
      [this] { addguiji(); });
  drawallguiji();
  return next;
}
