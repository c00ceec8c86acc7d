// Program-wide pointers set once by main (gcharwidth lives with the views).
#pragma once

#include "views/statusbar.h"   // statebar
#include "views/viewevents.h"  // gcharwidth, event types, key codes

class amybitmapwin;
class pyinput;

extern amybitmapwin* mymapwin;  // the application window
extern pyinput* pyinputview;    // the input-method row
