// Answers the many "does the line contain ..." questions of a line-by-line
// pass in one walk: for a fixed set of patterns (compared exactly), where
// each first occurs at a character boundary of the line.
#pragma once

#include <array>
#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "match/PatternTrie.h"

namespace zelm {

// Where each pattern of a scanner first occurs in a line.
class FirstOccurrences {
 public:
  static constexpr std::size_t kAbsent = std::string_view::npos;
  static constexpr std::size_t kMaxPatterns = 128;

  bool Has(std::size_t id) const { return (found_[id / 64] >> (id % 64)) & 1; }
  // The 0-based index of the first occurrence, or kAbsent.
  std::size_t At(std::size_t id) const { return Has(id) ? at_[id] : kAbsent; }
  // Whether some pattern first occurs at `from` or later.
  bool AnyFirstAtOrAfter(std::size_t from) const {
    for (std::size_t w = 0; w < 2; ++w)
      for (std::uint64_t left = found_[w]; left != 0; left &= left - 1)
        if (at_[w * 64 + static_cast<std::size_t>(__builtin_ctzll(left))] >= from) return true;
    return false;
  }

 private:
  friend class FirstOccurrenceScanner;
  void Clear() { found_[0] = found_[1] = 0; }
  // Notes the patterns of `ids` not found before as found at `at`.
  void NoteAll(const std::uint64_t (&ids)[2], std::size_t at) {
    for (std::size_t w = 0; w < 2; ++w) {
      std::uint64_t fresh = ids[w] & ~found_[w];
      found_[w] |= fresh;
      for (; fresh != 0; fresh &= fresh - 1) at_[w * 64 + static_cast<std::size_t>(__builtin_ctzll(fresh))] = at;
    }
  }

  std::uint64_t found_[2] = {0, 0};
  std::size_t at_[kMaxPatterns];  // set where found_ has the bit
};

class FirstOccurrenceScanner {
 public:
  static constexpr std::size_t kAbsent = FirstOccurrences::kAbsent;

  // Pattern ids are their indexes in `patterns`; a pattern may be listed
  // more than once. At most FirstOccurrences::kMaxPatterns patterns.
  explicit FirstOccurrenceScanner(const std::vector<std::string>& patterns);

  // Finds, for every pattern, its first occurrence in `line` that starts a
  // character. Only positions where some pattern's first byte stands are
  // looked at.
  void Scan(std::string_view line, FirstOccurrences& found) const;

 private:
  enum ByteClass : unsigned char { kPlain = 0, kLead = 1, kFirst = 2 };

  // Every pattern that starts at `at` ends at the deepest pattern end the
  // walk reaches or at one above it, so that node's set names them all.
  void MatchAt(std::string_view line, std::size_t at, FirstOccurrences& found) const {
    const std::uint32_t node = trie_.LongestEndNodeStartingAt(line, at);
    if (node != 0) found.NoteAll(startingHere_[node].words, at);
  }

  // The same where the byte at `at` is known to be `first`, whose walk is given.
  void MatchAfterFirstByte(std::string_view line, std::size_t at, const PatternTrie::Walk& afterFirst,
                           FirstOccurrences& found) const {
    const std::uint32_t node = trie_.LongestEndNodeStartingAt(line, at + 1, afterFirst);
    if (node != 0) found.NoteAll(startingHere_[node].words, at);
  }

  // Patterns with different first bytes never meet, so each first byte can
  // be searched for on its own.
  void ScanForFirstByte(std::string_view line, char first, const PatternTrie::Walk& afterFirst,
                        FirstOccurrences& found) const;

  struct PatternSet {
    std::uint64_t words[2] = {0, 0};
  };

  PatternTrie trie_;
  std::vector<PatternSet> startingHere_;  // per trie node: the patterns that end there or above it
  std::array<unsigned char, 256> byteClass_{};
  // When the patterns start with a few bytes only, none of which can start
  // a double-byte character, the library search jumps from one of them to
  // the next, and only those are tested for a character boundary.
  static constexpr std::size_t kMaxSearchedFirstBytes = 3;
  struct FirstByte {
    char byte;
    PatternTrie::Walk after;  // the walk past it
  };
  std::vector<FirstByte> searchedFirstBytes_;  // empty: every byte is looked at
};

}  // namespace zelm
