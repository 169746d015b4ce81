#include "encoding/ByteSearch.h"

#include <algorithm>

#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {

std::string AsciiLowerBytes(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::size_t FindLowerCaseBytes(std::string_view bytes, std::string_view lowerPattern, std::size_t from) {
  constexpr std::size_t npos = std::string_view::npos;
  if (lowerPattern.empty() || lowerPattern.size() > bytes.size()) return npos;
  const PatternProbe probe(lowerPattern, /*anyCase=*/true);
  for (std::size_t at = probe.Next(bytes, from); at != npos; at = probe.Next(bytes, at + 1)) {
    std::size_t k = 0;
    while (k < lowerPattern.size() && AsciiLower(bytes[at + k]) == lowerPattern[k]) ++k;
    if (k == lowerPattern.size()) return at;
  }
  return npos;
}

// The result so far (`kept`) never holds a whole start marker: one there
// would have been found before the block just deleted. So after a deletion
// a new start marker lies wholly in the rest of the input or straddles the
// junction by fewer than length(start) bytes, and one pass suffices.
std::string DeleteBlocksBytewise(std::string_view text, std::string_view start, std::string_view end) {
  if (start.empty() || end.empty()) return std::string(text);
  constexpr std::size_t npos = std::string_view::npos;
  std::string kept;
  kept.reserve(text.size());
  std::size_t tail = 0;  // the input from here on follows `kept`
  while (true) {
    // A start marker beginning in the last bytes of `kept`?
    std::size_t straddle = npos;
    const std::size_t lookBack = std::min(kept.size(), start.size() - 1);
    for (std::size_t at = kept.size() - lookBack; at < kept.size() && straddle == npos; ++at) {
      const std::size_t inKept = kept.size() - at;
      const std::string_view rest = text.substr(tail);
      if (rest.size() >= start.size() - inKept && std::string_view(kept).substr(at) == start.substr(0, inKept) &&
          rest.substr(0, start.size() - inKept) == start.substr(inKept))
        straddle = at;
    }
    std::size_t markerEnd;  // index into text just after the start marker
    if (straddle != npos) {
      markerEnd = tail + start.size() - (kept.size() - straddle);
    } else {
      const std::size_t found = text.find(start, tail);
      if (found == npos) break;
      markerEnd = found + start.size();
    }
    const std::size_t endAt = text.find(end, markerEnd - 1);
    if (endAt == npos) break;
    if (straddle != npos) {
      kept.resize(straddle);
    } else {
      kept.append(text, tail, markerEnd - start.size() - tail);
    }
    tail = endAt + end.size();
  }
  kept.append(text, tail);
  return kept;
}

}  // namespace zelm
