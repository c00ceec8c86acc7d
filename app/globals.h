// Program-wide pointers set once by main (gcharwidth lives with the views).
#pragma once

#include "views/statusbar.h"  // statebar
#include "views/viewevents.h"  // gcharwidth, event types, key codes

class amybitmapwin;

extern amybitmapwin* mymapwin;  // the application window
