// The window's operations on the three editor panes: creating them, focus
// by mouse, the Esc cycle with its same-file copy, saving the focused pane,
// and the command line of the bottom pane.

#include <cstdio>
#include <cstring>
#include <string>

#include "app/amybitmapwin.h"
#include "devices/mymouse.h"
#include "editor/editview.h"
#include "input/pyinput.h"
#include "views/statusbar.h"

void amybitmapwin::createpanes() {
  ed0 = new editview(0);
  ed1 = new editview(1);
  ed2 = new editview(2);
  for (editview* e : {ed0, ed1, ed2}) e->markstroke = true;
}

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

int amybitmapwin::focusedpane() const {
  if (ed0 && ed0->focus) return 0;
  if (ed1 && ed1->focus) return 1;
  return 2;
}

void amybitmapwin::drawpane(int id) {
  if (editview* e = pane(id)) e->draw();
}

void amybitmapwin::setedfocus() {
  if (!ed0 || !mouse) return;
  int x = mouse->x, y = mouse->y;
  for (editview* e : {ed0, ed1, ed2}) {
    if (e->x1 <= x && x <= e->x2 && e->y1 <= y && y <= e->y2) {
      ed0->focus = ed1->focus = ed2->focus = false;
      e->focus = true;
      for (editview* d : {ed0, ed1, ed2}) d->draw();
      return;
    }
  }
}

bool amybitmapwin::issamename() { return ed0 && strcmp(ed0->filename, ed1->filename) == 0; }

namespace {

// The text both panes held after the last same-file copy: a target that
// still holds it has no edits of its own, whatever it shares with the
// source.
std::string synced;
bool hassynced = false;

bool holdssynced(const editview* e) {
  return hassynced && synced.size() == static_cast<size_t>(e->len) &&
         memcmp(synced.data(), e->text, e->len) == 0;
}

}  // namespace

// The pane being left gives the other its text together with its saved
// copy and the file's form, so the target's changed state and what its
// save writes are the source's. A target with unsaved edits of its own
// keeps them: nothing is copied, and the notice says why.
void amybitmapwin::copyedit() {
  if (!ed0 || ed0->focus == ed1->focus) return;
  editview* src = ed0->focus ? ed0 : ed1;
  editview* dst = ed0->focus ? ed1 : ed0;
  if (dst->ischanged() && !holdssynced(dst)) {
    notify("另一窗格有未保存的修改，未复制：%s", dst->filename);
    return;
  }
  dst->takecopy(*src);
  synced.assign(reinterpret_cast<const char*>(src->text), src->len);
  hassynced = true;
  // Command output must not land in a copy of the user's file.
  if (dst == ed1) stopcommand();
}

void amybitmapwin::esccycle() {
  if (!ed0) return;
  int e = focusedpane();
  if (e < 2 && issamename()) copyedit();
  ed2->focus = ed1->focus = ed0->focus = false;
  pane((e + 1) % 3)->focus = true;
}

void amybitmapwin::savefocused() {
  if (editview* e = pane(focusedpane())) e->save();
}

void amybitmapwin::drawinputview() {
  if (pyinputview) pyinputview->draw();
}
