// Small scanning helpers for whole-text passes that jump straight to the
// bytes they care about instead of walking every character.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/StringUtil.h"

namespace zelm {

// Does a character start at the 0-based index p (p < size) when the text is
// walked from its first byte? See StartsCharacterAfter: the run of lead-byte
// values before p never reaches back past an ASCII byte, so callers that test
// ASCII candidates from left to right stay linear.
inline bool IsCharBoundary(std::string_view text, std::size_t p) { return StartsCharacterAfter(text, 0, p); }

// Number of spaces (0x20) starting at index i.
inline std::size_t CountSpacesAt(std::string_view text, std::size_t i) {
  std::size_t k = 0;
  while (i + k < text.size() && text[i + k] == ' ') ++k;
  return k;
}

// Lower-cases the ASCII letters of out[from, to): used on matched tag text,
// which is all single-byte characters.
inline void LowerAsciiRange(std::string& out, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) out[i] = AsciiLower(out[i]);
}

}  // namespace zelm
