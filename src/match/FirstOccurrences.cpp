#include "match/FirstOccurrences.h"

#include <stdexcept>

#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {

FirstOccurrenceScanner::FirstOccurrenceScanner(const std::vector<std::string>& patterns)
    : trie_(patterns, PatternTrie::Direction::kForward, PatternTrie::Letters::kExactCase) {
  if (patterns.size() > FirstOccurrences::kMaxPatterns) throw std::invalid_argument("too many patterns");
  // Parents come before their children, so their sets are complete first.
  startingHere_.resize(trie_.NodeCount());
  for (std::uint32_t node = 1; node < startingHere_.size(); ++node) {
    PatternSet& set = startingHere_[node];
    set = startingHere_[trie_.EndAncestor(node)];
    trie_.ReportEnds(node, [&](std::uint32_t id) { set.words[id / 64] |= std::uint64_t{1} << (id % 64); });
  }
  bool searchable = true;
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSjisLeadByte(byte)) byteClass_[byte] |= kLead;
    if (trie_.IsFirstByte(static_cast<char>(byte))) {
      byteClass_[byte] |= kFirst;
      searchable = searchable && !IsSjisLeadByte(byte);
      searchedFirstBytes_.push_back({static_cast<char>(byte), trie_.After(std::string(1, static_cast<char>(byte)))});
    }
  }
  if (!searchable || searchedFirstBytes_.size() > kMaxSearchedFirstBytes) searchedFirstBytes_.clear();
}

void FirstOccurrenceScanner::ScanForFirstByte(std::string_view line, char first, const PatternTrie::Walk& afterFirst,
                                              FirstOccurrences& found) const {
  std::size_t known = 0;  // a character starts here
  for (std::size_t at = FindByte(line, 0, first); at != std::string_view::npos; at = FindByte(line, at + 1, first)) {
    if (!StartsCharacterAfter(line, known, at)) {
      known = at + 1;  // the second byte of a character
      continue;
    }
    known = at;
    MatchAfterFirstByte(line, at, afterFirst, found);
  }
}

void FirstOccurrenceScanner::Scan(std::string_view line, FirstOccurrences& found) const {
  found.Clear();
  if (!searchedFirstBytes_.empty()) {
    for (const FirstByte& first : searchedFirstBytes_) ScanForFirstByte(line, first.byte, first.after, found);
    return;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char cls = byteClass_[bytes[i]];
    if (cls == kPlain) {
      ++i;
      continue;
    }
    if (cls & kFirst) MatchAt(line, i, found);
    i += (cls & kLead) ? 2 : 1;  // a lead byte takes the byte after it
  }
}

}  // namespace zelm
