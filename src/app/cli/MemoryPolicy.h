// How zelm-cli asks the C library for memory. A page goes through a dozen
// passes, each making a text of the page's size and dropping the one
// before; every page of memory touched for the first time costs a fault.
#pragma once

#include <cstddef>

namespace zelm::cli {

// Freed blocks stay with the process for the next pass, and all threads
// draw on one heap, so a block one thread frees is the next one's.
void KeepFreedMemoryForReuse();

// Grows the heap by about `bytes` at once, in large pages where the system
// offers them, so that the passes over a page of that size fault far less.
void PrepareHeapFor(std::size_t bytes);

}  // namespace zelm::cli
