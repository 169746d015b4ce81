// How zelm-cli asks the C library for memory. A page goes through a dozen
// passes, each making a text of the page's size and dropping the one
// before; every page of memory touched for the first time costs a fault.
#pragma once

#include <cstddef>

namespace zelm::cli {

// Freed blocks stay with the process for the next pass, and all threads
// draw on one heap, so a block one thread frees is the next one's.
void KeepFreedMemoryForReuse();

// Grows the heap by about `bytes` at once and asks for it in large pages
// (2 MB), so that the passes over a large page fault once where they would
// fault 512 times. Where a fault costs a trip to a hypervisor, that is a
// third of the run. A host that takes memory the system has freed back
// (free page reporting) provides it again on first touch, a large page
// whole: a large page's first touch can then cost milliseconds, still less
// than its 512 small faults.
void PrepareHeapInLargePages(std::size_t bytes);

}  // namespace zelm::cli
