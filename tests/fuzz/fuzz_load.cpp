// Any bytes as a file, read into a pane through the filter (and the UTF-8
// reader when they are UTF-8), and the filter's result loaded as content:
// the pane's text keeps its invariants, and a file taken whole, whose line
// breaks are all of one style, is saved back byte for byte.
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "editcheck.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzscreen(400, 300);
  static editview* e = [] {
    editview* p = new editview(0);
    p->init();
    return p;
  }();
  static std::string path = "/tmp/bihuafuzzload." + std::to_string(getpid());
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  bool taken = e->readfile(path.c_str());
  checkpane(*e);
  if (taken && size > 0 && !scanbreaks(data, size).mixed) {
    std::string back = path + ".back";
    if (!e->savefile(back.c_str())) abort();
    std::ifstream in(back, std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    if (got.str() != std::string(reinterpret_cast<const char*>(data), size)) abort();
    unlink(back.c_str());
  }
  if (char* t = editview::tfileter(reinterpret_cast<const char*>(data), static_cast<int>(size))) {
    e->loadcontent(reinterpret_cast<unsigned char*>(t), editview::reslen);
    checkpane(*e);
  }
  unlink(path.c_str());
  return 0;
}
