// What the main window does with a pane, in one place: the window's other
// files reach the line-numbered pane through these names, so that the pane
// class can change behind them.
#pragma once

#include <string>

#include "app/gui/PaneSearch.h"
#include "app/gui/RichEditEx.h"

class QWidget;

namespace zelm::gui {

using Pane = RichEditEx;
using HitList = PaneHitList;

// A new pane: the pane font, line numbers on, editable, tab keys taken as
// text; word wrap as given.
Pane* CreatePane(QWidget* parent, bool wordWrap);
HitList* CreateHitList(QWidget* parent);

// The whole text as Shift_JIS with CR LF line ends.
const std::string& PaneText(const Pane& pane);
bool PaneIsEmpty(const Pane& pane);
// Replaces the whole text, plain (uncoloured).
void SetPaneText(Pane& pane, std::string sjisText);

// Colours the pane's text; caret and view to the top.
void ColourPane(Pane& pane);
// True when the pane shows its current text in the colours it would get
// from colouring it now.
bool PaneColourIsCurrent(const Pane& pane);
// All text black with no style; caret to the start.
void BlackenPane(Pane& pane);
// Back to empty plain text in the pane font.
void RenewPane(Pane& pane);

void SetPaneWordWrap(Pane& pane, bool wrap);
// Left and right margins in pixels.
void SetPaneMargins(Pane& pane, int left, int right);

// The top and bottom commands of the clicked pane.
void PaneCaretToTop(Pane& pane);
void PaneCaretToBottom(Pane& pane);

}  // namespace zelm::gui
