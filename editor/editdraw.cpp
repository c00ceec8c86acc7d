// Drawing a pane and its state line.
#include "editor/editview.h"

unsigned char editview::selarray[301];

void editview::draw() {}
void editview::clear() {}
void editview::drawline(int) {}
void editview::drawchar(int, int, unsigned char*, ctrbyte*) {}
void editview::drawnr(int, int) {}
void editview::drawfileend(int, int) {}
void editview::drawsel(int, int) {}
void editview::drawcur() {}
void editview::dispstate() {}
