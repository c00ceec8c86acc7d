#include "graphics/framememory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {
const size_t hugepage = size_t{2} << 20;
}

unsigned char* framealloc(size_t bytes) {
  void* p = nullptr;
  if (bytes < hugepage) {
    p = std::malloc(bytes ? bytes : 1);
    if (!p) throw std::bad_alloc();
    return static_cast<unsigned char*>(p);
  }
  if (posix_memalign(&p, hugepage, bytes) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the frame works the same.
  madvise(p, (bytes + 4095) & ~size_t{4095}, MADV_HUGEPAGE);
#endif
  return static_cast<unsigned char*>(p);
}

void framefree(unsigned char* p) { std::free(p); }
