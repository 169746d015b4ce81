// Plain versions of the line-by-line passes and the tag predicates: every
// "contains" is its own search of the whole line, every line is split off
// and lowered as a new string. The engine's versions must give exactly the
// same bytes.
#pragma once

#include <string>
#include <string_view>

namespace zelm::test {

bool ReferenceIsBlockTag(std::string_view line);
bool ReferenceHasInnerBlockTag(std::string_view line);

// The Work text, and the Result cut from it: every line without the marker
// the pass wrote in front of it.
struct ReferenceMarked {
  std::string work, result;
};
ReferenceMarked ReferenceMarkIndentLevels(std::string_view text, int indentType);

std::string ReferenceAdjustLines(std::string_view text);

}  // namespace zelm::test
