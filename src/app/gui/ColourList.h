// The CSS colour list beside the Local pane: one entry per colour value
// written in the page's CSS, each with a swatch of its colour, remembering
// where in the page it is written.
#pragma once

#include <QIcon>

#include <cstddef>
#include <vector>

#include "text/CssColours.h"

class QListWidget;
class QListWidgetItem;

namespace zelm::gui {

// A square of the colour with a grey border, so that white shows too.
QIcon SwatchIcon(Rgb colour);

// Fills the list with the colours, in their order: the writing as the
// entry's text, the swatch as its icon, "#RRGGBB" and the line in its hint.
// `page` is the text the colours point into (for the line numbers).
void FillColourList(QListWidget& list, const std::vector<CssColour>& colours, std::string_view page);

// Where an entry's colour is written: the 0-based byte offset in the page
// and its length in bytes.
struct ColourPlace {
  std::size_t offset = 0;
  std::size_t length = 0;
};
ColourPlace PlaceOf(const QListWidgetItem& item);

}  // namespace zelm::gui
