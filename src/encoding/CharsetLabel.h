// Reads which encoding a document declares in its charset label.
#pragma once

#include <cstdint>
#include <string_view>

#include "encoding/CharCode.h"

namespace zelm {

// The code (0-4) of the charset label the raw bytes declare, 0 when none is
// found. Labels are looked for without case in the head (the text before
// "<body", opening script tags removed) and, for the <meta charset=...>
// forms, in the whole text; when several are present a fixed order of
// preference decides. The bytes may be in any encoding and may hold NULs.
CharCodeIndex GetCharCodeFromMeta(std::string_view text);

// The <meta charset=...> labels that count anywhere in a text, gathered
// from its parts, which are cut at line starts (no label holds a line
// break, so none spans two parts).
class WholeTextLabels {
 public:
  void Add(std::string_view part);
  void Add(const WholeTextLabels& other) { found_ |= other.found_; }

 private:
  friend CharCodeIndex GetCharCodeFromMeta(std::string_view, const WholeTextLabels&);
  std::uint32_t found_ = 0;  // a bit per label pattern
};

// GetCharCodeFromMeta of a text of which `beforeBody` is the part before the
// first "<body" (all of it when there is none) and `labels` its labels.
CharCodeIndex GetCharCodeFromMeta(std::string_view beforeBody, const WholeTextLabels& labels);

}  // namespace zelm
