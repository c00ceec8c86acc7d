// Rescue of unsaved panes on a hang-up or kill.
#include "app/hangupsave.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "app/amybitmapwin.h"
#include "devices/console.h"
#include "editor/editview.h"

namespace {

amybitmapwin* rescued = nullptr;

// Appends s to buf (size bytes, zero-terminated); false when it does not fit.
bool append(char* buf, size_t size, const char* s) {
  size_t n = strlen(buf), m = strlen(s);
  if (n + m + 1 > size) return false;
  memcpy(buf + n, s, m + 1);
  return true;
}

void number(char* out, unsigned v) {
  char digits[12];
  int n = 0;
  do digits[n++] = static_cast<char>('0' + v % 10), v /= 10;
  while (v);
  for (int i = 0; i < n; i++) out[i] = digits[n - 1 - i];
  out[n] = 0;
}

// Creates the first free name of base.save, base.save.1, ... and returns
// its descriptor, name in path; -1 when none could be made.
int createfree(const char* base, char* path, size_t size) {
  for (unsigned n = 0; n < 1000; n++) {
    path[0] = 0;
    if (!append(path, size, base) || !append(path, size, ".save")) return -1;
    if (n > 0) {
      char num[12];
      number(num, n);
      if (!append(path, size, ".") || !append(path, size, num)) return -1;
    }
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeall(int fd, const unsigned char* p, int n) {
  while (n > 0) {
    ssize_t r = write(fd, p, static_cast<size_t>(n));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<int>(r);
  }
  return true;
}

void rescue(editview* e) {
  if (!e || !e->ischanged()) return;
  const char* base = e->filename && e->filename[0] ? e->filename : "bihua";
  char path[editview::namesize + 20];
  int fd = createfree(base, path, sizeof path);
  bool ok = fd >= 0 && writeall(fd, e->text, e->len);
  if (fd >= 0) close(fd);
  console::say(ok ? "bihua: unsaved text written to " : "bihua: could not save unsaved text of ");
  console::say(ok ? path : base);
  console::say("\n");
}

}  // namespace

void savechangedpanes() {
  if (!rescued) return;
  rescue(rescued->ed0);
  rescue(rescued->ed1);
}

void installhangupsave(amybitmapwin* window) {
  rescued = window;
  console::onhangup = savechangedpanes;
}
