// The command pane's machinery apart from the window: finding the text line
// under pane 2's cursor, splitting a line into an internal command and its
// word, searching a pane's text, and pouring a shell command's output into
// a pane. The window's docommand/doinercmd/opendoc/findwod (commands.cpp)
// are built from these.
//
// Nothing here draws or pushes: the window shows collected output at most
// once a frame interval.
#pragma once

class editview;
class shellcommand;
class utf8stream;

// Sizes of the command buffers (each includes its terminating zero).
const int cmdbufsize = 500;    // cmdbuf: the command line, without its line end
const int ordersize = 200;     // order: first word of an internal command
const int fnsize = 500;        // fn: its second word
const int serwordsize = 100;   // serword: the search word kept between searches
// Longest command: it must fit cmdbuf together with the CR LF that records
// it in pane 2.
const int maxcommandlth = cmdbufsize - 2;

// Bytes of command output taken by one read; a pass of the main loop reads
// as long as output is waiting, for outputpassms at most.
const int outputchunk = 4096;
const int outputpassms = 8;
// Streaming output is drawn at most once in this many milliseconds (less
// often where drawing pane 1 takes longer than half of it), and at once
// when it ends.
const int outputframems = 16;

// Whether fd can be read now (select, zero time-out): -1 on failure, 1 if it
// can, 0 if not.
int isfilewaiting(int fd);

// The text line holding position at: from the byte after the LF before it
// up to and including the next LF. A wrapped line is one line here however
// many display lines it takes. `last` is set when no LF follows (the last
// line of the text).
struct textline {
  int start;
  int length;
  bool last;
};
textline linearound(const unsigned char* text, int len, int at);

// Splits line into its first two blank-separated words (further words are
// ignored). Returns how many words were found, 0..2; -1 when a word does not
// fit its buffer (nothing is cut). An absent second word leaves fn empty.
int splitcommand(const char* line, char* order, int ordermax, char* fn, int fnmax);

// The file name of "open1"/"open2": the rest of line after its first word,
// without the blanks around it; a name in double quotes is what stands
// between them (anything but a double quote). Returns its length, or -1
// when it does not fit fnmax or its closing quote is missing.
int restname(const char* line, char* fn, int fnmax);

// Whether text[i] starts a character: a GBK character (graphics/gbkchar.h)
// is two bytes, every other byte one.
bool charstartat(const unsigned char* text, int len, int i);

// The next place of word in text after position from, going round once:
// the byte after `from` is tried first and `from` itself last. A match
// starts only where a character starts. An empty word matches the first
// character start tried. -1 when nothing matches (and for an empty text).
int findnext(const unsigned char* text, int len, int from, const char* word, int wordlen);

// One pass of collecting command output into pane: if the command's output
// has bytes waiting, appends up to chunk of them at the end of the pane's
// text, lays it out, puts the cursor at column 0 of what was the last line
// before, scrolls so that line shows (the caller draws) and sets the
// notice "read %d bytes" (adding that the command still runs while its shell has
// not ended). Returns the bytes appended (0 when none). At the end of the
// output the command's pipe is closed.
// When the output would pass the pane's capacity (its bytes or its line
// table) the command is stopped with a notice; nothing partial is left from
// the refused read.
// With fromutf8 (a UTF-8 system) the output is converted to GBK as it
// arrives: a character cut between reads waits for the rest, one with no
// GBK form shows as "?" and the notice counts them for the command.
int collectoutput(shellcommand& command, editview* pane, int chunk,
                  utf8stream* fromutf8 = nullptr);
