// Key and mouse events of a pane.
#include "editor/editview.h"

int editview::keymouse(int, int, int, int, int, int) { return 0; }
void editview::btreadfile() {}
void editview::btsave() {}
void editview::btsaveas() {}
