// Conversion of the 32-bit screen bitmap into other framebuffer layouts.
#include <gtest/gtest.h>

#include <vector>

#include "devices/fbformat.h"

namespace {

fbformat layout(int w, int h, int bpp, int line) {
  fbformat f;
  f.width = w;
  f.height = h;
  f.bpp = bpp;
  f.linelength = line;
  if (bpp == 16) {
    f.red = {11, 5};
    f.green = {5, 6};
    f.blue = {0, 5};
  }
  return f;
}

// Two pixels: (255, 128, 1) and white, in bitmap memory order.
const std::vector<unsigned char> bitmap = {1, 128, 255, 255, 255, 255, 255, 255};

TEST(FbFormat, PlainLayoutIsDirect) {
  EXPECT_TRUE(layout(2, 1, 32, 8).direct());
  EXPECT_FALSE(layout(2, 1, 32, 12).direct());
  fbformat bgr = layout(2, 1, 32, 8);
  bgr.red = {0, 8};
  bgr.blue = {16, 8};
  EXPECT_FALSE(bgr.direct());
  fbformat panned = layout(2, 1, 32, 8);
  panned.xoffset = 1;
  EXPECT_FALSE(panned.direct());
}

TEST(FbFormat, SupportedDepths) {
  EXPECT_TRUE(layout(2, 1, 16, 4).supported());
  EXPECT_TRUE(layout(2, 1, 24, 6).supported());
  EXPECT_FALSE(layout(2, 1, 8, 2).supported());
  EXPECT_FALSE(layout(2, 1, 32, 4).supported());  // line shorter than a row
}

TEST(FbFormat, Rgb565PacksAndPadsLines) {
  fbformat f = layout(2, 2, 16, 6);
  std::vector<unsigned char> two(bitmap);
  two.insert(two.end(), bitmap.begin(), bitmap.end());
  std::vector<unsigned char> out;
  f.convert(two.data(), out);
  ASSERT_EQ(out.size(), 6u + 4u);
  uint16_t first = out[0] | out[1] << 8;
  EXPECT_EQ(first, (31 << 11) | (32 << 5) | 0);
  EXPECT_EQ(out[2], 0xFF);
  EXPECT_EQ(out[3], 0xFF);
  EXPECT_EQ(out[4], 0);  // padding
  EXPECT_EQ(out[6] | out[7] << 8, first);
  EXPECT_EQ(f.decode(&out[2]), 0xFFFFFFFFu);
}

TEST(FbFormat, TwentyFourBitAndSwappedChannels) {
  fbformat f = layout(2, 1, 24, 6);
  std::vector<unsigned char> out;
  f.convert(bitmap.data(), out);
  EXPECT_EQ(out, (std::vector<unsigned char>{1, 128, 255, 255, 255, 255}));
  EXPECT_EQ(f.decode(out.data()), 0xFFFF8001u);
  fbformat rgb = layout(2, 1, 32, 8);
  rgb.red = {0, 8};
  rgb.blue = {16, 8};
  rgb.convert(bitmap.data(), out);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[2], 1);
  EXPECT_EQ(rgb.decode(out.data()), 0xFFFF8001u);
}

TEST(FbFormat, OffsetsPlaceTheVisibleArea) {
  fbformat f = layout(4, 3, 32, 32);
  f.xoffset = 2;
  f.yoffset = 5;
  EXPECT_EQ(f.start(), 5u * 32 + 8);
  EXPECT_EQ(f.framebytes(), 2u * 32 + 16);
}

}  // namespace
