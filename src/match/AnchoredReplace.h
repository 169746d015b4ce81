// A replace-all for plain ASCII patterns that jumps between the places where
// a few of the pattern's bytes fit instead of walking every character. Same result as ReplaceAllText: letters compared without case,
// occurrences at character boundaries, left to right, never rescanned.
#pragma once

#include <string>
#include <string_view>

#include "text/ByteScan.h"

namespace zelm {

class AnchoredReplace {
 public:
  // `old` must be plain ASCII and hold at least one byte that is no letter.
  AnchoredReplace(std::string old, std::string replacement);

  // Hands the text back untouched when the pattern does not occur.
  std::string Apply(std::string text) const;

  // Writes the result into `out` (its memory is reused) and returns true;
  // returns false, with `out` in an unspecified state, when the pattern does
  // not occur.
  bool ApplyTo(std::string_view text, std::string& out) const;

  const std::string& Old() const { return old_; }

 private:
  std::string old_, replacement_;
  PatternProbe probe_;
};

}  // namespace zelm
