// The option box: setup, drawing and the click that picks an option.
#include "views/selectview.h"

#include <cstring>

#include "graphics/gbkchar.h"

#include "views/statusbar.h"
#include "views/viewevents.h"

namespace {
const char* const aa[9] = {"1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};
}

selectview::selectview()
    : items(new char*[itemcount]),
      count(0),
      base(10000),
      selected(0),
      block(new char[itemcount * itemsize + 10]()) {
  move(100, 100, 340, 400);
  for (int i = 0; i < itemcount; i++) items[i] = block + itemsize * i;
}

selectview::~selectview() {
  delete[] block;
  delete[] items;
}

void selectview::setitem(char* item, const char* text) { gbkcopy(item, text, itemsize - 1); }

void selectview::setselects(const char* title, const char* o1, const char* o2, const char* o3,
                            const char* o4, const char* o5, const char* o6, const char* o7,
                            const char* o8, const char* o9) {
  setitem(items[0], title ? title : "");
  count = 0;
  selected = 0;
  const char* options[9] = {o1, o2, o3, o4, o5, o6, o7, o8, o9};
  for (const char* o : options) {
    if (!o) break;
    setitem(items[++count], o);
  }
}

void selectview::draw() {
  paintstatus();  // the screen kept aside shows the status line as it stands
  pmymap->savebuffer();
  boxf(0, 0, width(), high(), mycolor(0, 255, 0));
  pmymap->color = mycolor();
  box(0, 0, width(), high());
  drawtext(1, 1, items[0], 24, 0);
  for (int i = 0; i < count; i++) {
    drawtext(1, 30 * (i + 1), aa[i], 24, 0);
    drawtext(37, 30 * (i + 1), items[i + 1], 24, 0);
  }
}

// Offsets from the top-left corner are compared with the screen coordinates
// of the far edges, as the box has always done.
int selectview::keymouse(int type, int a, int b, int, int, int) {
  if (type != evPress) return 0;
  int dx = a - x1, dy = b - y1;
  if (dy > y2 || dx < 0 || dx > x2) return 0;
  for (int i = 0; i < count; i++)
    if (30 * (i + 1) < dy && dy <= 30 * i + 59) {
      selected = base + i;
      if (closemodal) closemodal();
      return 1;
    }
  return 0;
}
