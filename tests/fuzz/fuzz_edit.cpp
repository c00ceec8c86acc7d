// Random sequences of editing operations on a pane (typed bytes, Enter,
// Backspace, Delete, arrows, clicks and drags, select, copy, cut, paste,
// undo, redo, command output added), on a text as a file or as command
// output brings it, the text's invariants checked after every step.
#include <string>

#include "editcheck.h"
#include "fuzzkit.h"
#include "stringclip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput in{data, size};
  fuzzscreen(400, 300);
  static editview* e = [] {
    editview* p = new editview(0);
    p->init();
    installclip();
    return p;
  }();
  // The text as a file comes, through the filter, or as command output
  // comes, byte for byte (bare LFs, a lead byte before an LF or at the end).
  bool output = in.byte() & 1;
  std::string start = in.text(200);
  e->loadcontent(nullptr, 0);
  if (output)
    e->addcontent(start.data(), static_cast<int>(start.size()));
  else if (char* t = editview::tfileter(start.data(), static_cast<int>(start.size())))
    e->loadcontent(reinterpret_cast<unsigned char*>(t), editview::reslen);
  e->setcur(e->text);
  e->focus = true;
  editview::last = 0;
  clipstring() = in.text(100);
  checkpane(*e);
  static const int keys[] = {kcEnter,  kcPageUp, kcPageDown, kcEnd,    kcHome, kcLeft, kcUp,
                             kcRight,  kcDown,   kcDelete,   kcSelect, kcCopy, kcPaste, kcCut,
                             kcUndo,   kcRedo};
  for (int n = 0; n < 200 && !in.empty(); n++) {
    int op = in.byte() % 9;
    switch (op) {
      case 0:
      case 1: e->keymouse(evChar, in.byte(), 0, 0, 0, 0); break;
      case 2: e->keymouse(evChar, 8, 0, 0, 0, 0); break;
      case 3:
      case 4: e->keymouse(evKey, keys[in.byte() % 16], 0, 0, 0, 0); break;
      case 5: e->keymouse(evPress, in.byte() * 2, in.byte() * 2, 1, 0, 0); break;
      case 6: e->keymouse(evDrag, in.byte() * 2, in.byte() * 2, in.byte() & 1, 0, 0); break;
      case 7: e->keymouse(evWheel, 100, 100, 0, static_cast<signed char>(in.byte()), 0); break;
      default: {  // more command output, added at the end
        std::string more = in.text(60);
        e->addcontent(more.data(), static_cast<int>(more.size()));
        break;
      }
    }
    checkpane(*e);
  }
  return 0;
}
