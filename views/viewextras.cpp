// Arrows and curve plots drawn inside a view with its thick line. They set
// the colour and thickness they need and leave them set.
#include <algorithm>
#include <cmath>
#include <vector>

#include "views/myview.h"

void myview::calarrow(double dx, double dy, double spread, double& c1, double& s1, double& c2,
                      double& s2) {
  double a = std::atan2(-dy, -dx);  // pointing back along (dx, dy)
  c1 = std::cos(a - spread);
  s1 = std::sin(a - spread);
  c2 = std::cos(a + spread);
  s2 = std::sin(a + spread);
}

void myview::drawjiantou(double x0, double y0, double tipx, double tipy) {
  if (x0 == tipx && y0 == tipy) return;
  double c1, s1, c2, s2;
  // y counted upwards for the angle; the view's y runs downwards.
  calarrow(tipx - x0, y0 - tipy, 0.2, c1, s1, c2, s2);
  double g = 0.1 * width();
  int ox = static_cast<int>(tipx + 0.5), oy = static_cast<int>(tipy + 0.5);
  line(ox, oy, static_cast<int>(ox + c1 * g + 0.5), static_cast<int>(oy - s1 * g + 0.5));
  line(ox, oy, static_cast<int>(ox + c2 * g + 0.5), static_cast<int>(oy - s2 * g + 0.5));
}

void myview::drawarrow(double vx, double vy) {
  int s = std::min(width(), high());
  int half = s / 2;
  double len = std::sqrt(vx * vx + vy * vy);
  int t = half / 20;
  pmymap->thick = t <= 2 ? 3 : t;
  pmymap->color = mycolor(255, 0, 0);
  if (len == 0) return;  // no direction to point in
  int cx = width() / 2, cy = high() / 2;
  int tx = cx + static_cast<int>(vx * half / len + 0.5);
  int ty = cy - static_cast<int>(vy * half / len + 0.5);
  line(cx, cy, tx, ty);
  drawjiantou(cx, cy, tx, ty);
}

void myview::drawxycurve(int n, const double* xs, const double* ys) {
  if (n <= 1) return;
  double xmin = *std::min_element(xs, xs + n), xmax = *std::max_element(xs, xs + n);
  double ymin = *std::min_element(ys, ys + n), ymax = *std::max_element(ys, ys + n);
  if (xmax == xmin) {
    xmin -= 1;
    xmax += 1;
  }
  if (ymax == ymin) {
    ymin -= 1;
    ymax += 1;
  }
  double kx = width() / (xmax - xmin) * 0.9, ky = high() / (ymax - ymin) * 0.9;
  double k = std::min(kx, ky);
  double scalex = keepratio ? k : kx, scaley = keepratio ? k : ky;
  std::vector<double> px(n), py(n);
  for (int i = 0; i < n; i++) {
    px[i] = width() / 2 + (xs[i] - (xmax + xmin) / 2) * scalex;
    py[i] = high() / 2 - (ys[i] - (ymax + ymin) / 2) * scaley;
  }
  pmymap->thick = 3;
  pmymap->color = mycolor(255, 0, 0);
  auto round = [](double v) { return static_cast<int>(v + 0.5); };
  for (int i = 1; i < n; i++) line(round(px[i - 1]), round(py[i - 1]), round(px[i]), round(py[i]));
  if (keepratio && (px[n - 1] != px[n - 2] || py[n - 1] != py[n - 2]))
    drawjiantou(px[n - 2], py[n - 2], px[n - 1], py[n - 1]);
}
