// amybitmapwin: the one application window. The framebuffer window extended
// with the registered views, the three editor panes and their focus, the
// dispatch of view events (keymouse), the full redraw, the modal slot with
// the font chooser, the quit request, and the key/mouse routing that turns
// terminal keys and mouse packets into view events.
//
// Event types of keymouse(type, a1..a5) and the key codes are those of
// views/viewevents.h.
#pragma once

#include <cstdio>

#include "app/globals.h"
#include "app/shellcmd.h"
#include "devices/mybitmapwin.h"
#include "views/selectview.h"
#include "views/viewevents.h"

class amyview;
class myview;
class buttongroup;
class pyinput;
class editview;

// Window-side coordinates of a mouse event from a windowing environment.
struct CPoint {
  int x;
  int y;
};

class amybitmapwin : public mybitmapwin {
 public:
  static constexpr int maxviews = 100;

  amyview* views[maxviews];
  int viewcount;
  myview* pstatebar;
  buttongroup* pbuttons;
  pyinput* ppyinput;
  editview* ed0;
  editview* ed1;
  editview* ed2;
  shellcommand command;  // the shell command whose output pane 1 takes
  amyview* modalview;
  selectview fontsel;
  bool isquit;

  amybitmapwin();
  ~amybitmapwin() override;

  virtual bool keymouse(int type, int a1, int a2, int a3, int a4, int a5);
  // Paints the status line if it changed, then pushes.
  void draw() override;

  void addview(amyview* v);
  void dodraw();
  void setedfocus();
  bool issamename();
  void copyedit();
  void recycle();

  // Key and mouse routing (routing.cpp).
  void OnKeyDown(unsigned low, unsigned high, unsigned flags);
  void OnChar(unsigned ch, unsigned high, unsigned flags);
  void OnKeyUp(unsigned, unsigned, unsigned) {}
  void OnLButtonDown(unsigned flags, CPoint p);
  void OnMouseMove(unsigned flags, CPoint p);
  bool OnMouseWheel(unsigned flags, short delta, CPoint p);
  void domouse();

  // Saves the pane with the focus (F7 and the F7 button).
  void savefocused();

  // The command pane (commands.cpp): runs one line of pane 2, an internal
  // command if it is one, else a shell command.
  void docommand(unsigned char* line, int length);
  bool doinercmd(const char* line);
  bool opendoc(const char* order, const char* name);
  bool findwod(const char* order, const char* word);
  // Stops the running shell command, if any, and says so; false when none
  // was running (Ctrl-C, and before pane 1 is loaded or copied over).
  bool stopcommand();
  // Milliseconds until output read but not yet drawn is due on the screen;
  // -1 when there is none (the main loop's wait ends by then).
  int outputwaitms() const;

  // Panes by id, 0..2; null for any other id.
  editview* pane(int id) const;
  // Id of the pane that has the focus: 0, else 1, else 2.
  int focusedpane() const;

 private:
  bool modalstep(int type, int a1, int a2, int a3, int a4, int a5);
  bool broadcast(int type, int a1, int a2, int a3, int a4, int a5);
  void esccycle();
  void runcommandline();
  // Sends an event to the input-method view, which passes on to keymouse
  // what is not typing.
  bool toinput(int type, int a1, int a2, int a3, int a4, int a5);
  void createpanes();
  void drawpane(int id);
  void drawinputview();
  void readcommandoutput();
  void collectwaiting();
  void showoutput();
  void runshell();
  void recordcommand(int length);
};
