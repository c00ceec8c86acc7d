// Evdev pointers: which nodes are pointers, their events gathered into one
// report per SYN_REPORT, and nodes that come and go.
#include "devices/evpointer.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

constexpr size_t longbits = 8 * sizeof(unsigned long);

struct bits {
  unsigned long w[KEY_MAX / longbits + 1] = {};
  bool has(unsigned n) const {
    return n / longbits < sizeof w / sizeof w[0] && (w[n / longbits] >> (n % longbits) & 1);
  }
};

bits capabilities(int fd, unsigned type) {
  bits b;
  if (ioctl(fd, EVIOCGBIT(type, sizeof b.w), b.w) < 0) return bits();
  return b;
}

// A position on an axis from min to max as a pixel of `size`: the middle
// of the axis cell, so every pixel is reachable and none is favoured.
int topixel(int v, int min, int max, int size) {
  if (max <= min || size <= 0) return 0;
  long long p = static_cast<long long>(v - min) * size / (static_cast<long long>(max) - min + 1);
  return static_cast<int>(std::min<long long>(std::max<long long>(p, 0), size - 1));
}

int buttonbit(unsigned code) {
  switch (code) {
    case BTN_LEFT:
    case BTN_TOUCH:
      return 1;
    case BTN_RIGHT:
      return 2;
    case BTN_MIDDLE:
      return 4;
  }
  return 0;
}

}  // namespace

evpointers::~evpointers() {
  for (device& d : devices) close(d.fd);
  if (watchfd >= 0) close(watchfd);
}

void evpointers::start(int screenwidth, int screenheight) {
  width = screenwidth;
  height = screenheight;
  watchfd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  // udev creates a node, then gives it its group: both are worth a look,
  // as is a node moved in whole.
  if (watchfd >= 0 &&
      inotify_add_watch(watchfd, "/dev/input", IN_CREATE | IN_ATTRIB | IN_MOVED_TO) < 0) {
    close(watchfd);
    watchfd = -1;
  }
  scan();
}

void evpointers::scan() {
  for (int n = 0; n < 64; n++) {
    bool have =
        std::any_of(devices.begin(), devices.end(), [n](const device& d) { return d.number == n; });
    if (!have) open(n);
  }
}

// A pointer moves on X and Y, relatively or absolutely; an absolute device
// must also have a button or touch (joysticks and accelerometers have
// neither).
bool evpointers::open(int number) {
  char name[32];
  snprintf(name, sizeof name, "/dev/input/event%d", number);
  int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bits ev = capabilities(fd, 0), rel = capabilities(fd, EV_REL), abs = capabilities(fd, EV_ABS),
       key = capabilities(fd, EV_KEY);
  bool relative = ev.has(EV_REL) && rel.has(REL_X) && rel.has(REL_Y);
  bool absolute = ev.has(EV_ABS) && abs.has(ABS_X) && abs.has(ABS_Y) &&
                  (key.has(BTN_TOUCH) || key.has(BTN_LEFT) || key.has(BTN_STYLUS));
  input_absinfo ax{}, ay{};
  if (absolute && (ioctl(fd, EVIOCGABS(ABS_X), &ax) < 0 || ioctl(fd, EVIOCGABS(ABS_Y), &ay) < 0))
    absolute = false;
  if (!relative && !absolute) {
    close(fd);
    return false;
  }
  device d;
  d.fd = fd;
  d.number = number;
  d.absolute = absolute;
  d.minx = ax.minimum, d.maxx = ax.maximum, d.miny = ay.minimum, d.maxy = ay.maximum;
  devices.push_back(d);
  return true;
}

int evpointers::allbuttons() const {
  int b = 0;
  for (const device& d : devices) b |= d.buttons;
  return b;
}

// Reads events one at a time until a frame ends, so what follows stays in
// the device for the next call (and wakes the main loop). False when the
// device has nothing more now, or has gone (fd becomes -1).
bool evpointers::readframe(device& d, report& r) {
  for (;;) {
    input_event e;
    ssize_t n = read(d.fd, &e, sizeof e);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return false;
    if (n != static_cast<ssize_t>(sizeof e)) {
      close(d.fd);
      d.fd = -1;
      return false;
    }
    report& p = d.pending;
    if (e.type == EV_REL) {
      if (e.code == REL_X) p.dx += e.value, d.touched = true;
      if (e.code == REL_Y) p.dy += e.value, d.touched = true;
      if (e.code == REL_WHEEL) p.wheel -= e.value, d.touched = true;  // evdev: > 0 is up
    } else if (e.type == EV_ABS && (e.code == ABS_X || e.code == ABS_Y) && d.absolute) {
      if (e.code == ABS_X) p.x = topixel(e.value, d.minx, d.maxx, width);
      if (e.code == ABS_Y) p.y = topixel(e.value, d.miny, d.maxy, height);
      p.absolute = d.touched = true;
    } else if (e.type == EV_KEY && buttonbit(e.code)) {
      d.buttons = e.value ? d.buttons | buttonbit(e.code) : d.buttons & ~buttonbit(e.code);
      d.touched = true;
    } else if (e.type == EV_SYN && e.code == SYN_REPORT && d.touched) {
      r = p;
      r.buttons = allbuttons();
      // The position stays for the next frame; motion and clicks do not.
      p.dx = p.dy = p.wheel = 0;
      d.touched = false;
      return true;
    }
  }
}

bool evpointers::next(report& r) {
  if (watchfd >= 0) {
    char buf[4096];
    bool changed = false;
    while (read(watchfd, buf, sizeof buf) > 0) changed = true;
    if (changed) scan();
  }
  for (device& d : devices)
    if (d.fd >= 0 && readframe(d, r)) return true;
  devices.erase(
      std::remove_if(devices.begin(), devices.end(), [](const device& d) { return d.fd < 0; }),
      devices.end());
  return false;
}

void evpointers::discard() {
  report r;
  while (next(r)) {
  }
}

std::vector<int> evpointers::waitfds() const {
  std::vector<int> fds;
  for (const device& d : devices)
    if (d.fd >= 0) fds.push_back(d.fd);
  if (watchfd >= 0) fds.push_back(watchfd);
  return fds;
}
