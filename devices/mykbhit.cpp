// Terminal keyboard: raw mode, signal handlers and non-blocking polls.
#include "devices/mykbhit.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

termios mykbhit::initial_settings;
termios mykbhit::new_settings;
bool mykbhit::saved = false;

namespace {

// The console keeps blinking its text cursor over the framebuffer unless
// told not to; hide it while the program runs.
void showcursor(bool show) {
  int fd = isatty(1) ? 1 : isatty(0) ? 0 : -1;
  if (fd < 0) return;
  const char* seq = show ? "\033[?25h" : "\033[?25l";
  ssize_t r = write(fd, seq, std::strlen(seq));
  (void)r;
}

void catchsignal(int sig, void (*handler)(int), struct sigaction* old) {
  struct sigaction act = {};
  act.sa_handler = handler;
  act.sa_flags = SA_RESTART;
  sigemptyset(&act.sa_mask);
  sigaction(sig, &act, old);
}

}  // namespace

mykbhit::mykbhit() : decoder(), oldint(), oldterm(), oldhup() {
  if (tcgetattr(0, &initial_settings) == 0) {
    saved = true;
    new_settings = initial_settings;
    new_settings.c_lflag &= ~(ICANON | ECHO | ISIG);
    new_settings.c_cc[VMIN] = 1;
    new_settings.c_cc[VTIME] = 0;
    tcsetattr(0, TCSANOW, &new_settings);
    showcursor(false);
  }
  catchsignal(SIGINT, ignore_sigint, &oldint);
  // Ended from outside (kill, a closed terminal): give the terminal back
  // before going.
  catchsignal(SIGTERM, restoreandleave, &oldterm);
  catchsignal(SIGHUP, restoreandleave, &oldhup);
}

mykbhit::~mykbhit() {
  restoreterminal();
  saved = false;  // the terminal is no longer ours to set
  sigaction(SIGINT, &oldint, nullptr);
  sigaction(SIGTERM, &oldterm, nullptr);
  sigaction(SIGHUP, &oldhup, nullptr);
}

void mykbhit::restoreterminal() {
  if (!saved) return;
  tcsetattr(0, TCSANOW, &initial_settings);
  showcursor(true);
}

void mykbhit::ignore_sigint(int) {}

// Only async-signal-safe calls: tcsetattr, write, sigaction, raise.
void mykbhit::restoreandleave(int sig) {
  restoreterminal();
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  sigaction(sig, &dfl, nullptr);
  raise(sig);
}

keyvalue mykbhit::kbhit() {
  // When the buffer is full the surplus stays in the terminal until keys
  // have been taken out; nothing is dropped.
  int room = keydecoder::pendsize - decoder.pendlen;
  if (room > readsize) room = readsize;
  if (room > 0) {
    unsigned char bytes[readsize];
    new_settings.c_cc[VMIN] = 0;
    tcsetattr(0, TCSANOW, &new_settings);
    ssize_t n = read(0, bytes, room);
    new_settings.c_cc[VMIN] = 1;
    tcsetattr(0, TCSANOW, &new_settings);
    if (n > 0) decoder.feed(bytes, static_cast<int>(n));
  }
  return decoder.next();
}
