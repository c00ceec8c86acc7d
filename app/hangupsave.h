// hangupsave: unsaved text is not lost to a hang-up or a kill. On SIGHUP or
// SIGTERM each changed pane (0 and 1) is written to "<name>.save", or to
// the next free "<name>.save.N" when that exists (never over an existing
// file). Where no such file can be written whole (a folder the user may
// not write, a full disk) the partial file is removed and the rescue goes
// to "$HOME/<last part of name>.save", then to a private file (0600, made
// exclusively) "/tmp/<last part>.save". Standard error names the path
// written. The file holds what F7 would write (a UTF-8 file in UTF-8 with
// its line breaks) and, in a UTF-8 system, has the name's UTF-8 form.
// Runs inside the signal handler: no allocation, no stdio.
#pragma once

class amybitmapwin;

// Makes the console's hang-up hook save the panes of window.
void installhangupsave(amybitmapwin* window);

// The rescue itself, callable outside a handler too (tests).
void savechangedpanes();
