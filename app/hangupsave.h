// hangupsave: unsaved text is not lost to a hang-up or a kill. On SIGHUP or
// SIGTERM each changed pane (0 and 1) is written to "<name>.save", or to
// the next free "<name>.save.N" when that exists (never over an existing
// file), and standard error says where it went. Runs inside the signal
// handler, so it uses only open, write and close.
#pragma once

class amybitmapwin;

// Makes the console's hang-up hook save the panes of window.
void installhangupsave(amybitmapwin* window);

// The rescue itself, callable outside a handler too (tests).
void savechangedpanes();
