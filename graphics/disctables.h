// The two constant tables of the scattered disc (generated into
// generated/disctables.cpp by tools/gendisc.py). Nothing here draws.
#pragma once

// cirpt[i] = {x, y}: integer offsets sorted by x*x + y*y, then x, then y;
// the 7845 offsets of the disc of diameter 100 and one more beyond it.
extern const int cirptlth;
extern const int cirpt[7846][2];

// aa[d]: number of cirpt entries inside the disc of diameter d (0..100).
// A disc of diameter d draws entries 0 to aa[d] inclusive.
extern const int aa[101];
