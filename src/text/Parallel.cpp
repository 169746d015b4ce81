#include "text/Parallel.h"

#include <algorithm>

namespace zelm {

unsigned DefaultPassThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces) {
  std::vector<std::size_t> cuts{0};
  if (pieces < 2 || text.empty()) return cuts;
  for (std::size_t k = 1; k < pieces; ++k) {
    const std::size_t aim = std::max(text.size() / pieces * k, cuts.back() + 1);
    const std::size_t feed = text.find('\n', aim);
    if (feed == std::string_view::npos || feed + 1 >= text.size()) break;
    cuts.push_back(feed + 1);
  }
  return cuts;
}

}  // namespace zelm
