// The stepping rule shared by every line of the program: the bitmap's thin,
// thick and recording lines and their view twins. It only enumerates
// points; what happens at a point is the caller's.
//
// The rule is deliberately asymmetric (A to B may differ from B to A) and
// must not be "improved": glyph strokes rely on being drawn later point
// first.
#pragma once

#include <algorithm>

// Walks the line from (x0, y0) towards (x1, y1): the major axis is x when
// |dx| >= |dy|, the error starts at m - M/2 (M, m the absolute deltas of the
// major and minor axes) and after each point a minor step is taken when the
// error is positive. With withend the end point is visited too (a
// zero-length line visits its one point); without it the end point and a
// zero-length line visit nothing.
//
// Only points whose major coordinate lies in the window [lo, hi] of that
// axis (xlo..xhi for x, ylo..yhi for y) are visited; the walk jumps straight
// to the first of them, so a line reaching far outside a bitmap costs no
// more than the bitmap's size. The points visited are exactly those of the
// full walk that fall in the window.
struct linewindow {
  long long xlo, xhi, ylo, yhi;
};

class linewalk {
 public:
  linewalk(int x0, int y0, int x1, int y1, bool withend) {
    long long dx = static_cast<long long>(x1) - x0;  // 64 bits: int deltas overflow
    long long dy = static_cast<long long>(y1) - y0;
    long long ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    xmajor = ax >= ay;
    big = xmajor ? ax : ay;
    small = xmajor ? ay : ax;
    a0 = xmajor ? x0 : y0;
    b0 = xmajor ? y0 : x0;
    sa = xmajor ? sx : sy;
    sb = xmajor ? sy : sx;
    e0 = small - big / 2;
    passes = withend ? big + 1 : big;
  }

  template <class Act>
  void run(Act&& act) const {
    runpasses(0, passes - 1, act);
  }

  // The first count points only.
  template <class Act>
  void runfirst(long long count, Act&& act) const {
    runpasses(0, std::min(count, passes) - 1, act);
  }

  template <class Act>
  void run(const linewindow& w, Act&& act) const {
    long long lo = xmajor ? w.xlo : w.ylo, hi = xmajor ? w.xhi : w.yhi;
    // The major coordinate at pass j is a0 + sa * j.
    long long jlo = sa > 0 ? lo - a0 : a0 - hi;
    long long jhi = sa > 0 ? hi - a0 : a0 - lo;
    runpasses(std::max(jlo, 0LL), std::min(jhi, passes - 1), act);
  }

 private:
  bool xmajor;
  long long big, small, a0, b0, e0, passes;
  int sa, sb;

  // Minor steps k taken before pass j and the error err then. After each
  // pass's check the error lies in (-M, 0], which fixes the count as
  // ceil((e0 + (j-1) m) / M); err = e0 + j m - k M. Plain 64-bit arithmetic
  // (32-bit boards have nothing wider): the deltas of int coordinates are
  // below 2^32, so (j-1) m is split into a quotient and a remainder by M
  // before anything is added.
  void stepsbefore(long long j, long long& k, long long& err) const {
    k = 0;
    err = e0;
    if (j == 0 || big == 0) return;
    long long q, r;
    muldiv(j - 1, small, big, q, r);  // (j-1) m = q M + r, 0 <= r < M
    long long rest = e0 + r;          // in (-M, 2M)
    long long more = rest > 0 ? (rest + big - 1) / big : -(-rest / big);  // ceiling
    k = q + more;
    err = rest + small - more * big;
  }

  // a b = q c + r for 0 <= a, b, c < 2^32, c > 0, without overflowing 64 bits.
  static void muldiv(long long a, long long b, long long c, long long& q, long long& r) {
    long long ah = a >> 16, al = a & 0xFFFF;
    long long hi = ah * b;                    // < 2^48
    long long low = (hi % c << 16) + al * b;  // < 2^49
    q = (hi / c << 16) + low / c;
    r = low % c;
  }

  template <class Act>
  void runpasses(long long jfirst, long long jlast, Act& act) const {
    if (jfirst > jlast) return;
    long long k, err;
    stepsbefore(jfirst, k, err);
    long long a = a0 + sa * jfirst, b = b0 + sb * k;
    for (long long j = jfirst; j <= jlast; j++) {
      if (xmajor)
        act(static_cast<int>(a), static_cast<int>(b));
      else
        act(static_cast<int>(b), static_cast<int>(a));
      if (err > 0) {
        b += sb;
        err -= big;
      }
      a += sa;
      err += small;
    }
  }
};

// The whole walk, every point visited.
template <class Act>
inline void linesteps(int x0, int y0, int x1, int y1, bool withend, Act&& act) {
  linewalk(x0, y0, x1, y1, withend).run(act);
}
