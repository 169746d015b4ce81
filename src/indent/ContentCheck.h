// The content-preservation check: the indent Result holds the Local text's
// lines in order, changed only in the blanks at their ends, apart from the
// documented changes of the level pass ("<td></td>" filled with "&nbsp;",
// the "■▽" prefix of tag lines between head and body, and the join of
// "</div>" with a following comment when asked).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zelm {

struct ContentDifference {
  std::size_t localLine = 0;   // 1-based line of the Local text, 0 past its end
  std::size_t resultLine = 0;  // 1-based line of the Result, 0 past its end
  std::string expected;        // the Local line, trimmed
  std::string actual;          // the Result line, trimmed
};

// The first place where `result` does not hold `local`'s content, or nullopt.
std::optional<ContentDifference> FindContentDifference(std::string_view local, std::string_view result,
                                                       bool divCommentConcat);

}  // namespace zelm
