// Application window: construction, view registry, full redraw and the
// dispatch of view events.
#include "app/amybitmapwin.h"

#include <cstdio>

#include "devices/mymouse.h"
#include "editor/editview.h"
#include "views/myview.h"
#include "views/statusbar.h"

amybitmapwin::amybitmapwin()
    : mybitmapwin(),
      viewcount(0),
      pstatebar(nullptr),
      pbuttons(nullptr),
      ppyinput(nullptr),
      ed0(nullptr),
      ed1(nullptr),
      ed2(nullptr),
      command(),
      modalview(nullptr),
      fontsel(),
      isquit(false) {
  for (amyview*& v : views) v = nullptr;
  fontsel.setselects("字体：", "字体1", "字体2", "字体3", "字体4", nullptr, nullptr, nullptr,
                     nullptr, nullptr);
  fontsel.closemodal = [this] { modalview = nullptr; };
  createpanes();
}

amybitmapwin::~amybitmapwin() = default;

void amybitmapwin::addview(amyview* v) {
  if (!v || viewcount >= maxviews) return;
  views[viewcount++] = v;
}

void amybitmapwin::dodraw() {
  bitmap.clear(mycolor(255, 255, 0));
  for (int i = 0; i < viewcount; i++) views[i]->draw();
  drawinputview();
  pushall();
}

void amybitmapwin::draw() {
  paintstatus();
  mybitmapwin::draw();
}

bool amybitmapwin::keymouse(int type, int a1, int a2, int a3, int a4, int a5) {
  if (modalview && modalstep(type, a1, a2, a3, a4, a5)) return true;
  if (type < evPress || (type > evWheel && type < evKey) || (type > evChar && type < evButton))
    return false;
  statuskey();
  if (type == evKey || type == evChar || type == evPress) {
    if (ed0) ed0->hidefound();
    if (ed1) ed1->hidefound();
  }
  switch (type) {
    case evPress:
      notify("左键单击，x=%d,y=%d", a1, a2);
      setedfocus();
      break;
    case evDrag:
      notify("鼠标移动，x=%d,y=%d", a1, a2);
      break;
    case evWheel:
      notify("鼠标滚轮，x=%d,y=%d", a1, a2);
      break;
    case evKey:
      notify("键按下键值为%d, 标志为%x", a1, a2);
      if (a1 == kcEsc) {
        esccycle();
        return true;
      }
      if (a1 == kcEnter && focusedpane() == 2 && ed2) {
        runcommandline();
        return true;
      }
      break;
    case evChar:
      notify("字符信息为%d, 标志为%x", a1, a2);
      break;
    case evButton + btInputSwitch:  // as the F1 key
    case evButton + btMethod:       // as the F2 key
      toinput(evKey, kcInputSwitch, inputswitchmark, 0, type == evButton + btInputSwitch ? 0 : -1,
              0);
      notify("按钮%d按下", type);  // the button's echo, not the switch's
      return true;
    case evButton + btSave:
      savefocused();
      return true;
    case evButton + btQuit:
      isquit = true;
      return true;
    default:
      notify("按钮%d按下", type);
      break;
  }
  return broadcast(type, a1, a2, a3, a4, a5);
}

// The modal view sees every event first. It consumes it unless the font
// chooser has just recorded a choice; then the choice is applied and the
// event goes on to the normal dispatch.
bool amybitmapwin::modalstep(int type, int a1, int a2, int a3, int a4, int a5) {
  modalview->keymouse(type, a1, a2, a3, a4, a5);
  if (fontsel.selected == 0) return true;
  mybitmap::zhityid = fontsel.selected - fontsel.base;
  notify("选择字体%d", fontsel.selected);
  fontsel.selected = 0;
  myview::pmymap->loadbuffer();
  dodraw();
  return false;
}

bool amybitmapwin::broadcast(int type, int a1, int a2, int a3, int a4, int a5) {
  for (int i = 0; i < viewcount; i++)
    if (views[i]->keymouse(type, a1, a2, a3, a4, a5)) return true;
  return false;
}

void amybitmapwin::recycle() {
  if (mouse) {
    mouse->recycle();
    if (mouse->moved) {
      domouse();
      draw();
      mouse->moved = false;
    }
  }
  readcommandoutput();
}
