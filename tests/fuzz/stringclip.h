// A clipboard held in a string, for tests and fuzzers that copy and paste
// in a pane without the application: installclip() points the hooks at it.
#pragma once

#include <string>

#include "editor/editview.h"

inline std::string& clipstring() {
  static std::string s;
  return s;
}

inline void installclip() {
  editview::setclipdata = [](unsigned char* p, unsigned long n) {
    clipstring().assign(reinterpret_cast<char*>(p), n);
  };
  editview::getclipdata = [](unsigned long& n) {
    n = clipstring().size();
    return reinterpret_cast<unsigned char*>(&clipstring()[0]);
  };
  clipstring().clear();
}
