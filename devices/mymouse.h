// mymouse: the relative mouse of /dev/input/mice. Polled without waiting;
// keeps a cursor position in screen pixels and the last two packets (so a
// press can be told from a held button), and draws the cursor, a red cross.
// Where the device may be written, it is switched to the wheel mouse
// protocol (IMPS/2: 4-byte packets, the wheel in the fourth byte); read
// only, it gives plain 3-byte packets. Pointers on evdev (tablets, touch
// panels, mice) are read there instead once the screen size is known;
// /dev/input/mice, which repeats them all, is then not read.
// It never draws into the screen bitmap outside a push (see mybitmapwin).
#pragma once

#include <sys/select.h>
#include <sys/time.h>

#include <vector>

#include "devices/evpointer.h"

class mybitmap;

class mymouse {
 public:
  static constexpr int packetsize = 3;  // a plain packet
  static constexpr int wheelpacketsize = 4;
  static constexpr int reach = 20;  // the cross spans reach pixels each way

  bool moved;
  int originx;
  int originy;
  int rawx;
  int rawy;
  int x;
  int y;
  unsigned char packet[6];
  unsigned char lastpacket[6];
  int fd;
  int openerror;  // errno of a failed open, 0 when the device opened
  int size;       // bytes per packet: 3, or 4 once the wheel handshake took
  int wheel;      // wheel clicks in the last packet: > 0 towards the user (down)
  fd_set readset;
  timeval timeout;

  mymouse();
  ~mymouse();
  mymouse(const mymouse&) = delete;
  mymouse& operator=(const mymouse&) = delete;

  void recycle();
  // Reads and forgets what the device has (while the user is elsewhere).
  void discard();
  // One line for standard error when the device exists but may not be
  // read (permissions), else null.
  const char* whynomouse() const;
  void drawcursor(mybitmap& b);

  // Asks the device for wheel packets (IMPS/2 handshake); true if it
  // agreed.
  bool askwheel();
  // Stops reading the device (another reader has it; a later open may
  // take it again).
  void closedevice();

  // Puts the cross at (100, 100); the first poll of the program does this.
  void startposition();
  // Takes one complete packet (as read from the device) into the position,
  // kept on the screen: a move past an edge stops the cross at the edge,
  // and the next move back starts from there.
  void takepacket(const unsigned char* p);
  // The screen the cross is kept on (width x height pixels); none until set.
  // Also starts reading the evdev pointers, whose positions map onto it.
  void setbounds(int w, int h);
  // Puts the cross at (nx, ny), kept on the screen.
  void placeat(int nx, int ny);
  // Descriptors the main loop may wait on for this reader.
  std::vector<int> waitfds() const;

 private:
  unsigned char partial[wheelpacketsize];  // bytes of a packet not yet complete
  int partiallen;
  int maxx = -1, maxy = -1;  // the last pixel the cross may reach (-1: no bound)
  evpointers* pointers = nullptr;
  bool onevdev = false;  // evdev pointers are being read (and the mice device not)
  void openmice();
  void takereport(const evpointers::report& r);
  bool pollevdev();
};
