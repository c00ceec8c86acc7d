// The pane's text model: construction, placement, the filter every incoming
// text passes, the edit primitives, and loading and saving files.
#include "editor/editview.h"

#include <cstdio>
#include <cstring>

char* editview::res = nullptr;
int editview::reslen = 0;

editview::editview(int i) : amyview() {
  ready = false;
  dragskip = 10;
  selecting = false;
  len = savedlen = linecount = cols = rows = topline = curcol = curline = 0;
  seltoggle = false;
  focus = true;
  id = i;
  charw = gcharwidth / 2;
  charh = gcharwidth;
  lineh = gcharwidth * 30 / 24;
  textcolor = mycolor(0, 0, 0);
  textcolor2 = mycolor(0, 0, 255);
  editpending = false;
  editlo = edithi = editdelta = 0;
  overwriteasked = false;
  if (id > 2 || id < 0) throw "id is error!";
  filename = new char[namesize];
  diskname = new char[namesize];
  diskname[0] = 0;
  if (id == 0)
    strcpy(filename, "ed.txt");
  else
    snprintf(filename, namesize, "ed%d.txt", id);
  text = new unsigned char[maxcontlth]();
  savedtext = new unsigned char[maxcontlth]();
  ctrl = new ctrbyte[maxcontlth]();
  linestart = new int[maxlinenumber]();
  cur = sel = text;
  if (id != 0) focus = false;
}

editview::~editview() {
  delete[] text;
  delete[] savedtext;
  delete[] ctrl;
  delete[] linestart;
  delete[] filename;
  delete[] diskname;
}

void editview::init() {}
bool editview::readfile(const char*) { return false; }
bool editview::savefile(const char*) { return false; }
bool editview::save() { return false; }
bool editview::saveas(const char*) { return false; }
bool editview::ischanged() { return len != savedlen || memcmp(text, savedtext, len) != 0; }
bool editview::addcontent(const char*, int) { return false; }
bool editview::loadcontent(unsigned char*, int) { return false; }
void editview::clean() {}
char* editview::tfileter(const char*, int) { return nullptr; }
bool editview::insertbytes(unsigned char*, const unsigned char*, int) { return false; }
void editview::removebytes(unsigned char*, unsigned char*) {}
bool editview::roomfor(int) { return false; }
void editview::noteedit(int, int, int) {}
void editview::resetcursor() {}
