#include "app/gui/PaneAdapter.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>

#include "app/gui/JapaneseFonts.h"
#include "app/gui/PanePlaceholder.h"
#include "app/gui/SjisText.h"

namespace zelm::gui {

Pane* CreatePane(QWidget* parent, bool wordWrap) {
  auto* pane = new PanePlaceholder(parent);
  pane->setFont(PaneFont());
  pane->setTabChangesFocus(false);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  SetPaneWordWrap(*pane, wordWrap);
  QObject::connect(pane, &QPlainTextEdit::textChanged, pane, [pane] { pane->colourCurrent = false; });
  return pane;
}

std::string PaneText(const Pane& pane) {
  QString text = pane.toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return ToSjis(text);
}

bool PaneIsEmpty(const Pane& pane) { return pane.document()->isEmpty(); }

void SetPaneText(Pane& pane, std::string_view sjisText) {
  QString text = FromSjis(sjisText);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  pane.setPlainText(text);
}

void ColourPane(Pane& pane) {
  pane.moveCursor(QTextCursor::Start);
  pane.colourCurrent = true;
}

bool PaneColourIsCurrent(const Pane& pane) { return pane.colourCurrent; }

void BlackenPane(Pane& pane) { pane.moveCursor(QTextCursor::Start); }

void RenewPane(Pane& pane) {
  pane.clear();
  pane.setFont(PaneFont());
}

bool PaneWordWrap(const Pane& pane) { return pane.lineWrapMode() != QPlainTextEdit::NoWrap; }

void SetPaneWordWrap(Pane& pane, bool wrap) {
  const auto mode = wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
  if (pane.lineWrapMode() != mode) pane.setLineWrapMode(mode);
}

void SetPaneMargins(Pane& pane, int left, int right) {
  if (pane.leftMargin == left && pane.rightMargin == right) return;
  pane.leftMargin = left;
  pane.rightMargin = right;
  QTextFrameFormat format = pane.document()->rootFrame()->frameFormat();
  format.setLeftMargin(left);
  format.setRightMargin(right);
  pane.document()->rootFrame()->setFrameFormat(format);
}

int PaneCaretLine(const Pane& pane) { return pane.textCursor().blockNumber(); }

int PaneLineCount(const Pane& pane) { return pane.document()->blockCount(); }

void ScrollPaneLines(Pane& pane, int lines) {
  QScrollBar* bar = pane.verticalScrollBar();
  bar->setValue(bar->value() + lines);
}

void MovePaneCaretToLine(Pane& pane, int line) {
  QTextCursor cursor(pane.document()->findBlockByNumber(line));
  pane.setTextCursor(cursor);
}

std::vector<std::string> ScanSearchWords(std::string_view) { return {}; }

void SearchPaneWords(Pane&, const std::vector<std::string>&, bool, QListWidget& hits) { hits.clear(); }

void ClickHitEntry(Pane&, QListWidget& hits, QLabel& label) {
  if (QListWidgetItem* item = hits.currentItem()) label.setText(item->text());
}

}  // namespace zelm::gui
