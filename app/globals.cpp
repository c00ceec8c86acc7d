#include "app/globals.h"

int gcharwidth = 24;
mybitmapwin* mymapwin = nullptr;
myview* statebar = nullptr;
