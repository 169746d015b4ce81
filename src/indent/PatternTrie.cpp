#include "indent/PatternTrie.h"

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

  std::vector<std::vector<std::uint32_t>> endsPerNode(1);
  next_.assign(alphabetSize_, 0);
  for (std::uint32_t id = 0; id < patterns.size(); ++id) {
    std::string bytes = patterns[id];
    if (direction == Direction::kBackward) std::reverse(bytes.begin(), bytes.end());
    std::uint32_t node = 0;
    for (char c : bytes) {
      const std::size_t slot = node * alphabetSize_ + symbolOf_[static_cast<unsigned char>(c)];
      if (next_[slot] == 0) {
        next_[slot] = static_cast<std::uint32_t>(endsPerNode.size()) << 1;
        endsPerNode.emplace_back();
        next_.resize(next_.size() + alphabetSize_, 0);
      }
      node = next_[slot] >> 1;
    }
    endsPerNode[node].push_back(id);
  }
  // Mark the entries that lead to a node where a pattern ends.
  for (std::uint32_t& entry : next_)
    if (entry != 0 && !endsPerNode[entry >> 1].empty()) entry |= kEndsHere;

  endsBegin_.reserve(endsPerNode.size() + 1);
  for (const auto& ids : endsPerNode) {
    endsBegin_.push_back(static_cast<std::uint32_t>(ends_.size()));
    ends_.insert(ends_.end(), ids.begin(), ids.end());
  }
  endsBegin_.push_back(static_cast<std::uint32_t>(ends_.size()));
}

}  // namespace zelm
