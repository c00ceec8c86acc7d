// Rescue of unsaved panes on a hang-up or kill. Runs inside the signal
// handler: fixed buffers, no allocation, no stdio; the files are made by
// diskfile::writenew.
#include "app/hangupsave.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "app/amybitmapwin.h"
#include "devices/console.h"
#include "devices/diskfile.h"
#include "editor/editview.h"
#include "editor/textcodec.h"
#include "graphics/gbkchar.h"

namespace {

amybitmapwin* rescued = nullptr;
bool utf8names = false;    // file names go to the system in UTF-8
char home[PATH_MAX] = "";  // $HOME as it was at start ("" when unset or too long)

// A path built piece by piece in a fixed buffer; `ok` turns false for good
// when a piece does not fit.
struct pathbuf {
  char s[PATH_MAX];
  size_t n = 0;
  bool ok = true;
  pathbuf() { s[0] = 0; }
  void put(const char* bytes, size_t m) {
    if (!ok || n + m + 1 > sizeof s) {
      ok = false;
      return;
    }
    memcpy(s + n, bytes, m);
    n += m;
    s[n] = 0;
  }
  void add(const char* text) { put(text, strlen(text)); }
  void number(unsigned v) {
    char digits[12];
    int k = 0;
    do digits[k++] = static_cast<char>('0' + v % 10), v /= 10;
    while (v);
    for (int i = k - 1; i >= 0; i--) put(&digits[i], 1);
  }
};

// The UTF-8 form of Unicode character u; its length.
size_t utf8form(unsigned u, unsigned char* out) {
  if (u < 0x80) return out[0] = static_cast<unsigned char>(u), 1;
  if (u < 0x800) {
    out[0] = static_cast<unsigned char>(0xC0 | u >> 6);
    out[1] = static_cast<unsigned char>(0x80 | (u & 0x3F));
    return 2;
  }
  out[0] = static_cast<unsigned char>(0xE0 | u >> 12);  // GBK lies in the BMP
  out[1] = static_cast<unsigned char>(0x80 | (u >> 6 & 0x3F));
  out[2] = static_cast<unsigned char>(0x80 | (u & 0x3F));
  return 3;
}

// GBK bytes p[0..n) in UTF-8 for out, or as they are when the names are
// not UTF-8; a pair that is no GBK character stays as its bytes.
void addname(pathbuf& out, const char* name, size_t n) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
  for (size_t i = 0; i < n;) {
    unsigned u = utf8names && p[i] >= 0x80 && i + 1 < n ? gbkunicode(p[i], p[i + 1]) : 0;
    if (u) {
      unsigned char form[3];
      out.put(reinterpret_cast<const char*>(form), utf8form(u, form));
      i += 2;
    } else {
      out.put(name + i, 1);
      i += 1;
    }
  }
}

// Bytes gathered for write() in a fixed buffer.
struct writer {
  int fd;
  unsigned char buf[8192];
  size_t n = 0;
  bool ok = true;
  explicit writer(int f) : fd(f) {}
  void put(const unsigned char* p, size_t m) {
    if (n + m > sizeof buf) flush();
    memcpy(buf + n, p, m);
    n += m;
  }
  void flush() {
    if (ok && n) ok = diskfile::writeall(fd, buf, n);
    n = 0;
  }
};

// The pane's file as F7 writes it: the text with the file's line breaks,
// in UTF-8 with its byte-order mark for a UTF-8 file. A pair that is no
// GBK character (F7 refuses it) keeps its two bytes: nothing is lost.
bool writeimage(int fd, const void* context) {
  const editview* e = static_cast<const editview*>(context);
  if (!e->utf8file && e->linebreaks == breakstyle::crlf)
    return diskfile::writeall(fd, e->text, static_cast<size_t>(e->len));
  writer w(fd);
  static const unsigned char bom[] = {0xEF, 0xBB, 0xBF};
  static const unsigned char crlf[] = {'\r', '\n'};
  const unsigned char* brk = e->linebreaks == breakstyle::cr   ? crlf
                             : e->linebreaks == breakstyle::lf ? crlf + 1
                                                               : crlf;
  size_t brklen = e->linebreaks == breakstyle::crlf ? 2 : 1;
  if (e->utf8file && e->utf8bom) w.put(bom, 3);
  const unsigned char* p = e->text;
  int n = e->len;
  for (int i = 0; i < n;) {
    unsigned char b = p[i];
    bool pairbreak = b == '\r' && i + 1 < n && p[i + 1] == '\n';
    if (b == '\n' || pairbreak) {
      w.put(brk, brklen);
      i += pairbreak ? 2 : 1;
      continue;
    }
    bool pair = isgbkpair(p + i, static_cast<size_t>(n - i));
    unsigned u = e->utf8file && pair ? gbkunicode(b, p[i + 1]) : 0;
    if (u) {
      unsigned char form[3];
      w.put(form, utf8form(u, form));
    } else {
      w.put(p + i, pair ? 2 : 1);
    }
    i += pair ? 2 : 1;
  }
  w.flush();
  return w.ok;
}

// Writes the pane to folder + name + ".save" (or the first free ".save.N");
// false when that place takes no file. The path written is left in out.
bool rescueinto(editview* e, const char* folder, const char* name, size_t namelen, pathbuf& out) {
  for (unsigned k = 0; k < 1000; k++) {
    out = pathbuf();
    out.add(folder);
    addname(out, name, namelen);
    out.add(".save");
    if (k > 0) out.add("."), out.number(k);
    if (!out.ok) return false;
    if (diskfile::writenew(out.s, 0600, writeimage, e)) return true;
    if (errno != EEXIST) return false;  // a partial file is gone again
  }
  return false;
}

// Beside the file; else in $HOME; else a private file in /tmp.
void rescue(editview* e) {
  if (!e || !e->ischanged()) return;
  const char* name = e->filename && e->filename[0] ? e->filename : "bihua";
  const char* slash = strrchr(name, '/');
  const char* base = slash ? slash + 1 : name;
  if (!*base) base = "bihua";
  pathbuf path, folder;
  if (home[0]) folder.add(home), folder.add("/");
  bool ok = rescueinto(e, "", name, strlen(name), path) ||
            (home[0] && folder.ok && rescueinto(e, folder.s, base, strlen(base), path)) ||
            rescueinto(e, "/tmp/", base, strlen(base), path);
  if (ok) {
    console::say("bihua: unsaved text written to ");
    console::say(path.s);
  } else {
    path = pathbuf();
    addname(path, name, strlen(name));
    console::say("bihua: could not save unsaved text of ");
    console::say(path.s);
  }
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
  utf8names = editview::utf8paths;
  const char* h = getenv("HOME");
  if (h && h[0] == '/' && strlen(h) + 2 < sizeof home) strcpy(home, h);
  console::onhangup = savechangedpanes;
}
