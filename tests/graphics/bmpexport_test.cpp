// BMP layout: header fields, row padding, bottom-up rows.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/mybitmap.h"

namespace {

std::vector<unsigned char> saved(mybitmap& b, const std::string& name) {
  std::string path = ::testing::TempDir() + name;
  b.savetobmp(path.c_str());
  std::ifstream f(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

TEST(BmpExport, TwoByTwoHasPaddedRowsAndCorrectHeader) {
  mybitmap b(2, 2);
  b.setpixel(0, 1, mycolor(1, 2, 3));  // bottom-left: first pixel in the file
  auto v = saved(b, "two.bmp");
  ASSERT_EQ(v.size(), 70u);
  // "BM", file size 70, pixels at 54; 40-byte info header, 2 x 2, one
  // plane, 24 bits, no compression, image size 16, the rest zero.
  const unsigned char header[54] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,
                                    40,  0,   0,  0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0,
                                    24,  0,   0,  0, 0, 0, 16, 0, 0, 0};
  EXPECT_EQ(std::vector<unsigned char>(v.begin(), v.begin() + 54),
            std::vector<unsigned char>(header, header + 54));
  // Blue, green, red of the bottom row, white, two bytes of padding.
  EXPECT_EQ(std::vector<unsigned char>(v.begin() + 54, v.begin() + 63),
            (std::vector<unsigned char>{3, 2, 1, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF}));
}

TEST(BmpExport, WidthFourHasNoPaddingAndTopRowComesLast) {
  mybitmap b(4, 3);
  for (int x = 0; x < 4; x++) b.setpixel(x, 0, mycolor(255, 0, 0));
  auto v = saved(b, "four.bmp");
  ASSERT_EQ(v.size(), 54u + 36u);
  for (int i = 0; i < 12; i++) EXPECT_EQ(v[54 + 24 + i], i % 3 == 2 ? 255 : 0) << i;
  EXPECT_EQ(v[54], 0xFF);
}

TEST(BmpExport, UnwritablePathWritesNothing) {
  mybitmap b(2, 2);
  b.savetobmp("/nonexistent-dir/x.bmp");
  EXPECT_FALSE(std::ifstream("/nonexistent-dir/x.bmp").good());
}

}  // namespace
