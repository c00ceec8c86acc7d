// The function-key bar: mybutton, one labelled rectangle that flashes when
// clicked, and buttongroup, the interactive view that owns a row of them,
// lays them out from the screen width and turns a click into a button event
// for the application window. Nothing here pushes the screen except the
// click flash.
#pragma once

#include "views/myview.h"

class mybutton : public myview {
 public:
  char text[50];          // zero-terminated GBK label, at most 49 bytes
  int textsize;           // character cell size of the label
  unsigned char pressed;  // drawn green while set
  unsigned char clicked;  // result of the last hit test

  mybutton();
  void addtext(const char* label);
  bool inside(int x, int y) const;
  unsigned char tryclick(int x, int y);   // latching
  unsigned char tryclick2(int x, int y);  // flashing
  virtual void draw();
  int labelsize() const;  // cell width the label is drawn with

  // Pushes the screen during a flash; main points it at the application
  // window's draw, tests at a recorder. Not called while null.
  static void (*pushscreen)();
};

class buttongroup : public amyview {
 public:
  static const int maxbuttons = 100;
  mybutton* buttons[maxbuttons];
  int count;

  buttongroup();
  ~buttongroup();  // the group owns its buttons
  buttongroup(const buttongroup&) = delete;
  buttongroup& operator=(const buttongroup&) = delete;
  void addbutton(const char* label);
  void resetwidth(int screenwidth);
  int keymouse(int type, int a1, int a2, int a3, int a4, int a5) override;
  void draw() override;

  // Where button events go; main points it at the application window's
  // keymouse, tests at a recorder. Dropped while null.
  static int (*sendevent)(int type, int a1, int a2, int a3, int a4, int a5);
};
