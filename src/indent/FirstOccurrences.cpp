#include "indent/FirstOccurrences.h"

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
  int firstBytes = 0;
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSjisLeadByte(byte)) byteClass_[byte] |= kLead;
    if (trie_.IsFirstByte(static_cast<char>(byte))) {
      byteClass_[byte] |= kFirst;
      ++firstBytes;
      onlyFirstByte_ = c;
    }
  }
  if (firstBytes != 1 || IsSjisLeadByte(static_cast<unsigned char>(onlyFirstByte_))) onlyFirstByte_ = -1;
  if (onlyFirstByte_ >= 0) afterFirstByte_ = trie_.After(std::string(1, static_cast<char>(onlyFirstByte_)));
}

void FirstOccurrenceScanner::Scan(std::string_view line, FirstOccurrences& found) const {
  found.Clear();
  if (onlyFirstByte_ >= 0) {
    std::size_t known = 0;  // a character starts here
    const char wanted = static_cast<char>(onlyFirstByte_);
    for (std::size_t at = FindByte(line, 0, wanted); at != std::string_view::npos;
         at = FindByte(line, at + 1, wanted)) {
      if (!StartsCharacterAfter(line, known, at)) {
        known = at + 1;  // the second byte of a character
        continue;
      }
      known = at;
      MatchAfterFirstByte(line, at, found);
    }
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
