// Cursor placement and movement, scrolling, and the four text edits.
#include "editor/editview.h"

unsigned char editview::last = 0;

void editview::setcur(int, int) {}
void editview::setcur(unsigned char*) {}
void editview::setms(int, int) {}
void editview::settop(int) {}
void editview::rightone(bool) {}
void editview::upone(bool) {}
void editview::homeend(bool) {}
void editview::pgupdn(bool) {}
unsigned char* editview::insertpoint() { return cur; }
void editview::insertchar(unsigned) {}
void editview::insertda() {}
void editview::deletechar() {}
void editview::backchar() {}
