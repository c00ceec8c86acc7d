// The phrase dictionary: single characters and words, each with one wubi
// code, as one packed GBK text buffer cut into entries by an offset table.
// The tables are generated (generated/inputchi.cpp); nothing may change
// them.
//
// Entry k is the text inputhzchi[inputhzchiindex[k] .. inputhzchiindex[k+1])
// with the code inputhzchiwb[k] (an 8-byte code field as in inpywb.h).
// Entries are ordered by the first three letters of their code, and by
// preference within such a group. inputhzchiindex has inputhzchinumber + 1
// elements, the last one being the buffer size.
#pragma once

#include <cstdint>

#include "input/inpywb.h"

extern const int inputhzchinumber;
// Two-byte characters in the buffer; kept for the record, not for lookup.
extern const int inputchibufnumber;
extern const char inputhanchibyte[];
extern const char* const inputhzchi;
extern const int inputhzchiindex[];
extern const uint64_t inputhzchiwb[];
