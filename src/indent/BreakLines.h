// Line breaking before the level pass: whitespace between tags is folded
// and line breaks are put before and after a fixed set of tags, by an
// ordered list of whole-text replacements applied one after another.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"

namespace zelm {

// The full pass: tabs to spaces, ">" pushed to the start of a line pulled
// back up, gaps between tags folded, then the break rules.
std::string PreBreakLines(std::string_view text);

// The light variant: folds whitespace between tags and breaks around
// comments only.
std::string LightBreakLines(std::string_view text);

// The rules of each pass that can match across a line break, worked out
// from its rule table: a text is cut for the passes only where none of them
// applies.
std::vector<LineBreakReach> PreBreakLinesReach();
std::vector<LineBreakReach> LightBreakLinesReach();

}  // namespace zelm
