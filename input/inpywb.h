// The character dictionary: one row per (GB2312 hanzi, reading) pair, with
// the row's character in keyinputhanzhi and its pinyin and wubi codes in
// two code tables sorted for scanning. The tables are generated
// (generated/inpywb.cpp); nothing here may change them at run time.
//
// A code is up to seven lower-case letters in an 8-byte field, left-aligned
// and zero-padded, held as the 64-bit value of those bytes read
// little-endian: the first letter is the lowest byte, so the field's bytes
// in memory are the letters in order.
//
// keyinputpy and keyinputwb are sorted by that value (ties in row order);
// keyinputpyindex[i] / keyinputwbindex[i] give the row of entry i.
// keyinputhanzhi holds each character as its two GBK bytes in memory order
// (lead byte first), read as one 16-bit value.
#pragma once

#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "code fields and characters are stored for little-endian machines");

extern const int zhiinputsize;
extern const unsigned short keyinputhanzhi[];
extern const uint64_t keyinputpy[];
extern const int keyinputpyindex[];
extern const uint64_t keyinputwb[];
extern const int keyinputwbindex[];
