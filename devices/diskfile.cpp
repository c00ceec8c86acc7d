// Writing files: whole reads and writes, stamps, temporary names, and the
// replace that renames or writes in place (see diskfile.h).
#include "devices/diskfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace diskfile {

// ---- whole reads and writes

bool writeall(int fd, const void* bytes, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return false;
    if (w == 0) {
      errno = ENOSPC;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

long readall(int fd, void* bytes, size_t n) {
  unsigned char* p = static_cast<unsigned char*>(bytes);
  size_t got = 0;
  while (got < n) {
    ssize_t r = read(fd, p + got, n - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return -1;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<long>(got);
}

bool readall(int fd, std::string& out, size_t limit) {
  char buf[65536];
  for (;;) {
    ssize_t r = read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) return true;
    out.append(buf, static_cast<size_t>(r));
    if (out.size() > limit) {
      errno = EFBIG;
      return false;
    }
  }
}

bool writenew(const char* path, mode_t mode, bool (*produce)(int fd, const void* context),
              const void* context) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return false;
  bool ok = produce(fd, context) && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) ok = false, err = errno;
  if (!ok) {
    unlink(path);
    errno = err;
  }
  return ok;
}

// ---- stamps

namespace {

void takestat(stamp& s, const struct stat& st) {
  s.exists = true;
  s.dev = st.st_dev;
  s.ino = st.st_ino;
  s.size = st.st_size;
  s.mtime = st.st_mtim;
  s.uid = st.st_uid;
}

}  // namespace

stamp stampof(const char* path) {
  stamp s;
  struct stat st;
  if (lstat(path, &st) != 0) return s;
  s.exists = true;
  s.islink = S_ISLNK(st.st_mode);
  if (s.islink && stat(path, &st) != 0) return s;  // a dangling link: dev and ino stay 0
  takestat(s, st);
  return s;
}

stamp stampof(const char* path, int fd) {
  stamp s = stampof(path);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0) takestat(s, st);
  return s;
}

bool samefile(const stamp& a, const stamp& b) {
  return a.exists == b.exists && a.islink == b.islink && a.dev == b.dev && a.ino == b.ino &&
         a.size == b.size && a.mtime.tv_sec == b.mtime.tv_sec &&
         a.mtime.tv_nsec == b.mtime.tv_nsec && a.uid == b.uid;
}

// ---- temporary names

namespace {

const char tempprefix[] = ".bihua-";
const char tempsuffix[] = ".tmp";

// The folder part of path, "" or ending in '/'; and the last part.
std::string folderof(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// FNV-1a of the last part of the name, as eight hex digits.
std::string namehash(const std::string& path) {
  size_t slash = path.rfind('/');
  unsigned h = 2166136261u;
  for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < path.size(); i++)
    h = (h ^ static_cast<unsigned char>(path[i])) * 16777619u;
  char hex[9];
  snprintf(hex, sizeof hex, "%08x", h);
  return hex;
}

}  // namespace

std::string tempname(const std::string& path, int attempt) {
  std::string name = folderof(path) + tempprefix + namehash(path) + "-" + std::to_string(getpid());
  if (attempt > 0) name += "-" + std::to_string(attempt);
  return name + tempsuffix;
}

std::string leftover(const std::string& path) {
  std::string folder = folderof(path);
  std::string start = tempprefix + namehash(path) + "-";
  DIR* d = opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return "";
  std::string found;
  size_t m = sizeof tempsuffix - 1;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.compare(0, start.size(), start) == 0 && name.size() > start.size() + m &&
        name.compare(name.size() - m, m, tempsuffix) == 0) {
      found = name;
      break;
    }
  }
  closedir(d);
  return found;
}

// ---- replacing

namespace {

mode_t newfilemode(mode_t wanted) {
  if (wanted) return wanted;
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// The whole of n bytes from the start of the file.
bool pwriteall(int fd, const void* bytes, size_t n) {
  return lseek(fd, 0, SEEK_SET) == 0 && writeall(fd, bytes, n);
}

// A new file beside target, made by us alone; -1 with errno.
int createtemp(const std::string& target, std::string& temp) {
  for (int attempt = 0; attempt < 100; attempt++) {
    temp = tempname(target, attempt);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself durable.
void syncfolder(const std::string& target) {
  std::string folder = folderof(target);
  int dfd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  fsync(dfd);
  close(dfd);
}

// Fills the new copy, gives it its mode and renames it over target.
bool finishrename(int fd, const std::string& temp, const std::string& target, const void* bytes,
                  size_t n, mode_t mode) {
  bool ok = writeall(fd, bytes, n) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) ok = false, err = errno;
  if (ok && rename(temp.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (!ok) {
    unlink(temp.c_str());
    errno = err;
    return false;
  }
  syncfolder(target);
  return true;
}

// The largest old file an in-place write keeps in memory to put back.
const size_t oldlimit = 64u << 20;

// Writes over the file st describes; on failure the old bytes go back.
bool inplace(const std::string& target, const struct stat& st, const void* bytes, size_t n,
             saveresult& result) {
  result.inplace = true;
  int fd = open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat now;
  std::string old;
  bool ok = fstat(fd, &now) == 0;
  if (ok && (!S_ISREG(now.st_mode) || now.st_dev != st.st_dev || now.st_ino != st.st_ino)) {
    ok = false;
    errno = S_ISREG(now.st_mode) ? ESTALE : EINVAL;  // swapped under us
  }
  ok = ok && readall(fd, old, oldlimit);
  if (!ok) {
    int err = errno;
    close(fd);
    errno = err;
    return false;
  }
  ok = pwriteall(fd, bytes, n) && ftruncate(fd, static_cast<off_t>(n)) == 0 && fsync(fd) == 0;
  int err = errno;
  if (!ok)
    result.restored = pwriteall(fd, old.data(), old.size()) &&
                      ftruncate(fd, static_cast<off_t>(old.size())) == 0 && fsync(fd) == 0;
  if (close(fd) != 0 && ok) ok = false, err = errno;
  errno = err;
  return ok;
}

}  // namespace

bool renameinto(const char* target, const void* bytes, size_t n, mode_t mode,
                const struct stat* keep) {
  std::string temp;
  int fd = createtemp(target, temp);
  if (fd < 0) return false;
  if (keep && fchown(fd, keep->st_uid, keep->st_gid) != 0) {
    int err = errno;
    close(fd);
    unlink(temp.c_str());
    errno = err;
    return false;
  }
  return finishrename(fd, temp, target, bytes, n, mode);
}

bool replace(const char* path, const void* bytes, size_t n, const saveoptions& o,
             saveresult& result) {
  result = saveresult();
  std::string target = path;
  struct stat st;
  bool exists = lstat(path, &st) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists && o.ownonly && (!S_ISREG(st.st_mode) || st.st_uid != geteuid())) {
    result.notours = true;
    errno = EPERM;
    return false;
  }
  if (exists && S_ISLNK(st.st_mode)) {
    if (o.link == links::refuse) {
      errno = ELOOP;
      return false;
    }
    if (o.link == links::follow) {
      char resolved[PATH_MAX];
      if (!realpath(path, resolved)) return false;
      target = resolved;
      if (lstat(resolved, &st) != 0) return false;
    } else {
      exists = false;  // the link goes; what it names stays as it is
    }
  }
  if (exists && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  // A file we may not write stays as it is, although replacing it would
  // only need the folder's permission.
  if (exists && access(target.c_str(), W_OK) != 0) return false;
  mode_t mode = exists ? (st.st_mode & 07777) : newfilemode(o.newmode);
  if (!exists || st.st_nlink == 1) {
    std::string temp;
    int fd = createtemp(target, temp);
    if (fd < 0 && !exists) return false;
    if (fd >= 0) {
      // The copy must take the file's owner and group (we own it, or are
      // root); else it is written in place.
      if (!exists || fchown(fd, st.st_uid, st.st_gid) == 0)
        return finishrename(fd, temp, target, bytes, n, mode);
      close(fd);
      unlink(temp.c_str());
    }
  }
  return inplace(target, st, bytes, n, result);
}

}  // namespace diskfile
