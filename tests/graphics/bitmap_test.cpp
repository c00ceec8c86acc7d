// Pixel access, the two blending rules, whole-bitmap operations and copies.
#include <gtest/gtest.h>

#include "graphics/mybitmap.h"

#include <cstring>

namespace {

uint32_t px(const mybitmap& b, int x, int y) { return b.getpixel(x, y).value(); }

TEST(Bitmap, NewBitmapIsOpaqueWhiteAndOutsideReadsWhite) {
  mybitmap b(2, 2);
  for (int i = 0; i < 16; i++) EXPECT_EQ(b.pixels[i], 0xFF);
  EXPECT_EQ(px(b, 5, 0), 0xFFFFFFFFu);
  EXPECT_EQ(px(b, 0, -1), 0xFFFFFFFFu);
  // Pixels are blue, green, red, alpha in memory: what the device takes.
  mycolor c(1, 2, 3, 4);
  EXPECT_EQ(std::memcmp(&c, "\x03\x02\x01\x04", 4), 0);
  EXPECT_EQ(mycolor(-1).value(), 0xFFFFFFFFu);
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
  b.setpixel(1, 1, mycolor(10, 20, 30));  // opaque overwrites a marked pixel
  EXPECT_EQ(px(b, 1, 1), 0xFF0A141Eu);
  b.clear(mycolor(255, 255, 0));  // a clear with a colour marks too
  EXPECT_EQ(px(b, 2, 0), 0xFEFFFF00u);
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
  EXPECT_EQ(px(b, 5, 5), 0xFFFFFFFFu);  // thickness 1 paints nothing
  b.thick = 4;
  b.color = mycolor(0, 0, 0, 10);  // painted opaque whatever the alpha
  b.set(5, 5);
  int painted = 0;
  for (int x = 0; x < 10; x++)
    for (int y = 0; y < 10; y++)
      if (px(b, x, y) != 0xFFFFFFFFu) {
        painted++;
        EXPECT_EQ(px(b, x, y), 0xFF000000u);
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

TEST(Bitmap, ResetToEmptyAndBackWithBackupRows) {
  mybitmap b(4, 4);
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
  b.thick = 7;
  b.reset(3, 2);
  EXPECT_EQ(b.thick, 1);
  // After reset the row table also reaches the backup rows.
  b.setpixel(2, 1, mycolor(9, 9, 9));
  b.savebuffer();
  EXPECT_EQ(b.rowptr[2 + 1] + 8, b.backup + (1 * 3 + 2) * 4);
  EXPECT_EQ(b.rowptr[3][8], 9);
  b.setpixel(2, 1, mycolor(200, 0, 0));
  b.setpixel(0, 0, mycolor(0, 0, 0, 50));
  b.loadbuffer();
  EXPECT_EQ(px(b, 2, 1), 0xFF090909u);
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
  src.pixels[3] = 7;
  d.copypixel(src, 0, 0, 1, 1);
  EXPECT_EQ(d.getpixel(1, 1).alpha, 7);
  d.copypixel(src, 4, 0, 0, 0);
  d.copypixel(src, 0, 0, 2, 0);
  EXPECT_EQ(px(d, 0, 0), 0xFFFFFFFFu);
}

TEST_F(BitmapCopies, BlocksPlainScaledAndUpsideDown) {
  mybitmap d(4, 4);
  d.copyblock(src, 1, 1, 0, 0, 2, 2);
  EXPECT_EQ(d.getpixel(0, 0).blue, 17);
  EXPECT_EQ(d.getpixel(1, 1).blue, 34);
  EXPECT_EQ(std::memcmp(d.pixels, d.backup, 64), 0);  // ends with savebuffer
  mybitmap r(4, 4);
  r.copyblockr(src, 0, 2, 0, 0, 4, 1);  // source row 2 lands in the bottom row
  for (int x = 0; x < 4; x++) EXPECT_EQ(r.getpixel(x, 3).blue, x + 32);
  EXPECT_EQ(px(r, 0, 2), 0xFFFFFFFFu);

  mybitmap s(8, 8);
  s.copyblock(src, 0, 0, 4);  // doubles the source
  EXPECT_EQ(s.getpixel(7, 7).blue, 3 + 48);
  EXPECT_EQ(s.getpixel(2, 5).value(), 0xFF000021u);
  mybitmap sr(4, 4);
  sr.copyblockr(src, 0, 0, 4);
  EXPECT_EQ(sr.getpixel(1, 3).blue, 1);  // row 0 of the source lands at the bottom
  mybitmap h(2, 2);
  h.copy(&src);  // the whole source scaled down
  EXPECT_EQ(h.getpixel(1, 0).blue, 2);
  EXPECT_EQ(h.getpixel(1, 1).value(), 0xFF000022u);
}

}  // namespace

namespace {

// The row-wise clear leaves exactly the pixels of blending every pixel on
// its own: all-zero pixels untouched, the rest mixed and marked 254.
TEST(BitmapFill, ClearMatchesBlendingEachPixel) {
  for (mycolor c : {mycolor(255, 255, 0), mycolor(1, 2, 3), mycolor(10, 200, 30, 100)}) {
    mybitmap fast(37, 23), slow(37, 23);
    for (int i = 0; i < 37 * 23 * 4; i++)
      fast.pixels[i] = slow.pixels[i] = static_cast<unsigned char>(i % 7 == 0 ? 0 : i * 13);
    std::memset(fast.pixels + 3 * 37 * 4, 0, 5 * 4);  // a few all-zero pixels
    std::memset(slow.pixels + 3 * 37 * 4, 0, 5 * 4);
    fast.clear(c);
    for (int y = 0; y < 23; y++)
      for (int x = 0; x < 37; x++) slow.setpixel(x, y, c.alpha, c.red, c.green, c.blue);
    EXPECT_EQ(std::memcmp(fast.pixels, slow.pixels, 37 * 23 * 4), 0) << int(c.alpha);
  }
}

// A refill writes, and flags for the push, exactly the stretch from the
// first to the last pixel that is not the colour already, however the ink
// falls against the sixteen-pixel steps of its scan.
TEST(BitmapFill, RefillWritesOnlyFromFirstToLastDifferingPixel) {
  const int w = 300;
  const mycolor white(255, 255, 255);
  uint64_t seed = 7;
  auto next = [&](int n) {
    return static_cast<int>((seed = seed * 6364136223846793005u + 1) >> 33) % n;
  };
  for (int round = 0; round < 400; round++) {
    mybitmap b(w, 1);
    b.color = white;
    b.fillrow(0, w - 1, 0);
    std::vector<int> ink;
    for (int k = next(4); k > 0; k--) ink.push_back(next(w));
    for (int x : ink) b.setpixel(x, 0, mycolor(next(256), 0, 0));
    long long xa = next(w + 40) - 20, xb = xa + next(w);
    int first = w, last = -1;
    for (int x : ink)
      if (x >= xa && x <= xb && b.getpixel(x, 0).value() != white.value()) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
    std::vector<uint32_t> before(w);
    for (int x = 0; x < w; x++) before[x] = b.getpixel(x, 0).value();
    b.untouchrows();
    b.color = white;
    b.refillrow(xa, xb, 0);
    for (int x = 0; x < w; x++) {
      bool cleared = x >= xa && x <= xb;
      EXPECT_EQ(b.getpixel(x, 0).value(), cleared ? white.value() : before[x]) << round << " " << x;
    }
    uint64_t flagged = 0;
    for (int x = first; x <= last; x++) flagged |= uint64_t{1} << (x / b.blockwidth());
    EXPECT_EQ(b.rowtouched[0], flagged) << round;
  }
}

// The screen compares and copies only the columns a row's mask says were
// written: every primitive must set the bits of what it wrote, at every
// width up to the widest screen taken.
TEST(BitmapTouched, EachWriteFlagsItsColumnsAtEveryWidth) {
  for (int w : {1, 800, 1024, 3840, 7680, 16384}) {
    mybitmap b(w, 4);
    int bw = b.blockwidth();
    EXPECT_GE(bw, 16);
    EXPECT_EQ(bw & (bw - 1), 0);
    EXPECT_LE((w + bw - 1) / bw, 64) << w;  // 64 bits cover the row
    auto bit = [&](int x) { return uint64_t{1} << (x / bw); };
    EXPECT_EQ(b.rowtouched[3], ~uint64_t{0});  // a new bitmap is all to push
    b.untouchrows();
    b.setpixel(w - 1, 0, mycolor(1, 2, 3));
    EXPECT_EQ(b.rowtouched[0], bit(w - 1));
    b.setpixel(0, 1, 9, 9, 9, 9);
    EXPECT_EQ(b.rowtouched[1], bit(0));
    b.color = mycolor(0, 0, 0);
    b.fillrow(-5, w + 5, 2);  // clipped: the whole row
    EXPECT_EQ(b.rowtouched[2], bit(w - 1) | (bit(w - 1) - 1));
    b.touchspan(w / 2, w / 2, 3, 4);
    EXPECT_EQ(b.rowtouched[3], bit(w / 2));
    b.untouchrows();
    b.thick = 4;
    b.set(w - 1, 3);  // the square x - 2 .. x + 1, y - 2 .. y + 1, clipped
    EXPECT_EQ(b.rowtouched[0], 0u);
    for (int y = 1; y < 4; y++) EXPECT_EQ(b.rowtouched[y], bit(w - 1) | (w > 2 ? bit(w - 3) : 0));
    mybitmap src(4, 4);
    b.untouchrows();
    b.copypixel(src, 0, 0, w - 1, 3);
    EXPECT_EQ(b.rowtouched[3], bit(w - 1));
    b.touchrows(0, 1);
    EXPECT_EQ(b.rowtouched[0], ~uint64_t{0});
  }
}

}  // namespace
