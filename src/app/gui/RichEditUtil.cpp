#include "app/gui/RichEditUtil.h"

#include <QTextCharFormat>

#include <algorithm>

namespace zelm::gui {
namespace {

// Where the view ends when it is scrolled back by the caret's line and the
// caret is put at the start; a pane that is not shown yet keeps both for
// when it is.
void CaretAndViewToTop(RichEditEx& pane) {
  pane.SetCaretPos(0);
  pane.SetFirstVisibleLine(0);
}

}  // namespace

void RichEditSyntaxColor(RichEditEx& pane) {
  if (pane.IsEmpty()) return;
  // The caret and the view stay where they are: the colours are laid over
  // the text, which is not loaded again.
  pane.Colour();
}

void RichEditSyntaxColorHome(RichEditEx& pane) {
  if (pane.IsEmpty()) return;
  pane.Colour();
  CaretAndViewToTop(pane);
}

// A rich-edit control that is handed the coloured document as RTF may show
// it as raw text, which is why the colouring of a Windows pane was tried a
// second time when the pane's text began to hold "{\". Here the document is
// never loaded into the control: the RTF reader reads it into text and runs
// of colour, which the pane lays over its own text, and the text itself is
// never replaced. Nothing can come out as raw RTF, so there is nothing to
// try again; what the user sees stays the same: coloured text, caret and
// view at the top.
void RichEditColorRetry(RichEditEx& pane) {
  RichEditSyntaxColor(pane);
  CaretAndViewToTop(pane);
}

void RichEditColorRetryMargin(RichEditEx& pane) {
  RichEditSyntaxColorHome(pane);
  pane.SetMargins(kSourceLeftMargin, kSourceRightMargin);
}

bool RichEditColourIfChanged(RichEditEx& pane) {
  if (pane.IsEmpty()) return false;
  return pane.Colour();
}

void RichEditGotoLine(RichEditEx& pane, int line, int column) {
  pane.SetCaretPos(pane.LineStart(std::max(line, 0)) + column);
}

void RichEditScrollToLine(RichEditEx& pane, int line) { pane.SetFirstVisibleLine(line - 1); }

void RichEditSelBackColor(RichEditEx& pane, const QColor& colour) {
  if (pane.SelLength() <= 0) return;
  QTextCharFormat format;
  format.setBackground(colour);
  pane.AddMark(pane.SelStart(), pane.SelLength(), format);
}

void TextBlackColor(RichEditEx& pane) {
  pane.MakeBlack();
  pane.SetCaretPos(0);
}

void RichEditExReNew(RichEditEx& pane) { pane.Renew(); }

void RichEditSetMargins(RichEditEx& pane, int left, int right) { pane.SetMargins(left, right); }

void RichEditCaretToTop(RichEditEx& pane) {
  pane.ScrollLines(-pane.CaretLine());
  pane.SetCaretPos(0);
}

void RichEditCaretToBottom(RichEditEx& pane) {
  const int caretLine = pane.CaretLine();
  const int lines = pane.LineCount();
  const int distance = lines - caretLine;
  if (distance < 6) {
    pane.ScrollLines(distance);
    pane.SetCaretPos(pane.LineStart(std::max(lines - 1, 0)));
  } else {
    pane.ScrollLines(distance - 5);
    pane.SetCaretPos(pane.LineStart(std::max(lines - 5, 0)));
  }
}

}  // namespace zelm::gui
