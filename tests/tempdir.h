// Scratch folders and whole-file reads and writes for tests that work on
// real files without the end-to-end rig.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace testfiles {

// A fresh folder under /tmp, removed with everything in it at the end.
struct tempdir {
  std::string path;
  tempdir() {
    char t[] = "/tmp/bihuatestXXXXXX";
    path = mkdtemp(t);
  }
  ~tempdir() { EXPECT_EQ(system(("rm -rf " + path).c_str()), 0); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

inline void write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string read(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace testfiles
