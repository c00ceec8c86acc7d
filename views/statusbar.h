// The status line across the top of the screen: two halves, the editor's
// state on the left and the latest notice on the right, joined by "  |  ".
// Notices are formatted by notify, plain texts handed to dispmsg1; the
// bar (the global statebar view) is painted once before the screen is
// pushed (paintstatus), however often the line changed since the last push,
// and ends as if each change had been painted at once. Nothing here pushes
// the screen.
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
// Formats a notice into publicbuffer and shows it in the right half.
void notify(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A key, click or drag came: the notice that has the whole line (see
// below) gives it back, and the next notice is that event's echo.
//
// A notice that does not fit beside the state has the whole line until the
// next event; a notice wider than the line is shortened in the middle of
// its file name (the text after its last "：", else its longest run of
// ASCII), never in its reason or its question.
void statuskey();

// Paints the bar with the current line if it changed since it was last
// painted; the window calls it before each push.
void paintstatus();

// The line currently composed for the bar.
const char* statusline();
