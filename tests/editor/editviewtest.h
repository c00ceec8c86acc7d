// Helpers of the editor tests: a pane placed on a bitmap of a chosen size,
// its text as a string, and the notice half of the status line.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "editor/editview.h"
#include "graphics/mybitmap.h"
#include "views/statusbar.h"

// A pane with id `id` on a w x h screen (800 x 800: 31 columns, 22 rows in
// pane 0), holding `content` as laid out text.
struct pane {
  mybitmap bmp;
  std::unique_ptr<editview> ed;
  explicit pane(const std::string& content = "", int w = 800, int h = 800, int id = 0)
      : bmp(w, h) {
    myview::pmymap = &bmp;
    ed.reset(new editview(id));
    ed->init();
    set(content);
  }
  void set(const std::string& content) {
    ed->loadcontent(reinterpret_cast<unsigned char*>(const_cast<char*>(content.data())),
                    static_cast<int>(content.size()));
    ed->setcur(ed->text);
  }
  std::string text() const { return std::string(reinterpret_cast<char*>(ed->text), ed->len); }
  int at() const { return static_cast<int>(ed->cur - ed->text); }
  void put(int offset) { ed->setcur(ed->text + offset); }
  // Start offsets of the display lines.
  std::vector<int> starts() const {
    return std::vector<int>(ed->linestart, ed->linestart + ed->linecount);
  }
};

// The right half of the status line: the latest notice.
inline std::string notice() {
  std::string line = statusline();
  size_t bar = line.find("  |  ");
  return bar == std::string::npos ? line : line.substr(bar + 5);
}
inline void clearnotice() { dispmsg1(""); }
