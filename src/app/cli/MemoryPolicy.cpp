#include "app/cli/MemoryPolicy.h"

#include <climits>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zelm::cli {

namespace {
constexpr int kHeapStep = 64 << 20;
}  // namespace

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Texts of any size come from the heap: a block mapped on its own would be
  // given back when freed and faulted in afresh for the next pass, which
  // would make a large page cost more per byte than a small one.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  mallopt(M_ARENA_MAX, 1);
  // The heap grows in large steps: each step is a system call that stalls
  // every thread's page faults, and a page goes through dozens of them in
  // small steps. Address space only: untouched memory costs nothing.
  mallopt(M_TOP_PAD, kHeapStep);
#endif
}

}  // namespace zelm::cli
