// The file module's failure paths that the rig cannot reach: an in-place
// write that fails half way puts the old bytes back, a new file that
// cannot be written whole is removed, and the temporary names stay short
// and are found when left behind.
#include "devices/diskfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/tempdir.h"

namespace {

using testfiles::read;
using testfiles::tempdir;
using testfiles::write;

}  // namespace

TEST(Diskfile, AnInPlaceWriteThatFailsPutsTheOldBytesBack) {
  tempdir d;
  std::string old(500, 'o'), fresh(3000, 'n');
  write(d / "a.txt", old);
  ASSERT_EQ(link((d / "a.txt").c_str(), (d / "b.txt").c_str()), 0);  // two links: in place
  // Past 1000 bytes a write fails (EFBIG), as a disk that fills up would.
  rlimit before;
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = {1000, before.rlim_max};
  void (*was)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  diskfile::saveresult r;
  bool ok = diskfile::replace((d / "b.txt").c_str(), fresh.data(), fresh.size(), {}, r);
  int err = errno;
  setrlimit(RLIMIT_FSIZE, &before);
  signal(SIGXFSZ, was);
  EXPECT_FALSE(ok);
  EXPECT_EQ(err, EFBIG);
  EXPECT_TRUE(r.inplace);
  EXPECT_TRUE(r.restored);
  EXPECT_EQ(read(d / "a.txt"), old);
  // Within the limit it goes through, shorter than before too.
  ASSERT_TRUE(diskfile::replace((d / "b.txt").c_str(), "short", 5, {}, r));
  EXPECT_TRUE(r.inplace);
  EXPECT_EQ(read(d / "a.txt"), "short");
}

TEST(Diskfile, ANewFileThatCannotBeWrittenWholeIsRemoved) {
  tempdir d;
  auto halfway = [](int fd, const void*) {
    diskfile::writeall(fd, "part", 4);
    errno = ENOSPC;
    return false;
  };
  EXPECT_FALSE(diskfile::writenew((d / "r.save").c_str(), 0600, halfway, nullptr));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_FALSE(std::ifstream(d / "r.save").good());
  // A name that is taken is never written over.
  write(d / "t.save", "older");
  auto whole = [](int fd, const void*) { return diskfile::writeall(fd, "new", 3); };
  EXPECT_FALSE(diskfile::writenew((d / "t.save").c_str(), 0600, whole, nullptr));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(read(d / "t.save"), "older");
}

TEST(Diskfile, TemporaryNamesAreShortAndALeftoverIsFoundForItsFileOnly) {
  tempdir d;
  std::string longname = d / std::string(255, 'x');
  std::string temp = diskfile::tempname(longname, 0);
  EXPECT_EQ(temp.compare(0, d.path.size() + 1, d.path + "/"), 0);
  EXPECT_LT(temp.size() - d.path.size(), 40u);
  EXPECT_EQ(diskfile::leftover(longname), "");
  write(temp, "partial");
  EXPECT_EQ(diskfile::leftover(longname), temp.substr(d.path.size() + 1));
  EXPECT_EQ(diskfile::leftover(d / "other.txt"), "");
}
