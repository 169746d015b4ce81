#include "app/gui/PaneAdapter.h"

#include "app/gui/RichEditUtil.h"

namespace zelm::gui {

Pane* CreatePane(QWidget* parent, bool wordWrap) {
  auto* pane = new RichEditEx(parent);
  pane->SetLineNumbers(true);
  pane->SetWordWrap(wordWrap);
  return pane;
}

HitList* CreateHitList(QWidget* parent) { return new PaneHitList(parent); }

const std::string& PaneText(const Pane& pane) { return pane.SjisText(); }

bool PaneIsEmpty(const Pane& pane) { return pane.IsEmpty(); }

void SetPaneText(Pane& pane, std::string sjisText) { pane.SetSjisText(std::move(sjisText)); }

void ColourPane(Pane& pane) { RichEditColorRetry(pane); }

bool PaneColourIsCurrent(const Pane& pane) { return pane.IsColoured(); }

void BlackenPane(Pane& pane) { TextBlackColor(pane); }

void RenewPane(Pane& pane) { RichEditExReNew(pane); }

void SetPaneWordWrap(Pane& pane, bool wrap) { pane.SetWordWrap(wrap); }

void SetPaneMargins(Pane& pane, int left, int right) {
  if (pane.LeftMargin() != left || pane.RightMargin() != right) RichEditSetMargins(pane, left, right);
}

void PaneCaretToTop(Pane& pane) { RichEditCaretToTop(pane); }

void PaneCaretToBottom(Pane& pane) { RichEditCaretToBottom(pane); }

}  // namespace zelm::gui
