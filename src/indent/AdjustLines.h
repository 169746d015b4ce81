// Line adjustment: one tag per line, by line. Trims lines, splits a body
// line once at a structural tag that is not at its start, and joins a tag
// line with a following line that only closes it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"

namespace zelm {

// An empty text gives an empty result.
std::string AdjustLines(std::string_view text);

// Where line adjustment stands between two lines.
struct AdjustState {
  bool inHead = false;
  bool inBody = false;
  bool afterBody = false;
  bool inComment = false;

  bool operator==(const AdjustState&) const = default;
};

// The same on a part of a text, starting in `state`, which is left as the
// part ends.
std::string AdjustLines(std::string_view text, AdjustState& state);

// What line adjustment takes together across a line break: blank lines
// (dropped), and a line that only closes the one before it, or is ">",
// after the blanks it trims (joined to it).
std::vector<LineBreakReach> AdjustLinesReach();

}  // namespace zelm
