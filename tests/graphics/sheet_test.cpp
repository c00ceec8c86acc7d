// A sheet of every raster primitive, written as the program writes its BMP,
// read back and compared pixel for pixel with the reference picture
// sheet.png kept beside this file. When a change of the drawing is
// intended, run the test with BIHUA_UPDATE_REFERENCES=1 set, look at the
// new sheet.png and commit it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "graphics/mybitmap.h"
#include "tools/e2e/rigimage.h"

namespace {

// Thin lines in every octant and on every axis and diagonal.
void drawstar(mybitmap& b, int cx, int cy) {
  b.color = mycolor();
  for (int k = 0; k < 32; k++) {
    double a = k * M_PI / 16;
    int r = k % 2 ? 44 : 36;
    b.drawthinline(cx + static_cast<int>(std::lround(r * std::cos(a))),
                   cy + static_cast<int>(std::lround(r * std::sin(a))), cx, cy);
  }
}

void drawthick(mybitmap& b) {
  const int widths[6] = {1, 2, 4, 7, 10, 15};
  const mycolor colours[6] = {mycolor(0, 0, 0), mycolor(200, 0, 0), mycolor(0, 140, 0),
                              mycolor(0, 0, 220), mycolor(180, 120, 0), mycolor(120, 0, 160)};
  for (int i = 0; i < 6; i++) {
    b.thick = widths[i];
    b.line(110 + 14 * i, 8, 118 + 14 * i, 90, colours[i]);  // steep
    b.line(200, 10 + 13 * i, 250, 20 + 15 * i);               // shallow
  }
  // A translucent pen: each pixel of the stroke is mixed once.
  b.thick = 12;
  b.line(110, 80, 250, 35, mycolor(0, 200, 255, 110));
  b.cleartm();
}

void drawround(mybitmap& b) {
  b.thick = 1;
  b.color = mycolor(0, 0, 0);
  b.circle(350, 30, 22);
  b.thick = 5;
  b.color = mycolor(0, 120, 200);
  b.circle(350, 30, 12);
  b.color = mycolor(220, 40, 40);
  b.circlef(320, 78, 14);
  b.color = mycolor(40, 160, 40);
  b.circlef(352, 80, 6);
  b.circlef(370, 80, 1);
  b.color = mycolor(0, 0, 0);
  for (int r : {1, 3, 5, 9})
    b.circlef1(300 + 5 * r, 108, r);  // pen dots: discs, then rings
}

void drawscatter(mybitmap& b) {
  mybitmap::idum = 0;
  b.color = mycolor(90, 60, 30);
  int x = 8;
  for (int d : {0, 1, 2, 5, 9, 16}) {
    for (int k = 0; k < 3; k++) b.circled(x + d / 2, 122 + d / 2 + (d + 4) * k, d);
    x += d + 7;
  }
  b.circled(32, 240, 60);
  b.circled(118, 222, 101);  // beyond the table: a filled disc
}

void drawboxes(mybitmap& b) {
  b.color = mycolor(255, 230, 120);
  b.boxfill(172, 120, 212, 150);
  b.thick = 3;
  b.color = mycolor(0, 0, 0);
  b.box(172, 120, 212, 150);
  b.thick = 1;
  b.box(235, 125, 200, 160);
  mybitmap::fx = 0;
  for (int k = 0; k < 4; k++) b.sanjiaomv(178 + 18 * k, 185, mycolor(200, 0, 0));
  for (int k = 0; k < 4; k++) b.sanjiaomv(178 + 18 * k, 205, mycolor(0, 0, 200, 128));
  b.cleartm();
}

void draw3d(mybitmap& sheet) {
  mybitmap v(150, 150);
  v.init3d(-1.7, 1.7, -1.7, 1.7, -1.7, 1.7);
  v.color = mycolor(120, 120, 120);
  v.box3d(-1, -1, -1, 1, 1, 1);
  v.color = mycolor(0, 0, 0);
  v.line3d(0, 0, 0, 1.6, 0, 0);
  v.line3d(0, 0, 0, 0, 1.6, 0);
  v.line3d(0, 0, 0, 0, 0, 1.6);
  v.color = mycolor(40, 90, 200);
  v.ball3d(0.6, -0.5, 0.5, 0.4);
  v.color = mycolor(0, 150, 0);
  v.zui3d(-0.6, -0.7, -0.8, -0.6, -0.7, 0.6, 0.25);
  v.color = mycolor(220, 0, 0);
  v.arrow3d(0.5, -0.9, -0.6, 0.5, 1.2, 0.2, 0.15);
  v.color = mycolor(0, 0, 0);
  for (int i = 0; i < 5; i++) v.set3d(-0.8 + 0.4 * i, 0.9, -0.9);
  sheet.copyblock(v, 0, 0, 246, 125, 150, 150);
}

void drawsheet(mybitmap& b) {
  drawstar(b, 50, 50);
  drawthick(b);
  drawround(b);
  drawscatter(b);
  drawboxes(b);
  draw3d(b);
}

TEST(Sheet, EveryPrimitiveMatchesTheReference) {
  mybitmap b(400, 280);
  drawsheet(b);
  std::string out = std::string(BIHUA_BINARY_DIR) + "/tests/graphics/sheet.bmp";
  b.savetobmp(out.c_str());
  rigimage sheet = rigimage::loadbmp(out);
  ASSERT_FALSE(sheet.empty()) << out;
  EXPECT_TRUE(matchesreference(sheet, std::string(BIHUA_SOURCE_DIR) + "/tests/graphics/sheet.png"));
}

}  // namespace
