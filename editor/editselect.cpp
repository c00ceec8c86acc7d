// Selection, copy, cut and paste of a pane, and its two clipboard hooks.
// (Placeholder bodies: selection and the clipboard come with their own
// change; until then copy/cut/paste do nothing.)
#include "editor/editview.h"

void (*editview::setclipdata)(unsigned char*, unsigned long) = nullptr;
unsigned char* (*editview::getclipdata)(unsigned long&) = nullptr;

bool editview::issel(unsigned char* p) {
  unsigned char* lo = cur < sel ? cur : sel;
  unsigned char* hi = cur < sel ? sel : cur;
  return p >= lo && p <= hi;
}

void editview::setsel() {
  if (!selecting) sel = cur;
}

void editview::copy() {}

void editview::cut() {}

void editview::paste() {}

void editview::mycopy(unsigned char* p, unsigned long n) {
  if (setclipdata) setclipdata(p, n);
}

unsigned char* editview::mypaste(unsigned long& n) {
  n = 0;
  return getclipdata ? getclipdata(n) : nullptr;
}
