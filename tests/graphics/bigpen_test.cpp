// Large pens: a thick line or circle paints exactly what its pen dot
// stamped at every step paints, though a large pen paints the dots' union
// row by row over the bitmap instead of stamping them one by one.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "graphics/circles.h"
#include "graphics/linestep.h"
#include "graphics/mybitmap.h"
#include "tests/graphics/drawtest.h"

namespace {

// A background that shows a translucent pen mixed in twice: every pixel
// differs from its neighbours, and some are the all-zero pixels a mix
// leaves alone.
void pattern(mybitmap& b) {
  for (int y = 0; y < b.height; y++)
    for (int x = 0; x < b.width; x++) {
      unsigned v = (x * 37 + y * 11) % 251;
      b.setpixel(x, y, (x + y) % 17 == 0 ? mycolor(0u) : mycolor(v, 255 - v, v / 2, 255));
    }
}

// The pen dot at every step of the line whose dot can reach the bitmap
// (the walk of a line billions of pixels long is cut to that stretch).
void stamped(mybitmap& b, int x0, int y0, int x1, int y1) {
  int r = b.thick / 2 > 0 ? b.thick / 2 : 1;
  linewindow w{-r - 1LL, b.width + r + 0LL, -r - 1LL, b.height + r + 0LL};
  linewalk(x0, y0, x1, y1, true).run(w, [&](int x, int y) { b.circlef1(x, y, r); });
}

struct linecase {
  int thick, x0, y0, x1, y1;
};

TEST(BigPen, LineIsItsDotAtEveryStep) {
  std::vector<linecase> cases = {
      {33023, 0, 0, 687865856, -721420288},  // the fuzzer's: seven seconds of stamping once
      {40001, -30000, 20, 30000, 50},        // the largest pen, its ring across the bitmap
      {40001, 70, -19990, 75, -19995},       // a short line whose ring's bottom grazes the top
      {35, 75, 55, 75, 55},                  // one dot, and one whose top rows show
      {1001, 75, 520, 75, 520},
      {35, 10, 10, 11, 10},
      {9, 75, 55, 75, 55},  // the smallest ring pen
      {10, -5, 7, 200, 9},
  };
  std::mt19937 rng(25);
  std::uniform_int_distribution<int> coord(-400, 500), pen(10, 2000);
  for (int i = 0; i < 40; i++)
    cases.push_back({i % 4 ? pen(rng) : 8 + i, coord(rng), coord(rng), coord(rng), coord(rng)});
  for (const linecase& c : cases) {
    for (mycolor colour : {mycolor(200, 30, 0), mycolor(0, 0, 255, 100)}) {
      mybitmap got(150, 110), want(150, 110);
      pattern(got);
      pattern(want);
      got.thick = want.thick = c.thick;
      got.color = want.color = colour;
      got.line(c.x0, c.y0, c.x1, c.y1);
      stamped(want, c.x0, c.y0, c.x1, c.y1);
      ASSERT_TRUE(samepixels(got, want)) << c.thick << ": " << c.x0 << "," << c.y0 << " to "
                                         << c.x1 << "," << c.y1 << " alpha " << int(colour.alpha);
    }
  }
}

// Every chord of the circle with its dot at every step, as the circle was
// first drawn.
void stampedcircle(mybitmap& b, int x, int y, int r) {
  long long n = 12LL * r;
  double step = 2 * M_PI / n;
  int px = x + r, py = y;
  for (long long i = 1; i <= n; i++) {
    int nx = static_cast<int>(x + r * std::cos(i * step) + 0.5);
    int ny = static_cast<int>(y + r * std::sin(i * step) + 0.5);
    stamped(b, px, py, nx, ny);
    px = nx;
    py = ny;
  }
}

TEST(BigPen, CircleIsItsDotAtEveryStepOfEveryChord) {
  struct circlecase {
    int thick, x, y, r;
  } cases[] = {{10, 40, 30, 20}, {13, 70, 100, 40}, {34, 40, 30, 20}, {41, -20, 50, 70}, {300, 60, 200, 150}, {999, 75, 55, 500},
               {5000, 75, 55, 2500}};
  for (const circlecase& c : cases) {
    mybitmap got(150, 110), want(150, 110);
    pattern(got);
    pattern(want);
    got.thick = want.thick = c.thick;
    got.color = want.color = mycolor(0, 120, 0, 90);
    got.circle(c.x, c.y, c.r);
    stampedcircle(want, c.x, c.y, c.r);
    ASSERT_TRUE(samepixels(got, want)) << c.thick << " " << c.r;
  }
}

// A pen too large is refused before anything is drawn, by the line and by
// a circle that reaches the bitmap; a pen of radius 20000 is drawn.
TEST(BigPen, TheLargestPenDrawsAndALargerOneThrows) {
  mybitmap b(40, 30);
  b.thick = 40002;
  EXPECT_THROW(b.line(-100000, 5, 100000, 5), const char*);
  EXPECT_THROW(b.circle(20, 15, 40), const char*);
  EXPECT_TRUE(marked(b).empty());
  b.thick = 40001;
  b.circle(20, 15 + 20000, 1);  // its dots' rings pass through the bitmap
  EXPECT_FALSE(marked(b).empty());
}

}  // namespace

namespace {

// A circle whose pen overlaps most of its dots, drawn as its continuous
// shape, differs from stamping every dot only within three pixels of the
// shape's edges, and there in few pixels.
TEST(BigPen, ContinuousRingIsTheStampedOneBarItsEdges) {
  struct ringcase {
    int pen, x, y, r;
  } cases[] = {{60, 75, 55, 60}, {60, 75, 55, 65}, {80, 75, 55, 30}, {40, 75, 55, 90}, {70, -20, 130, 80}, {50, 10, 20, 50}};
  for (const ringcase& c : cases) {
    mybitmap got(150, 110), want(150, 110);
    got.thick = want.thick = 2 * c.pen + 1;
    got.color = want.color = mycolor(0, 0, 200);
    penannulus(got, c.x, c.y, c.r, c.pen);
    stampedcircle(want, c.x, c.y, c.r);
    int differ = 0, painted = 0;
    double edges[] = {c.r + c.pen + 0.25, c.r - c.pen - 0.25, c.pen - 2.75 - c.r};
    for (int py = 0; py < 110; py++)
      for (int px = 0; px < 150; px++) {
        painted += want.getpixel(px, py).blue == 200;
        if (got.getpixel(px, py).blue == want.getpixel(px, py).blue) continue;
        differ++;
        double rho = std::hypot(px - c.x, py - c.y), near = 1e9;
        for (double e : edges) near = std::min(near, std::fabs(rho - e));
        ASSERT_LE(near, 3.0) << c.pen << " " << c.r << " at " << px << "," << py;
      }
    EXPECT_LT(differ * 10, painted + 10) << c.pen << " " << c.r;
  }
}

// The call that took half a second: the largest pen on a circle as large
// about a full-screen bitmap takes the continuous shape and covers the
// screen but for nothing.
TEST(BigPen, TheLargestCircleAboutTheScreenIsItsContinuousRing) {
  mybitmap got(320, 200), want(320, 200);
  got.thick = 40001;
  want.thick = 40001;
  got.circle(160, 100, 20000);
  penannulus(want, 160, 100, 20000, 20000);
  EXPECT_TRUE(samepixels(got, want));
  EXPECT_FALSE(marked(got).empty());
}

}  // namespace
