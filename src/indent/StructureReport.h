// The results of the structure checks as lines of text, for the window's
// lists and check pane and for zelm-cli. The layout is fixed here; the
// words come from the caller (the window's Japanese texts, zelm-cli's
// English ones), so that the engine holds no user interface text.
// Lines are Shift_JIS like the text they quote.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "indent/StructureAnalysis.h"

namespace zelm {

struct StructureLabels {
  // Element counts: column headings; the first column of a balanced and of
  // an unbalanced element; the note after an unbalanced one; the line when
  // the text holds no level element.
  std::string_view element, opening, closing, difference;
  std::string_view balancedFiller, unbalancedMark;
  std::string_view moreOpening, moreClosing;
  std::string_view noLevelElements;
  // Line lists: the line when no line is listed.
  std::string_view noMisplacedLines, noLevelLines;
  // Div skeleton and summary.
  std::string_view neverClosed, noOpeningDiv, noDivs;
  std::string_view divCount, greatestDepth, depth, deepestPath, unbalancedPlaces, none;
};

enum class CountLayout {
  TabStops,  // cells after tabs, for a list with tab stops: "\t" mark "\t" name "\t" ...
  Columns,   // cells padded to columns, for a terminal
};

// A heading row, then one row per element: mark, name, opening, closing,
// difference (counts right-aligned in three places) and, for an unbalanced
// element, the note.
std::vector<std::string> RenderElementCounts(const std::vector<ElementCount>& counts, const StructureLabels& labels,
                                             CountLayout layout);

// "  12: " and the line, for each listed line; `none` when there is none.
std::vector<std::string> RenderLineList(const std::vector<ListedLine>& lines, std::string_view none);

// Each div with its line number, indented two blanks a level, with its id
// and class: "  12    <div id="main" class="box">"; a div never closed and
// a stray "</div>" carry their note.
std::vector<std::string> RenderDivSkeleton(const DivSkeleton& skeleton, const StructureLabels& labels);

// The number of divs, the greatest depth, the divs at each depth, the path
// to the deepest div and the unbalanced places, each as skeleton lines.
std::vector<std::string> RenderDivSummary(const DivSkeleton& skeleton, const DivSummary& summary,
                                          const StructureLabels& labels);

}  // namespace zelm
