// editview: one editing pane. A GBK byte buffer with its per-byte layout
// flags and display-line table, the cursor and selection anchor, the file it
// belongs to, and the key/mouse handler. The application window makes three:
// 0 left half, 1 right half, 2 the command strip along the bottom.
//
// The members are public so that tests can look inside; the window and the
// command pane change a pane only through its verbs (readfile, save,
// addcontent, takecopy, addoutput, showfound, startempty, the edit
// primitives), which keep the layout, the cursor and the history right.
//
// Files: editfile.cpp (text model, filter, load/save), editlayout.cpp
// (setpara), editdraw.cpp (drawing, state line), editcursor.cpp (cursor
// movement and editing), editselect.cpp (selection, copy/cut/paste,
// clipboard hooks), editkeys.cpp (keymouse), editundo.cpp (undo, redo),
// editverbs.cpp (what the window does to a pane as a whole).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "devices/diskfile.h"
#include "editor/editundo.h"
#include "editor/textcodec.h"
#include "views/myview.h"
#include "views/viewevents.h"

// Capacities: bytes of a pane's text (and of its saved copy and flag array),
// entries of its line table (so at most maxlinenumber - 1 display lines).
const int maxcontlth = 1000000;
const int maxlinenumber = 100000;

// Per-byte layout record, one for every text byte.
struct ctrbyte {
  static const unsigned char lf = 0x20;    // the byte is an LF
  static const unsigned char tab = 0x10;   // the byte is a TAB
  static const unsigned char hz2 = 0x08;   // second byte of a two-byte character
  static const unsigned char hz1 = 0x04;   // first byte of a two-byte character
  static const unsigned char mark = 0x02;  // draw in textcolor2
  unsigned char bits;
  bool is(unsigned char f) const { return (bits & f) != 0; }
};

class editview : public amyview {
 public:
  // Bytes the text may use: two bytes of the buffer stay spare so that the
  // terminator stored after a full text (and the byte after the cursor the
  // state line shows) stay inside it.
  static const int maxtextlen = maxcontlth - 2;
  // Longest file name kept; a longer path is refused, never cut.
  static const int namesize = 500;

  // ---- data (declaration order as the panes have always had it)
  bool ready;               // placed and laid out by init(); inert while clear
  char* filename;           // namesize bytes, zero-terminated
  int dragskip;             // drag events still to ignore
  unsigned char* cur;       // cursor, text .. text + len
  unsigned char* sel;       // selection anchor; selection = [min, max] inclusive
  bool selecting;           // this event moves the cursor without the anchor
  bool foundshown = false;  // a found word is shown selected
  bool selectingbefore = false;
  unsigned char* text;       // maxcontlth bytes; first len in use, zero after
  unsigned char* savedtext;  // copy as last loaded or saved
  ctrbyte* ctrl;             // flags, ctrl[i] describes text[i]
  int len;
  int savedlen;
  int linecount;   // display lines, at least 1
  int* linestart;  // maxlinenumber entries; [linecount] == len
  int cols;        // text columns per display line
  int rows;        // display lines that fit
  int topline;     // first display line shown
  int charw;
  int charh;
  int lineh;
  mycolor textcolor;
  mycolor textcolor2;
  int curcol;
  int curline;
  bool seltoggle;  // the F3 switch
  bool focus;
  int id;  // 0, 1 or 2

  // Name the pane's text was last loaded from or saved to ("" when neither):
  // a save under a default name that would overwrite a file the pane never
  // read asks first (see save()).
  char* diskname;
  bool overwriteasked;  // the previous F7 warned about overwriting
  // The file as this pane last read or wrote it, and the name (as the
  // system takes it) it was taken under: F7 writes nothing the first time
  // when the file on disk is no longer that one (see save()).
  diskfile::stamp diskstamp;
  std::string stampname;

  // The form of the file, kept from loading to saving: the pane always holds
  // GBK with CR LF; a file goes back with the line breaks it came with (CR
  // LF, LF or a lone CR; those of its first break when it mixed them), and
  // one that came as UTF-8 goes back as UTF-8, with its byte-order mark if
  // it had one. New and empty files get CR LF.
  bool utf8file;
  bool utf8bom;
  breakstyle linebreaks;
  int writtenbytes;      // bytes the last savefile() wrote
  codecfault savefault;  // why savefile() failed with EILSEQ
  // Undo and redo steps of this pane's text. Every primitive reports to it;
  // loading, clean(), addcontent() and the same-file copy (loadcontent)
  // clear it, since they are no edits of the user's in this pane. Saving
  // keeps it.
  editundo history;

  // Set by the application in a UTF-8 system: file names are held and shown
  // in GBK like the text and handed to the system in UTF-8.
  static bool utf8paths;

  // Shared by the three panes.
  static char* res;                            // result buffer of tfileter
  static int reslen;                           // bytes in res before its terminator
  static breakscan resbreaks;                  // the line breaks the filter met, as they came
  static unsigned char last;                   // pending first byte of a two-byte character
  static std::vector<unsigned char> selarray;  // column marks of the row being drawn, 0 .. cols

  // Clipboard hooks, installed by the application (the editor cannot reach
  // up to it). Unset: copy stores nothing, paste finds nothing.
  static void (*setclipdata)(unsigned char* p, unsigned long n);
  static unsigned char* (*getclipdata)(unsigned long& n);

  explicit editview(int id);
  ~editview() override;

  // ---- text model and files (editfile.cpp)
  void init();
  bool readfile(const char* path);
  // Writes the text's file image to path (see diskfile::replace); false
  // with errno set. link says what a symbolic link at path means.
  bool savefile(const char* path, diskfile::links link = diskfile::links::follow);
  bool save();
  bool saveas(const char* path);
  bool ischanged();
  // Takes the other pane's idea of the file on disk (with its text).
  void takedisk(const editview& other);
  bool addcontent(const char* src, int n);
  bool loadcontent(unsigned char* src, int n);
  void clean();
  static char* tfileter(const char* src, int n);
  // addcontent appends from outside (the command pane's record): laid out,
  // drawn, and the history cleared.
  // Edit primitives. Both keep ctrl parallel to the text, store the zero
  // after it, note the changed range for the next setpara() and report the
  // change to the history. insertbytes
  // refuses (notice, false) when the text would pass maxtextlen.
  bool insertbytes(unsigned char* p, const unsigned char* src, int n);
  void removebytes(unsigned char* a, unsigned char* e);
  // True when n more bytes fit; otherwise shows the capacity notice.
  bool roomfor(int n);
  // insertbytes, then setpara; undone with a notice when the line table
  // would overflow. What typing, Enter and appends use.
  bool insertlaid(unsigned char* p, const unsigned char* src, int n);

  // ---- layout (editlayout.cpp)
  // Lays the text out again: from just before the range the edit
  // primitives noted, or all of it when nothing was noted (after an outside
  // change of text/len). False when the line table overflowed: the lines
  // past the last entry are then laid out as one.
  bool setpara();
  int wordlth(const unsigned char* p);
  // Display line holding text position p (binary search).
  int lineof(const unsigned char* p) const;
  // Display lines n bytes at t would make in this pane (maxlinenumber when
  // they would not fit the line table).
  int countlines(const unsigned char* t, int n);

  // ---- drawing and the state line (editdraw.cpp)
  void draw() override;
  // The next draw paints every row, not only those that changed.
  void forgetshown();
  void clear();
  void clearrow(int r, const std::string& was);
  int inkright(const std::string& row) const;
  std::vector<std::pair<int, int>> inkspans(int right, bool marker) const;
  void describeline(int r, std::string& row);
  void describepen(std::vector<std::string>& now) const;
  void describemarker(std::vector<std::string>& now) const;
  int bestshift(const std::vector<std::string>& now) const;
  int rowtop(int r) const;
  int rowbottom(int r) const;
  bool underframe(int r) const;
  void describechar(std::string& row, int c, unsigned char* p, ctrbyte* f);
  void paintline(int r, const std::string& row);
  void drawchar(int r, int c, unsigned char b0, unsigned char b1, bool marked);
  void drawnr(int r, int c);
  void drawfileend(int r, int c);
  void drawsel(int c, int r);
  void drawcur();
  int markery() const;
  // The view rows the scroll marker covers.
  void markerspan(int& top, int& bottom) const;
  void dispstate();

  // ---- cursor movement and editing (editcursor.cpp)
  void setcur(int o, int k);
  void setcur(unsigned char* p);
  void setms(int c, int r);
  void settop(int y);
  void rightone(bool right);
  void upone(bool up);
  void homeend(bool home);
  void pgupdn(bool up);
  unsigned char* insertpoint();
  void insertchar(unsigned ch);
  void insertda();
  void deletechar();
  void backchar();

  // ---- selection, copy, cut and paste (editselect.cpp)
  bool issel(unsigned char* p);
  void setsel();
  void copy();
  void cut();
  void paste();
  void mycopy(unsigned char* p, unsigned long n);
  unsigned char* mypaste(unsigned long& n);

  // ---- undo and redo (editundo.cpp)
  // Ctrl-Z and Ctrl-Y: take back the last step of the history, or do again
  // the last one taken back; the pane is laid out and drawn with the cursor
  // where the change was. Nothing happens when there is no such step.
  void undo();
  void redo();

  // ---- events (editkeys.cpp)
  // keymouse hands each kind of event to its handler; each returns what
  // keymouse returns (1: consumed, the window's dispatch stops).
  int keymouse(int type, int a, int b, int c, int d, int e) override;
  int onkey(int code);
  int onchar(int byte);
  int onmouse(int type, int a, int b, int c, int d);
  int onbutton(int button);
  void btreadfile();
  void btsave();
  void btsaveas();

  // ---- the window's verbs (editverbs.cpp)
  // The Esc copy: this pane takes the other's text, saved copy and file
  // form, keeping its cursor offset where the text still reaches.
  void takecopy(const editview& other);
  // Command output appended at the end: the cursor goes to the start of
  // the line that was last and the view follows it. False (nothing added)
  // when it does not fit the text or the line table. Not drawn: the
  // caller draws once for many reads.
  bool addoutput(const unsigned char* bytes, int n);
  // A search hit of n bytes at byte at, shown selected three lines below
  // the top; a position outside the text changes nothing.
  void showfound(int at, int n);
  // The next key ends the found word's selection (see showfound).
  void hidefound();
  // Emptied, renamed and shown from the top (the command output pane).
  void startempty(const char* name);

  // ---- helpers
  int linelength(int k) const { return linestart[k + 1] - linestart[k]; }
  unsigned char* textend() const { return text + len; }

 private:
  // Range changed since the last layout: text before editlo is as laid out,
  // text from edithi on is the laid-out text from edithi - editdelta on.
  bool editpending;
  int editlo;
  int edithi;
  int editdelta;
  int laidcols;  // cols of the last layout (-1: none yet)
  bool layout(int startline, int hi, int delta);
  void noteedit(int at, int oldn, int newn);
  void resetcursor();
  bool readraw(const char* path, const std::string& sysname, std::string& raw,
               diskfile::stamp& opened);
  bool takeraw(const char* path, std::string& raw, const utf8scan& form, int& n, breakscan& breaks);
  bool fileimage(std::string& out);
  void savefailed(const char* path);
  bool askoverwrite(const std::string& sysname);
  void notedisk(const std::string& sysname);
  diskfile::saveresult lastsave;
  void showchange(int at);
  // What the pane painted last (see draw()): each row's marks, the look of
  // the whole pane, the screen's wipe count and the focus then, and its
  // pixels under the frame.
  std::vector<std::string> shownrows;
  std::string shownlook;
  unsigned long shownwipes = 0;
  bool shownfocus = false;
  keptedges shownedges;  // the pixels under the frame, without it
  std::string wholelook() const;
};
