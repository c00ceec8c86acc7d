// The input-method row: construction, drawing, and the event handling that
// types letters, chooses candidates, pages, switches mode and width, and
// passes the rest on (converted to full width when that is on).
#include "input/pyinput.h"

#include <cstring>

#include "input/dumptools.h"
#include "input/inputchi.h"
#include "input/inpywb.h"
#include "views/viewevents.h"

namespace {

const char* const mt[3] = {"英文", "拼音", "五笔"};

// Two GBK bytes for each ASCII character 0x20..0x7E: 0xA3 and c + 0x80,
// except the eight that have their own Chinese punctuation.
struct fullwidthtable {
  unsigned char cdc[2 * 95];
  fullwidthtable() {
    for (int c = 0x20; c <= 0x7E; c++) {
      cdc[2 * (c - 0x20)] = 0xA3;
      cdc[2 * (c - 0x20) + 1] = static_cast<unsigned char>(c + 0x80);
    }
    const struct {
      char c;
      unsigned char b1, b2;
    } own[] = {{'"', 0xA1, 0xB0}, {'\'', 0xA1, 0xAE}, {'.', 0xA1, 0xA3},  {'<', 0xA1, 0xB6},
               {'>', 0xA1, 0xB7}, {'[', 0xA1, 0xBE},  {'\\', 0xA1, 0xA2}, {']', 0xA1, 0xBF}};
    for (const auto& o : own) {
      cdc[2 * (o.c - 0x20)] = o.b1;
      cdc[2 * (o.c - 0x20) + 1] = o.b2;
    }
  }
};
const fullwidthtable fullwidths;

const unsigned char ysyh[2] = {0xA1, 0xB1};  // closing double quote
const unsigned char ydyh[2] = {0xA1, 0xAF};  // closing single quote

}  // namespace

unsigned char pyinput::isleftsy = 1;
unsigned char pyinput::isleftdy = 1;
int (*pyinput::sendevent)(int, int, int, int, int, int) = nullptr;

pyinput::pyinput(int screenwidth)
    : code(nullptr),
      zhitab(keyinputhanzhi),
      zhicount(zhiinputsize),
      pytab(keyinputpy),
      pyidx(keyinputpyindex),
      wbtab(keyinputwb),
      wbidx(keyinputwbindex),
      chitext(inputhzchi),
      chicount(inputhzchinumber),
      chiidx(inputhzchiindex),
      chiwb(inputhzchiwb),
      zhipos(0),
      chipos(0),
      ringpos(0),
      pagechars(new unsigned short[pageslots]()),
      leftsel(nullptr),
      rightsel(nullptr),
      sentence(new pysentence),
      learn(new pylearn),
      sentencemode(false),
      startrecs(new int[maxstartwords]),
      startends(new int[maxstartwords]),
      nstart(0),
      sentpage(0),
      pagefirst(),
      slotword(),
      sentlabel(),
      sentlabellen(0),
      labelwidth(gcharwidth),
      fullwidth(0),
      mode(0),
      lastmode(1),
      zhistart(-1),
      wordstart(0),
      wbpage(0) {
  x1 = 0;
  x2 = screenwidth;
  code = new char[codesize]();
  leftsel = new digiselview(0, 0, 0, 0);
  rightsel = new digiselview(0, 0, 0, 0);
  leftsel->setrang(0, 5);
  rightsel->setrang(6, 9);
  resetpos();
  pysentence::learned = learn;
}

pyinput::~pyinput() {
  delete[] code;
  delete[] pagechars;
  delete leftsel;
  delete rightsel;
  delete sentence;
  if (pysentence::learned == learn) pysentence::learned = nullptr;
  delete learn;
  delete[] startrecs;
  delete[] startends;
}

// The row from g * 60 / 24 to g * 90 / 24; the left list from a fifth of
// the width to the middle of the rest, the right list from there on.
void pyinput::resetpos() {
  y1 = gcharwidth * 60 / 24;
  y2 = gcharwidth * 90 / 24;
  labelwidth = gcharwidth;
  int w = x2, c = w / 5 + (w - w / 5) / 2;
  leftsel->move(w / 5, y1, c - 1, y2);
  rightsel->move(c, y1, w, y2);
  leftsel->textsize = rightsel->textsize = gcharwidth / 2;
}

void pyinput::draw() {
  clear();
  leftsel->draw();
  rightsel->draw();
  labelwidth = leftsel->x1 / 10;
  pmymap->color = mycolor();
  drawtext(1, 1, mt[mode], labelwidth, gcharwidth);
  drawtext(labelwidth * 50 / 24, 1, fullwidth ? "全角" : "半角", labelwidth, gcharwidth);
  drawcode();
}

// ---- events -----------------------------------------------------------------

int pyinput::keymouse(int type, int a1, int a2, int a3, int a4, int a5) {
  if (type == evPress) {
    int dx = a1 - x1, dy = a2 - y1;
    bool inrow = gcharwidth / 24 < dy && dy < gcharwidth * 25 / 24;
    if (inrow && labelwidth * 50 / 24 < dx && dx < labelwidth * 98 / 24) {
      fullwidth = !fullwidth;
      draw();
      return 1;
    }
    if (inrow && labelwidth / 24 < dx && dx < 2 * labelwidth) return cyclemode();
    if (sentencemode && digiselview::waitsel && sentenceclick(a1, a2)) return 1;
    return offertolists(type, a1, a2, a3, a4) || passon(type, a1, a2, a3, a4, a5);
  }
  if (type == evKey && a1 == kcInputSwitch && a2 == inputswitchmark) {
    if (a4 < 0) return cyclemode();
    fullwidth = !fullwidth;
    mode = fullwidth ? lastmode : 0;
    leavesentence();
    draw();
    return 1;
  }
  if (type == evKey && a1 == kcEnter && enterletters()) return 1;
  if (type != evChar) return offertolists(type, a1, a2, a3, a4) || passon(type, a1, a2, a3, a4, a5);
  if (mode == 0) return passon(type, a1, a2, a3, a4, a5);
  if (a1 >= 'a' && a1 <= 'z') return typeletter(a1);
  if (a1 == chBackspace) return eraseletter() || passon(type, a1, a2, a3, a4, a5);
  // An apostrophe between pinyin letters cuts two syllables apart.
  if (a1 == '\'' && mode == 1 && typedlength() > 0) return typeletter(a1);
  if (sentencemode && digiselview::waitsel && sentencechar(a1)) return true;
  if (a1 == ' ' && digiselview::waitsel) a1 = '0';
  if ((a1 == '.' || a1 == ',') && digiselview::waitsel) return page(a1 == '.');
  // While candidates wait, a slot digit chooses; anything else goes on and
  // the candidates stay.
  if (digiselview::waitsel)
    return offertolists(type, a1, a2, a3, a4) || passon(type, a1, a2, a3, a4, a5);
  return passon(type, a1, a2, a3, a4, a5);
}

// A new code: empty lists and page state, no characters on the page.
void pyinput::startcode() {
  leftsel->reset();
  rightsel->reset();
  zhipos = chipos = ringpos = 0;
  zhistart = -1;
  wordstart = wbpage = 0;
  for (int s = 0; s < pageslots; s++) pagechars[s] = 0;
  sentencemode = false;
  leftsel->setrang(0, pageslots - 1);
}

// Looks the code up again from its first page. A wubi code that is complete
// and unique is committed at once.
bool pyinput::lookup() {
  startcode();
  if (mode == 2) {
    if (searchwb(true)) return offertolists(evChar, '0', 0, 0, 0) || true;
  } else if (onesyllable()) {
    search(true);
    search1(true);
  } else {
    sentencemode = true;
    showsentence();
  }
  digiselview::waitsel = 1;
  draw();
  return true;
}

// Pinyin takes up to 64 letters (a letter more changes nothing); wubi
// starts a new code with a sixth letter.
bool pyinput::typeletter(int ch) {
  int n = typedlength();
  if (mode == 1) {
    syncsentence();
    if (!sentence->push(static_cast<char>(ch))) return true;
    code[n] = static_cast<char>(ch);
    code[n + 1] = 0;
    return lookup();
  }
  if (mode == 2 && n > 4) {
    reset();
    n = 0;
  }
  code[n] = static_cast<char>(ch);
  return lookup();
}

// False when there was nothing to erase: the Backspace goes on to the pane.
// Erasing the last letter returns the row to idle.
bool pyinput::eraseletter() {
  int n = typedlength();
  if (n > 0) code[n - 1] = 0;
  if (n > 0 && mode == 1) syncsentence();
  if (n > 1) return lookup();
  digiselview::waitsel = 0;
  reset();
  return n > 0;
}

bool pyinput::page(bool forward) {
  if (mode == 2) {
    searchwb(forward);
  } else if (search(forward)) {
    search1(true);
  } else {
    search1(forward);
  }
  draw();
  return true;
}

bool pyinput::cyclemode() {
  mode = (mode + 1) % 3;
  if (mode > 0) lastmode = mode;
  leavesentence();
  draw();
  return true;
}

// A sentence belongs to pinyin: leaving pinyin drops it.
void pyinput::leavesentence() {
  if (!sentencemode || mode == 1) return;
  digiselview::waitsel = 0;
  reset();
}

// The lists take a slot digit or a click on a slot while they wait; an
// idle list empties itself. Once nothing waits the row is idle again.
bool pyinput::offertolists(int type, int a1, int a2, int a3, int a4) {
  int r = leftsel->keymouse(type, a1, a2, a3, a4, 0);
  if (r != 1) r = rightsel->keymouse(type, a1, a2, a3, a4, 0);
  if (!digiselview::waitsel) reset();
  return r != 0;
}

// To the window unchanged, or as the two bytes of its full-width form.
// Quotes alternate between opening and closing.
bool pyinput::passon(int type, int a1, int a2, int a3, int a4, int a5) {
  if (!sendevent) return false;
  if (!fullwidth || type != evChar || a1 < 32 || a1 > 125)
    return sendevent(type, a1, a2, a3, a4, a5) != 0;
  const unsigned char* b = fullwidths.cdc + 2 * (a1 - 0x20);
  if (a1 == '"') {
    if (isleftsy != 1) b = ysyh;
    isleftsy = !isleftsy;
  } else if (a1 == '\'') {
    if (isleftdy != 1) b = ydyh;
    isleftdy = !isleftdy;
  }
  sendevent(evChar, static_cast<signed char>(b[0]), 0, 0, 0, 0);
  return sendevent(evChar, static_cast<signed char>(b[1]), 0, 0, 0, 0) != 0;
}

// ---- dump tools ---------------------------------------------------------------

void pyinput::setchiwbfile() { ::setchiwbfile(chitext, chicount, chiidx, chiwb); }

uint64_t pyinput::azhiwb(unsigned short ch) { return ::azhiwb(ch, zhitab, zhicount, wbtab, wbidx); }

uint64_t pyinput::awordwb(const unsigned short* chars, int n) {
  return ::awordwb(chars, n, zhitab, zhicount, wbtab, wbidx);
}
