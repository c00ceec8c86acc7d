// Key and mouse routing: terminal key values and mouse packets become view
// events. Typing-related events (characters, Backspace, F1/F2, presses and
// drags) go to the input-method view first; everything else to keymouse.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/amybitmapwin.h"
#include "devices/keys.h"
#include "devices/mymouse.h"
#include "input/pyinput.h"
#include "views/statusbar.h"

namespace {

const keyvalue ctrlc = 3, ctrlh = 8;

// The key-down code a key sends to the window; 0 for keys handled below or
// not at all.
// clang-format off: the key table, one key a line
int windowcode(key k) {
  switch (k) {
    case key::up:
      return kcUp;
    case key::down:
      return kcDown;
    case key::right:
      return kcRight;
    case key::left:
      return kcLeft;
    case key::end:
      return kcEnd;
    case key::home:
      return kcHome;
    case key::del:
      return kcDelete;
    case key::pgup:
      return kcPageUp;
    case key::pgdown:
      return kcPageDown;
    case key::f3:
      return kcSelect;
    case key::f4:
      return kcCopy;
    case key::f5:
      return kcPaste;
    case key::f6:
      return kcCut;
    case key::f7:
      return kcF7;
    case key::f8:
      return kcF8;
    case key::enter:
      return kcEnter;
    case key::ctrlz:
      return kcUndo;
    case key::ctrly:
      return kcRedo;
    default:
      return 0;
  }
}
// clang-format on

}  // namespace

void amybitmapwin::OnKeyDown(unsigned low, unsigned high, unsigned) {
  keyvalue v = static_cast<keyvalue>(high) << 32 | low;
  key k = keyof(v);
  // Ctrl-C stops a running shell command; otherwise it is no key here.
  if (v == ctrlc && stopcommand()) return;
  // Ctrl-S saves, as every editor user expects.
  if (v == keyCtrlS) k = key::f7;
  // Enter reaches the input row first: with pinyin letters typed it types them.
  if (k == key::enter) {
    toinput(evKey, kcEnter, 0, 0, 0, 0);
    return;
  }
  if (int code = windowcode(k)) {
    keymouse(evKey, code, 0, 0, 0, 0);
    return;
  }
  // The input-method switch: F1 toggles Chinese/English, F2 the method.
  if (k == key::f1) {
    toinput(evKey, kcInputSwitch, inputswitchmark, static_cast<int>(high), 0, 0);
  } else if (k == key::f2) {
    toinput(evKey, kcInputSwitch, inputswitchmark, static_cast<int>(high), -1, 0);
  } else if (k == key::tab) {
    keymouse(evChar, chTab, 0, 0, 0, 0);
  } else if (k == key::backspace || v == ctrlh) {
    toinput(evChar, chBackspace, 0, 0, 0, 0);
  } else if (k == key::esc) {
    keymouse(evKey, kcEsc, 0, 0, 0, 0);
    // Only the frame moved: each pane puts back what it kept of itself, the
    // focused one last (the status line shows its state), and the input
    // row, drawn last, keeps the row it shares with the panes.
    int f = focusedpane();
    for (int id = 0; id < 3; id++)
      if (id != f) drawpane(id);
    drawpane(f);
    drawinputview();
  } else if (v > 0 && v < 32) {
    // A control byte that is no key goes nowhere near the text.
    notify("此键无功能：Ctrl-%c", static_cast<char>('@' + v));
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
  // One wheel event per click; a positive delta turns away from the user.
  for (int i = 0; i < std::min(std::abs(mouse->wheel), 16); i++)
    OnMouseWheel(0, mouse->wheel < 0 ? 120 : -120, CPoint{mouse->x, mouse->y});
}

// The input-method row keeps what is typing and passes the rest back to
// keymouse; without it everything goes there directly.
bool amybitmapwin::toinput(int type, int a1, int a2, int a3, int a4, int a5) {
  if (pyinputview) return pyinputview->keymouse(type, a1, a2, a3, a4, a5) != 0;
  return keymouse(type, a1, a2, a3, a4, a5);
}
