// Tag-case normalisation: every later pass searches for lower-case tag text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"

namespace zelm {

// Drops blank lines, widens tabs to two spaces and lowers upper-case tag
// names, common attribute names and a few attribute values.
std::string NormalizeTagCase(std::string_view text);

// What it takes together across a line break: blank lines, which it drops
// (none of its patterns holds a line break; checked when the table is built).
std::vector<LineBreakReach> NormalizeTagCaseReach();

}  // namespace zelm
