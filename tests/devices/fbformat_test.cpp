// Which framebuffer layouts are taken, and which of them are a straight
// copy. The conversions themselves are checked end to end, pixel for pixel,
// in devices_e2e_test.cpp.
#include <gtest/gtest.h>

#include "devices/fbformat.h"

namespace {

fbformat layout(int bpp, int line) {
  fbformat f;
  f.width = 2;
  f.height = 1;
  f.bpp = bpp;
  f.linelength = line;
  return f;
}

TEST(FbFormat, SupportedDepthsAndLineLengths) {
  fbformat rgb565 = layout(16, 4);
  EXPECT_FALSE(rgb565.supported());  // red at 16 lies outside the pixel
  rgb565.red = {11, 5};
  rgb565.green = {5, 6};
  rgb565.blue = {0, 5};
  EXPECT_TRUE(rgb565.supported());
  EXPECT_TRUE(layout(24, 6).supported());
  EXPECT_TRUE(layout(32, 8).supported());
  EXPECT_FALSE(layout(8, 2).supported());
  EXPECT_FALSE(layout(32, 4).supported());  // line shorter than a row
}

TEST(FbFormat, OnlyThePlainLayoutIsDirect) {
  EXPECT_TRUE(layout(32, 8).direct());
  EXPECT_FALSE(layout(32, 12).direct());
  fbformat bgr = layout(32, 8);
  bgr.red = {0, 8};
  bgr.blue = {16, 8};
  EXPECT_FALSE(bgr.direct());
  fbformat panned = layout(32, 8);
  panned.xoffset = 1;
  EXPECT_FALSE(panned.direct());
}

}  // namespace
