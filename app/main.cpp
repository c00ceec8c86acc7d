// bihua: program entry. Builds the objects in a fixed order, runs the 10 ms
// polling loop, and on the way out writes the last screen to "aaaaa.bmp".
#include <unistd.h>

#include "app/globals.h"
#include "devices/mybitmapwin.h"
#include "devices/mykbhit.h"
#include "views/mybutton.h"
#include "views/myview.h"
#include "views/statusbar.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  mykbhit keyboard;
  mybitmapwin* window = new mybitmapwin;
  mymapwin = window;
  int w = window->width;
  myview::pmymap = &window->bitmap;

  statebar = new myview(0, 0, w, gcharwidth * 30 / 24);
  // Lives until the process ends, like the window (static: still reachable
  // at exit, so the leak checker does not count it).
  static buttongroup* buttons = new buttongroup;
  for (const char* label : {"F1:中英文", "F2:输入法", "F3:选择", "F4:复制", "F5:粘贴", "F6:剪切",
                            "F7:保存", "F8:退出"})
    buttons->addbutton(label);
  buttons->resetwidth(w);

  // Until the application window registers the bar and redraws everything
  // itself, draw the bar and the (empty) status line here.
  buttons->draw();
  dispmsg("");

  window->draw();
  for (;;) {
    usleep(10000);
    long c = keyboard.kbhit();
    if (c != 0) window->draw();
    if (c == keyF8) break;
  }
  window->bitmap.savetobmp("aaaaa.bmp");
  return 0;
}
