// Status line composition and painting. The halves keep up to 500 bytes of
// their text each, and the composed line has room for both full halves, the
// separator and the terminator, so nothing is cut twice or overruns.
#include "views/statusbar.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "graphics/gbkchar.h"

#include "views/myview.h"
#include "views/viewevents.h"

myview* statebar = nullptr;

namespace {

char publicstorage[publicbuffersize];
char message1[messagehalf + 1];
char message2[messagehalf + 1];
const char separator[] = "  |  ";
char message[2 * messagehalf + sizeof separator];

void sethalf(char* half, const char* text) {
  gbkcopy(half, text, messagehalf);  // a pair is never cut in half
}

// Set when the line changed and is not painted yet, with the screen's wipe
// count then: a wipe after the change would have taken the painted bar
// away again, so the bar is then left as the wipe left it.
bool unpainted = false;
unsigned long unpaintedwipes = 0;

void repaint() {
  std::strcpy(message, message1);
  std::strcat(message, separator);
  std::strcat(message, message2);
  if (!statebar || !myview::pmymap) return;
  unpainted = true;
  unpaintedwipes = myview::pmymap->wipes;
}

}  // namespace

void paintstatus() {
  if (!unpainted || !statebar || !myview::pmymap) return;
  unpainted = false;
  if (myview::pmymap->wipes != unpaintedwipes) return;
  statebar->clear();
  statebar->drawtext(1, 1, message, gcharwidth, 0);
}

char* publicbuffer = publicstorage;

void dispmsg(const char* text) {
  sethalf(message1, text);
  repaint();
}

void dispmsg1(const char* text) {
  sethalf(message2, text);
  repaint();
}

void notify(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(publicbuffer, publicbuffersize, format, args);
  va_end(args);
  dispmsg1(publicbuffer);
}

const char* statusline() { return message; }
