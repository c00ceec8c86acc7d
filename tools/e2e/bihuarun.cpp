// The end-to-end driver: a child bihua on a pseudo-terminal, its device
// stand-ins, and the waits that tell when it has finished reacting.
#include "tools/e2e/bihuarun.h"

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "graphics/mybitmap.h"
#include "tools/e2e/rigkeys.h"
#include "views/myview.h"
#include "views/viewevents.h"

namespace {

using clock_type = std::chrono::steady_clock;

long long since(clock_type::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - t).count();
}

void pause2ms() { usleep(2000); }

// Time-outs only bound failures; a sanitizer build runs the program several
// times slower, and BIHUA_TIMEOUT_SCALE stretches them further on a slow
// machine.
int scaled(int ms) {
#if defined(__SANITIZE_ADDRESS__)
  int factor = 3;
#else
  int factor = 1;
#endif
  if (const char* s = getenv("BIHUA_TIMEOUT_SCALE"))
    if (atoi(s) > 0) factor = atoi(s);
  return ms * factor;
}

// A channel of a device pixel widened to 8 bits by repeating its bits, so
// full intensity reads back as 255.
uint32_t widen(uint32_t px, const fbchannel& c) {
  if (c.length == 0 || c.length > 8) return 0;
  uint32_t v = (px >> c.offset) & ((1u << c.length) - 1);
  uint32_t out = 0;
  for (int bit = 8 - static_cast<int>(c.length); bit > -static_cast<int>(c.length); bit -= c.length)
    out |= bit >= 0 ? v << bit : v >> -bit;
  return out & 0xFF;
}

// The 0xRRGGBB colour a device pixel stands for. Written apart from the
// program's own conversion so the two can check each other.
uint32_t devicecolour(const fbformat& f, const unsigned char* p) {
  uint32_t px = 0;
  for (int b = f.bpp / 8 - 1; b >= 0; b--) px = px << 8 | p[b];
  return widen(px, f.red) << 16 | widen(px, f.green) << 8 | widen(px, f.blue);
}

std::string fieldenv(const fbchannel& c) {
  return std::to_string(c.offset) + "/" + std::to_string(c.length);
}

}  // namespace

std::string bihuarun::program = BIHUA_PROGRAM;

fbformat rigoptions::defaultscreen(int w, int h) {
  fbformat f;
  f.width = w;
  f.height = h;
  f.bpp = 32;
  // Absurd widths (for tests of refused layouts) get the longest line an
  // int holds rather than an overflow.
  f.linelength = static_cast<int>(std::min<long long>(4LL * w, INT_MAX));
  return f;
}

fbformat riglayout(int w, int h, int bpp, int line) {
  fbformat f = rigoptions::defaultscreen(w, h);
  f.bpp = bpp;
  f.linelength = line;
  if (bpp == 16) f.red = {11, 5}, f.green = {5, 6}, f.blue = {0, 5};
  return f;
}

bihuarun::bihuarun() {
  char tmpl[] = "/tmp/bihuarig.XXXXXX";
  if (mkdtemp(tmpl)) root = tmpl;
  workdir = root + "/work";
  fbpath = root + "/fb0";
  countpath = root + "/pushes";
  micepath = root + "/mice";
  clippath = root + "/clip.txt";
  vtpath = root + "/console";
  drmpath = root + "/drm.log";
  drmbusypath = root + "/drmbusy";
  micelogpath = root + "/micewritten";
  inputdir = root + "/input";
}

bihuarun::~bihuarun() {
  kill();
  for (int fd : {master, slave, counter, mice, stdinwriter})
    if (fd >= 0) close(fd);
  for (const auto& e : evfds) close(e.second);
  if (root.empty()) return;
  if (::testing::Test::HasFailure()) {
    fprintf(stderr, "bihuarun: kept %s for inspection\n", root.c_str());
    return;
  }
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
}

// ---- starting

::testing::AssertionResult bihuarun::start(int w, int h, std::vector<std::string> args) {
  rigoptions o;
  o.screen = rigoptions::defaultscreen(w, h);
  o.args = std::move(args);
  return start(o);
}

::testing::AssertionResult bihuarun::start(const rigoptions& o) {
  launch(o);
  if (pid < 0) return ::testing::AssertionFailure() << "could not start " << program;
  auto t0 = clock_type::now();
  while (pushes() == 0) {
    drain();
    if (!running())
      return ::testing::AssertionFailure() << "bihua ended at start with status " << status
                                           << "; output: " << output() << errors();
    if (since(t0) > scaled(starttimeout))
      return ::testing::AssertionFailure() << "no screen within " << scaled(starttimeout) << " ms";
    pause2ms();
  }
  expected = pushes();
  typed = false;
  return settle();
}

void bihuarun::launch(const rigoptions& o) {
  options = o;
  if (root.empty() || pid >= 0) return;
  mkdir(workdir.c_str(), 0755);
  mkdir(home().c_str(), 0755);
  for (const auto& f : o.files) rigwritefile(path(f.first), f.second);
  if (o.clipboardfile || !o.clipboard.empty()) rigwritefile(clippath, o.clipboard);

  // The device file holds a known pattern, so untouched bytes show.
  const fbformat& s = o.screen;
  // A broken layout (the program must refuse it) may describe terabytes:
  // the file is capped, as nothing past the cap is ever looked at.
  long long want = 1LL * s.linelength * (1LL * s.yoffset + s.height);
  std::string fb(static_cast<size_t>(std::max(0LL, std::min(want, 64LL << 20))), '\0');
  for (size_t i = 0; i < fb.size(); i++) fb[i] = static_cast<char>(fillbyte(i));
  rigwritefile(fbpath, fb);
  rigwritefile(countpath, std::string(40, '\0'));
  if (o.drmbusy) rigwritefile(drmbusypath, "");
  mkdir(inputdir.c_str(), 0755);
  for (const std::string& kind : o.evdev) plug(kind);
  counter = open(countpath.c_str(), O_RDONLY | O_CLOEXEC);
  if (o.mouse && mkfifo(micepath.c_str(), 0600) == 0)
    mice = open(micepath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);  // never EOF, never blocks

  winsize ws{};
  ws.ws_row = 25;
  ws.ws_col = 80;
  if (openpty(&master, &slave, nullptr, nullptr, &ws) != 0) return;
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  tcgetattr(slave, &before);

  std::vector<std::string> words = {program};
  words.insert(words.end(), o.args.begin(), o.args.end());
  std::string asan = getenv("ASAN_OPTIONS") ? getenv("ASAN_OPTIONS") : "";
  // The rig is preloaded ahead of the sanitizer runtime on purpose.
  asan += std::string(asan.empty() ? "" : ":") + "verify_asan_link_order=0";
  if (o.rawsignals) asan += ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_abort=0";
  std::string out = root + "/stdout", err = root + "/stderr";
  // The preload library's settings; an empty value counts as unset.
  const char* fail = o.ioctlfail == rigoptions::failfixed      ? "fix"
                     : o.ioctlfail == rigoptions::failvariable ? "var"
                                                               : "";
  const std::pair<const char*, std::string> env[] = {
      {"LD_PRELOAD", FBRIG_LIBRARY}, {"ASAN_OPTIONS", asan}, {"TERM", "linux"},
      {"FBRIG_FB", o.fbmissing ? "" : fbpath}, {"FBRIG_COUNT", countpath},
      {"FBRIG_FBPATH", o.fbother},
      {"FBRIG_XRES", std::to_string(s.width)}, {"FBRIG_YRES", std::to_string(s.height)},
      {"FBRIG_BPP", std::to_string(s.bpp)}, {"FBRIG_LINE", std::to_string(s.linelength)},
      {"FBRIG_XOFFSET", std::to_string(s.xoffset)}, {"FBRIG_YOFFSET", std::to_string(s.yoffset)},
      {"FBRIG_RED", fieldenv(s.red)}, {"FBRIG_GREEN", fieldenv(s.green)},
      {"FBRIG_BLUE", fieldenv(s.blue)}, {"FBRIG_FAIL", fail},
      {"FBRIG_MICE", mice >= 0 ? micepath : ""}, {"FBRIG_CLIP", clippath},
      {"FBRIG_FULL", o.fullprefix.empty() ? "" : workdir + "/" + o.fullprefix},
      {"FBRIG_READONLY", o.readonlyprefix.empty() ? "" : workdir + "/" + o.readonlyprefix},
      {"FBRIG_DENY", std::string(o.denyfb ? "fb," : "") + (o.denydrm ? "drm," : "") +
                         (o.denymouse ? "mice" : "")},
      {"FBRIG_VT", o.console ? vtpath : ""},
      {"FBRIG_DRM", o.drm ? fbpath : ""}, {"FBRIG_DRMCARD", std::to_string(o.drmcard)},
      {"FBRIG_DRMLOG", drmpath}, {"FBRIG_DRMBUSY", drmbusypath},
      {"FBRIG_DRMPREFERRED", o.drmpreferred}, {"FBRIG_DRMOUTPUT", o.drmdisconnected ? "off" : ""},
      {"FBRIG_MICEWHEEL", o.wheelmouse ? "1" : ""}, {"FBRIG_MICELOG", micelogpath},
      {"FBRIG_MICERO", o.micereadonly ? "1" : ""}, {"FBRIG_INPUT", inputdir}};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  if (o.user >= 0) {
    // The user reaches the rig's folder and owns what the program writes.
    chmod(root.c_str(), 0755);
    for (const std::string& p : {workdir, home(), fbpath, countpath, micepath, clippath})
      if (chown(p.c_str(), o.user, o.user) != 0 && errno != ENOENT)
        ADD_FAILURE() << "bihuarun: cannot give " << p << " to user " << o.user;
  }
  std::string homedir = home();
  pid_t parent = getpid();
  int inpipe[2] = {-1, -1};
  if (o.stdinpipe && pipe2(inpipe, O_CLOEXEC) == 0) stdinwriter = inpipe[1];
  std::string infile = o.stdinfile.empty() || o.stdinfile[0] == '/' ? o.stdinfile : path(o.stdinfile);

  pid = fork();
  if (pid != 0) {
    if (inpipe[0] >= 0) close(inpipe[0]);
    return;
  }
  // The child: its own session with the pty as controlling terminal, or
  // its own process group in ours.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(126);
  if (o.jobcontrol) {
    setpgid(0, 0);
  } else {
    setsid();
    ioctl(slave, TIOCSCTTY, 0);
  }
  if (o.rawsignals) {
    rlimit nocore = {0, 0};
    setrlimit(RLIMIT_CORE, &nocore);
  }
  int in = !infile.empty() ? open(infile.c_str(), O_RDONLY) : inpipe[0] >= 0 ? inpipe[0] : slave;
  if (in < 0) _exit(126);
  dup2(in, 0);
  int fd1 = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int fd2 = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(fd1, 1);
  dup2(fd2, 2);
  close(fd1);
  close(fd2);
  // Another user once the driver's files are open; the change clears the
  // death signal, so it is asked for again.
  if (o.user >= 0) {
    if (setgroups(0, nullptr) != 0 || setgid(o.user) != 0 || setuid(o.user) != 0) _exit(126);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(126);
  }
  if (chdir(workdir.c_str()) != 0) _exit(126);
  for (const auto& e : env) setenv(e.first, e.second.c_str(), 1);
  setenv("HOME", homedir.c_str(), 1);
  for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE"}) unsetenv(name);
  for (const auto& e : o.locale) setenv(e.first.c_str(), e.second.c_str(), 1);
  execv(argv[0], argv.data());
  _exit(127);
}

// ---- keyboard

// Keys waiting together are handled together and shown by one push, so
// typing is not counted in pushes: settle() waits until the program has
// read every byte and pushed after its last read.
void bihuarun::type(const std::string& bytes) {
  termios mode{};
  tcgetattr(slave, &mode);
  if (keycount(bytes, mode) > 0) typed = true;
  sent += terminalpasses(bytes, mode).size();
  writeall(master, bytes);
}

void bihuarun::key(const std::string& name) { type(keybytes(name)); }

void bihuarun::raw(const std::string& bytes) {
  termios mode{};
  tcgetattr(slave, &mode);
  sent += terminalpasses(bytes, mode).size();
  writeall(master, bytes);
}

void bihuarun::writeall(int fd, const std::string& bytes) {
  size_t done = 0;
  auto t0 = clock_type::now();
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    drain();
    if (!running() || since(t0) > scaled(settletimeout)) break;
    pollfd p{fd, POLLOUT, 0};
    poll(&p, 1, 5);
  }
  if (done < bytes.size())
    ADD_FAILURE() << "bihuarun: only " << done << " of " << bytes.size() << " bytes went in";
}

// ---- mouse

bool bihuarun::fifoempty() const {
  int n = 0;
  return mice >= 0 && ioctl(mice, FIONREAD, &n) == 0 && n == 0;
}

bool bihuarun::micedrained() {
  auto t0 = clock_type::now();
  while (mice >= 0 && !fifoempty()) {
    if (!running() || since(t0) > scaled(settletimeout)) return false;
    pause2ms();
  }
  return mice >= 0;
}

bool bihuarun::mouse(int dx, int dy, int buttons, int wheel) {
  if (mice < 0) return false;
  auto drained = [this] { return micedrained(); };
  if (!drained()) return false;
  // As the kernel sends it: bit 3 always set, bits 4 and 5 the signs.
  int head = (buttons & 7) | 8 | (dx < 0 ? 0x10 : 0) | (dy < 0 ? 0x20 : 0);
  unsigned char packet[4] = {static_cast<unsigned char>(head),
                             static_cast<unsigned char>(static_cast<signed char>(dx)),
                             static_cast<unsigned char>(static_cast<signed char>(dy)),
                             static_cast<unsigned char>(static_cast<signed char>(wheel))};
  ssize_t size = options.wheelmouse ? 4 : 3;
  if (write(mice, packet, size) != size || !drained()) return false;
  // The program keeps its cursor on the screen.
  int x = std::clamp(curx + static_cast<signed char>(dx), 0, static_cast<int>(options.screen.width) - 1);
  int y = std::clamp(cury - static_cast<signed char>(dy), 0, static_cast<int>(options.screen.height) - 1);
  // A DRM push that changes no row tells the driver nothing, so only a
  // packet that moves the cross, presses a button or turns the wheel is
  // sure to be seen there.
  bool seen = x != curx || y != cury || ((buttons & 1) && !(lastbuttons & 1)) || wheel != 0;
  curx = x;
  cury = y;
  lastbuttons = buttons;
  if (!options.drm || seen) expected += 1;
  return true;
}

int bihuarun::plug(const std::string& kind) {
  int n = evfds.empty() ? 0 : evfds.rbegin()->first + 1;
  // The kind first: the program may look as soon as the node appears.
  rigwritefile(evpath(n) + ".kind", kind);
  // Made under another name and moved in with its writer open: a FIFO the
  // program opened before the writer would read as ended (a device gone).
  std::string made = evpath(n) + ".new";
  if (mkfifo(made.c_str(), 0600) == 0) {
    evfds[n] = open(made.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    rename(made.c_str(), evpath(n).c_str());
  }
  evkinds[n] = kind;
  return n;
}

void bihuarun::unplug(int n) {
  auto it = evfds.find(n);
  if (it == evfds.end()) return;
  unlink(evpath(n).c_str());
  close(it->second);
  evfds.erase(it);
}

bool bihuarun::isopen(const std::string& file) const {
  std::string dir = "/proc/" + std::to_string(pid) + "/fd";
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    std::error_code ec2;
    if (std::filesystem::read_symlink(e.path(), ec2).string() == file) return true;
  }
  return false;
}

bool bihuarun::evframe(int n, const std::vector<std::array<int, 3>>& events) {
  auto it = evfds.find(n);
  if (it == evfds.end()) return false;
  std::vector<input_event> all;
  for (const auto& e : events) {
    input_event ev{};
    ev.type = static_cast<uint16_t>(e[0]);
    ev.code = static_cast<uint16_t>(e[1]);
    ev.value = e[2];
    all.push_back(ev);
  }
  all.push_back(input_event{});  // EV_SYN, SYN_REPORT, 0
  ssize_t size = static_cast<ssize_t>(all.size() * sizeof all[0]);
  if (write(it->second, all.data(), static_cast<size_t>(size)) != size) return false;
  auto t0 = clock_type::now();
  for (;;) {
    int left = 0;
    if (ioctl(it->second, FIONREAD, &left) == 0 && left == 0) break;
    if (!running() || since(t0) > scaled(settletimeout)) return false;
    pause2ms();
  }
  expected += 1;
  return true;
}

bool bihuarun::evpoint(int n, int x, int y, bool pressed) {
  int max = evkinds[n] == "touch" ? 4095 : 32767;
  // The middle of the pixel on the device's axis.
  auto axis = [max](int p, int size) { return static_cast<int>((2LL * p + 1) * (max + 1) / (2LL * size)); };
  bool ok = evframe(n, {{EV_ABS, ABS_X, axis(x, options.screen.width)},
                        {EV_ABS, ABS_Y, axis(y, options.screen.height)},
                        {EV_KEY, evkinds[n] == "touch" ? BTN_TOUCH : BTN_LEFT, pressed ? 1 : 0}});
  if (ok) curx = x, cury = y;
  return ok;
}

bool bihuarun::wheel(int n) {
  for (int i = 0; i < std::abs(n); i++)
    if (!mouse(0, 0, 0, n > 0 ? 1 : -1)) return false;
  return true;
}

bool bihuarun::moveto(int x, int y, int buttons) {
  while (curx != x || cury != y) {
    int dx = std::clamp(x - curx, -127, 127);
    int dy = std::clamp(cury - y, -127, 127);
    if (!mouse(dx, dy, buttons)) return false;
  }
  return true;
}

bool bihuarun::click(int x, int y, int button) {
  return moveto(x, y) && mouse(0, 0, button) && mouse(0, 0, 0);
}

rigimage bihuarun::withcursor(const rigimage& bitmap) const {
  rigimage out = bitmap;
  for (int k = -2; k <= 2; k++)
    for (int t = -20; t <= 20; t++) {
      if (out.inside(curx + k, cury + t)) out.at(curx + k, cury + t) = 0xFF0000;
      if (out.inside(curx + t, cury + k)) out.at(curx + t, cury + k) = 0xFF0000;
    }
  return out;
}

void bihuarun::mousebytes(const std::string& bytes) {
  if (mice < 0) return;
  ssize_t n = write(mice, bytes.data(), bytes.size());
  (void)n;
}

// ---- waiting

uint64_t bihuarun::counterslot(int i) const {
  uint64_t n = 0;
  off_t at = static_cast<off_t>(i * sizeof n);
  if (counter < 0 || pread(counter, &n, sizeof n, at) != static_cast<ssize_t>(sizeof n)) return 0;
  return n;
}

uint64_t bihuarun::pushes() const { return counterslot(0); }
uint64_t bihuarun::pushedbytes() const { return counterslot(1); }

bool bihuarun::allread() const {
  // Bytes written to the terminal reach its reading side a little later,
  // so an empty terminal alone does not show they were taken.
  return counterslot(3) >= sent;
}

bool bihuarun::keysread() const {
  if (!allread()) return false;
  int waiting = 0;
  if (ioctl(slave, FIONREAD, &waiting) != 0 || waiting > 0) return false;
  return pushes() > counterslot(2);
}

std::string bihuarun::vtlog() const { return rigreadfile(vtpath); }

std::string bihuarun::drmlog() const { return rigreadfile(drmpath); }

std::vector<std::string> bihuarun::drmlines() const {
  std::vector<std::string> lines;
  std::istringstream in(drmlog());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void bihuarun::setdrmbusy(bool busy) {
  if (busy)
    rigwritefile(drmbusypath, "");
  else
    unlink(drmbusypath.c_str());
}

std::string bihuarun::micewritten() const { return rigreadfile(micelogpath); }

::testing::AssertionResult bihuarun::vtrelease() { return vtswitch(true); }
::testing::AssertionResult bihuarun::vtacquire() { return vtswitch(false); }

::testing::AssertionResult bihuarun::consolerestored() const {
  std::string log = vtlog();
  size_t graphics = log.find("KDSETMODE 1\n"), text = log.rfind("KDSETMODE 0\n");
  size_t process = log.find("VT_SETMODE 1 "), autosw = log.rfind("VT_SETMODE 0 ");
  if (graphics == std::string::npos || process == std::string::npos)
    return ::testing::AssertionFailure() << "the console was never taken: " << log;
  if (text == std::string::npos || text < graphics || autosw == std::string::npos ||
      autosw < process || log.rfind("KDSETMODE 1\n") > text || log.rfind("VT_SETMODE 1 ") > autosw)
    return ::testing::AssertionFailure() << "the console was not given back: " << log;
  return ::testing::AssertionSuccess();
}

const std::vector<int>& bihuarun::fatalsignals() {
  static const std::vector<int> all = {SIGTERM, SIGHUP,  SIGQUIT, SIGSEGV,
                                       SIGBUS,  SIGFPE, SIGILL,  SIGABRT};
  return all;
}

::testing::AssertionResult bihuarun::vtswitch(bool away) {
  std::string log = vtlog();
  size_t at = log.rfind("VT_SETMODE 1 ");
  if (at == std::string::npos)
    return ::testing::AssertionFailure() << "the program never took the console: " << log;
  int mode = 0, rel = 0, acq = 0;
  if (sscanf(log.c_str() + at, "VT_SETMODE %d %d %d", &mode, &rel, &acq) != 3)
    return ::testing::AssertionFailure() << "unreadable console log: " << log;
  auto acks = [this, away] {
    std::string l = vtlog(), want = away ? "VT_RELDISP 1\n" : "VT_RELDISP 2\n";
    size_t n = 0;
    for (size_t p = l.find(want); p != std::string::npos; p = l.find(want, p + 1)) n++;
    return n;
  };
  size_t before = acks();
  ::kill(pid, away ? rel : acq);
  auto t0 = clock_type::now();
  while (acks() == before) {
    drain();
    if (!running()) return ::testing::AssertionFailure() << "bihua ended with status " << status;
    if (since(t0) > scaled(settletimeout))
      return ::testing::AssertionFailure() << "no acknowledgement of the switch: " << vtlog();
    pause2ms();
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult bihuarun::settle(int quietms, int timeoutms) {
  auto t0 = clock_type::now();
  auto changed = t0, progress = t0;
  uint64_t last = pushes(), lastread = counterslot(3);
  for (;;) {
    drain();
    uint64_t now = pushes(), read = counterslot(3);
    if (now != last) last = now, changed = progress = clock_type::now();
    if (read != lastread) lastread = read, progress = clock_type::now();
    if (typed && keysread()) typed = false;
    // Everything sent taken, then the program found waiting without a time
    // limit: that wait began after its last read, with every key handled.
    bool idle = allread() && (mice < 0 || fifoempty()) && counterslot(4) == 1;
    if (now >= expected && !typed && idle && since(changed) >= quietms)
      return ::testing::AssertionSuccess();
    if (!running())
      return ::testing::AssertionFailure() << "bihua ended with status " << status << " after "
                                           << now << " of " << expected
                                           << " pushes; stderr: " << errors();
    // Long typing takes as long as it takes while the program keeps going:
    // only a program that has stopped reading and pushing, or one that
    // never stops pushing, fails.
    if (since(progress) > scaled(timeoutms) || since(t0) > 10 * scaled(timeoutms))
      return ::testing::AssertionFailure()
             << "not settled after " << since(t0) << " ms (" << since(progress)
             << " ms without a push or a key read): " << now << " of " << expected << " pushes, "
             << read << " of " << sent << " bytes read"
             << (typed ? ", typed keys not all shown" : "") << (idle ? "" : ", not idle");
    pause2ms();
  }
}

::testing::AssertionResult bihuarun::waitfor(const std::function<bool()>& cond, int timeoutms) {
  auto t0 = clock_type::now();
  uint64_t seen = ~0ull;
  for (;;) {
    drain();
    uint64_t now = pushes();
    if (now != seen) {
      seen = now;
      if (cond()) return ::testing::AssertionSuccess();
    }
    if (!running())
      return ::testing::AssertionFailure() << "bihua ended with status " << status;
    if (since(t0) > scaled(timeoutms))
      return ::testing::AssertionFailure() << "condition not met within " << scaled(timeoutms)
                                           << " ms";
    pause2ms();
  }
}

// ---- the screen

std::vector<unsigned char> bihuarun::fbbytes() const {
  std::string b = rigreadfile(fbpath);
  return std::vector<unsigned char>(b.begin(), b.end());
}

rigimage bihuarun::frame() const {
  const fbformat& s = options.screen;
  std::string fb = rigreadfile(fbpath);
  const unsigned char* data = reinterpret_cast<const unsigned char*>(fb.data());
  rigimage img(s.width, s.height, 0);
  size_t bytes = static_cast<size_t>(s.bpp / 8);
  for (int y = 0; y < s.height; y++) {
    size_t at = firstbyte(s) + static_cast<size_t>(y) * s.linelength;
    uint32_t* row = &img.px[static_cast<size_t>(y) * s.width];
    for (int x = 0; x < s.width && at + bytes <= fb.size(); x++, at += bytes)
      row[x] = devicecolour(s, data + at);
  }
  return img;
}

size_t bihuarun::firstbyte(const fbformat& f) {
  return static_cast<size_t>(f.yoffset) * f.linelength + static_cast<size_t>(f.xoffset) * f.bpp / 8;
}

size_t bihuarun::endbyte(const fbformat& f) {
  return firstbyte(f) + static_cast<size_t>(f.height - 1) * f.linelength +
         static_cast<size_t>(f.width) * f.bpp / 8;
}

uint32_t bihuarun::shown(const fbformat& f, uint32_t rgb) {
  auto cut = [](uint32_t v, const fbchannel& c) { return (v & 0xFF) >> (8 - c.length) << c.offset; };
  uint32_t px = cut(rgb >> 16, f.red) | cut(rgb >> 8, f.green) | cut(rgb, f.blue);
  return widen(px, f.red) << 16 | widen(px, f.green) << 8 | widen(px, f.blue);
}

rigimage bihuarun::shown(const fbformat& f, const rigimage& bitmap) {
  rigimage out = bitmap;
  uint32_t from = ~0u, to = 0;
  for (uint32_t& p : out.px) {
    if (p != from) from = p, to = shown(f, p);
    p = to;
  }
  return out;
}

uint32_t bihuarun::pixel(int x, int y) const {
  const fbformat& s = options.screen;
  unsigned char px[4] = {};
  int fd = open(fbpath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  size_t at = firstbyte(s) + static_cast<size_t>(y) * s.linelength + static_cast<size_t>(x) * (s.bpp / 8);
  ssize_t n = pread(fd, px, s.bpp / 8, static_cast<off_t>(at));
  close(fd);
  return n == s.bpp / 8 ? devicecolour(s, px) : 0;
}

::testing::AssertionResult bihuarun::shows(const std::string& notice) const {
  // The status line as the program lays it out: a view over the top rows,
  // cleared, its text from (1, 1) in cells of gcharwidth; a notice starts
  // at a multiple of half a cell.
  const int w = options.screen.width, barh = gcharwidth * 30 / 24, half = gcharwidth / 2;
  mybitmap drawn(w, barh + 1);
  mybitmap* kept = myview::pmymap;
  myview::pmymap = &drawn;
  myview bar(0, 0, w, barh);
  bar.clear();
  bar.drawtext(1, 1, notice.c_str(), gcharwidth, 0);
  myview::pmymap = kept;
  rigimage now = frame();
  // The whole notice must be on the screen (a byte is half a cell wide, a
  // two-byte character a whole one).
  int needed = 2 + static_cast<int>(notice.size()) * half;
  long best = LONG_MAX;
  for (int shift = 0; shift + needed <= w - 2; shift += half) {
    long wrong = 0;
    for (int y = 0; y < barh && wrong <= best; y++)
      for (int x = 2; x + shift < w - 2; x++) {
        mycolor c = drawn.getpixel(x, y);
        uint32_t want = shown(options.screen, static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue));
        if (now.at(x + shift, y) != want) wrong++;
      }
    if (wrong == 0) return ::testing::AssertionSuccess();
    best = std::min(best, wrong);
  }
  return ::testing::AssertionFailure() << "the status line does not end with the notice (best place "
                                       << best << " pixels off)";
}

// ---- ending

::testing::AssertionResult bihuarun::stop() {
  if (!running()) return ::testing::AssertionFailure() << "bihua is not running (status " << status << ")";
  ::testing::AssertionResult settled = settle();
  if (!settled) return settled;
  key("F8");
  // With unsaved text the program asks instead; the second F8 leaves.
  if (settle() && running()) key("F8");
  ::testing::AssertionResult ended = waitexit();
  if (!ended) return ended;
  if (status != 0)
    return ::testing::AssertionFailure() << "bihua ended with status " << status
                                         << "; stderr: " << errors();
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult bihuarun::waitexit(int timeoutms) {
  auto t0 = clock_type::now();
  while (running()) {
    drain();
    if (since(t0) > scaled(timeoutms)) {
      kill();
      return ::testing::AssertionFailure() << "bihua did not end within " << scaled(timeoutms)
                                           << " ms";
    }
    pause2ms();
  }
  return ::testing::AssertionSuccess();
}

void bihuarun::kill() {
  if (pid < 0) return;
  ::kill(-pid, SIGKILL);  // its process group: shell commands it started go too
  ::kill(pid, SIGKILL);
  reap(true);
}

void bihuarun::signal(int sig) {
  if (pid >= 0) ::kill(pid, sig);
}

::testing::AssertionResult bihuarun::endwith(int sig) {
  if (pid < 0) return ::testing::AssertionFailure() << "not running";
  ::kill(pid, sig);
  return waitexit();
}

bool bihuarun::running() {
  reap(false);
  return pid >= 0;
}

::testing::AssertionResult bihuarun::waitstopped() {
  auto t0 = clock_type::now();
  for (;;) {
    std::string stat = rigreadfile("/proc/" + std::to_string(pid) + "/stat");
    size_t close = stat.rfind(") ");
    if (close != std::string::npos && stat[close + 2] == 'T') {
      drain();  // what it wrote before stopping
      return ::testing::AssertionSuccess();
    }
    drain();
    if (!running()) return ::testing::AssertionFailure() << "bihua ended with status " << status;
    if (since(t0) > scaled(exittimeout))
      return ::testing::AssertionFailure() << "bihua did not stop: " << stat;
    pause2ms();
  }
}

long bihuarun::contextswitches() const {
  std::istringstream in(rigreadfile("/proc/" + std::to_string(pid) + "/status"));
  long n = 0;
  for (std::string line; std::getline(in, line);)
    if (line.find("ctxt_switches:") != std::string::npos) n += std::stol(line.substr(line.find(':') + 1));
  return n;
}

double bihuarun::cpuseconds() const {
  std::string stat = rigreadfile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(") ");
  if (close == std::string::npos) return 0;
  std::istringstream in(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  // utime and stime are the 12th and 13th fields after the name.
  for (int i = 1; i <= 13 && in >> field; i++)
    if (i >= 12) ticks += std::stod(field);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

termios bihuarun::terminalmode() const {
  termios now{};
  tcgetattr(slave, &now);
  return now;
}

void bihuarun::reap(bool block) {
  if (pid < 0) return;
  int st = 0;
  pid_t r = waitpid(pid, &st, block ? 0 : WNOHANG);
  if (r != pid) return;
  status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  pid = -1;
  haveafter = tcgetattr(slave, &after) == 0;
  drain();
}

void bihuarun::drain() {
  char buf[4096];
  ssize_t n;
  while (master >= 0 && (n = read(master, buf, sizeof buf)) > 0)
    if (ttyoutput.size() < 100000) ttyoutput.append(buf, static_cast<size_t>(n));
}

::testing::AssertionResult bihuarun::terminalrestored() const {
  // After the exit its mode then; while it runs (stopped) its mode now.
  termios after = this->after;
  if (!haveafter && (pid < 0 || tcgetattr(slave, &after) != 0))
    return ::testing::AssertionFailure() << "no terminal mode after the exit";
  // The console's own cursor is hidden while the program runs.
  size_t hidden = ttyoutput.rfind("\033[?25l"), shown = ttyoutput.rfind("\033[?25h");
  if (hidden != std::string::npos && (shown == std::string::npos || shown < hidden))
    return ::testing::AssertionFailure() << "the console cursor was left hidden";
  if (before.c_iflag == after.c_iflag && before.c_oflag == after.c_oflag &&
      before.c_cflag == after.c_cflag && before.c_lflag == after.c_lflag &&
      std::memcmp(before.c_cc, after.c_cc, sizeof before.c_cc) == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::hex << "terminal not restored: flags (input, output, "
                                       << "control, local) " << before.c_iflag << " "
                                       << before.c_oflag << " " << before.c_cflag << " "
                                       << before.c_lflag << " became " << after.c_iflag << " "
                                       << after.c_oflag << " " << after.c_cflag << " "
                                       << after.c_lflag;
}

std::string bihuarun::output() const { return rigreadfile(root + "/stdout"); }
std::string bihuarun::errors() const { return rigreadfile(root + "/stderr"); }
std::string bihuarun::file(const std::string& name) const { return rigreadfile(path(name)); }
std::string bihuarun::clipboard() const { return rigreadfile(clippath); }

bool bihuarun::hasfile(const std::string& name) const {
  std::error_code ec;
  return std::filesystem::exists(path(name), ec);
}

std::vector<std::string> bihuarun::besideclipboard() const {
  std::vector<std::string> names;
  std::error_code ec;
  std::string base = std::filesystem::path(clippath).filename();
  for (const auto& e : std::filesystem::directory_iterator(root, ec)) {
    std::string name = e.path().filename();
    if ((name != base && name.rfind(base, 0) == 0) || name.rfind(".bihua-", 0) == 0)
      names.push_back(name);
  }
  return names;
}

std::vector<std::string> bihuarun::files() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(workdir, ec))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}
