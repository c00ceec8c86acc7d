// The clipboard's bytes and the file that keeps them between runs.
#include "app/clipbd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "devices/diskfile.h"

namespace {

// The path as a person reads it: "//tmp//clip.txt" shows as /tmp/clip.txt.
std::string shown(const char* path) {
  std::string s;
  for (const char* p = path; *p; p++)
    if (*p != '/' || s.empty() || s.back() != '/') s += *p;
  return s;
}

// Opens what is at path for a look without following a link and without
// waiting for a writer on a FIFO.
int peek(const char* path) { return open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); }

}  // namespace

clipbd::clipbd() : clipbuf(new unsigned char[clipsize]), cliplen(0), keepfile(false) {}

clipbd::~clipbd() { delete[] clipbuf; }

bool clipbd::setdata(const unsigned char* bytes, unsigned long n) {
  if (n > clipsize) {
    notice = "内容超过剪贴板容量" + std::to_string(clipsize) + "字节，未复制";
    plainnotice = "more than the clipboard holds";
    return false;
  }
  if (n > 0) memcpy(clipbuf, bytes, n);
  cliplen = n;
  keepfile = false;
  return true;
}

unsigned char* clipbd::getdata(unsigned long& n) {
  n = cliplen;
  return clipbuf;
}

void clipbd::fail(int problem, int err) {
  switch (problem) {
    case 0:
      notice = "不可信（不是本人的普通文件），不动它";
      plainnotice = "not a regular file owned by you; left alone";
      break;
    case 1:
      notice = "过大（超过" + std::to_string(clipsize) + "字节），未读";
      plainnotice = "larger than " + std::to_string(clipsize) + " bytes; not read";
      break;
    default:
      notice = std::string("出错，") + strerror(err);
      plainnotice = strerror(err);
  }
}

bool clipbd::ismine(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

bool clipbd::load(const char* path) {
  cliplen = 0;
  keepfile = false;
  notice.clear();
  plainnotice.clear();
  int fd = peek(path);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    fail(errno == ELOOP ? 0 : 2, errno);
  } else if (!ismine(fd)) {
    fail(0, 0);
  } else {
    // One byte more than fits tells a file that is too large.
    long n = diskfile::readall(fd, clipbuf, clipsize);
    unsigned char more;
    if (n < 0) {
      fail(2, errno);
    } else if (static_cast<unsigned long>(n) == clipsize && diskfile::readall(fd, &more, 1) == 1) {
      fail(1, 0);
    } else {
      cliplen = static_cast<unsigned long>(n);
    }
  }
  if (fd >= 0) close(fd);
  if (notice.empty()) return true;
  cliplen = 0;
  keepfile = true;
  // What matters first: a narrow status line cuts the end.
  notice = "剪贴板" + notice + "：" + shown(path);
  plainnotice = "clipboard file " + shown(path) + ": " + plainnotice;
  return false;
}

// Whether path is free to be replaced: nothing there, or a regular file of
// ours. Sets the notice otherwise.
bool clipbd::checktarget(const char* path) {
  int fd = peek(path);
  if (fd < 0) {
    if (errno == ENOENT) return true;
    fail(errno == ELOOP ? 0 : 2, errno);
    return false;
  }
  bool mine = ismine(fd);
  close(fd);
  if (!mine) fail(0, 0);
  return mine;
}

bool clipbd::save(const char* path) {
  notice.clear();
  plainnotice.clear();
  bool ok = checktarget(path);
  if (ok && keepfile) return true;  // the refused file stays as it was
  if (ok) {
    // A file of ours or none: a new copy, ours alone, renamed into place.
    ok = diskfile::renameinto(path, clipbuf, cliplen, 0600, nullptr);
    if (!ok) fail(2, errno);
  }
  if (ok) return true;
  notice = "剪贴板未保存，" + notice + "：" + shown(path);
  plainnotice = "clipboard not saved: " + shown(path) + ": " + plainnotice;
  return false;
}
