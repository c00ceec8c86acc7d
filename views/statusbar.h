// The status line across the top of the screen: two halves, the editor's
// state on the left and the latest notice on the right, joined by "  |  ".
// Callers format into publicbuffer and hand it to dispmsg or dispmsg1, which
// repaint the bar at once (the bar view itself is the global statebar).
// Nothing here pushes the screen.
#pragma once

class myview;

// The status line view; main creates it.
extern myview* statebar;

// Shared scratch buffer for formatting one message (publicbuffersize bytes).
// Ready before main runs; a caller must not keep text in it across another
// caller's message.
const int publicbuffersize = 10000;
extern char* publicbuffer;

// Longest half kept, in bytes; longer texts are cut.
const int messagehalf = 500;

void dispmsg(const char* text);   // replaces the left half (editor state)
void dispmsg1(const char* text);  // replaces the right half (notices)

// The line currently composed for the bar.
const char* statusline();
