#include "app/globals.h"

amybitmapwin* mymapwin = nullptr;
