// pentrail: the pen dots of a thick line or circle (the ring stamps of
// circles.h) at many centres, painted as their union row by row over the
// bitmap only. A large pen's dots overlap almost wholly and mostly miss the
// bitmap: stamping each one costs its whole ring, painting the union costs
// the bitmap rows the dots reach times the dots reaching them.
#pragma once

#include <vector>

class mybitmap;

class pentrail {
 public:
  // Pens up to this radius (filled discs) are stamped dot by dot; the rings
  // of larger ones overlap enough that a trail is cheaper.
  static const int stampedmax = 4;

  // Dots of radius r (1 .. 20000, see checkpen) on b, in b's colour.
  pentrail(mybitmap& b, int r);

  // One dot centred at (x, y). A dot that paints nothing on the bitmap, or
  // repeats the one just added, is not kept.
  void add(int x, int y);
  // A dot at every step of the thick line from (x0, y0) to (x1, y1), both
  // ends included; steps whose dot cannot reach the bitmap are not walked.
  void addline(int x0, int y0, int x1, int y1);
  // Every pixel some dot covers, written once (as setpixel writes it), as
  // runs along the rows.
  void paint();
  // What paint would cost: the bitmap rows each kept dot's ring spans,
  // summed over the dots.
  long long rowsspanned() const;

 private:
  // Consecutive dots lie next to each other: a group of them is passed over
  // whole on the rows where none of its rings can meet the bitmap.
  static const int groupsize = 64;
  struct group {
    int first, last;           // dots first .. last - 1
    long long x0, x1, y0, y1;  // box of their centres
  };

  mybitmap& b;
  int r;
  // By stamp row k = t + r (t from 1 - r to r): the half width of the
  // ring's row, and of its hole there (-1: none).
  std::vector<int> half;
  std::vector<int> hole;
  std::vector<int> xs, ys;  // centres in the order added
  std::vector<group> groups;
  std::vector<int> depth;  // coverage changes along the row being painted
  int lo = 0, hi = -1;     // the part of depth in use

  void makegroups();
  bool meets(const group& g, long long y) const;
  void mark(long long a, long long e);
  void paintrow(long long y);
};
