// Status line composition and painting. The halves keep up to 500 bytes of
// their text each, and the composed line has room for both full halves, the
// separator and the terminator, so nothing is cut twice or overruns.
#include "views/statusbar.h"

#include <cstring>

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
  std::strncpy(half, text, messagehalf);
  half[messagehalf] = 0;
}

void repaint() {
  std::strcpy(message, message1);
  std::strcat(message, separator);
  std::strcat(message, message2);
  if (!statebar) return;
  statebar->clear();
  statebar->drawtext(1, 1, message, gcharwidth, 0);
}

}  // namespace

char* publicbuffer = publicstorage;

void dispmsg(const char* text) {
  sethalf(message1, text);
  repaint();
}

void dispmsg1(const char* text) {
  sethalf(message2, text);
  repaint();
}

const char* statusline() { return message; }
