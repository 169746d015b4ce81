// The element vocabulary that decides which tags move the indentation level.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zelm {

// Does a line that starts with a tag open or close a level element (one
// whose content is indented one unit deeper)? Case-sensitive.
bool IsBlockTag(std::string_view line);

// Does a line hold a level element's opening or closing tag somewhere after
// its first two bytes?
bool HasInnerBlockTag(std::string_view line);

// The tags HasInnerBlockTag looks for. It is true exactly when one of them
// first occurs (at a character boundary) at index 2 or later.
inline constexpr std::size_t kInnerBlockTagCount = 74;
std::span<const std::string_view, kInnerBlockTagCount> InnerBlockTags();

// Replaces old by new (letters without case) only in lines that close a div
// without opening one; the lines are rejoined with CR LF.
std::string ReplaceInDivCloseLines(std::string_view text, std::string_view oldPattern,
                                   std::string_view newPattern);

}  // namespace zelm
