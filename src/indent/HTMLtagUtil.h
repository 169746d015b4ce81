// The element vocabulary that decides which tags move the indentation level.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zelm {

// The names of the level elements (div, address, table, ...), lower case,
// in the order the classification lists them.
std::span<const std::string_view> LevelElementNames();

// Does a line that starts with a tag open or close a level element (one
// whose content is indented one unit deeper)? Case-sensitive.
bool IsBlockTag(std::string_view line);

// Does a line hold a level element's opening or closing tag somewhere after
// its first two bytes?
bool HasInnerBlockTag(std::string_view line);

// Replaces old by new (letters without case) only in lines that close a div
// without opening one; the lines are rejoined with CR LF.
std::string ReplaceInDivCloseLines(std::string_view text, std::string_view oldPattern,
                                   std::string_view newPattern);

}  // namespace zelm
