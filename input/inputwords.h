// The word index: for each GB2312 character, the phrase entries of two or
// more characters that begin with it, most frequent first by the weights
// of the dictionary sources. Generated with the other tables
// (generated/inputwords.cpp); the pinyin word list walks it.
//
// A character's slot is (lead - 0xB0) * 94 + (trail - 0xA1); its entries
// are inputwordlist[inputwordfirst[slot] .. inputwordfirst[slot + 1]).
// inputwordrank[k] is entry k's place among all indexed words (0 the most
// frequent), -1 for an entry not indexed (single characters, and repeats
// of a word under another code). Within a slot the ranks rise.
#pragma once

#include "input/inputchi.h"

constexpr int inputwordslots = 72 * 94;

extern const int inputwordcount;
extern const int inputwordfirst[inputwordslots + 1];
extern const int inputwordlist[];
extern const int inputwordrank[];

// The slot of a character (two GBK bytes in memory order), or -1 outside
// the GB2312 hanzi area.
inline int inputwordslot(unsigned short ch) {
  int lead = ch & 0xFF, trail = ch >> 8;
  if (lead < 0xB0 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return -1;
  return (lead - 0xB0) * 94 + (trail - 0xA1);
}
