// Maintenance tools for the dictionary tables: writers that dump number
// lists or the phrase table into "temp.txt" and then end the process, and
// the wubi code of a character or a word derived from the character tables.
// Nothing in the editor calls them; they must never touch editor state.
//
// The writers take what they write as arguments, so the input-method view
// can forward its own table pointers to them. When "temp.txt" cannot be
// opened or written they end the process with status 1 and write nothing
// through the failed file; otherwise with status 0.
#pragma once

#include <cstdint>

// Number list format: every value followed by a comma, a newline after
// every tenth value.
[[noreturn]] void storeints(int* values, int n);
[[noreturn]] void storewords(unsigned short* values, int n);

// Sorts keys ascending (signed, stable), moving rows along, then writes the
// keys, a newline, eleven '=', a newline, and the rows.
[[noreturn]] void piksr2(long long* keys, int* rows, int n);

// One line "<code> <text>\n" per phrase entry, texts in GBK.
[[noreturn]] void setchiwbfile(const char* chitext, int chicount, const int* chiidx,
                               const uint64_t* chiwb);

// The wubi code of a character (two GBK bytes in memory order) as an
// 8-byte code field, taken from the code table entry of its first row;
// 0 when no row has the character.
uint64_t azhiwb(unsigned short ch, const unsigned short* zhitab, int zhicount,
                const uint64_t* wbtab, const int* wbidx);

// The wubi code of a word of n characters, by the phrase rule over the
// characters' codes; 0 when the word is too short or a code is missing.
uint64_t awordwb(const unsigned short* chars, int n, const unsigned short* zhitab, int zhicount,
                 const uint64_t* wbtab, const int* wbidx);

// The phrase rule itself, given the codes of the first, second, third and
// last character of a word of n characters.
uint64_t wordcode(uint64_t c1, uint64_t c2, uint64_t c3, uint64_t cl, int n);
