// The command line before anything else happens: --help, --version, "--"
// and the file names. Touches no device and no terminal; main calls it
// first and only builds the screen when it says to go on.
#pragma once

// readoptions' answer when the program should start.
constexpr int optrun = -1;

// Reads the words after the program name, in order. "--help" prints the
// usage and "--version" the version on standard output (status 0); any
// other word starting with "-" prints what is wrong and the usage on
// standard error (status 2). "--" ends the options: it is removed and every
// word after it is a file name. Returns the exit status, or optrun with
// argc and argv left holding the program name and the file names, as if
// the options had never been there. "--fb PATH" is taken out the same way
// and PATH kept in optionfb; "--fb" with nothing after it is status 2;
// "--size N|auto" likewise into optionsize.
int readoptions(int& argc, char** argv);

// The framebuffer device "--fb PATH" named, or null when none was given.
extern const char* optionfb;
// "drm", "fb" or "auto" as "--display" gave it, or null. Any other value
// is status 2.
extern const char* optiondisplay;

// "--learn": the pinyin input remembers the words chosen (taken out of argv
// like "--fb").
extern bool optionlearn;

// The character cell size "--size N" asked for (16..96), sizeauto for
// "--size auto", or 24 when none was given; anything else is status 2.
constexpr int sizeauto = -1;
extern int optionsize;
// The cell size "--size auto" takes on a screen w pixels wide: 24 up to
// 1920, then in proportion (48 at 3840), at most 96.
int autosize(int w);

// The text --help prints.
const char* usagetext();
