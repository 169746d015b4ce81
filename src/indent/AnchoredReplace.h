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

 private:
  std::string old_, replacement_;
  PatternProbe probe_;
};

}  // namespace zelm
