// Plain versions of the label readers and of the automatic mode's Shift_JIS
// path, working on whole lower-cased copies and one replace-all per
// spelling. The engine's versions must decide and write the same.
#pragma once

#include <string>
#include <string_view>

#include "encoding/CharCode.h"
#include "text/StringUtil.h"

namespace zelm::test {

CharCodeIndex ReferenceGetCharCodeFromMeta(std::string_view text);

// The label the automatic mode finds in the head area ("" when none) and
// the encoding it reads the text as on that label alone.
struct ReferenceAutoLabel {
  std::string_view label;
  bool shiftJis = false;
};
ReferenceAutoLabel ReferenceAutomaticLabel(std::string_view text);

// Every Shift-JIS", XJIS" and X-JIS" (without case) as Shift_JIS".
std::string ReferenceRewriteShiftJisLabels(std::string_view text);

// Line-end folding walked character by character, moving a tracked
// position with its character.
std::string ReferenceFoldLineEnds(std::string_view text, Pos* tracked);

}  // namespace zelm::test
