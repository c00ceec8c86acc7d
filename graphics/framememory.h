// Memory for whole frames (the bitmap, its backup, the push's copy of what
// the screen shows). At 3840x2160 a frame is 32 MB and each of its rows
// starts on a 4 kB page of its own, so a pass over a pane's rows costs a
// TLB miss a row, dearly so in a virtual machine; frames are therefore
// aligned and offered to the kernel for huge pages where it has them.
#pragma once

#include <cstddef>
#include <memory>

// Uninitialised; throws std::bad_alloc, as new does, when there is no
// memory. Freed with framefree.
unsigned char* framealloc(size_t bytes);
void framefree(unsigned char* p);

struct framedeleter {
  void operator()(unsigned char* p) const { framefree(p); }
};
using framebytes = std::unique_ptr<unsigned char[], framedeleter>;
