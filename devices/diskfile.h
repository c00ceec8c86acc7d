// diskfile: the one place that writes files. A pane's save, the clipboard,
// the picture at exit and the rescue of unsaved text all come here, so the
// rules hold for every file the program writes:
//
// - A file is replaced by a rename only where that keeps everything about
//   it: a regular file with one link whose owner and group the new copy can
//   take (the user owns it, or is root), in a folder the user may write.
//   Otherwise it is written in place: the new bytes over the old, cut to
//   the new length, synced; on any failure the old bytes (read first) go
//   back and the caller is told.
// - The new copy of a replace is made beside the file under a short name
//   of a fixed form, ".bihua-HHHHHHHH-PID.tmp" (HHHHHHHH a hash of the
//   file's last name part), so a name near NAME_MAX still saves. A copy
//   left by a killed save keeps that form; leftover() finds it.
// - A symbolic link is followed only when the caller says so (the file was
//   opened through it); otherwise the link itself is replaced and what it
//   points at is left alone.
//
// The functions marked async-signal-safe use no allocation and no stdio;
// the rescue calls them from a signal handler.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <ctime>
#include <string>

namespace diskfile {

// ---- whole reads and writes (async-signal-safe)

// Writes all n bytes, through short writes and EINTR; false with errno.
bool writeall(int fd, const void* bytes, size_t n);
// Reads up to n bytes, to the end of the file; the count, -1 with errno.
long readall(int fd, void* bytes, size_t n);
// Creates path (O_EXCL, no link followed) with mode, lets produce write
// the content to the descriptor, and syncs it; a file that cannot be
// written whole is removed again. False with errno (EEXIST when the name
// is taken).
bool writenew(const char* path, mode_t mode, bool (*produce)(int fd, const void* context),
              const void* context);

// Reads the whole of fd into out; false with errno (EFBIG past limit).
bool readall(int fd, std::string& out, size_t limit);

// ---- what a name is on the disk

// What a file was when the program last read or wrote it, to tell whether
// someone changed it since.
struct stamp {
  bool exists = false;
  bool islink = false;  // the name itself is a symbolic link
  // Of what the name leads to (through a link).
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  timespec mtime = {0, 0};
  uid_t uid = 0;
};
stamp stampof(const char* path);
// The same for the file as opened on fd: its identity from the descriptor,
// whether the name is a link from the name.
stamp stampof(const char* path, int fd);
bool samefile(const stamp& a, const stamp& b);

// ---- temporary copies

// The temporary name for a new copy of path (in path's folder).
std::string tempname(const std::string& path, int attempt);
// The name of a temporary copy of ours for path left in its folder (by a
// save that was killed), "" when there is none.
std::string leftover(const std::string& path);

// ---- replacing a file

// What a symbolic link at the name means: the file to write is the one it
// leads to; the link itself is replaced by the new file (what it named is
// left alone); or nothing is written (ELOOP).
enum class links { follow, replace, refuse };

struct saveoptions {
  links link = links::follow;
  bool ownonly = false;  // write only a regular file of this user (else EPERM)
  mode_t newmode = 0;    // mode of a new file; 0: 0666 under the umask
};

struct saveresult {
  bool inplace = false;   // written over the old bytes, not renamed into place
  bool restored = false;  // an in-place write failed and the old bytes are back
  bool notours = false;   // ownonly refused a file of someone else
};

// Writes a new copy beside target (a name of the form above) with mode,
// owned as keep says (null: as created), and renames it over target. The
// caller has checked what target is. False with errno; target untouched.
bool renameinto(const char* target, const void* bytes, size_t n, mode_t mode,
                const struct stat* keep);

// Makes bytes the whole content of the file at path, by the rules above.
// False with errno when the file could not be written; then it holds what
// it held before (result.restored says whether an in-place write had to
// put it back; when that failed too, errno is the first failure's).
bool replace(const char* path, const void* bytes, size_t n, const saveoptions& options,
             saveresult& result);

}  // namespace diskfile
