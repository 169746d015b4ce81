#include "app/cli/MemoryPolicy.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zelm::cli {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// The heap is prepared in blocks of this size.
constexpr std::size_t kPreparedBlock = std::size_t{16} << 20;

}  // namespace

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Texts of any size come from the heap: a block mapped on its own would be
  // given back when freed and faulted in afresh for the next pass, which
  // would make a large page cost more per byte than a small one.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, INT_MAX);
  mallopt(M_ARENA_MAX, 1);
#endif
}

void PrepareHeapFor(std::size_t bytes) {
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_HUGEPAGE)
  // Blocks taken one after another lie next to each other at the top of the
  // heap; advised and freed again they merge into the free space the passes
  // take their texts from. Only the advice is kept: nothing is touched here.
  std::vector<void*> blocks;
  constexpr std::size_t kBlock = kPreparedBlock;
  for (std::size_t reserved = 0; reserved < bytes; reserved += kBlock) {
    void* block = std::malloc(kBlock);
    if (!block) break;
    blocks.push_back(block);
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + kBlock) & ~(kHugePage - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  }
  for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) std::free(*it);
#else
  (void)bytes;  // other systems: the heap grows as the passes ask
#endif
}

}  // namespace zelm::cli
