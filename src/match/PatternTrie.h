// A trie over many short tag patterns, matched with ASCII letters compared
// without case (or exactly, when asked), so one walk from a position finds
// every pattern that starts (or, for a reversed trie, ends) there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

class PatternTrie {
 public:
  enum class Direction { kForward, kBackward };
  enum class Letters { kAnyCase, kExactCase };

  // Pattern ids are their indexes in `patterns`. A backward trie matches
  // each pattern read from its last byte towards its first.
  PatternTrie(const std::vector<std::string>& patterns, Direction direction, Letters letters = Letters::kAnyCase);

  // Calls onMatch(id) for every pattern that the text holds from index
  // `pos` on, shortest first.
  template <typename OnMatch>
  void ForEachStartingAt(std::string_view text, std::size_t pos, OnMatch&& onMatch) const {
    ForEachEndNodeStartingAt(text, pos, [&](std::uint32_t node) { ReportEnds(node, onMatch); });
  }

  // Backward tries: calls onMatch(id) for every pattern that the text holds
  // ending just before index `end`, shortest first.
  template <typename OnMatch>
  void ForEachEndingAt(std::string_view text, std::size_t end, OnMatch&& onMatch) const {
    ForEachEndNodeEndingAt(text, end, [&](std::uint32_t node) { ReportEnds(node, onMatch); });
  }

  // The same by trie node: calls onNode(node) for every node reached that
  // ends a pattern, so callers can keep their own data per node.
  template <typename OnNode>
  void ForEachEndNodeStartingAt(std::string_view text, std::size_t pos, OnNode&& onNode) const {
    std::uint32_t row = 0;
    for (std::size_t i = pos; i < text.size(); ++i) {
      const std::uint32_t entry = Entry(row, text[i]);
      if (entry == 0) return;
      row = entry >> 1;
      if (entry & kEndsHere) onNode(row >> rowShift_);
    }
  }

  // Backward tries: calls onNode(node) for every node reached, reading the
  // text backwards from just before index `end`, that ends a pattern.
  template <typename OnNode>
  void ForEachEndNodeEndingAt(std::string_view text, std::size_t end, OnNode&& onNode) const {
    std::uint32_t row = 0;
    for (std::size_t i = end; i > 0; --i) {
      const std::uint32_t entry = Entry(row, text[i - 1]);
      if (entry == 0) return;
      row = entry >> 1;
      if (entry & kEndsHere) onNode(row >> rowShift_);
    }
  }

  // A walk part of the way: the node reached and the deepest node on the
  // way where a pattern ends (both by the start of their rows, 0 for none),
  // or dead when no pattern goes on. Callers that know the first bytes of
  // every place they look at start there.
  struct Walk {
    std::uint32_t row = 0, lastEndRow = 0;
    bool dead = false;
  };

  // The walk after `bytes`, in the order the trie reads them.
  Walk After(std::string_view bytes) const {
    Walk walk;
    for (char c : bytes) {
      const std::uint32_t entry = Entry(walk.row, c);
      if (entry == 0) {
        walk.dead = true;
        return walk;
      }
      walk.row = entry >> 1;
      if (entry & kEndsHere) walk.lastEndRow = walk.row;
    }
    return walk;
  }

  // The deepest node that ends a pattern starting at index `pos`, or 0 when
  // none does: the patterns found there are those of that node and of its
  // EndAncestor chain. With `from`, the walk goes on from there, reading
  // from index `pos` on.
  std::uint32_t LongestEndNodeStartingAt(std::string_view text, std::size_t pos) const {
    return LongestEndNodeStartingAt(text, pos, Walk{});
  }
  std::uint32_t LongestEndNodeStartingAt(std::string_view text, std::size_t pos, Walk from) const {
    std::uint32_t row = from.row, last = from.lastEndRow;
    for (std::size_t i = pos; !from.dead && i < text.size(); ++i) {
      const std::uint32_t entry = Entry(row, text[i]);
      if (entry == 0) break;
      row = entry >> 1;
      if (entry & kEndsHere) last = row;
    }
    return last >> rowShift_;
  }

  // Backward tries: the same for patterns ending just before index `end`.
  std::uint32_t LongestEndNodeEndingAt(std::string_view text, std::size_t end) const {
    return LongestEndNodeEndingAt(text, end, Walk{});
  }
  std::uint32_t LongestEndNodeEndingAt(std::string_view text, std::size_t end, Walk from) const {
    std::uint32_t row = from.row, last = from.lastEndRow;
    for (std::size_t i = end; !from.dead && i > 0; --i) {
      const std::uint32_t entry = Entry(row, text[i - 1]);
      if (entry == 0) break;
      row = entry >> 1;
      if (entry & kEndsHere) last = row;
    }
    return last >> rowShift_;
  }

  // The nearest node above `node` (not the root) where a pattern ends, or 0.
  std::uint32_t EndAncestor(std::uint32_t node) const { return endAncestor_[node]; }

  std::size_t NodeCount() const { return endsBegin_.size() - 1; }

  // Calls onMatch(id) for every pattern that ends at the node.
  template <typename OnMatch>
  void ReportEnds(std::uint32_t node, OnMatch&& onMatch) const {
    for (std::uint32_t k = endsBegin_[node]; k < endsBegin_[node + 1]; ++k) onMatch(ends_[k]);
  }

  // Does any pattern start with this byte (compared as the trie compares)?
  bool IsFirstByte(char c) const { return Entry(0, c) != 0; }

 private:
  static constexpr std::uint32_t kEndsHere = 1;

  // Each node has a row of 2^rowShift_ entries, one per symbol, and is
  // named in the walk by where its row starts, so a step is one addition
  // and one load. An entry is the child's row start shifted left by one,
  // with kEndsHere set when a pattern ends at the child; 0 when there is no
  // child. Symbol 0 (bytes in no pattern) leads nowhere from any node.
  std::uint32_t Entry(std::uint32_t row, char c) const {
    return next_[row + symbolOf_[static_cast<unsigned char>(c)]];
  }

  std::array<std::uint16_t, 256> symbolOf_{};  // byte -> symbol, 0 = in no pattern
  std::uint32_t alphabetSize_ = 1;
  std::uint32_t rowShift_ = 0;            // the rows hold 2^rowShift_ >= alphabetSize_ entries
  std::vector<std::uint32_t> next_;       // row start + symbol -> Entry
  std::vector<std::uint32_t> endAncestor_;  // per node
  std::vector<std::uint32_t> endsBegin_;  // per node, into ends_; one extra entry at the end
  std::vector<std::uint32_t> ends_;       // ids of the patterns that end at each node
};

}  // namespace zelm
