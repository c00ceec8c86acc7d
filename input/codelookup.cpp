// The prefix masks of the code lookup.
#include "input/codelookup.h"

const uint64_t pbws[8] = {
    0x0ULL,        0xFFULL,         0xFFFFULL,         0xFFFFFFULL,
    0xFFFFFFFFULL, 0xFFFFFFFFFFULL, 0xFFFFFFFFFFFFULL, 0xFFFFFFFFFFFFFFULL,
};
