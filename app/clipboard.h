// The program's one clipboard: loaded from "//tmp//clip.txt" before main
// runs and written back there at normal exit, shared by the three panes
// through the two hooks the editor calls.
#pragma once

#include "app/clipbd.h"

extern const char* const clippath;  // "//tmp//clip.txt"
extern clipbd& clipboard;

// The editor's hooks: copy and cut store, paste reads.
void setclipdata(unsigned char* bytes, unsigned long n);
unsigned char* getclipdata(unsigned long& n);

// Hands the hooks to the panes and shows what loading the file found (call
// once the status line exists).
void installclipboard();
