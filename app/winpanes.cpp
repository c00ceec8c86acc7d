// The window's operations on the three editor panes: focus, Esc cycle,
// same-file copy, saving, and the command line of the bottom pane.
//
// The panes arrive with the editor; until then the window has none and
// these operations find nothing to act on.

#include "app/amybitmapwin.h"
#include "input/pyinput.h"

void amybitmapwin::createpanes() { ed0 = ed1 = ed2 = nullptr; }

editview* amybitmapwin::pane(int id) const {
  switch (id) {
    case 0:
      return ed0;
    case 1:
      return ed1;
    case 2:
      return ed2;
  }
  return nullptr;
}

int amybitmapwin::focusedpane() const { return 2; }

void amybitmapwin::drawpane(int) {}

void amybitmapwin::setedfocus() {}

bool amybitmapwin::issamename() { return false; }

void amybitmapwin::copyedit() {}

void amybitmapwin::esccycle() {}

void amybitmapwin::savefocused() {}

void amybitmapwin::drawinputview() {
  if (pyinputview) pyinputview->draw();
}
