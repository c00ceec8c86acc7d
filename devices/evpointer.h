// evpointer: pointers on evdev (/dev/input/event*): relative mice,
// absolute tablets and touch panels, wheels. Keyboards are left alone (the
// keys come from the terminal). Devices that appear later are opened when
// /dev/input says so; a device that goes away is dropped.
//
// Events are turned into reports: one per SYN_REPORT, holding the motion,
// the absolute position mapped to the screen, the buttons held and the
// wheel clicks of that frame.
#pragma once

#include <cstdint>
#include <vector>

class evpointers {
 public:
  struct report {
    int dx = 0, dy = 0;     // relative motion (dy > 0 down)
    bool absolute = false;  // (x, y) holds a position on the screen
    int x = 0, y = 0;
    int buttons = 0;  // 1 left, 2 right, 4 middle, of every pointer
    int wheel = 0;    // clicks, > 0 towards the user (down)
  };

  evpointers() = default;
  ~evpointers();
  evpointers(const evpointers&) = delete;
  evpointers& operator=(const evpointers&) = delete;

  // Opens every pointer there is now and watches /dev/input for more.
  void start(int screenwidth, int screenheight);
  // True while at least one pointer is open.
  bool any() const { return !devices.empty(); }
  // The next complete report, if one is waiting; never waits. Picks up
  // devices that appeared since the last call.
  bool next(report& r);
  // Reads and forgets what the devices have.
  void discard();
  // Descriptors to wait on (devices and the watch).
  std::vector<int> waitfds() const;

 private:
  struct device {
    int fd = -1;
    int number = 0;  // N of /dev/input/eventN
    bool absolute = false;
    int minx = 0, maxx = 0, miny = 0, maxy = 0;
    int buttons = 0;
    report pending;        // the frame being gathered
    bool touched = false;  // pending holds something
  };
  std::vector<device> devices;
  int watchfd = -1;
  int width = 0, height = 0;

  void scan();
  bool open(int number);
  bool readframe(device& d, report& r);
  int allbuttons() const;
};
