// The system's character set: whether the locale the program was started
// in is UTF-8, and the conversions at the places where text crosses to the
// system (file names from the command line, commands given to the shell;
// the command output is converted as it arrives, in commands.cpp). The
// panes hold GBK whatever the locale.
#pragma once

#include <string>

#include "editor/textcodec.h"

// Set by main from the environment; false (the panes' GBK is the system's
// too) until then, and in tests that do not set it.
extern bool utf8system;

// Whether a locale setting names UTF-8: the first of LC_ALL, LC_CTYPE and
// LANG that is set and not empty decides ("C.UTF-8", "zh_CN.utf8" ...).
bool isutf8locale(const char* lcall, const char* lctype, const char* lang);
// The same from this process's environment.
bool utf8environment();

// A name or command line from the system as the panes show it (GBK); false
// with the place when it is no UTF-8 or has a character without a GBK form.
// Without a UTF-8 system the bytes are taken as they are.
bool fromsystem(const char* s, std::string& out, codecfault& fault);
// GBK text as the system takes it (UTF-8 in a UTF-8 system); false with
// the place of the first pair that is no GBK character.
bool tosystem(const char* s, std::string& out, codecfault& fault);
