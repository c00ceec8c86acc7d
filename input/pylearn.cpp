// The learned words and pairs: lookup for the sentence engine, and the
// file they are kept in.
#include "input/pylearn.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input/inputchi.h"
#include "input/pysentence.h"

namespace {

const int wordbonus = 40;  // steps: a chosen word beats most others
const int morebonus = 10;  // each further choice, up to four
const int pairbonus = 20;

int hash(int b) { return (b * 2654435761u) >> 20 & 4095; }

// "zhong-guo d6d0b9fa" of a record.
std::string describe(int rec) {
  std::string s;
  for (int i = 0; i < pysentence::wordsyllables(rec); i++) {
    if (i) s += '-';
    s += pysentence::syllablename(pysentence::syllable(rec, i));
  }
  s += ' ';
  int e = pysentence::entry(rec);
  char hex[3];
  for (int k = inputhzchiindex[e]; k < inputhzchiindex[e + 1]; k++) {
    std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(inputhzchi[k]));
    s += hex;
  }
  return s;
}

// The record of "SYL TEXT" at *p (moved past it), or -1.
int parseword(const char*& p) {
  char syl[64], hex[64];
  int used = 0;
  if (std::sscanf(p, " %63s %63s%n", syl, hex, &used) != 2) return -1;
  p += used;
  int ids[4], n = 0;
  for (char* t = std::strtok(syl, "-"); t; t = std::strtok(nullptr, "-")) {
    int id = -1;
    for (int k = 0; k < pysentence::syllablecount() && id < 0; k++)
      if (std::strcmp(pysentence::syllablename(k), t) == 0) id = k;
    if (id < 0 || n == 4) return -1;
    ids[n++] = id;
  }
  char text[32];
  int len = static_cast<int>(std::strlen(hex)) / 2;
  if (len > 31) return -1;
  for (int i = 0; i < len; i++) {
    unsigned v;
    if (std::sscanf(hex + 2 * i, "%2x", &v) != 1) return -1;
    text[i] = static_cast<char>(v);
  }
  return pysentence::findrecord(ids, n, text, len);
}

}  // namespace

pylearn::pylearn() : items(), count(0), mark() {}

int pylearn::bonus(int a, int b) const {
  if (!mark[hash(b)]) return 0;
  int sum = 0;
  for (int i = 0; i < count; i++) {
    const item& t = items[i];
    if (t.b != b) continue;
    if (t.a < 0) sum += wordbonus + morebonus * (t.count < 5 ? t.count - 1 : 4);
    if (t.a >= 0 && t.a == a) sum += pairbonus;
  }
  return sum;
}

void pylearn::add(int a, int b, int times) {
  for (int i = 0; i < count; i++)
    if (items[i].a == a && items[i].b == b) {
      items[i].count += times;
      return;
    }
  if (count == capacity) {
    // Full: the least chosen goes.
    int least = 0;
    for (int i = 1; i < count; i++)
      if (items[i].count < items[least].count) least = i;
    items[least] = items[--count];
  }
  items[count++] = {a, b, times};
  mark[hash(b)] = 1;
}

void pylearn::note(int a, int b) {
  if (!on() || b < 0) return;
  add(-1, b, 1);
  if (a >= 0 && a < pysentence::wordcount()) add(a, b, 1);
}

void pylearn::forget(int rec) {
  int kept = 0;
  for (int i = 0; i < count; i++)
    if (items[i].a != rec && items[i].b != rec) items[kept++] = items[i];
  count = kept;
  remark();
}

void pylearn::remark() {
  std::memset(mark, 0, sizeof mark);
  for (int i = 0; i < count; i++) mark[hash(items[i].b)] = 1;
}

bool pylearn::readline(const char* line) {
  const char* p = line + 1;
  int a = -1, b, times;
  if (line[0] == 'p') a = parseword(p);
  b = parseword(p);
  if ((line[0] != 'w' && line[0] != 'p') || (line[0] == 'p' && a < 0) || b < 0) return false;
  if (std::sscanf(p, "%d", &times) != 1 || times < 1) return false;
  add(a, b, times);
  return true;
}

bool pylearn::open(const std::string& file) {
  path = file;
  count = 0;
  remark();
  FILE* f = std::fopen(file.c_str(), "r");
  if (!f) return errno == ENOENT;
  char line[256];
  while (std::fgets(line, sizeof line, f)) readline(line);
  std::fclose(f);
  return true;
}

// Written whole to a private temporary file beside it, then renamed over
// it: a crash leaves the old memory or the new one, never half of one.
bool pylearn::save() const {
  if (!on()) return false;
  std::string text;
  for (int i = 0; i < count; i++) {
    const item& t = items[i];
    text += t.a < 0 ? "w " + describe(t.b) : "p " + describe(t.a) + " " + describe(t.b);
    text += " " + std::to_string(t.count) + "\n";
  }
  // The folders up to the file, private when made here.
  for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
    mkdir(path.substr(0, at).c_str(), 0700);
  std::string tmp = path + ".new";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = fchmod(fd, 0600) == 0 &&
            write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
            fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(tmp.c_str(), path.c_str()) == 0) return true;
  unlink(tmp.c_str());
  return false;
}

std::string pylearn::defaultpath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/bihua/learned";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/bihua/learned";
  return "";
}
