#include "graphics/framememory.h"

#include <sys/mman.h>

#include <cstdlib>

namespace {
const size_t hugepage = size_t{2} << 20;
}

unsigned char* framealloc(size_t bytes) {
  if (bytes < hugepage) return static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1));
  void* p = nullptr;
  if (posix_memalign(&p, hugepage, bytes) != 0) return nullptr;
#ifdef MADV_HUGEPAGE
  // Only advice: without huge pages the frame works the same.
  madvise(p, (bytes + 4095) & ~size_t{4095}, MADV_HUGEPAGE);
#endif
  return static_cast<unsigned char*>(p);
}

void framefree(unsigned char* p) { std::free(p); }
