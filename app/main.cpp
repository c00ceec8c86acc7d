// bihua: program entry. Builds the objects in a fixed order, runs the 10 ms
// polling loop, and on the way out writes the last screen to "aaaaa.bmp".
#include <unistd.h>

#include "app/globals.h"
#include "devices/mybitmapwin.h"
#include "devices/mykbhit.h"

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  mykbhit keyboard;
  mybitmapwin* window = new mybitmapwin;
  mymapwin = window;

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
