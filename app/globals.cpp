#include "app/globals.h"

int gcharwidth = 24;
amybitmapwin* mymapwin = nullptr;
myview* statebar = nullptr;
