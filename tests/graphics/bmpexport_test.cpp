// BMP layout: header fields, row padding, bottom-up rows.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/mybitmap.h"

namespace {

std::vector<unsigned char> slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

uint32_t le32(const std::vector<unsigned char>& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}

std::string tmpname(const char* name) { return ::testing::TempDir() + name; }

TEST(BmpExport, TwoByTwoHasPaddedRowsAndCorrectHeader) {
  mybitmap b(2, 2);
  b.setpixel(0, 1, mycolor(1, 2, 3));  // bottom-left: first pixel in the file
  std::string path = tmpname("two.bmp");
  b.savetobmp(path.c_str());
  auto v = slurp(path);
  ASSERT_EQ(v.size(), 70u);
  EXPECT_EQ(v[0], 'B');
  EXPECT_EQ(v[1], 'M');
  EXPECT_EQ(le32(v, 2), 70u);
  EXPECT_EQ(le32(v, 10), 54u);
  EXPECT_EQ(le32(v, 14), 40u);
  EXPECT_EQ(le32(v, 18), 2u);
  EXPECT_EQ(le32(v, 22), 2u);
  EXPECT_EQ(v[26] | v[27] << 8, 1);
  EXPECT_EQ(v[28] | v[29] << 8, 24);
  EXPECT_EQ(le32(v, 30), 0u);
  EXPECT_EQ(le32(v, 34), 16u);
  for (size_t i = 38; i < 54; i++) EXPECT_EQ(v[i], 0) << i;
  EXPECT_EQ(v[54], 3);  // blue, green, red
  EXPECT_EQ(v[55], 2);
  EXPECT_EQ(v[56], 1);
  EXPECT_EQ(v[60], 0);  // padding after 6 pixel bytes
  EXPECT_EQ(v[61], 0);
  EXPECT_EQ(v[62], 0xFF);  // top row begins
}

TEST(BmpExport, WidthFourHasNoPaddingAndTopRowComesLast) {
  mybitmap b(4, 3);
  for (int x = 0; x < 4; x++) b.setpixel(x, 0, mycolor(255, 0, 0));
  std::string path = tmpname("four.bmp");
  b.savetobmp(path.c_str());
  auto v = slurp(path);
  ASSERT_EQ(v.size(), 54u + 36u);
  for (int x = 0; x < 4; x++) {
    EXPECT_EQ(v[54 + 24 + 3 * x], 0);
    EXPECT_EQ(v[54 + 24 + 3 * x + 1], 0);
    EXPECT_EQ(v[54 + 24 + 3 * x + 2], 255);
  }
  EXPECT_EQ(v[54], 0xFF);
}

TEST(BmpExport, UnwritablePathWritesNothing) {
  mybitmap b(2, 2);
  b.savetobmp("/nonexistent-dir/x.bmp");
  EXPECT_TRUE(slurp("/nonexistent-dir/x.bmp").empty());
}

}  // namespace
