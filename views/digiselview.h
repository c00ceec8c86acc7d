// digiselview: a one-line list of numbered slots, each shown as its digit
// followed by its text. The input method owns two as its candidate lists;
// a slot digit or a click on a slot sends that slot's characters on as
// character events through `sendevent`, which the program sets to the
// application window's dispatch. Nothing here knows the window.
#pragma once

#include "views/myview.h"

class digiselview : public amyview {
 public:
  static constexpr int bufsize = 200;

  char* selstr;    // for each slot: its digit, then its text; zero-terminated
  int firstdigit;  // first slot number
  int lastdigit;   // last slot number
  int textsize;    // cell width of one byte before fitting
  int cellwidth;   // cell width used by the last draw (and by clicks)
  int* slotlen;    // byte length of each slot's text, by slot number

  // A candidate list is waiting for a choice; shared by all lists and the
  // input method.
  static unsigned char waitsel;
  // Where chosen characters go, one byte per character event. Unset, they
  // go nowhere.
  static int (*sendevent)(int type, int a1, int a2, int a3, int a4, int a5);

  digiselview(int left, int top, int right, int bottom);
  ~digiselview() override;
  digiselview(const digiselview&) = delete;
  digiselview& operator=(const digiselview&) = delete;

  void reset();
  void setrang(int first, int last);
  // Replaces the text of slot digit - '0'; ignored for a slot outside the
  // range or when the list would not fit its buffer.
  void setchar(int digit, const char* bytes, int length);
  int keymouse(int type, int a1, int a2, int a3, int a4, int a5) override;
  void draw() override;

  // The slot a click at screen point (x, y) hits, or -1. Only clicks inside
  // the list's own rectangle count.
  int slotat(int x, int y) const;
  // Where the text of a slot starts in selstr (its digit is just before).
  int slottext(int slot) const;

 private:
  void sendslot(int slot);
};
