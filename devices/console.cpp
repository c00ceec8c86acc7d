// The console holder: terminal modes, graphics mode, terminal switching and
// the signal handlers that give it all back.
#include "devices/console.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/kd.h>
#include <linux/vt.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <exception>

namespace console {

void (*onhangup)() = nullptr;
void (*ondisplaygiveback)() = nullptr;

namespace {

// Signals after which the program ends: the console goes back first, then
// the signal is raised again with the disposition it had.
const int fatalsignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
// The signals the kernel sends when the user switches away and back.
const int releasesignal = SIGUSR1;
const int acquiresignal = SIGUSR2;

struct holder {
  bool owner = false;                 // between take() and giveback()
  volatile sig_atomic_t applied = 0;  // the console is in the program's modes now
  bool termsaved = false;
  termios initial{};
  termios raw{};
  int cursorfd = -1;      // where the cursor sequences go
  int ttyfd = -1;         // the console for the mode ioctls
  bool ownttyfd = false;  // ttyfd opened here (standard input is no terminal)
  int kdmode = -1;        // the console's mode before, -1 if not a console
  bool vtsaved = false;
  vt_mode vtbefore{};
  int wake[2] = {-1, -1};
  volatile sig_atomic_t released = 0, acquired = 0, continued = 0, hangingup = 0;
  bool isaway = false;
  struct sigaction before[NSIG] = {};
  bool caught[NSIG] = {};
  std::terminate_handler oldterminate = nullptr;
};

holder h;

void writeall(int fd, const char* s, size_t n) {
  while (n > 0) {
    ssize_t r = write(fd, s, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return;
    s += r;
    n -= static_cast<size_t>(r);
  }
}

void cursor(bool show) {
  if (h.cursorfd < 0) return;
  const char* seq = show ? "\033[?25h" : "\033[?25l";
  writeall(h.cursorfd, seq, std::strlen(seq));
}

// The program's modes; async-signal-safe (a resumed program calls it from
// its SIGCONT handler).
void apply() {
  if (h.termsaved) tcsetattr(0, TCSANOW, &h.raw);
  cursor(false);
  if (h.kdmode >= 0) ioctl(h.ttyfd, KDSETMODE, KD_GRAPHICS);
  if (h.vtsaved) {
    vt_mode mine = {};
    mine.mode = VT_PROCESS;
    mine.relsig = static_cast<short>(releasesignal);
    mine.acqsig = static_cast<short>(acquiresignal);
    ioctl(h.ttyfd, VT_SETMODE, &mine);
  }
  h.applied = 1;
}

void wakeup() {
  if (h.wake[1] < 0) return;
  int saved = errno;
  char b = 1;
  ssize_t r = write(h.wake[1], &b, 1);
  (void)r;
  errno = saved;
}

void catchsignal(int sig, void (*handler)(int), bool evenifignored) {
  struct sigaction act = {};
  act.sa_handler = handler;
  act.sa_flags = SA_RESTART;
  sigfillset(&act.sa_mask);
  struct sigaction old = {};
  sigaction(sig, nullptr, &old);
  // A signal the program was started with ignored (nohup) stays ignored.
  if (old.sa_handler == SIG_IGN && !evenifignored) return;
  sigaction(sig, &act, &h.before[sig]);
  h.caught[sig] = true;
}

void leave(int sig) {
  restore();  // first, so that what the rescue says shows on the console
  if ((sig == SIGHUP || sig == SIGTERM) && onhangup && !h.hangingup) {
    h.hangingup = 1;
    onhangup();
  }
  struct sigaction old = h.before[sig];
  if (old.sa_handler == SIG_IGN) old.sa_handler = SIG_DFL;
  sigaction(sig, &old, nullptr);
  h.caught[sig] = false;
  raise(sig);  // delivered once this handler returns, with that disposition
}

void ignoreint(int) {}

// Takes the console again (if a stop gave it back) and asks for a repaint.
void resumed(int) {
  if (h.owner && !h.applied) apply();
  h.continued = 1;
  wakeup();
}

void stop(int) {
  int saved = errno;
  restore();
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  struct sigaction mine = {};
  sigaction(SIGTSTP, &dfl, &mine);
  sigset_t s;
  sigemptyset(&s);
  sigaddset(&s, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &s, nullptr);
  // Stopped here until SIGCONT; back at once when the kernel discards the
  // stop (a process group with no parent in its session, such as a session
  // leader's: nothing would ever continue it).
  raise(SIGTSTP);
  sigprocmask(SIG_BLOCK, &s, nullptr);
  sigaction(SIGTSTP, &mine, nullptr);
  resumed(SIGCONT);
  errno = saved;
}

void release(int) {
  h.released = 1;
  wakeup();
}

void acquire(int) {
  h.acquired = 1;
  wakeup();
}

void uncaught() {
  restore();
  const char* what = "unknown";
  if (std::exception_ptr p = std::current_exception()) {
    try {
      std::rethrow_exception(p);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (const char* s) {
      what = s;
    } catch (...) {
    }
  }
  say("bihua: uncaught exception: ");
  say(what);
  say("\n");
  std::abort();
}

}  // namespace

void say(const char* text) { writeall(2, text, std::strlen(text)); }

const termios& rawsettings() { return h.raw; }

int wakefd() { return h.wake[0]; }

bool away() { return h.isaway; }

void take() {
  if (h.owner) return;
  h.owner = true;
  if (tcgetattr(0, &h.initial) == 0) {
    h.termsaved = true;
    h.raw = h.initial;
    h.raw.c_lflag &= ~(ICANON | ECHO | ISIG);
    // No flow control: Ctrl-S and Ctrl-Q are keys, and a Ctrl-S can never
    // hold up what the program writes to the terminal (the cursor
    // sequences on the way out, also from a signal handler).
    h.raw.c_iflag &= ~(IXON | IXOFF);
    h.raw.c_cc[VMIN] = 1;
    h.raw.c_cc[VTIME] = 0;
  }
  // Keys may come from a file or a pipe; the console is still the
  // controlling terminal's, and must still be held (graphics mode keeps
  // the kernel from drawing over the frame, switching away stops pushes).
  h.ttyfd = isatty(0) ? 0 : open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  h.ownttyfd = h.ttyfd > 0;
  h.cursorfd = isatty(1) ? 1 : h.ttyfd;
  int mode = 0;
  h.kdmode = h.ttyfd >= 0 && ioctl(h.ttyfd, KDGETMODE, &mode) == 0 ? mode : -1;
  h.vtsaved = h.ttyfd >= 0 && ioctl(h.ttyfd, VT_GETMODE, &h.vtbefore) == 0;
  h.released = h.acquired = h.continued = h.hangingup = 0;
  h.isaway = false;
  if (pipe2(h.wake, O_NONBLOCK | O_CLOEXEC) != 0) h.wake[0] = h.wake[1] = -1;

  struct sigaction ign = {};
  ign.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ign, &h.before[SIGPIPE]);
  h.caught[SIGPIPE] = true;
  catchsignal(SIGINT, ignoreint, false);
  for (int sig : fatalsignals) {
    bool async = sig == SIGTERM || sig == SIGHUP || sig == SIGQUIT;
    catchsignal(sig, leave, !async);
  }
  catchsignal(SIGTSTP, stop, false);
  catchsignal(SIGCONT, resumed, true);
  catchsignal(releasesignal, release, true);
  catchsignal(acquiresignal, acquire, true);
  h.oldterminate = std::set_terminate(uncaught);
  apply();
}

void restore() {
  if (!h.applied) return;
  h.applied = 0;
  // The picture the console had, while it is still in graphics mode.
  if (ondisplaygiveback) ondisplaygiveback();
  if (h.termsaved) tcsetattr(0, TCSANOW, &h.initial);
  cursor(true);
  if (h.kdmode >= 0) ioctl(h.ttyfd, KDSETMODE, h.kdmode);
  if (h.vtsaved) ioctl(h.ttyfd, VT_SETMODE, &h.vtbefore);
}

void giveback() {
  if (!h.owner) return;
  restore();
  h.owner = false;
  for (int sig = 1; sig < NSIG; sig++)
    if (h.caught[sig]) {
      sigaction(sig, &h.before[sig], nullptr);
      h.caught[sig] = false;
    }
  std::set_terminate(h.oldterminate);
  for (int& fd : h.wake)
    if (fd >= 0) close(fd), fd = -1;
  if (h.ownttyfd) close(h.ttyfd);
  h.ttyfd = h.cursorfd = -1;
  h.ownttyfd = false;
  h.termsaved = false;
  h.kdmode = -1;
  h.vtsaved = false;
}

unsigned service() {
  unsigned found = 0;
  if (h.wake[0] >= 0) {
    char buf[64];
    while (read(h.wake[0], buf, sizeof buf) > 0) {
    }
  }
  if (h.released) {
    h.released = 0;
    h.isaway = true;
    if (ondisplaygiveback) ondisplaygiveback();
    if (h.vtsaved) ioctl(h.ttyfd, VT_RELDISP, 1);
  }
  if (h.acquired) {
    h.acquired = 0;
    if (h.vtsaved) ioctl(h.ttyfd, VT_RELDISP, VT_ACKACQ);
    h.isaway = false;
    found |= repaint;
  }
  if (h.continued) {
    h.continued = 0;
    if (!h.isaway) found |= repaint;
  }
  return found;
}

}  // namespace console
