// Program-wide pointers set once by main, and the character cell size every
// screen measure is derived from.
#pragma once

class mybitmapwin;

extern int gcharwidth;
extern mybitmapwin* mymapwin;
