#include "indent/ContentCheck.h"

#include <vector>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::string_view kBetweenSectionsTagPrefix = "\x81\xa1\x81\xa4";  // ■▽

struct NumberedLine {
  std::size_t number;
  std::string text;
};

// The non-blank lines, trimmed, with their 1-based numbers. With the div
// comment join, a line holding "</div><!--" is taken as the two lines it
// was made of, so that joined and unjoined texts compare alike.
std::vector<NumberedLine> ContentLines(std::string_view text, bool splitDivComments) {
  std::vector<NumberedLine> lines;
  std::size_t number = 0;
  for (std::string_view line : SplitLines(text)) {
    ++number;
    std::string_view trimmed = PlainTrimView(line);
    if (trimmed.empty()) continue;
    if (splitDivComments) {
      for (std::size_t at = FindNoCaseAtBoundary(trimmed, "</div><!--"); at != std::string_view::npos;
           at = FindNoCaseAtBoundary(trimmed, "</div><!--")) {
        lines.push_back({number, std::string(trimmed.substr(0, at + 6))});
        trimmed = trimmed.substr(at + 6);
      }
    }
    lines.push_back({number, std::string(trimmed)});
  }
  return lines;
}

bool SameContent(std::string_view local, std::string_view result) {
  if (result == local) return true;
  if (result.starts_with(kBetweenSectionsTagPrefix) && result.substr(kBetweenSectionsTagPrefix.size()) == local)
    return true;
  return (local == "<td></td>" && result == "<td>&nbsp;</td>") ||
         (local == "<th></th>" && result == "<th>&nbsp;</th>");
}

}  // namespace

std::optional<ContentDifference> FindContentDifference(std::string_view local, std::string_view result,
                                                       bool divCommentConcat) {
  const std::vector<NumberedLine> expected = ContentLines(local, divCommentConcat);
  const std::vector<NumberedLine> actual = ContentLines(result, divCommentConcat);
  const std::size_t common = std::min(expected.size(), actual.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (!SameContent(expected[i].text, actual[i].text))
      return ContentDifference{expected[i].number, actual[i].number, expected[i].text, actual[i].text};
  }
  if (expected.size() == actual.size()) return std::nullopt;
  ContentDifference difference;
  if (common < expected.size()) {
    difference.localLine = expected[common].number;
    difference.expected = expected[common].text;
  }
  if (common < actual.size()) {
    difference.resultLine = actual[common].number;
    difference.actual = actual[common].text;
  }
  return difference;
}

}  // namespace zelm
