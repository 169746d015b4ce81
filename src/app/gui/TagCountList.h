// The tag-count lists: rows whose cells are separated by tabs and drawn at
// fixed tab stops, as a list box with tab stops draws them, and the element
// counts written into them with the unbalanced elements marked.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "indent/StructureAnalysis.h"

class QColor;
class QFont;
class QListWidget;

namespace zelm::gui {

// The tab stops of the tag-count lists in dialog units, and the width in
// pixels the lists scroll across.
inline constexpr int kTagCountTabStops[] = {1, 30, 100, 150, 220, 280};
inline constexpr int kTagCountScrollExtent = 630;

// Dialog units of a font to pixels: a horizontal dialog unit is a quarter
// of the font's average character width (that of the Latin letters), as
// Windows measures the units of a list's tab stops.
int DialogUnitsToPixels(int units, const QFont& font);

// Draws the list's rows with each cell after a tab at the next tab stop
// (`dialogUnits`, in the list's font) and lets the list scroll across at
// least `scrollExtent` pixels. Calling it again only changes the stops.
void SetListTabStops(QListWidget& list, std::span<const int> dialogUnits, int scrollExtent);

// The tab stops of a list in pixels from its left edge; empty for a list
// without them.
std::vector<int> ListTabStopPixels(const QListWidget& list);

// Fills a tag-count list with the rows of the element counts (Shift_JIS, a
// heading row first, then one row per element of `counts`): the rows of
// elements whose opening and closing tags differ in number are drawn bold
// in red.
void FillTagCountList(QListWidget& list, const std::vector<std::string>& rows,
                      const std::vector<ElementCount>& counts);

// The colour of an unbalanced element's row.
QColor UnbalancedRowColour();

}  // namespace zelm::gui
