#include "app/cli/MemoryPolicy.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zelm::cli {

namespace {
constexpr int kHeapStep = 64 << 20;
// The stretch of the heap below its first large page, held for good (an
// atomic, so that the compiler keeps the allocation).
std::atomic<void*> skippedStretch{nullptr};
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

void PrepareHeapInLargePages(std::size_t bytes) {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
  // One block of `bytes` grows the heap by it and the top pad; freed, it is
  // the free space at the top the passes take their texts from. Only advice
  // is given: nothing is touched here.
  constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
  void* block = std::malloc(bytes);
  if (!block) return;
  const auto at = reinterpret_cast<std::uintptr_t>(block);
  const auto start = (at + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kHugePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
  std::free(block);
  // The heap's start is not on a large page's boundary, and no large page
  // fits below the first one; the passes' first texts would be faulted in
  // there in small pages, hundreds of them. The first time, that stretch is
  // taken and kept untouched, so that the texts start on a large page.
  void* expected = nullptr;
  if (end > start && start > at && skippedStretch.load() == nullptr) {
    void* stretch = std::malloc(start - at);
    if (!skippedStretch.compare_exchange_strong(expected, stretch)) std::free(stretch);
  }
#else
  (void)bytes;  // elsewhere the heap grows as the passes ask
#endif
}

}  // namespace zelm::cli
