// How zelm-cli asks the C library for memory. A page goes through a dozen
// passes, each making a text of the page's size and dropping the one
// before; every page of memory touched for the first time costs a fault.
// Memory a short run touches is often new to the system as well (a virtual
// machine's host may have to provide it first), and that costs more in large
// pages than in small ones: zelm-cli asks for none.
#pragma once

#include <cstddef>

namespace zelm::cli {

// Freed blocks stay with the process for the next pass, and all threads
// draw on one heap, so a block one thread frees is the next one's.
void KeepFreedMemoryForReuse();

}  // namespace zelm::cli
