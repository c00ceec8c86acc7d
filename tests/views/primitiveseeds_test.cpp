// The drawing primitives fuzz target's seeds, each run through the target's
// own entry as the fuzzer runs it. Some of them once took seconds (a pen
// tens of thousands of pixels wide): the test's time-out catches a primitive
// that costs more than the bitmap it can touch again.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define LLVMFuzzerTestOneInput primitivesentry
#include "tests/fuzz/fuzz_primitives.cpp"
#undef LLVMFuzzerTestOneInput

namespace {

std::vector<std::string> seeds() {
  std::vector<std::string> names;
  std::string dir = BIHUA_SOURCE_DIR "/tests/fuzz/corpus/primitives/";
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(dir + e->d_name);
    closedir(d);
  }
  return names;
}

TEST(PrimitiveSeeds, EachRunsThroughTheFuzzTarget) {
  std::vector<std::string> names = seeds();
  ASSERT_GE(names.size(), 4u);
  for (const std::string& name : names) {
    std::ifstream in(name, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(primitivesentry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0)
        << name;
  }
}

}  // namespace
