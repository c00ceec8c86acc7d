// Program-wide pointers set once by main, and the character cell size every
// screen measure is derived from.
#pragma once

class mybitmapwin;
class myview;

extern int gcharwidth;
extern mybitmapwin* mymapwin;
extern myview* statebar;  // the status line (views/statusbar.h paints it)
