#include "indent/FirstOccurrences.h"

#include <algorithm>

#include "text/StringUtil.h"

namespace zelm {

FirstOccurrenceScanner::FirstOccurrenceScanner(const std::vector<std::string>& patterns)
    : patternCount_(patterns.size()),
      trie_(patterns, PatternTrie::Direction::kForward, PatternTrie::Letters::kExactCase) {
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsSjisLeadByte(byte)) byteClass_[byte] |= kLead;
    if (trie_.IsFirstByte(static_cast<char>(byte))) byteClass_[byte] |= kFirst;
  }
}

void FirstOccurrenceScanner::Scan(std::string_view line, std::size_t* first) const {
  std::fill(first, first + patternCount_, kAbsent);
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t i = 0;
  while (i < size) {
    const unsigned char cls = byteClass_[bytes[i]];
    if (cls == kPlain) {
      ++i;
      continue;
    }
    if (cls & kFirst) {
      trie_.ForEachStartingAt(line, i, [&](std::uint32_t id) {
        if (first[id] == kAbsent) first[id] = i;
      });
    }
    i += (cls & kLead) ? 2 : 1;  // a lead byte takes the byte after it
  }
}

}  // namespace zelm
