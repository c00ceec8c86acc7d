// Program-wide pointers set once by main, and the character cell size every
// screen measure is derived from.
#pragma once

class amybitmapwin;
class myview;

extern int gcharwidth;
extern amybitmapwin* mymapwin;  // the application window
extern myview* statebar;  // the status line (views/statusbar.h paints it)
