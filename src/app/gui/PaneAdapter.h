// What the main window does with a pane, in one place: the window's other
// files reach the line-numbered pane only through these functions, so that
// the pane class can change behind them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/gui/PanePlaceholder.h"

class QLabel;
class QListWidget;
class QWidget;

namespace zelm::gui {

// The line-numbered pane: a scroll area whose viewport takes the clicks.
using Pane = PanePlaceholder;

// A new pane in the program-wide pane font, line numbers on, editable, tab
// keys taken as text; word wrap as given.
Pane* CreatePane(QWidget* parent, bool wordWrap);

// The whole text as Shift_JIS with CR LF line ends.
std::string PaneText(const Pane& pane);
bool PaneIsEmpty(const Pane& pane);
// Replaces the whole text, plain (uncoloured).
void SetPaneText(Pane& pane, std::string_view sjisText);

// Colours the pane's text; caret and view to the top.
void ColourPane(Pane& pane);
// True when the pane shows its current text in the colours it would get
// from colouring it now.
bool PaneColourIsCurrent(const Pane& pane);
// All text black with no style; caret to the start.
void BlackenPane(Pane& pane);
// Back to empty plain text in the pane font.
void RenewPane(Pane& pane);

bool PaneWordWrap(const Pane& pane);
void SetPaneWordWrap(Pane& pane, bool wrap);
// Left and right margins in pixels; nothing happens when they are set already.
void SetPaneMargins(Pane& pane, int left, int right);

// Display lines, 0-based like the control's.
int PaneCaretLine(const Pane& pane);
int PaneLineCount(const Pane& pane);
void ScrollPaneLines(Pane& pane, int lines);
// Caret to the start of the 0-based display line.
void MovePaneCaretToLine(Pane& pane, int line);

// The words of the keyword box's text, as many as it holds.
std::vector<std::string> ScanSearchWords(std::string_view keywordText);
// Marks every occurrence of the first seven words and lists them in `hits`;
// the first word is marked black instead of red when asked.
void SearchPaneWords(Pane& pane, const std::vector<std::string>& words, bool blackFirstWord, QListWidget& hits);
// The click on a hit entry: the label shows it, the caret goes to the hit.
void ClickHitEntry(Pane& pane, QListWidget& hits, QLabel& label);

}  // namespace zelm::gui
