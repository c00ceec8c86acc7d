// Mouse reader: non-blocking polls of /dev/input/mice and the red cross.
//
// Each poll reads exactly one 3-byte packet. The kernel splits fast motion
// into several packets; reading more bytes at once and decoding only the
// first packet would lose motion, so the rest is left for later polls.
#include "devices/mymouse.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "graphics/mybitmap.h"

mymouse::mymouse()
    : moved(false), originx(300), originy(300), rawx(400), rawy(400), x(100), y(100), fd(0), openerror(0),
      timeout{0, 0}, partiallen(0) {
  std::memset(packet, 0, sizeof packet);
  std::memset(lastpacket, 0, sizeof lastpacket);
  FD_ZERO(&readset);
  int f = open("/dev/input/mice", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (f < 0) openerror = errno;
  // Descriptor 0 is the terminal; a mouse there could not be told from "none".
  if (f <= 0 || f >= FD_SETSIZE) {
    if (f > 0) close(f);
    return;
  }
  fd = f;
  FD_SET(fd, &readset);
}

mymouse::~mymouse() {
  if (fd != 0) close(fd);
}

void mymouse::recycle() {
  if (fd == 0) return;
  static bool inited = false;
  if (!inited) {
    startposition();
    inited = true;
  }
  fd_set ready = readset;
  timeval t = timeout;
  if (select(fd + 1, &ready, nullptr, nullptr, &t) <= 0) return;
  ssize_t n = read(fd, partial + partiallen, packetsize - partiallen);
  if (n <= 0) return;
  partiallen += static_cast<int>(n);
  if (partiallen < packetsize) return;
  partiallen = 0;
  std::memcpy(lastpacket, packet, sizeof packet);
  std::memset(packet, 0, sizeof packet);
  std::memcpy(packet, partial, packetsize);
  takepacket(packet);
}

void mymouse::discard() {
  if (fd == 0) return;
  unsigned char bytes[256];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
  partiallen = 0;
}

const char* mymouse::whynomouse() const {
  if (openerror != EACCES && openerror != EPERM) return nullptr;
  return "bihua: /dev/input/mice: Permission denied; running without a mouse. Join the input "
         "group (sudo usermod -aG input $USER, then log in again); where the device belongs to "
         "root alone, add the udev rule KERNEL==\"mice\", SUBSYSTEM==\"input\", "
         "GROUP=\"input\", MODE=\"0640\" in /etc/udev/rules.d/99-bihua-mice.rules\n";
}

void mymouse::startposition() {
  x = y = 100;
  rawx = x + originx;
  rawy = 500 - y + originy;
}

void mymouse::takepacket(const unsigned char* p) {
  rawx += static_cast<signed char>(p[1]);
  rawy += static_cast<signed char>(p[2]);
  x = rawx - originx;
  y = 500 - (rawy - originy);
  if (maxx >= 0) {
    x = std::min(std::max(x, 0), maxx);
    y = std::min(std::max(y, 0), maxy);
    rawx = x + originx;
    rawy = 500 - y + originy;
  }
  moved = true;
}

void mymouse::setbounds(int w, int h) {
  maxx = std::max(w - 1, 0);
  maxy = std::max(h - 1, 0);
}

void mymouse::drawcursor(mybitmap& b) {
  mycolor keep = b.color;
  b.color = mycolor(255, 0, 0);
  static const int offsets[] = {0, 1, 2, -1, -2};
  for (int k : offsets) b.drawthinline(x + k, y - reach, x + k, y + reach);
  for (int k : offsets) b.drawthinline(x - reach, y + k, x + reach, y + k);
  b.color = keep;
}
