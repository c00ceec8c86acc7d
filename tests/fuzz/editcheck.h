// The invariants of a pane's text, checked by the editing fuzz targets:
// the terminator, whole two-byte characters (but for a lead byte alone at
// the end), cursor and anchor inside the text and never inside a character,
// and a line table and flags equal to those a fresh layout of the same
// text makes.
#pragma once

#include <cstdlib>
#include <vector>

#include "editor/editview.h"
#include "graphics/gbkchar.h"

inline void checkpane(editview& e) {
  if (e.len < 0 || e.len > editview::maxtextlen || e.text[e.len] != 0) abort();
  if (e.cur < e.text || e.cur > e.textend() || e.sel < e.text || e.sel > e.textend()) abort();
  for (int i = 0; i < e.len; i++) {
    bool first = e.ctrl[i].is(ctrbyte::hz1), second = e.ctrl[i].is(ctrbyte::hz2);
    if (first && (!isgbkpair(e.text + i, e.len - i) || !e.ctrl[i + 1].is(ctrbyte::hz2))) abort();
    if (second && (i == 0 || !e.ctrl[i - 1].is(ctrbyte::hz1))) abort();
    if (e.ctrl[i].is(ctrbyte::lf) != (e.text[i] == '\n' && !second)) abort();
  }
  if (e.cur < e.textend() && e.ctrl[e.cur - e.text].is(ctrbyte::hz2)) abort();
  if (e.linecount < 1 || e.linecount >= maxlinenumber || e.linestart[0] != 0 ||
      e.linestart[e.linecount] != e.len)
    abort();
  std::vector<int> before(e.linestart, e.linestart + e.linecount + 1);
  std::vector<unsigned char> flags(e.len);
  for (int i = 0; i < e.len; i++) flags[i] = e.ctrl[i].bits;
  e.setpara();  // nothing pending: the whole text again
  std::vector<int> after(e.linestart, e.linestart + e.linecount + 1);
  if (before != after) abort();
  for (int i = 0; i < e.len; i++)
    if (flags[i] != e.ctrl[i].bits) abort();
}
