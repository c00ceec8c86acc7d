// The ring stamp behind the pen dot, and the half-chord helper. The drawing
// operations themselves are members of mybitmap (circles.cpp).
#pragma once

class mybitmap;

// Throws the GBK text "半径过小" for a pen radius r <= 0 and "半径过大" for
// r > 20000; every pen dot asks first.
void checkpen(int r);

// Half width of row t (distance from the centre row) of the filled disc of
// radius r, as circlef draws it; |t| <= r.
int dischalf(long long r, long long t);

// Point list of the ring stamp of radius r: pairs x, y relative to the
// top-left corner of its (2r+1) x (2r+1) square, columns ascending and rows
// ascending within a column, ended by an x of -1. Up to radius 4 the stamp
// is the filled disc of circlef(r, r, r); above, only the ring between the
// radii r and r - 3. The last radius asked for is cached: the pointer stays
// valid until a different radius is asked for.
// Throws the GBK text "半径过小" for r <= 0 and "半径过大" for r > 20000.
const int* fillring(int r);

// r * sqrt(1 - (a/r)^2), the half chord at distance a, from a 1001-entry
// table; 1.0 when a lies outside -r..r.
double mysqrt(int a, int r);

// True when the ring stamp of radius r centred at (x, y) paints nothing on
// b: it lies wholly outside, or b lies wholly in its hole.
bool ringmisses(const mybitmap& b, int x, int y, int r);

// The ring a pen dot of radius pen leaves when stamped all along the circle
// of radius r about (x, y), as its continuous shape: every pixel whose
// centre lies between max(r - pen - 1/4, pen - 11/4 - r) and r + pen + 1/4
// from (x, y), written once in b's colour. A circle whose dots would
// overlap by the million is drawn this way; it differs from stamping them
// only on the edges, where the dots' rounding lands a pixel either way.
void penannulus(mybitmap& b, int x, int y, int r, int pen);
