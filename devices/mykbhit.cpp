// Terminal keyboard: raw mode, non-blocking polls and the escape-sequence
// decoder.
#include "devices/mykbhit.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

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

}  // namespace

mykbhit::mykbhit() : pendbuf(new unsigned char[pendsize]()), pendlen(0) {
  if (tcgetattr(0, &initial_settings) == 0) {
    saved = true;
    new_settings = initial_settings;
    new_settings.c_lflag &= ~(ICANON | ECHO | ISIG);
    new_settings.c_cc[VMIN] = 1;
    new_settings.c_cc[VTIME] = 0;
    tcsetattr(0, TCSANOW, &new_settings);
    showcursor(false);
  }
  signal(SIGINT, ignore_sigint);
  // Ended from outside (kill, a closed terminal): give the terminal back
  // before going.
  signal(SIGTERM, restoreandleave);
  signal(SIGHUP, restoreandleave);
}

mykbhit::~mykbhit() {
  restoreterminal();
  delete[] pendbuf;
}

void mykbhit::restoreterminal() {
  if (!saved) return;
  tcsetattr(0, TCSANOW, &initial_settings);
  showcursor(true);
}

void mykbhit::ignore_sigint(int) {}

// Only async-signal-safe calls: tcsetattr, write, signal, raise.
void mykbhit::restoreandleave(int sig) {
  restoreterminal();
  signal(sig, SIG_DFL);
  raise(sig);
}

long mykbhit::kbhit() {
  // When the buffer is full the surplus stays in the terminal until keys
  // have been taken out; nothing is dropped.
  int room = pendsize - pendlen;
  if (room > readsize) room = readsize;
  if (room > 0) {
    new_settings.c_cc[VMIN] = 0;
    tcsetattr(0, TCSANOW, &new_settings);
    ssize_t n = read(0, pendbuf + pendlen, room);
    new_settings.c_cc[VMIN] = 1;
    tcsetattr(0, TCSANOW, &new_settings);
    if (n > 0) pendlen += static_cast<int>(n);
  }
  return nextkey();
}

int mykbhit::feed(const unsigned char* bytes, int n) {
  int room = pendsize - pendlen;
  if (n > room) n = room;
  if (n > 0) {
    std::memcpy(pendbuf + pendlen, bytes, n);
    pendlen += n;
  }
  return n > 0 ? n : 0;
}

long mykbhit::nextkey() {
  if (pendlen <= 0) return 0;
  unsigned char b[5];
  for (int i = 0; i < 5; i++) b[i] = i < pendlen ? pendbuf[i] : 0;
  if (b[0] != 27) {
    consume(1);
    return b[0];
  }
  int len;
  if ((b[1] == '[' || b[1] == 'O') && b[2] >= 'A' && b[2] <= 'Z')
    len = 3;
  else if (b[3] == '~' || (b[1] == '[' && b[2] == '['))
    len = 4;
  else if (b[4] == '~')
    len = 5;
  else {
    consume(1);
    return 27;
  }
  long value = 0;
  for (int i = len - 1; i >= 0; i--) value = value * 256 + b[i];
  consume(len);
  return value;
}

void mykbhit::consume(int n) {
  // ESC [ [ with nothing after it is taken whole though only three of its
  // four bytes are there.
  if (n > pendlen) n = pendlen;
  pendlen -= n;
  std::memmove(pendbuf, pendbuf + n, pendlen);
  int tail = pendsize - pendlen;
  std::memset(pendbuf + pendlen, 0, tail < 10 ? tail : 10);
}

namespace {

struct namedkey {
  long value;
  const char* name;
};

const namedkey keynames[] = {
    {9, "Tab"},
    {10, "enter"},
    {27, "esc"},
    {127, "backspace"},
    {0x415B1B, "up"},
    {0x425B1B, "down"},
    {0x435B1B, "right"},
    {0x445B1B, "left"},
    {0x465B1B, "end"},
    {0x7E345B1B, "end"},
    {0x485B1B, "home"},
    {0x7E315B1B, "home"},
    {0x7E335B1B, "Del"},
    {0x7E355B1B, "pgup"},
    {0x7E365B1B, "pgdown"},
    {0x504F1B, "F1"},
    {0x415B5B1B, "F1"},
    {0x514F1B, "F2"},
    {0x425B5B1B, "F2"},
    {0x524F1B, "F3"},
    {0x435B5B1B, "F3"},
    {0x534F1B, "F4"},
    {0x445B5B1B, "F4"},
    {0x455B5B1B, "F5"},
    {0x7E35315B1B, "F5"},
    {0x7E37315B1B, "F6"},
    {0x7E38315B1B, "F7"},
    {0x7E39315B1B, "F8"},
};

}  // namespace

const char* keyname(long value) {
  static char name[20];
  std::memset(name, 0, sizeof name);
  for (const namedkey& k : keynames)
    if (k.value == value) {
      std::strcpy(name, k.name);
      return name;
    }
  if ((value >= 1 && value <= 8) || (value >= 11 && value <= 26)) {
    std::snprintf(name, sizeof name, "Ctrl-%c", static_cast<char>(value + 64));
    return name;
  }
  name[0] = static_cast<char>(value & 0xFF);
  return name;
}

void displaykey(int low, int high) {
  long value = static_cast<long>(static_cast<unsigned long>(static_cast<unsigned>(low)) |
                                 (static_cast<unsigned long>(high) << 32));
  printf("you hit %lx %s\n", value, keyname(value));
}
