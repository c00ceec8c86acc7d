// Pixel access, the two blending rules, whole-bitmap operations and copies.
#include <gtest/gtest.h>

#include "graphics/mybitmap.h"

namespace {

uint32_t px(const mybitmap& b, int x, int y) { return b.getpixel(x, y).value(); }

TEST(Bitmap, NewBitmapIsOpaqueWhiteAndOutsideReadsWhite) {
  mybitmap b(2, 2);
  for (int i = 0; i < 16; i++) EXPECT_EQ(b.pixels[i], 0xFF);
  EXPECT_EQ(px(b, 5, 0), 0xFFFFFFFFu);
  EXPECT_EQ(px(b, 0, -1), 0xFFFFFFFFu);
  EXPECT_EQ(b.thick, 1);
  EXPECT_EQ(b.color.value(), 0xFF000000u);
}

TEST(Bitmap, ColorConstructorsAndMemoryOrder) {
  mycolor red(255, 0, 0);
  EXPECT_EQ(red.value(), 0xFFFF0000u);
  EXPECT_EQ(mycolor(-1).value(), 0xFFFFFFFFu);
  mycolor c(1, 2, 3, 4);
  unsigned char bytes[4];
  std::memcpy(bytes, &c, 4);
  EXPECT_EQ(bytes[0], 3);  // blue first
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 4);
}

TEST(Bitmap, TranslucentWriteMixesOnceUntilCleartm) {
  mybitmap b(3, 3);
  mycolor halfblack(0, 0, 0, 128);
  b.setpixel(1, 1, halfblack);
  EXPECT_EQ(px(b, 1, 1), 0xFE7F7F7Fu);  // (127 × 255) / 255 = 127, marked 254
  b.setpixel(1, 1, halfblack);
  EXPECT_EQ(px(b, 1, 1), 0xFE7F7F7Fu);
  b.cleartm();
  EXPECT_EQ(px(b, 1, 1), 0xFF7F7F7Fu);
  b.setpixel(1, 1, halfblack);
  EXPECT_EQ(px(b, 1, 1), 0xFE3F3F3Fu);
}

TEST(Bitmap, OpaqueWriteOverwritesMarkedPixel) {
  mybitmap b(1, 1);
  b.setpixel(0, 0, mycolor(0, 0, 0, 100));
  b.setpixel(0, 0, mycolor(10, 20, 30));
  EXPECT_EQ(px(b, 0, 0), 0xFF0A141Eu);
}

TEST(Bitmap, WeightedMixSkipsZeroPixelAndMixesMarkedOnes) {
  mybitmap b(2, 1);
  std::memset(b.pixels, 0, 4);  // transparent black
  b.setpixel(0, 0, 128, 255, 0, 0);
  EXPECT_EQ(px(b, 0, 0), 0u);
  b.setpixel(1, 0, 255, 0, 0, 0);  // full weight: black
  EXPECT_EQ(px(b, 1, 0), 0xFE000000u);
  b.setpixel(1, 0, 51, 255, 255, 255);  // k = 0.2, marked pixel mixed again
  EXPECT_EQ(px(b, 1, 0), 0xFE333333u);
}

TEST(Bitmap, ClearWithColorMarksEveryPixel) {
  mybitmap b(2, 2);
  b.clear(mycolor(255, 255, 0));
  for (int x = 0; x < 2; x++)
    for (int y = 0; y < 2; y++) EXPECT_EQ(px(b, x, y), 0xFEFFFF00u);
  b.clear();
  EXPECT_EQ(px(b, 1, 1), 0xFFFFFFFFu);
}

TEST(Bitmap, GreyAndBrighten) {
  mybitmap b(2, 1);
  b.setpixel(0, 0, mycolor(255, 0, 0));
  b.setpixel(1, 0, mycolor(0, 255, 0));
  b.gotobw();
  EXPECT_EQ(px(b, 0, 0), 0xFF4C4C4Cu);  // 76
  EXPECT_EQ(px(b, 1, 0), 0xFF969696u);  // 150
  b.multione(2.0f);
  EXPECT_EQ(px(b, 0, 0), 0xFF989898u);  // 152
  EXPECT_EQ(px(b, 1, 0), 0xFFFFFFFFu);  // 150 ≥ 127.5 → 255
}

TEST(Bitmap, SetPaintsSquareOfEvenSideAndClips) {
  mybitmap b(10, 10);
  b.set(5, 5);
  for (int i = 0; i < 100 * 4; i++) ASSERT_EQ(b.pixels[i], 0xFF);
  b.thick = 4;
  b.color = mycolor(0, 0, 0, 10);
  b.set(5, 5);
  int painted = 0;
  for (int x = 0; x < 10; x++)
    for (int y = 0; y < 10; y++)
      if (px(b, x, y) == 0xFF000000u) {
        painted++;
        EXPECT_TRUE(x >= 3 && x <= 6 && y >= 3 && y <= 6);
      }
  EXPECT_EQ(painted, 16);
  mybitmap edge(3, 3);  // squares reaching past the edges paint only the inside
  edge.thick = 4;
  edge.set(0, 0);
  edge.set(3, 3);
  EXPECT_EQ(px(edge, 0, 0), 0xFF000000u);
  EXPECT_EQ(px(edge, 2, 2), 0xFF000000u);
  EXPECT_EQ(px(edge, 2, 0), 0xFFFFFFFFu);
}

TEST(Bitmap, ResetToEmptyAndBack) {
  mybitmap b(4, 4);
  b.thick = 7;
  b.reset(0, 10);
  EXPECT_EQ(b.width, 0);
  EXPECT_EQ(b.height, 0);
  EXPECT_EQ(b.pixels, nullptr);
  b.setpixel(0, 0, mycolor(1, 2, 3));
  b.clear(mycolor(1, 2, 3));
  b.cleartm();
  b.savebuffer();
  b.loadbuffer();
  EXPECT_EQ(px(b, 0, 0), 0xFFFFFFFFu);
  b.reset(3, 2);
  EXPECT_EQ(b.thick, 1);
  EXPECT_EQ(px(b, 2, 1), 0xFFFFFFFFu);
  // After reset the row table also reaches the backup rows.
  b.setpixel(2, 1, mycolor(9, 9, 9));
  b.savebuffer();
  EXPECT_EQ(b.rowptr[2 + 1] + 8, b.backup + (1 * 3 + 2) * 4);
  EXPECT_EQ(b.rowptr[3][8], 9);
}

TEST(Bitmap, SaveAndLoadBufferRestoresPixels) {
  mybitmap b(5, 5);
  b.setpixel(2, 2, mycolor(1, 2, 3));
  b.savebuffer();
  b.setpixel(2, 2, mycolor(200, 0, 0));
  b.setpixel(0, 0, mycolor(0, 0, 0, 50));
  b.loadbuffer();
  EXPECT_EQ(px(b, 2, 2), 0xFF010203u);
  EXPECT_EQ(px(b, 0, 0), 0xFFFFFFFFu);
}

class BitmapCopies : public ::testing::Test {
 protected:
  // 4 × 4 source whose pixel (x, y) holds x + 16 y in blue, alpha 255.
  void SetUp() override {
    for (int x = 0; x < 4; x++)
      for (int y = 0; y < 4; y++) src.setpixel(x, y, mycolor(0, 0, x + 16 * y));
  }
  mybitmap src{4, 4};
};

TEST_F(BitmapCopies, CopyPixelKeepsAlphaAndIgnoresOutside) {
  mybitmap d(2, 2);
  src.setpixel(0, 0, mycolor(0, 0, 0, 7));
  src.pixels[3] = 7;
  d.copypixel(src, 0, 0, 1, 1);
  EXPECT_EQ(d.getpixel(1, 1).alpha, 7);
  d.copypixel(src, 4, 0, 0, 0);
  d.copypixel(src, 0, 0, 2, 0);
  EXPECT_EQ(px(d, 0, 0), 0xFFFFFFFFu);
}

TEST_F(BitmapCopies, CopyBlockAndUpsideDown) {
  mybitmap d(4, 4);
  d.copyblock(src, 1, 1, 0, 0, 2, 2);
  EXPECT_EQ(d.getpixel(0, 0).blue, 17);
  EXPECT_EQ(d.getpixel(1, 1).blue, 34);
  EXPECT_EQ(std::memcmp(d.pixels, d.backup, 64), 0);  // ends with savebuffer
  mybitmap r(4, 4);
  r.copyblockr(src, 0, 2, 0, 0, 4, 1);
  for (int x = 0; x < 4; x++) EXPECT_EQ(r.getpixel(x, 3).blue, x + 32);
  EXPECT_EQ(px(r, 0, 2), 0xFFFFFFFFu);
}

TEST_F(BitmapCopies, ScaledSquareCopies) {
  mybitmap d(8, 8);
  d.copyblock(src, 0, 0, 4);  // doubles the source
  EXPECT_EQ(d.getpixel(7, 7).blue, 3 + 48);
  EXPECT_EQ(d.getpixel(2, 5).blue, 1 + 32);
  EXPECT_EQ(d.getpixel(2, 5).alpha, 255);
  mybitmap r(4, 4);
  r.copyblockr(src, 0, 0, 4);
  EXPECT_EQ(r.getpixel(1, 3).blue, 1);  // row 0 of the source lands at the bottom
}

TEST_F(BitmapCopies, CopyScalesWholeSource) {
  mybitmap d(2, 2);
  d.copy(&src);
  EXPECT_EQ(d.getpixel(0, 0).blue, 0);
  EXPECT_EQ(d.getpixel(1, 0).blue, 2);
  EXPECT_EQ(d.getpixel(1, 1).blue, 34);
  EXPECT_EQ(d.getpixel(1, 1).alpha, 255);
}

}  // namespace
