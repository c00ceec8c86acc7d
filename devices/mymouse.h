// mymouse: the relative mouse of /dev/input/mice. Polled without waiting;
// keeps a cursor position in screen pixels and the last two packets (so a
// press can be told from a held button), and draws the cursor, a red cross.
// It never draws into the screen bitmap outside a push (see mybitmapwin).
#pragma once

#include <sys/select.h>
#include <sys/time.h>

class mybitmap;

class mymouse {
 public:
  static constexpr int packetsize = 3;
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

  // Puts the cross at (100, 100); the first poll of the program does this.
  void startposition();
  // Takes one complete packet (as read from the device) into the position,
  // kept on the screen: a move past an edge stops the cross at the edge,
  // and the next move back starts from there.
  void takepacket(const unsigned char* p);
  // The screen the cross is kept on (width x height pixels); none until set.
  void setbounds(int w, int h);

 private:
  unsigned char partial[packetsize];  // bytes of a packet not yet complete
  int partiallen;
  int maxx = -1, maxy = -1;  // the last pixel the cross may reach (-1: no bound)
};
