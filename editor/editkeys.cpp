// Key and mouse events of a pane: which operation each event runs, the
// select switch, and whether the event stops the window's dispatch.
#include "editor/editview.h"
#include "views/statusbar.h"

namespace {

bool inside(int x, int y, int w, int h) { return x >= 0 && x < w && y >= 0 && y < h; }

// A press or drag in the scroll strip scrolls a text longer than the pane
// and drops the selection; the cursor stays where it was.
void scrollstrip(editview& e, int y) {
  if (e.linecount <= e.rows) return;
  e.settop(y);
  e.sel = e.cur;
  e.selecting = false;
  e.draw();
}

}  // namespace

int editview::keymouse(int type, int a, int b, int c, int d, int) {
  if (!focus || !ready) return 0;
  // Only characters continue a typing or erasing run.
  if (type != evChar) history.seal();
  if (type >= evKey && type < evButton) {
    if (type == evKey) return onkey(a);
    if (type == evChar) return onchar(a);
    return 0;
  }
  if (type < evKey) return onmouse(type, a, b, c, d);
  if (type < 1000) return onbutton(type - evButton);
  return 0;
}

int editview::onkey(int code) {
  selecting = seltoggle;
  switch (code) {
    case kcRight:
      rightone(true);
      break;
    case kcLeft:
      rightone(false);
      break;
    case kcUp:
      upone(true);
      break;
    case kcDown:
      upone(false);
      break;
    case kcHome:
      homeend(true);
      break;
    case kcEnd:
      homeend(false);
      break;
    case kcPageUp:
      pgupdn(true);
      break;
    case kcPageDown:
      pgupdn(false);
      break;
    case kcEnter:
      insertda();
      return 1;
    case kcDelete:
      deletechar();
      seltoggle = false;
      draw();
      break;
    case kcSelect:
      seltoggle = !seltoggle;
      if (!seltoggle) {
        // Back on the anchor, with its line and column, so that Up and
        // Home start from there.
        selecting = false;
        setcur(sel);
        draw();
      }
      break;
    case kcCopy:
      copy();
      seltoggle = false;
      draw();
      break;
    case kcPaste:
      paste();
      seltoggle = false;
      draw();
      break;
    case kcCut:
      cut();
      seltoggle = false;
      draw();
      break;
    case kcUndo:
      undo();
      break;
    case kcRedo:
      redo();
      break;
  }
  return 0;
}

int editview::onchar(int byte) {
  selecting = false;
  if (byte == chBackspace) {
    backchar();
    seltoggle = false;
  } else if (byte != chEnter) {
    insertchar(static_cast<unsigned>(byte));
    seltoggle = false;
  }
  return 0;
}

int editview::onmouse(int type, int a, int b, int c, int d) {
  int x = a - x1, y = b - y1, w = width(), h = high();
  bool strip = x > w - 2 * charw;
  if (type == evPress) {
    if (strip) {
      scrollstrip(*this, y);
      return 1;
    }
    selecting = false;
    if (!inside(x, y, w, h)) return 1;
    setms(x / charw, y / lineh);
    draw();
    return 0;
  }
  if (type == evDrag) {
    if (dragskip > 0) {
      dragskip--;
      return 0;
    }
    if (!(c & 1)) return 0;
    if (!inside(x, y, w, h)) return 1;
    if (strip) {
      scrollstrip(*this, y);
      return 1;
    }
    setms(x / charw, y / lineh);
    selecting = true;
    draw();
    return 0;
  }
  if (type == evWheel) upone(d > 0);
  return 0;
}

// The bar's select, copy, paste and cut buttons act as their keys.
int editview::onbutton(int button) {
  switch (button) {
    case btSelect:
      return keymouse(evKey, kcSelect, 0, 0, 0, 0);
    case btCopy:
      return keymouse(evKey, kcCopy, 0, 0, 0, 0);
    case btPaste:
      return keymouse(evKey, kcPaste, 0, 0, 0, 0);
    case btCut:
      return keymouse(evKey, kcCut, 0, 0, 0, 0);
  }
  return 0;
}

void editview::btreadfile() {}

void editview::btsave() {
  if (len == 0) {
    dispmsg1("内容为零不保存");
    return;
  }
  if (savedlen != 0)
    save();
  else
    btsaveas();
}

void editview::btsaveas() {}
