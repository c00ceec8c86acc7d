// The program's clipboard object, its file and the editor's hooks.
#include "app/clipboard.h"

#include <cstdio>

#include "editor/editview.h"
#include "views/statusbar.h"

const char* const clippath = "//tmp//clip.txt";

namespace {

// Loads during static initialisation and saves when the program ends
// normally; a problem at exit goes to standard error, after the terminal is
// back in its own mode.
class fileclipboard : public clipbd {
 public:
  fileclipboard() { load(clippath); }
  ~fileclipboard() {
    if (!save(clippath)) fprintf(stderr, "bihua: %s\n", plainnotice.c_str());
  }
};

fileclipboard theclipboard;

}  // namespace

clipbd& clipboard = theclipboard;

void setclipdata(unsigned char* bytes, unsigned long n) {
  if (!clipboard.setdata(bytes, n)) dispmsg1(clipboard.notice.c_str());
}

unsigned char* getclipdata(unsigned long& n) { return clipboard.getdata(n); }

void installclipboard() {
  editview::setclipdata = setclipdata;
  editview::getclipdata = getclipdata;
  if (!clipboard.notice.empty()) dispmsg1(clipboard.notice.c_str());
}
