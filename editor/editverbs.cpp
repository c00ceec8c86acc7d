// What the window and the command pane do to a pane as a whole: the Esc
// copy of the other pane, command output appended, a search hit shown, and
// the output pane started afresh. Each leaves the text laid out, the cursor
// placed, the history right and the pane drawn; addoutput leaves the
// drawing to its caller, which shows a stream of output once a frame.
#include <algorithm>
#include <cstring>

#include "editor/editview.h"

void editview::takecopy(const editview& other) {
  int keep = static_cast<int>(cur - text);
  loadcontent(other.text, other.len);
  memcpy(savedtext, other.savedtext, other.savedlen);
  savedlen = other.savedlen;
  takedisk(other);
  setcur(text + std::min(keep, len));
  draw();
}

bool editview::addoutput(const unsigned char* bytes, int n) {
  int lastline = linecount - 1;
  if (n > 0 && !insertlaid(textend(), bytes, n)) return false;
  history.clear();  // output is no edit of the user's to take back
  setcur(0, lastline);
  if (rows <= curline - topline) topline = curline - 1;
  return true;
}

void editview::showfound(int at, int n) {
  if (at < 0 || at >= len) return;
  hidefound();
  setcur(text + at);
  // The word shows selected until the next key.
  selectingbefore = selecting;
  selecting = foundshown = true;
  sel = text + std::min(at + std::max(n, 1), len) - 1;
  topline = std::max(curline - 3, 0);
  draw();
}

void editview::hidefound() {
  if (!foundshown) return;
  foundshown = false;
  selecting = selectingbefore;
  sel = cur;
  draw();
}

void editview::startempty(const char* name) {
  clean();
  strcpy(filename, name);
  setcur(0, 0);
  topline = 0;
  draw();
}
