// Operations on a pane that the window's commands share: colouring, moving
// the caret and the view, backgrounds, black text, renewal and the
// navigation to the top and the bottom. Lines are 0-based unless a function
// says otherwise; positions are characters.
#pragma once

#include <QColor>

#include "app/gui/RichEditEx.h"

namespace zelm::gui {

// The margins the window gives its panes, and those of a detached source
// window, in pixels.
inline constexpr int kPaneLeftMargin = 54;
inline constexpr int kPaneRightMargin = 10;
inline constexpr int kSourceLeftMargin = 50;
inline constexpr int kSourceRightMargin = 30;

// Colours the pane's text (nothing for an empty pane); the caret stays.
void RichEditSyntaxColor(RichEditEx& pane);
// Colours the pane's text, then caret and view to the top.
void RichEditSyntaxColorHome(RichEditEx& pane);
// RichEditSyntaxColor, then caret and view to the top.
void RichEditColorRetry(RichEditEx& pane);
// RichEditSyntaxColorHome, then the margins of a source window.
void RichEditColorRetryMargin(RichEditEx& pane);
// Colours the pane only when its colouring is not that of its current text,
// and keeps the caret and the view: for the window's resize, which must not
// colour again what is coloured. Returns whether it coloured.
bool RichEditColourIfChanged(RichEditEx& pane);

// The caret to the character `column` places after the start of `line`.
void RichEditGotoLine(RichEditEx& pane, int line, int column);
// Scrolls so that `line` (1-based) is the first visible line.
void RichEditScrollToLine(RichEditEx& pane, int line);
// Gives the selected text a background colour.
void RichEditSelBackColor(RichEditEx& pane, const QColor& colour);

// Black text without bold over the whole pane, marks removed, caret at the
// start (TextBlackColor).
void TextBlackColor(RichEditEx& pane);
// Empties the pane: plain, no text, the pane font (RichEditExReNew).
void RichEditExReNew(RichEditEx& pane);
// Left and right margins in pixels; -1 keeps a side.
void RichEditSetMargins(RichEditEx& pane, int left, int right);

// The navigation commands of the clicked pane. Top: scrolls back by the
// caret's line and puts the caret at the start. Bottom: near the end (fewer
// than six lines from it) scrolls by the distance and puts the caret at the
// start of the last line; further up scrolls five lines less and puts the
// caret at the start of the fifth line from the end.
void RichEditCaretToTop(RichEditEx& pane);
void RichEditCaretToBottom(RichEditEx& pane);

}  // namespace zelm::gui
