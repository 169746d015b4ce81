// What a pass may take together across a line break. A text cut into parts
// at a line break that one of its pass's rules reaches across would give
// other bytes than the whole text, so every pass whose rules can span a line
// break reports them, worked out from its own tables, and the cutting
// (PageCuts.h) refuses to cut where one could apply.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

struct LineBreakReach {
  // A rule that matches the end of the line before the line break and the
  // start of the line after it; or a pass that drops blank lines or takes
  // the line after one together with the line before it.
  enum class Kind { kText, kBlankLine };
  // What may stand in front of `after` on the line after: nothing, up to
  // `maxSpaces` spaces, or any blanks (bytes up to 0x20 and full-width
  // spaces, which the pass trims).
  enum class Lead { kNone, kSpaces, kBlanks };

  Kind kind = Kind::kText;
  std::string before;  // the end of the line before ("" for any); letters compared without case
  std::string after;   // the start of the line after; letters compared without case
  Lead lead = Lead::kNone;
  std::size_t maxSpaces = 0;

  static LineBreakReach Text(std::string before, std::string after, Lead lead = Lead::kNone,
                             std::size_t maxSpaces = 0) {
    return {Kind::kText, std::move(before), std::move(after), lead, maxSpaces};
  }
  static LineBreakReach BlankLines() { return {Kind::kBlankLine, {}, {}, Lead::kNone, 0}; }

  // Could the rule apply across the line break that ends right before
  // `lineStart` (the index after its line feed)?
  bool AppliesAt(std::string_view text, std::size_t lineStart) const;
};

// The reach of a pattern a rule matches (and replaces) as a whole: nothing
// when it holds no line break, else the text before its line break and the
// text after it. Throws std::logic_error for a pattern that holds more than
// one line break, which would reach over a whole line.
std::vector<LineBreakReach> ReachOfPattern(std::string_view pattern);

}  // namespace zelm
