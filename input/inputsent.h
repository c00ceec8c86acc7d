// The tables of the pinyin sentence engine, generated with the other
// dictionaries (generated/inputsent.cpp).
//
// Words: every GB2312 word and character of the pinyin word list with one
// of its readings, in four groups by syllable count (1 to 4), each sorted
// by its syllable ids and, for equal ids, most frequent first. Record r is
// global: group 1's records first. A syllable id is the place of the
// syllable in `sentsyllables` (alphabetical, so the syllables starting with
// some letters have consecutive ids).
//
// `sentdata` holds, in base 64, these little-endian arrays:
//   syllable ids   2 bytes each, all records' syllables in record order
//   entries        3 bytes per record: its phrase-table entry (inputchi.h)
//   costs          1 byte per record: -log10 of its frequency, in steps
//   back-offs      1 byte per record: what any word after it costs more
//   pair counts    1 byte per record: how many pairs it begins
// (costs, back-offs and pair counts have one element more, for the start
// of a sentence, taken as a record numbered after the last)
//   pairs          3 bytes each: second record << 7 | gain, sorted by first
//                  record (in pair-count order) and then second record
// A step is 0.05 of a decimal logarithm. The cost of word b after word a is
// cost(b) + back-off(a) - gain(a, b), gain 0 for a pair not listed.
#pragma once

extern const int sentsyllablecount;
extern const char* const sentsyllables[];
extern const int sentwordcounts[4];
extern const int sentpaircount;
extern const char sentdata[];
