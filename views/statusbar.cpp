// Status line composition and painting. The halves keep up to 500 bytes of
// their text each, and the composed line has room for both full halves, the
// separator and the terminator, so nothing is cut twice or overruns.
#include "views/statusbar.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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

// The notice is an event's echo (or an event came since it was shown);
// the next notice is an event's echo.
bool echo = true;
bool echonext = false;

// Columns of half a cell: an ASCII character or a stray byte takes one, a
// GBK character two.
int columns(const char* t) {
  int n = 0;
  size_t len = std::strlen(t);
  for (size_t i = 0; i < len;) {
    size_t k =
        static_cast<size_t>(gbkcharbytes(reinterpret_cast<const unsigned char*>(t) + i, len - i));
    n += k == 2 ? 2 : 1;
    i += k;
  }
  return n;
}

int linecolumns() {
  if (!statebar || gcharwidth < 2) return 1 << 20;
  return (statebar->width() - 2) / (gcharwidth / 2);
}

// Where the file name of a notice lies: after its last "：" (when bycolon),
// else its longest run of ASCII without blanks; [from, to) in bytes.
void namepart(const char* t, bool bycolon, size_t& from, size_t& to) {
  size_t len = std::strlen(t), bestfrom = 0, bestto = 0, runfrom = 0, colon = len;
  for (size_t i = 0; i < len;) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(t) + i;
    size_t k = static_cast<size_t>(gbkcharbytes(p, len - i));
    if (k == 2 && p[0] == 0xA3 && p[1] == 0xBA) colon = i + 2;
    bool word = k == 1 && *p > ' ' && *p < 0x80;
    if (!word) runfrom = i + k;
    if (word && i + 1 - runfrom > bestto - bestfrom) bestfrom = runfrom, bestto = i + 1;
    i += k;
  }
  bool aftercolon = bycolon && colon < len;
  from = aftercolon ? colon : bestfrom;
  to = aftercolon ? len : bestto;
}

// The notice shortened to fit want columns: "..." stands for the middle of
// its file name.
void shorten(const char* t, int want, char* out, size_t outsize, bool bycolon = true) {
  size_t from, to;
  namepart(t, bycolon, from, to);
  std::string head(t, from), name(t + from, to - from), tail(t + to);
  int room = want - columns(head.c_str()) - columns(tail.c_str()) - 3;
  if (room < 2 || name.empty()) room = 2;
  // Whole characters from both ends of the name, half the room each.
  const unsigned char* n = reinterpret_cast<const unsigned char*>(name.data());
  std::vector<size_t> starts;
  for (size_t i = 0; i < name.size(); i += gbkcharbytes(n + i, name.size() - i))
    starts.push_back(i);
  starts.push_back(name.size());
  auto width = [&](size_t c) { return starts[c + 1] - starts[c] == 2 ? 2 : 1; };
  size_t first = 0, last = starts.size() - 1;  // characters [first, last) are left out
  int used = 0;
  while (first < last && used + width(first) <= (room + 1) / 2) used += width(first++);
  while (last > first && used + width(last - 1) <= room) used += width(--last);
  std::string front = name.substr(0, starts[first]), back = name.substr(starts[last]);
  bool cut = first < last;
  std::string all = head + front + (cut ? "..." : "") + back + tail;
  // A short name after the colon leaves the longest name elsewhere.
  if (bycolon && columns(all.c_str()) > want) return shorten(t, want, out, outsize, false);
  gbkcopy(out, all.c_str(), outsize - 1);
}

void sethalf(char* half, const char* text) {
  gbkcopy(half, text, messagehalf);  // a pair is never cut in half
}

// Set when the line changed and is not painted yet, with the screen's wipe
// count then: a wipe after the change would have taken the painted bar
// away again, so the bar is then left as the wipe left it.
bool unpainted = false;
unsigned long unpaintedwipes = 0;

void compose() {
  std::strcpy(message, message1);
  std::strcat(message, separator);
  std::strcat(message, message2);
}

void repaint() {
  compose();
  // A notice that does not fit beside the state has the line to itself.
  if (!echo && *message2 && columns(message) > linecolumns()) {
    if (columns(message2) <= linecolumns())
      std::strcpy(message, message2);
    else
      shorten(message2, linecolumns(), message, sizeof message);
  }
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
  echo = echonext;
  echonext = false;
  repaint();
}

void statuskey() {
  echonext = true;
  if (echo) return;
  echo = true;
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
