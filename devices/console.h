// console: the program's hold on the Linux console and every way of giving
// it back. While the program runs the terminal on standard input is raw
// with its cursor hidden, the console is in graphics mode (no text cursor,
// blanking or kernel messages over the frame) and its virtual terminal is
// switched under the program's control (release and acquire signals).
// Every way out puts all of it back: a normal exit, the start-up failures,
// the fatal signals (re-raised afterwards with the disposition they had, so
// the exit status tells the truth) and an uncaught exception. A stop
// (SIGTSTP) gives the console back first and takes it again on SIGCONT, or
// at once when the kernel discards the stop (an orphaned process group).
//
// The signal handlers only set flags and wake the main loop through a
// pipe; console::service(), called by the loop, acts on them.
#pragma once

#include <termios.h>

namespace console {

// Takes the terminal on descriptor 0 (raw, cursor hidden), the console's
// graphics mode and the virtual terminal, and installs the handlers.
// Only one holder at a time; giveback() undoes all of it.
void take();
// Puts the terminal, cursor, console mode and terminal switching back and
// the signal dispositions as they were. Safe at any time and repeatable.
void giveback();
// The console back as it was, handlers left in place. Async-signal-safe.
void restore();

// The raw terminal settings in force while the program holds the console.
const termios& rawsettings();

// Descriptor that becomes readable when a handler has something for
// service() (-1 before take()).
int wakefd();

// What service() found.
enum : unsigned {
  repaint = 1,  // the screen came back (terminal switched back, or resumed): push it all
};
// Acts on the signals received since the last call: acknowledges a switch
// away (from then on nothing is pushed) or back. Returns repaint flags.
unsigned service();
// True while the user is on another virtual terminal: no pushes, input
// that arrives is dropped.
bool away();

// Called from the SIGHUP and SIGTERM handlers before the console is given
// back, to keep unsaved text; must be async-signal-safe.
extern void (*onhangup)();

// The display's part of giving the console back, set by a display that
// must be handed back (a DRM output): called first by restore() and before
// a switch away is allowed. Must be async-signal-safe.
extern void (*ondisplaygiveback)();

// Writes a message to standard error from anywhere, signal handlers too.
void say(const char* text);

}  // namespace console
