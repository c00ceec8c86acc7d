// Key and mouse routing: terminal key values and mouse packets become view
// events. Typing-related events (characters, Backspace, F1/F2, presses and
// drags) go to the input-method view first; everything else to keymouse.
#include <unistd.h>

#include "app/amybitmapwin.h"
#include "devices/mymouse.h"
#include "input/pyinput.h"

namespace {

// Key values (escape sequences packed first byte lowest) and the key-down
// code each sends to the window.
struct keyroute {
  long value;
  int code;
};

const keyroute windowkeys[] = {
    {0x415B1B, kcUp},         {0x425B1B, kcDown},       {0x435B1B, kcRight},
    {0x445B1B, kcLeft},       {0x465B1B, kcEnd},        {0x7E345B1B, kcEnd},
    {0x485B1B, kcHome},       {0x7E315B1B, kcHome},     {0x7E335B1B, kcDelete},
    {0x7E355B1B, kcPageUp},   {0x7E365B1B, kcPageDown}, {0x524F1B, kcSelect},
    {0x435B5B1B, kcSelect},   {0x534F1B, kcCopy},       {0x445B5B1B, kcCopy},
    {0x455B5B1B, kcPaste},    {0x7E35315B1B, kcPaste},  {0x7E37315B1B, kcCut},
    {0x7E38315B1B, kcF7},     {0x7E39315B1B, kcF8},     {10, kcEnter},
};

constexpr long keyF1[] = {0x504F1B, 0x415B5B1B};
constexpr long keyF2[] = {0x514F1B, 0x425B5B1B};

bool isone(long v, const long (&forms)[2]) { return v == forms[0] || v == forms[1]; }

}  // namespace

void amybitmapwin::OnKeyDown(unsigned low, unsigned high, unsigned) {
  long v = static_cast<long>(static_cast<unsigned long>(high) << 32 | low);
  for (const keyroute& k : windowkeys)
    if (k.value == v) {
      keymouse(evKey, k.code, 0, 0, 0, 0);
      return;
    }
  // The input-method switch: F1 toggles Chinese/English, F2 the method.
  if (isone(v, keyF1)) {
    toinput(evKey, kcInputSwitch, inputswitchmark, static_cast<int>(high), 0, 0);
  } else if (isone(v, keyF2)) {
    toinput(evKey, kcInputSwitch, inputswitchmark, static_cast<int>(high), -1, 0);
  } else if (v == 9) {
    keymouse(evChar, 9, 0, 0, 0, 0);
  } else if (v == 127) {
    toinput(evChar, 8, 0, 0, 0, 0);
  } else if (v == 27) {
    keymouse(evKey, kcEsc, 0, 0, 0, 0);
    dodraw();
    int f = focusedpane();
    if (pane(f)) drawpane(f);
  }
}

void amybitmapwin::OnChar(unsigned ch, unsigned high, unsigned flags) {
  toinput(evChar, static_cast<int>(ch), static_cast<int>(flags), static_cast<int>(high), 0, 0);
}

void amybitmapwin::OnLButtonDown(unsigned flags, CPoint p) {
  toinput(evPress, p.x, p.y, static_cast<int>(flags), 0, 0);
}

void amybitmapwin::OnMouseMove(unsigned flags, CPoint p) {
  keymouse(evDrag, p.x, p.y, static_cast<int>(flags), 0, 0);
}

bool amybitmapwin::OnMouseWheel(unsigned flags, short delta, CPoint p) {
  keymouse(evWheel, p.x, p.y, static_cast<int>(flags), delta, 0);
  return true;
}

// A press is the left button alone now after no button before; a drag is
// the left button held in both packets. Anything else only moves the cross.
void amybitmapwin::domouse() {
  int now = mouse->packet[0] & 7;
  int before = mouse->lastpacket[0] & 7;
  if (now == 1 && before == 0) {
    toinput(evPress, mouse->x, mouse->y, 0, 0, 0);
    usleep(10000);
  } else if (now == 1 && before == 1) {
    toinput(evDrag, mouse->x, mouse->y, 1, 0, 0);
  }
}

// The input-method row keeps what is typing and passes the rest back to
// keymouse; without it everything goes there directly.
bool amybitmapwin::toinput(int type, int a1, int a2, int a3, int a4, int a5) {
  if (pyinputview) return pyinputview->keymouse(type, a1, a2, a3, a4, a5) != 0;
  return keymouse(type, a1, a2, a3, a4, a5);
}
