#include "app/globals.h"

amybitmapwin* mymapwin = nullptr;
pyinput* pyinputview = nullptr;
