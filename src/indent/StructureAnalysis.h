// Checks of a page's nesting over the level elements (div, table, ul, ...,
// the elements that move the indentation level): how many of each are
// opened and closed, which lines hold a level element's tag elsewhere than
// at their start, and how the divs nest.
//
// Each check is one pass over the text. Tag names are compared without case
// and whole: "<track>" is no "<tr>". Tags in comments and in the content of
// script, style and textarea elements are not markup and are not counted;
// the line lists look at tags in comments too unless told to leave them out.
// Results hold views into the text: keep it while they are used.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace zelm {

struct ElementCount {
  std::string_view name;  // a level element name, lower case
  int opening = 0;        // opening tags; "<div/>" counts as opened and closed
  int closing = 0;
  int Difference() const { return opening - closing; }
  bool Balanced() const { return opening == closing; }
};

// The level elements that occur in the text, in the order the
// classification lists them.
std::vector<ElementCount> CountLevelElements(std::string_view text);
bool AllBalanced(const std::vector<ElementCount>& counts);

struct ListedLine {
  std::size_t number = 0;  // 1-based
  std::string_view text;   // the line as it stands, without its line end
};

// Lines that hold a level element's tag elsewhere than at their start
// (after leading blanks): "<p>a</p><div>", "text</div>", "<div><div>". The
// tag that closes the element the line opens does not count, so
// "<div>text</div>" and "<h2>title</h2>" are not listed. The level pass
// reads only the first tag of a line, so these are the lines whose
// indentation it gets wrong. With `ignoreComments`, tags in comments are
// not looked at, and lines that are only a comment drop out.
std::vector<ListedLine> MisplacedLevelTagLines(std::string_view text, bool ignoreComments);

// Lines holding a level element's tag other than "</div>".
std::vector<ListedLine> LevelTagLinesExceptDivClose(std::string_view text, bool ignoreComments);

// One line of the div skeleton: an opening div, or a closing div that
// closes none.
struct SkeletonEntry {
  enum class Kind { Div, StrayClose };
  Kind kind = Kind::Div;
  std::size_t line = 0;       // of the tag's "<"
  int depth = 0;              // a div inside no other div is at depth 1; a stray close at 0
  std::size_t closeLine = 0;  // a div's closing tag's line; 0 when the div is never closed
  std::size_t parent = kNoParent;  // the entry of the enclosing div
  std::string_view id, className;  // attribute values as written; empty when absent

  static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);
};

// Every opening div and every closing div with no open div to close, in text
// order. A closing div closes the div opened last; the divs still open at
// the end of the text are never closed.
struct DivSkeleton {
  std::vector<SkeletonEntry> entries;
};
DivSkeleton BuildDivSkeleton(std::string_view text);

struct DivSummary {
  std::size_t divs = 0;
  int greatestDepth = 0;
  std::vector<std::size_t> divsPerDepth;  // [d - 1]: divs at depth d
  // The entries from depth 1 down to the first div at the greatest depth.
  std::vector<std::size_t> deepestPath;
  // Divs never closed and stray closing divs, in text order.
  std::vector<std::size_t> unbalanced;
};
DivSummary SummarizeDivs(const DivSkeleton& skeleton);

}  // namespace zelm
