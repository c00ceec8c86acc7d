// clipbd: a clipboard of raw bytes that lives in a file between runs.
//
// The file sits in a directory everybody can write to, so it is trusted only
// when it is a regular file owned by this user: load() opens it without
// following a symbolic link and without blocking on a FIFO, and save()
// writes a new file created exclusively with mode 0600 beside it and renames
// that into place (diskfile::renameinto). Anything else found at the path is left alone, and
// `notice` says why. The format is the bytes and nothing else.
#pragma once

#include <string>

class clipbd {
 public:
  static constexpr unsigned long clipsize = 2000000;  // bytes the clipboard holds

  unsigned char* clipbuf;  // clipsize bytes, owned
  unsigned long cliplen;   // bytes held
  // What went wrong with the file last, "" when nothing: for the status
  // line (GBK) and for standard error at exit (ASCII, for the text console).
  std::string notice;
  std::string plainnotice;

  clipbd();
  ~clipbd();
  clipbd(const clipbd&) = delete;
  clipbd& operator=(const clipbd&) = delete;

  // Replaces the content; more than clipsize bytes are refused (false, with
  // a notice) and the old content stays.
  bool setdata(const unsigned char* bytes, unsigned long n);
  // The buffer itself and its length; valid until the next setdata.
  unsigned char* getdata(unsigned long& n);

  // Reads the file at path. A missing file gives an empty clipboard; a file
  // that is not a regular file of ours, or larger than clipsize, is refused:
  // empty clipboard, false, notice.
  bool load(const char* path);
  // Writes the content to path (see above). False with a notice when the
  // path holds something else or the write fails; the old file then stays.
  // A file load() refused is kept as it is unless new content came since.
  bool save(const char* path);

 private:
  bool keepfile;  // load() refused the file and nothing replaced it since
  bool ismine(int fd);
  bool checktarget(const char* path);
  // Problems: 0 not a regular file of ours, 1 too large, 2 a system error.
  void fail(int problem, int err);
};
