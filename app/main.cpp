// bihua: program entry. Builds the objects in a fixed order, runs the
// loop, and on the way out writes the last screen to "aaaaa.bmp".
//
// Each pass of the loop waits (poll) until the terminal, the mouse, the
// command's output, a command's end (SIGCHLD) or a console signal has
// something, so an idle program does not wake at all; then it handles every
// key waiting, pushes the screen once, and runs the window's periodic work
// (mouse, reaping and command output).
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/amybitmapwin.h"
#include "app/clipboard.h"
#include "app/globals.h"
#include "app/hangupsave.h"
#include "app/options.h"
#include "app/syslocale.h"
#include "devices/console.h"
#include "devices/diskfile.h"
#include "devices/mykbhit.h"
#include "devices/mymouse.h"
#include "editor/editview.h"
#include "input/pyinput.h"
#include "views/digiselview.h"
#include "views/mybutton.h"
#include "views/myview.h"
#include "views/statusbar.h"

namespace {

const char* const buttonlabels[] = {"F1:中英文", "F2:输入法", "F3:选择", "F4:复制",
                                    "F5:粘贴",   "F6:剪切",   "F7:保存", "F8:退出"};

void createbars(amybitmapwin* window, int w) {
  statebar = new myview(0, 0, w, gcharwidth * 30 / 24);
  window->pstatebar = statebar;
  buttongroup* buttons = new buttongroup;
  window->pbuttons = buttons;
  for (const char* label : buttonlabels) buttons->addbutton(label);
  buttons->resetwidth(w);
  window->addview(buttons);
}

// The buttons' way back up: a flash pushes the screen, a click becomes a
// button event of the window.
void pushwindow() { mymapwin->draw(); }

int sendtowindow(int type, int a1, int a2, int a3, int a4, int a5) {
  return mymapwin->keymouse(type, a1, a2, a3, a4, a5);
}

// The input-method row under the buttons; it and its candidate lists send
// what they pass on or choose to the window.
void createinput(amybitmapwin* window, int w) {
  pyinput::sendevent = sendtowindow;
  digiselview::sendevent = sendtowindow;
  pyinputview = new pyinput(w);
  window->ppyinput = pyinputview;
  pyinputview->readcode();
  if (optionlearn) pyinputview->learn->open(pylearn::defaultpath());
  pyinputview->move(0, gcharwidth * 62 / 24, w, gcharwidth * 88 / 24);
  pyinputview->clear();
  pyinputview->draw();
}

// Printable ASCII is a character; every other key value (control bytes,
// DEL, bytes of 128 and above, escape sequences) is a key press.
void route(amybitmapwin* window, keyvalue c) {
  unsigned low = static_cast<unsigned>(c);
  unsigned high = static_cast<unsigned>(c >> 32);
  if (c > 126 || c <= 31)
    window->OnKeyDown(low, high, 0);
  else
    window->OnChar(low, high, 0);
}

// A file named on the command line, loaded under the name the panes show
// (in a UTF-8 system its GBK form).
void loadnamed(editview* pane, const char* name) {
  std::string shown;
  codecfault f;
  if (!fromsystem(name, shown, f)) {
    notify("不能打开：文件名的第%d个字符没有GBK编码", f.column);
    return;
  }
  pane->readfile(shown.c_str());
}

// Panes placed from the screen size, registered after the button bar in the
// order 2, 1, 0, then the files named on the command line loaded.
void setuppanes(amybitmapwin* window, int argc, char** argv) {
  window->ed0->init();
  window->ed1->init();
  window->ed2->init();
  window->addview(window->ed2);
  window->addview(window->ed1);
  window->addview(window->ed0);
  if (argc == 1) {
    window->ed0->readfile("aaaaa.txt");
  } else if (argc == 2) {
    loadnamed(window->ed0, argv[1]);
  } else if (argc == 3) {
    loadnamed(window->ed0, argv[1]);
    loadnamed(window->ed1, argv[2]);
  }
}

// F8 leaves at once unless pane 0 or 1 holds unsaved text: then it says so
// and only a second F8 in a row leaves.
bool quitnow(amybitmapwin* window, bool& asked) {
  if (asked) return true;
  for (editview* e : {window->ed0, window->ed1}) {
    if (e->ischanged()) {
      notify("未保存；再按F8不保存退出，按其他键取消：%s", e->filename[0] ? e->filename : "(无名)");
      asked = true;
      return false;
    }
  }
  return true;
}

// Sleeps until a key, a mouse packet, command output, a command's end or
// a console signal may be there, or the rest of an escape sequence, the
// second SIGKILL of a stopped command or the drawing of output read is
// due. A command's pipe is closed once its output has ended, so it never
// keeps the loop awake.
void waitforinput(amybitmapwin* window, const mykbhit& keyboard) {
  std::vector<pollfd> fds;
  auto add = [&](int fd) {
    if (fd >= 0) fds.push_back({fd, POLLIN, 0});
  };
  add(keyboard.waitfd());
  if (window->mouse)
    for (int fd : window->mouse->waitfds()) add(fd);
  add(window->command.outputfd());
  add(shellcommand::wakefd());
  add(console::wakefd());
  int timeout = -1;
  for (int ms : {keyboard.waitms(), window->command.waitms(), window->outputwaitms()})
    if (ms >= 0) timeout = timeout < 0 ? ms : std::min(timeout, ms);
  poll(fds.data(), fds.size(), timeout);
}

// --display drm or fb as asked; automatic tries DRM first, unless --fb
// names a framebuffer.
void choosedisplay() {
  const char* d = optiondisplay;
  if (d && strcmp(d, "drm") == 0)
    mybitmapwin::choice = displaykind::drm;
  else if ((d && strcmp(d, "fb") == 0) || optionfb)
    mybitmapwin::choice = displaykind::fb;
}

// A DRM card that could not be used: the framebuffer shows instead, and
// the status line says so once.
void tellfallback(amybitmapwin* window) {
  if (window->fallbackwhy.empty()) return;
  console::say(window->fallbackwhy.c_str());
  dispmsg1("DRM不可用(被占用或无输出),改用/dev/fb0");
  window->draw();
}

// No mouse because the device may not be read: the cursor stays parked
// and the status line says why, once.
void tellnomouse(amybitmapwin* window) {
  if (!window->mouse || !window->mouse->whynomouse()) return;
  console::say(window->mouse->whynomouse());
  dispmsg1("无鼠标:无读权限,请加入input组");
  window->draw();
}

// The last screen to aaaaa.bmp: only as a regular file (a link there is
// not followed); a failure is told on standard error once the terminal is
// given back.
void savepicture(amybitmapwin* window) {
  static const char name[] = "aaaaa.bmp";
  std::string bytes = window->bitmap.bmpbytes();
  diskfile::saveoptions how;
  how.link = diskfile::links::refuse;
  diskfile::saveresult result;
  if (diskfile::replace(name, bytes.data(), bytes.size(), how, result)) return;
  int err = errno;
  console::giveback();
  fprintf(stderr, "bihua: the last screen was not written to %s: %s\n", name,
          err == ELOOP ? "it is a symbolic link; left alone" : strerror(err));
}

// The loop: waits, routes every key waiting, pushes once, does the
// periodic work; returns on F8 (or the F8 button) once quitting is allowed.
void runloop(amybitmapwin* window, mykbhit& keyboard) {
  bool quitasked = false;
  for (;;) {
    waitforinput(window, keyboard);
    if (console::service() & console::repaint) window->pushall();
    if (console::away()) {
      // Typed or moved on another console: not for us.
      keyboard.discard();
      if (window->mouse) window->mouse->discard();
    }
    // Every key already waiting is routed in turn, then one push shows them.
    bool any = false, leave = false;
    for (keyvalue c; !leave && (c = keyboard.kbhit()) != 0;) {
      any = true;
      route(window, c);
      if (c == keyF7 || c == keyCtrlS)
        window->savefocused();
      else if (c == keyF8)
        leave = quitnow(window, quitasked);
      if (c != keyF8) quitasked = false;
    }
    if (leave) return;
    if (any) window->draw();
    window->recycle();
    // The F8 button asks the window to quit; it gets the same question.
    if (window->isquit) {
      window->isquit = false;
      if (quitnow(window, quitasked)) return;
      window->draw();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  // --help, --version and a bad option end here, before the terminal or a
  // device is touched; _exit so that the clipboard file is not rewritten.
  int status = readoptions(argc, argv);
  if (status != optrun) _exit(status);
  if (optionfb) mybitmapwin::devicepath = optionfb;
  choosedisplay();
  utf8system = editview::utf8paths = utf8environment();
  mykbhit keyboard;
  amybitmapwin* window = new amybitmapwin;
  mymapwin = window;
  gcharwidth = optionsize == sizeauto ? autosize(window->width) : optionsize;
  myview::pmymap = &window->bitmap;
  mybutton::pushscreen = pushwindow;
  buttongroup::sendevent = sendtowindow;
  createbars(window, window->width);
  setuppanes(window, argc, argv);
  createinput(window, window->width);
  window->dodraw();
  installclipboard();
  window->draw();

  installhangupsave(window);
  tellnomouse(window);
  tellfallback(window);

  runloop(window, keyboard);
  // A command still running ends with the program.
  window->command.stop();
  window->dodraw();
  savepicture(window);
  return 0;
}
