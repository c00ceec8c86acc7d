// A fixed oblique projection for mybitmap: the world box chosen by init3d
// becomes the cube -1..1 with y to the right, z up and x towards the viewer
// (down-left on the screen). Points, lines, boxes, balls, cones and arrows
// are drawn with the 2D primitives; nothing here writes pixels itself.
#include <cmath>
#include <initializer_list>

#include "graphics/mybitmap.h"

namespace {

// Screen coordinates far beyond any bitmap are held at this distance, so a
// point at infinity (or not a number) cannot overflow an int; what lies
// inside the bitmap is unchanged.
constexpr double screenlimit = 1e9;

int toscreen(double v) {
  if (!(v > -screenlimit)) return static_cast<int>(-screenlimit);  // also NaN
  if (v > screenlimit) return static_cast<int>(screenlimit);
  return static_cast<int>(v);
}

// Truncated pixel distance between two projected points.
int pixeldistance(int x0, int y0, int x1, int y1) {
  double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
  return toscreen(std::sqrt(dx * dx + dy * dy));
}

}  // namespace

bool mybitmap::init3d(double x0, double x1, double y0, double y1, double z0, double z1) {
  if (!(x0 < x1 && y0 < y1 && z0 < z1)) return false;
  scalex = 2 / (x1 - x0);
  offx = 1 - scalex * x1;
  scaley = 2 / (y1 - y0);
  offy = 1 - scaley * y1;
  scalez = 2 / (z1 - z0);
  offz = 1 - scalez * z1;
  return true;
}

void mybitmap::c3d2d(double x, double y, double z, int& X, int& Y) const {
  double u = offx + scalex * x, v = offy + scaley * y, w = offz + scalez * z;
  double d = 0.7 * u;
  X = toscreen(((v - d) * 0.48 * width) * 0.7 + width / 2);
  Y = toscreen(height / 2 - ((w - d) * 0.48 * height) * 0.7);
}

void mybitmap::line3d(double x0, double y0, double z0, double x1, double y1, double z1) {
  int ax, ay, bx, by;
  c3d2d(x0, y0, z0, ax, ay);
  c3d2d(x1, y1, z1, bx, by);
  drawthinline(ax, ay, bx, by);
}

void mybitmap::moveto3d(double x, double y, double z) {
  curx = x;
  cury = y;
  curz = z;
}

void mybitmap::lineto3d(double x, double y, double z) {
  line3d(curx, cury, curz, x, y, z);
  moveto3d(x, y, z);
}

void mybitmap::box3d(double x0, double y0, double z0, double x1, double y1, double z1) {
  if (x0 == x1 || y0 == y1 || z0 == z1) return;
  for (double z : {z0, z1}) {
    moveto3d(x0, y0, z);
    lineto3d(x1, y0, z);
    lineto3d(x1, y1, z);
    lineto3d(x0, y1, z);
    lineto3d(x0, y0, z);
  }
  line3d(x0, y0, z0, x0, y0, z1);
  line3d(x1, y0, z0, x1, y0, z1);
  line3d(x1, y1, z0, x1, y1, z1);
  line3d(x0, y1, z0, x0, y1, z1);
}

void mybitmap::ball3d(double x, double y, double z, double r) {
  if (r < 0) return;
  int cx, cy, tx, ty;
  c3d2d(x, y, z, cx, cy);
  c3d2d(x, y, z + r, tx, ty);
  circlef(cx, cy, pixeldistance(cx, cy, tx, ty));
}

void mybitmap::set3d(double x, double y, double z) { ball3d(x, y, z, 0.02); }

void mybitmap::line3dt(double x0, double y0, double z0, double x1, double y1, double z1, double t) {
  int ox, oy, tx, ty;
  c3d2d(0, 0, 0, ox, oy);
  c3d2d(0, 0, t, tx, ty);
  int pen = pixeldistance(ox, oy, tx, ty);
  thick = pen > 0 ? pen : 1;
  int ax, ay, bx, by;
  c3d2d(x0, y0, z0, ax, ay);
  c3d2d(x1, y1, z1, bx, by);
  line(ax, ay, bx, by);
}

void mybitmap::zui3d(double x0, double y0, double z0, double x1, double y1, double z1, double t) {
  if (!(t > 0)) return;
  double dx = (x1 - x0) / 100, dy = (y1 - y0) / 100, dz = (z1 - z0) / 100;
  double x = x0, y = y0, z = z0;
  for (int i = 0; i < 100; i++) {
    // Each step starts where the last one ended, accumulated, not recomputed.
    line3dt(x, y, z, x + dx, y + dy, z + dz, t - t / 100 * i);
    x += dx;
    y += dy;
    z += dz;
  }
}

void mybitmap::arrow3d(double x0, double y0, double z0, double x1, double y1, double z1, double t) {
  if (!(t > 0)) return;
  double mx = x0 + (x1 - x0) * 3 / 4, my = y0 + (y1 - y0) * 3 / 4, mz = z0 + (z1 - z0) * 3 / 4;
  line3dt(x0, y0, z0, mx, my, mz, t);
  zui3d(mx, my, mz, x1, y1, z1, 2 * t);
}
