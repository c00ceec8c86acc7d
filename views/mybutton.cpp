// Buttons of the function-key bar: label, hit test, painting, the click
// flash, and the group's layout and click dispatch.
#include "views/mybutton.h"

#include <cstring>

#include "graphics/gbkchar.h"

#include "views/viewevents.h"

void (*mybutton::pushscreen)() = nullptr;

int (*buttongroup::sendevent)(int, int, int, int, int, int) = nullptr;

mybutton::mybutton() : myview(0, 0, 1, 1), textsize(gcharwidth), pressed(0), clicked(0) {
  text[0] = 0;
}

void mybutton::addtext(const char* label) { gbkcopy(text, label, sizeof text - 1); }

// Left and right edges are outside, the top row inside, the bottom row not.
bool mybutton::inside(int x, int y) const { return x1 < x && x < x2 && y1 <= y && y < y2; }

unsigned char mybutton::tryclick(int x, int y) {
  clicked = 0;
  if (inside(x, y)) {
    clicked = 1;
    pressed = !pressed;
  }
  return clicked;
}

unsigned char mybutton::tryclick2(int x, int y) {
  clicked = 0;
  if (inside(x, y)) {
    clicked = 1;
    pressed = 1;
    draw();
    if (pushscreen) pushscreen();
    pressed = 0;
    draw();
    if (pushscreen) pushscreen();
  }
  return clicked;
}

void mybutton::draw() {
  boxf(0, 0, width(), high(), pressed ? mycolor(0, 255, 0) : mycolor(0xFFFFFFFFu));
  pmymap->color = mycolor(0, 255, 0);
  drawbj();
  pmymap->color = mycolor();
  if (text[0]) drawtextc(width() / 2, high() / 2, text, labelsize(), textsize);
}

// A label that would reach the right frame is drawn in narrower cells; the
// cell height stays textsize.
int mybutton::labelsize() const {
  int n = static_cast<int>(std::strlen(text));
  int s = textsize;
  if (n > 0 && s * n / 2 >= width() - 1) s = (width() - 2) * 2 / n;
  return s;
}

buttongroup::buttongroup() : buttons(), count(0) {}

buttongroup::~buttongroup() {
  for (int i = 0; i < count; i++) delete buttons[i];
}

void buttongroup::addbutton(const char* label) {
  if (count >= maxbuttons) return;
  mybutton* b = new mybutton;
  b->addtext(label);
  int g = gcharwidth, left = count * g * 6;
  b->move(left, g * 32 / 24, left + g * 5, g * 60 / 24);
  buttons[count++] = b;
}

// Five units of button and one of gap each; the unit is the cell size
// unless the row would not fit the screen.
void buttongroup::resetwidth(int screenwidth) {
  if (count == 0) return;
  int w = gcharwidth;
  if (screenwidth <= count * gcharwidth * 6) w = screenwidth / (count * 6);
  for (int i = 0; i < count; i++) {
    int left = w * i * 6;
    buttons[i]->move(left, gcharwidth * 32 / 24, left + w * 5, gcharwidth * 60 / 24);
    buttons[i]->textsize = gcharwidth;
  }
}

int buttongroup::keymouse(int type, int a1, int a2, int, int, int) {
  if (type != evPress) return 0;
  for (int i = 0; i < count; i++) {
    if (!buttons[i] || !buttons[i]->tryclick2(a1, a2)) continue;
    if (sendevent) sendevent(evButton + i, 0, 0, 0, 0, 0);
    return 1;
  }
  return 0;
}

void buttongroup::draw() {
  for (int i = 0; i < count; i++)
    if (buttons[i]) buttons[i]->draw();
}
