// Pieces of the code lookup that the dictionary tools share with it: the
// prefix masks of a typed code and the byte length of a phrase entry.
// Only what works on the tables belongs here; nothing that draws.
#pragma once

#include <cstdint>

// pbws[n] keeps the low n bytes of a code field: the first n letters.
// A field c starts with the n typed letters of key when (c & pbws[n]) == key.
extern const uint64_t pbws[8];

// Byte length of phrase entry k, from the offset table of the phrase group.
inline int chinum(const int* chiidx, int k) { return chiidx[k + 1] - chiidx[k]; }
