// bihuarun: drives the real bihua program for end-to-end tests. It starts
// the binary on a pseudo-terminal in a fresh directory under the fbrig
// preload library, which hands it a framebuffer file of a chosen layout,
// a mouse FIFO and a private clipboard file; then it types keys, moves the
// mouse, waits for the screen to settle, reads frames back and collects
// what the program leaves behind. It never sleeps to decide an outcome:
// every wait watches the push counter, the FIFO or the process, and every
// wait has a time-out. The child is killed when the object goes away.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>
#include <termios.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "devices/fbformat.h"
#include "tools/e2e/rigimage.h"

// What the program finds when it starts.
struct rigoptions {
  fbformat screen = defaultscreen(800, 600);
  std::vector<std::string> args;             // command-line words after the program name
  std::map<std::string, std::string> files;  // put into the working directory first
  bool fbmissing = false;                    // opening /dev/fb0 fails
  std::string fbother;  // another device path the rig also answers as the framebuffer
  enum { nofail, failfixed, failvariable } ioctlfail = nofail;
  bool mouse = true;  // false: /dev/input/mice cannot be opened
  bool denyfb = false;     // opening /dev/fb0 fails for want of permission
  bool denymouse = false;  // the same for /dev/input/mice
  bool console = false;    // the rig stands in for the console's ioctls (vtlog())
  // A DRM card stands in beside the framebuffer: card `drmcard`, its
  // buffer the same file the framebuffer reads (so frame() shows it), its
  // ioctls in drmlog(). Its output shows `screen` now and prefers
  // `drmpreferred` ("WxH", none if empty).
  bool drm = false;
  int drmcard = 0;
  std::string drmpreferred;
  bool drmbusy = false;       // another program is DRM master (setdrmbusy())
  bool drmdisconnected = false;  // no output connected
  bool denydrm = false;       // opening the card fails for want of permission
  // /dev/input/mice answers the wheel mouse handshake (4-byte packets);
  // else it is a plain mouse (3 bytes). micereadonly: it may only be read.
  bool wheelmouse = false;
  bool micereadonly = false;
  // Evdev devices there at start, /dev/input/event0, event1, ... in order:
  // "mouse", "tablet" (axes 0..32767), "touch" (0..4095, BTN_TOUCH) or
  // "keyboard". plug() adds more while the program runs.
  std::vector<std::string> evdev;
  bool stdinpipe = false;  // standard input is a pipe the driver holds open and never writes
  // Standard input opened from this file instead (relative to the working
  // directory, or absolute such as /dev/null); the terminal stays the
  // controlling one.
  std::string stdinfile;
  // As a shell starts it: a process group of the driver's session, so a
  // stop (SIGTSTP) stops it. In a session of its own (the default) the
  // group is orphaned and the kernel discards stops.
  bool jobcontrol = false;
  // The sanitizers leave SEGV, BUS, FPE and abort to the program's own
  // handlers (for tests of how it ends by them).
  bool rawsignals = false;
  std::string clipboard;  // the clipboard file's content (absent when empty)
  bool clipboardfile = false;  // create the clipboard file even when empty
  // Files whose path (relative to the working directory) starts with this
  // are /dev/full when opened for writing.
  std::string fullprefix;
  // Files whose path starts with this are as on a read-only mount (even
  // root cannot write them): writing, creating, renaming, removing fail
  // with EROFS.
  std::string readonlyprefix;
  // The locale the program starts in: LANG, LC_ALL and LC_CTYPE are removed
  // from its environment and these (e.g. {"LANG", "C.UTF-8"}) set instead,
  // so a test does not depend on the locale it runs in.
  std::map<std::string, std::string> locale;
  // Runs the program as this user (user and group id; -1: as the driver).
  // Needs a driver running as root. The working directory and the device
  // stand-ins become the user's; files the test puts there stay root's.
  int user = -1;

  // 32 bits per pixel, blue/green/red at 0/8/16, unpadded lines.
  static fbformat defaultscreen(int w, int h);
};

// Options that put files into the working directory and name args on the
// command line.
// A screen of w x h with bpp bits per pixel (16: RGB565) and lines of
// `line` bytes.
fbformat riglayout(int w, int h, int bpp, int line);

inline rigoptions withfiles(std::map<std::string, std::string> files,
                            std::vector<std::string> args) {
  rigoptions o;
  o.files = std::move(files);
  o.args = std::move(args);
  return o;
}

class bihuarun {
 public:
  // Time-outs in milliseconds. Generous: they only bound failures. Three
  // times longer in a sanitizer build, and BIHUA_TIMEOUT_SCALE=n makes
  // them n times longer. settle() times out only after settletimeout
  // without any push or key read (or after ten times that in all).
  static constexpr int starttimeout = 20000;
  static constexpr int settletimeout = 20000;
  static constexpr int exittimeout = 20000;
  static constexpr int quiet = 150;  // no push for this long = settled

  bihuarun();
  ~bihuarun();
  bihuarun(const bihuarun&) = delete;
  bihuarun& operator=(const bihuarun&) = delete;

  // ---- starting
  // Starts the program and waits for its first screen (or its exit).
  ::testing::AssertionResult start(int w, int h, std::vector<std::string> args = {});
  ::testing::AssertionResult start(const rigoptions& options);
  // Starts without waiting for anything.
  void launch(const rigoptions& options);

  // ---- keyboard
  void type(const std::string& bytes);  // sent as one write
  void key(const std::string& name);    // see keybytes() for the names
  // Bytes that need not make keys: settle() waits for them to be read but
  // not for a push.
  void raw(const std::string& bytes);

  // ---- mouse (needs options.mouse)
  // One packet: button bits (1 left, 2 right, 4 middle), dx, dy (dy > 0 is
  // up). Waits until the program has read it; false if it never does.
  // With options.wheelmouse the packet has a fourth byte, the wheel
  // (negative: up, as the kernel sends it).
  bool mouse(int dx, int dy, int buttons = 0, int wheel = 0);
  // Wheel clicks (n > 0 down, n < 0 up), one packet each, waiting as for
  // packets.
  bool wheel(int n);
  // Moves to an absolute screen position in steps of at most 127.
  bool moveto(int x, int y, int buttons = 0);
  // Moves there, presses and releases the button.
  bool click(int x, int y, int button = 1);
  void mousebytes(const std::string& bytes);  // anything, not waited for
  // Waits until the program has read every mouse byte sent; false if it
  // never does.
  bool micedrained();
  int cursorx() const { return curx; }
  int cursory() const { return cury; }
  // The cursor cross (41 x 41 around the cursor), to leave out of comparisons.
  rigrect cursorbox() const { return {curx - 20, cury - 20, 41, 41}; }
  // A bitmap as a push shows it: with the cursor, a red cross of two bars
  // 41 long and 5 thick, centred on the tracked position.
  rigimage withcursor(const rigimage& bitmap) const;

  // ---- evdev devices (/dev/input/eventN)
  // Plugs in a device of that kind as the next eventN; returns N.
  int plug(const std::string& kind);
  // Unplugs it: the program reads the end and drops it.
  void unplug(int n);
  // One frame of events (type, code, value triples), then SYN_REPORT;
  // waits until the program has read it, and for the push it makes.
  bool evframe(int n, const std::vector<std::array<int, 3>>& events);
  // A tablet (or touch panel) at screen pixel (x, y), button held or not.
  bool evpoint(int n, int x, int y, bool pressed);
  // Whether the program has this file (absolute path) open now.
  bool isopen(const std::string& file) const;
  std::string evpath(int n) const { return inputdir + "/event" + std::to_string(n); }
  std::string mousepath() const { return micepath; }

  // ---- waiting
  // Waits until every key and packet sent so far has been pushed and then
  // no push has come for quietms.
  ::testing::AssertionResult settle(int quietms = quiet, int timeoutms = settletimeout);
  // Waits until cond() holds, re-checking after every push.
  ::testing::AssertionResult waitfor(const std::function<bool()>& cond,
                                     int timeoutms = settletimeout);
  uint64_t pushes() const;  // screen pushes so far
  uint64_t pushedbytes() const;  // bytes written to the framebuffer so far
  // Every byte typed has been read and a push came after the last read.
  bool keysread() const;
  pid_t processid() const { return pid; }
  // The program to start: BIHUA_PROGRAM unless changed (benchmarks compare
  // builds).
  static std::string program;

  // ---- the console (needs options.console)
  // The console calls so far, one line each ("KDSETMODE 1", "VT_SETMODE 1
  // 10 12", "VT_RELDISP 1"), as the rig logs them.
  std::string vtlog() const;
  // Plays the kernel's part of switching to another console and back: sends
  // the release (or acquire) signal the program asked for and waits for
  // its acknowledgement (VT_RELDISP).
  ::testing::AssertionResult vtrelease();
  ::testing::AssertionResult vtacquire();
  // The console was taken (graphics mode, switching in process mode) and
  // the last calls gave it back (text mode, automatic switching).
  ::testing::AssertionResult consolerestored() const;
  // The signals that end the program with the console given back.
  static const std::vector<int>& fatalsignals();

  // ---- the DRM card (needs options.drm)
  // The card's log, one line per call ("SET_MASTER 0", "DROP_MASTER",
  // "SETCRTC crtc fb w h", "DIRTYFB fb x1,y1,x2,y2 ..."): see fbrig.c.
  std::string drmlog() const;
  std::vector<std::string> drmlines() const;
  // Another program takes DRM master (true) or lets it go (false).
  void setdrmbusy(bool busy);
  // What the mouse device was told, in bytes (the wheel handshake).
  std::string micewritten() const;

  // ---- the screen
  const fbformat& screen() const { return options.screen; }
  // The status line ends with this notice (GBK): the text drawn as the
  // program draws its status line (same library, font and cell size) is
  // found at a character position with nothing after it.
  ::testing::AssertionResult shows(const std::string& notice) const;
  rigimage frame() const;  // visible area of the framebuffer file
  uint32_t pixel(int x, int y) const;
  rigimage crop(const rigrect& r) const { return frame().crop(r); }
  bool savepng(const std::string& path) const { return frame().savepng(path); }
  std::vector<unsigned char> fbbytes() const;  // the whole device file
  // Byte offsets in the device file of the first visible pixel and just
  // past the last one (worked out here, not by the program's code).
  static size_t firstbyte(const fbformat& f);
  static size_t endbyte(const fbformat& f);
  // What a layout makes of a bitmap colour (0xRRGGBB): each channel cut to
  // its length and widened back by repeating its bits, as it reads back.
  static uint32_t shown(const fbformat& f, uint32_t rgb);
  static rigimage shown(const fbformat& f, const rigimage& bitmap);
  // The byte the device file held at offset i before the program started.
  static unsigned char fillbyte(size_t i) { return static_cast<unsigned char>(i * 31 + 17); }

  // ---- ending
  // Sends F8 (again if the program stays to ask about unsaved text) and
  // waits for the exit.
  ::testing::AssertionResult stop();
  // Waits for the program to end by itself.
  ::testing::AssertionResult waitexit(int timeoutms = exittimeout);
  void kill();
  // Sends a signal to the program without waiting.
  void signal(int sig);
  // Sends a signal to the program and waits for it to end.
  ::testing::AssertionResult endwith(int sig);
  bool running();
  // Waits until the program is stopped (a job-control stop).
  ::testing::AssertionResult waitstopped();
  // Voluntary and involuntary context switches so far (/proc): an idle
  // program makes none, a busy loop many.
  long contextswitches() const;
  double cpuseconds() const;  // processor time used so far
  // The terminal's mode now.
  termios terminalmode() const;
  int exitstatus() const { return status; }  // exit code, 128 + signal, -1 running
  // Whether the terminal mode after the exit (or now, while it runs) equals
  // the one it started with and the console cursor was shown last.
  ::testing::AssertionResult terminalrestored() const;
  std::string output() const;  // standard output
  // What the program wrote to its terminal (drained while it runs).
  const std::string& terminaloutput() const { return ttyoutput; }
  std::string errors() const;  // standard error (sanitizer reports land here)

  // ---- files
  std::string dir() const { return workdir; }  // the program's working directory
  std::string path(const std::string& name) const { return workdir + "/" + name; }
  // The program's $HOME: a folder of the rig (absent until start, made
  // with the working directory).
  std::string home() const { return root + "/home"; }
  bool hasfile(const std::string& name) const;
  std::string file(const std::string& name) const;
  std::vector<std::string> files() const;
  rigimage bmp() const { return rigimage::loadbmp(path("aaaaa.bmp")); }
  std::string clipboard() const;  // what the program sees as /tmp/clip.txt
  // The file standing in for /tmp/clip.txt (names beside it, clip.txt.*,
  // stand in for /tmp/clip.txt.*). Its folder exists from construction on,
  // so a test can plant something there before start().
  std::string clipfile() const { return clippath; }
  // Names beside it starting with its own (clip.txt.*) or temporary
  // copies (.bihua-*): what a write of the clipboard left behind.
  std::vector<std::string> besideclipboard() const;

 private:
  void reap(bool block);
  void drain();
  void writeall(int fd, const std::string& bytes);
  bool fifoempty() const;

  rigoptions options;
  uint64_t counterslot(int i) const;
  bool allread() const;  // every byte typed or sent raw taken from the terminal
  ::testing::AssertionResult vtswitch(bool away);

  std::string root, workdir, fbpath, countpath, micepath, clippath, vtpath, drmpath, drmbusypath,
      micelogpath, inputdir;
  std::map<int, int> evfds;  // eventN -> the driver's end of its FIFO
  std::map<int, std::string> evkinds;
  pid_t pid = -1;
  int status = -1;
  int master = -1, slave = -1, counter = -1, mice = -1, stdinwriter = -1;
  termios before{}, after{};
  bool haveafter = false;
  uint64_t expected = 0;  // pushes the packets sent so far must cause
  bool typed = false;     // keys typed since the last settle
  uint64_t sent = 0;      // bytes the terminal passes on to the program
  bool exact = true;      // false after raw bytes or unread packets
  int lastbuttons = 0;
  int curx = 100, cury = 100;
  std::string ttyoutput;
};
