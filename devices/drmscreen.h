// drmscreen: the screen on a DRM/KMS output, for systems whose kernel has
// no /dev/fb0. One XRGB8888 dumb buffer, mapped, is shown on the first
// connected output of the first card (/dev/dri/card0 .. card63) that has
// dumb buffers, in the mode the output already shows (else its preferred
// one). A push copies the changed rows into the buffer and tells the
// driver which row bands changed (some drivers show nothing until told).
//
// The program holds the display as DRM master. Switching to another
// console, a stop and every way out give it up again, showing what the
// output showed before (console::ondisplaygiveback, async-signal-safe);
// the next push takes it back.
#pragma once

#include <string>
#include <utility>
#include <vector>

class drmscreen {
 public:
  // The outcome of looking for an output.
  struct found {
    drmscreen* screen = nullptr;  // null when no card could be used
    std::string why;              // then: what was tried and why it failed
    bool cardseen = false;        // some card exists (and was passed over)
  };
  // Tries every card in turn and takes the first that works.
  static found open();

  int width = 0;
  int height = 0;
  std::string path;  // the card, e.g. /dev/dri/card0

  drmscreen(const drmscreen&) = delete;
  drmscreen& operator=(const drmscreen&) = delete;

  // True when the display was given up (another console, a stop) and
  // must be taken back before anything shows.
  bool lost() const;
  // Takes the display back: DRM master (retried for about 200 ms after a
  // switch, as the other side may not have let go yet) and the buffer on
  // the output again. False while another program keeps it.
  bool retake();
  // The buffer on the output, rows `rowpitch` bytes apart in the bitmap's
  // own pixel layout: what is copied there shows after dirty().
  unsigned char* rows(size_t& rowpitch) const;
  // Tells the output that the row bands [from, to) of the runs changed.
  void dirty(const std::vector<std::pair<int, int>>& runs);

 private:
  drmscreen() = default;
  int fd = -1;
  unsigned fbid = 0;
  unsigned pitch = 0;
  unsigned char* map = nullptr;
  bool dirtyneeded = true;  // false once the driver says it has no use for it
  bool showbuffer();
  bool makebuffer();
};
