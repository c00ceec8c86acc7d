// Keys as the Linux console sends them, and how many key values a byte
// string turns into once the terminal and bihua's keyboard reader have
// seen it. The driver uses the count to know how many screen pushes a
// piece of typing must cause before the screen can be called settled.
#pragma once

#include <termios.h>

#include <string>

// The bytes of a named key as the Linux console sends them: every name of
// the program's key table (devices/keys.h: "F1".."F12", "up", "down",
// "right", "left", "home", "end", "insert", "delete", "pgup", "pgdown",
// "enter", "tab", "esc", "backspace"), "space", "ctrl-a".."ctrl-z", and
// "xterm-" before a name for a key's xterm-style form ("xterm-F1" is
// ESC O P). Names are case-blind. Throws std::invalid_argument for an
// unknown name.
std::string keybytes(const std::string& name);

// The number of non-zero key values bihua takes from bytes written to a
// terminal in the given input mode (flow-control characters are eaten by
// the terminal, NUL is no key). The bytes are taken as arriving together.
int keycount(const std::string& bytes, const termios& mode);

// The bytes a terminal in that input mode passes on to the program reading
// it (flow-control characters eaten, CR dropped or made LF as the mode says).
std::string terminalpasses(const std::string& bytes, const termios& mode);
