#include "match/PatternTrie.h"

#include <algorithm>
#include <stdexcept>

#include "text/StringUtil.h"

namespace zelm {

PatternTrie::PatternTrie(const std::vector<std::string>& patterns, Direction direction, Letters letters) {
  // One symbol per byte value that occurs in a pattern; without case, both
  // cases of a letter share it.
  const bool anyCase = letters == Letters::kAnyCase;
  for (const std::string& pattern : patterns) {
    if (pattern.empty()) throw std::invalid_argument("empty pattern");
    for (char c : pattern) {
      const char folded = anyCase ? AsciiLower(c) : c;
      if (symbolOf_[static_cast<unsigned char>(folded)] != 0) continue;
      const auto symbol = static_cast<std::uint16_t>(alphabetSize_++);
      symbolOf_[static_cast<unsigned char>(folded)] = symbol;
      if (anyCase) symbolOf_[static_cast<unsigned char>(AsciiUpper(folded))] = symbol;
    }
  }

  while ((std::uint32_t{1} << rowShift_) < alphabetSize_) ++rowShift_;
  const std::uint32_t rowSize = std::uint32_t{1} << rowShift_;

  // Built with node numbers in the entries; turned into row starts below.
  std::vector<std::vector<std::uint32_t>> endsPerNode(1);
  std::vector<std::uint32_t> parent(1, 0);
  next_.assign(rowSize, 0);
  for (std::uint32_t id = 0; id < patterns.size(); ++id) {
    std::string bytes = patterns[id];
    if (direction == Direction::kBackward) std::reverse(bytes.begin(), bytes.end());
    std::uint32_t node = 0;
    for (char c : bytes) {
      const std::size_t slot = (std::size_t{node} << rowShift_) + symbolOf_[static_cast<unsigned char>(c)];
      if (next_[slot] == 0) {
        next_[slot] = static_cast<std::uint32_t>(endsPerNode.size());
        endsPerNode.emplace_back();
        parent.push_back(node);
        next_.resize(next_.size() + rowSize, 0);
      }
      node = next_[slot];
    }
    endsPerNode[node].push_back(id);
  }
  // A row start shifted left by one must fit an entry.
  if (next_.size() >= (std::size_t{1} << 31)) throw std::invalid_argument("too many patterns");
  // Row starts instead of node numbers, and the entries that lead to a node
  // where a pattern ends marked.
  for (std::uint32_t& entry : next_) {
    if (entry == 0) continue;
    const bool ends = !endsPerNode[entry].empty();
    entry = ((entry << rowShift_) << 1) | (ends ? kEndsHere : 0);
  }
  // Parents come before their children.
  endAncestor_.assign(endsPerNode.size(), 0);
  for (std::uint32_t node = 1; node < endsPerNode.size(); ++node) {
    const std::uint32_t up = parent[node];
    endAncestor_[node] = (up != 0 && !endsPerNode[up].empty()) ? up : endAncestor_[up];
  }

  endsBegin_.reserve(endsPerNode.size() + 1);
  for (const auto& ids : endsPerNode) {
    endsBegin_.push_back(static_cast<std::uint32_t>(ends_.size()));
    ends_.insert(ends_.end(), ids.begin(), ids.end());
  }
  endsBegin_.push_back(static_cast<std::uint32_t>(ends_.size()));
}

}  // namespace zelm
