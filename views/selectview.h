// selectview: a small vertical box with a title and up to nine numbered
// options; a click on an option records it in `selected` and calls
// `closemodal`. The window holds one as the font chooser and points
// `closemodal` at emptying its modal slot.
#pragma once

#include <functional>

#include "views/myview.h"

class selectview : public amyview {
 public:
  static constexpr int itemcount = 10;
  static constexpr int itemsize = 10;  // 9 bytes of text and a terminator

  char** items;  // item 0 is the title, items 1..9 the options
  int count;
  int base;
  int selected;
  std::function<void()> closemodal;  // called after a choice, when set

  selectview();
  ~selectview() override;
  selectview(const selectview&) = delete;
  selectview& operator=(const selectview&) = delete;

  void setselects(const char* title, const char* o1, const char* o2, const char* o3, const char* o4,
                  const char* o5, const char* o6, const char* o7, const char* o8, const char* o9);
  int keymouse(int type, int a, int b, int c, int d, int e) override;
  void draw() override;

 private:
  char* block;
  static void setitem(char* item, const char* text);
};
