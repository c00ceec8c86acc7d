// Mouse reader: non-blocking polls of /dev/input/mice and the red cross.
//
// Each poll reads exactly one packet (3 bytes, or 4 with the wheel). The kernel splits fast motion
// into several packets; reading more bytes at once and decoding only the
// first packet would lose motion, so the rest is left for later polls.
#include "devices/mymouse.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "graphics/mybitmap.h"

mymouse::mymouse()
    : moved(false),
      originx(300),
      originy(300),
      rawx(400),
      rawy(400),
      x(100),
      y(100),
      fd(0),
      openerror(0),
      size(packetsize),
      wheel(0),
      timeout{0, 0},
      partiallen(0) {
  std::memset(packet, 0, sizeof packet);
  std::memset(lastpacket, 0, sizeof lastpacket);
  FD_ZERO(&readset);
  openmice();
}

// Written to only for the wheel handshake; read-only access keeps the
// plain packets.
void mymouse::openmice() {
  int f = open("/dev/input/mice", O_RDWR | O_NONBLOCK | O_CLOEXEC);
  bool writable = f >= 0;
  if (f < 0) f = open("/dev/input/mice", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  openerror = f < 0 ? errno : 0;
  // Descriptor 0 is the terminal; a mouse there could not be told from "none".
  if (f <= 0 || f >= FD_SETSIZE) {
    if (f > 0) close(f);
    return;
  }
  fd = f;
  FD_SET(fd, &readset);
  size = writable && askwheel() ? wheelpacketsize : packetsize;
}

// Sample rates 200, 100, 80, then GET ID: a wheel mouse answers id 3 (after
// the acknowledgement fa). The answer is there at once; a packet already
// waiting is read after it.
bool mymouse::askwheel() {
  static const unsigned char handshake[] = {0xf3, 200, 0xf3, 100, 0xf3, 80, 0xf2};
  if (write(fd, handshake, sizeof handshake) != static_cast<ssize_t>(sizeof handshake))
    return false;
  unsigned char answer[2];
  return read(fd, answer, sizeof answer) == 2 && answer[0] == 0xfa && answer[1] == 3;
}

void mymouse::closedevice() {
  if (fd == 0) return;
  close(fd);
  fd = 0;
  FD_ZERO(&readset);
  partiallen = 0;
}

mymouse::~mymouse() {
  if (fd != 0) close(fd);
  delete pointers;
}

// Evdev pointers first; when the last one has gone, the mice device again.
bool mymouse::pollevdev() {
  if (!pointers) return false;
  evpointers::report r;
  bool got = pointers->next(r);
  if (pointers->any() && !onevdev) closedevice();
  if (!pointers->any() && onevdev) openmice();
  onevdev = pointers->any();
  if (got) takereport(r);
  return got;
}

void mymouse::recycle() {
  if (fd == 0 && !pointers) return;
  static bool inited = false;
  if (!inited) {
    startposition();
    inited = true;
  }
  if (pollevdev() || fd == 0) return;
  fd_set ready = readset;
  timeval t = timeout;
  if (select(fd + 1, &ready, nullptr, nullptr, &t) <= 0) return;
  ssize_t n = read(fd, partial + partiallen, size - partiallen);
  if (n <= 0) return;
  partiallen += static_cast<int>(n);
  if (partiallen < size) return;
  partiallen = 0;
  std::memcpy(lastpacket, packet, sizeof packet);
  std::memset(packet, 0, sizeof packet);
  std::memcpy(packet, partial, size);
  takepacket(packet);
}

void mymouse::discard() {
  if (pointers) pointers->discard();
  if (fd == 0) return;
  unsigned char bytes[256];
  while (read(fd, bytes, sizeof bytes) > 0) {
  }
  partiallen = 0;
}

const char* mymouse::whynomouse() const {
  if (onevdev) return nullptr;
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
  wheel = size == wheelpacketsize ? static_cast<signed char>(p[3]) : 0;
  rawx += static_cast<signed char>(p[1]);
  rawy += static_cast<signed char>(p[2]);
  placeat(rawx - originx, 500 - (rawy - originy));
}

void mymouse::setbounds(int w, int h) {
  maxx = std::max(w - 1, 0);
  maxy = std::max(h - 1, 0);
  if (pointers) return;
  pointers = new evpointers;
  pointers->start(w, h);
  onevdev = pointers->any();
  if (onevdev) closedevice();
}

void mymouse::placeat(int nx, int ny) {
  x = nx;
  y = ny;
  if (maxx >= 0) {
    x = std::min(std::max(x, 0), maxx);
    y = std::min(std::max(y, 0), maxy);
  }
  rawx = x + originx;
  rawy = 500 - y + originy;
  moved = true;
}

// An evdev frame as if it were a packet: buttons in byte 0, the wheel
// apart; the position moved or set.
void mymouse::takereport(const evpointers::report& r) {
  std::memcpy(lastpacket, packet, sizeof packet);
  std::memset(packet, 0, sizeof packet);
  packet[0] = static_cast<unsigned char>(8 | (r.buttons & 7));
  wheel = r.wheel;
  if (r.absolute)
    placeat(r.x, r.y);
  else
    placeat(x + r.dx, y + r.dy);
}

std::vector<int> mymouse::waitfds() const {
  std::vector<int> fds;
  if (fd > 0) fds.push_back(fd);
  if (pointers)
    for (int f : pointers->waitfds()) fds.push_back(f);
  return fds;
}

void mymouse::drawcursor(mybitmap& b) {
  mycolor keep = b.color;
  b.color = mycolor(255, 0, 0);
  static const int offsets[] = {0, 1, 2, -1, -2};
  for (int k : offsets) b.drawthinline(x + k, y - reach, x + k, y + reach);
  for (int k : offsets) b.drawthinline(x - reach, y + k, x + reach, y + k);
  b.color = keep;
}
