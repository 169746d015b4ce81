// Answers the many "does the line contain ..." questions of a line-by-line
// pass in one walk: for a fixed set of patterns (compared exactly), where
// each first occurs at a character boundary of the line.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "indent/PatternTrie.h"

namespace zelm {

class FirstOccurrenceScanner {
 public:
  static constexpr std::size_t kAbsent = std::string_view::npos;

  // Pattern ids are their indexes in `patterns`; a pattern may be listed
  // more than once.
  explicit FirstOccurrenceScanner(const std::vector<std::string>& patterns);

  std::size_t PatternCount() const { return patternCount_; }

  // Sets first[id], for every pattern, to the 0-based index of its first
  // occurrence in `line` that starts a character, or to kAbsent. Only
  // positions where some pattern's first byte stands are looked at.
  void Scan(std::string_view line, std::size_t* first) const;

 private:
  enum ByteClass : unsigned char { kPlain = 0, kLead = 1, kFirst = 2 };

  void MatchAt(std::string_view line, std::size_t at, std::size_t* first) const {
    trie_.ForEachStartingAt(line, at, [&](std::uint32_t id) {
      if (first[id] == kAbsent) first[id] = at;
    });
  }

  std::size_t patternCount_;
  PatternTrie trie_;
  std::array<unsigned char, 256> byteClass_{};
  // When every pattern starts with the same byte, and that byte cannot
  // start a double-byte character, the library search jumps from one to
  // the next and only those are tested for a character boundary.
  int onlyFirstByte_ = -1;
};

}  // namespace zelm
