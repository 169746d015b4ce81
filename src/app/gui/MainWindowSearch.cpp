// The keyword box, the batch searches of the menu and the second tool bar,
// and the hit lists. Marking and listing the hits is the pane's search.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>

#include "app/gui/MainWindow.h"
#include "app/gui/PaneText.h"

namespace zelm::gui {
namespace {

// The longest clipboard text the paste button takes into the keyword box.
constexpr std::size_t kMaxPastedKeywordBytes = 60;

}  // namespace

void TAMainForm::AddFindHistory(const QString& text, bool evenWhenThere) {
  if (text.isEmpty()) return;
  if (evenWhenThere || ComboBoxFindSrc->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
    // The edit text is kept: adding an item to an empty list selects it.
    const QString current = ComboBoxFindSrc->currentText();
    ComboBoxFindSrc->addItem(text);
    ComboBoxFindSrc->setEditText(current);
  }
}

// The page control and tab that show a pane.
std::pair<QTabWidget*, QWidget*> TAMainForm::PageOf(PaneId id) const {
  switch (id) {
    case PaneId::Result: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab01Main};
    case PaneId::Work: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab04Work};
    case PaneId::Org: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab03Org};
    case PaneId::Native: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab06Native};
    case PaneId::Selected: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab05Selected};
    case PaneId::InnerRight: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab09Inner};
    case PaneId::Local: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab01Main};
    case PaneId::RefOrg: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab02RefOrg};
    case PaneId::Temp: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab05Temp};
    case PaneId::Inner: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab07Inner};
  }
  return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab01Main};
}

void TAMainForm::ShowPanePage(PaneId id) {
  const auto [tabs, page] = PageOf(id);
  tabs->setCurrentWidget(page);
}

void TAMainForm::KeepSearchWords(const std::vector<std::string>& words) {
  SearchWorkList.clear();
  for (const std::string& word : words) SearchWorkList << SjisToQString(word);
}

void TAMainForm::BatchSearch(PaneId id) {
  const QString findText = ComboBoxFindSrc->currentText();
  std::vector<std::string> words;
  BatchSearchPane(pane(id), *hitList(id), findText, CheckBoxSearchBeforeBlack->isChecked(), words, [&] {
    AddFindHistory(findText, true);
    ShowPanePage(id);
    CurrentPane = &pane(id);
  });
  KeepSearchWords(words);
}

void TAMainForm::MenuBatchSearchResultClick() { BatchSearch(PaneId::Result); }
void TAMainForm::MenuBatchSearchWorkClick() { BatchSearch(PaneId::Work); }
void TAMainForm::MenuBatchSearchLocalClick() { BatchSearch(PaneId::Local); }
void TAMainForm::MenuBatchSearchRefOrgClick() { BatchSearch(PaneId::RefOrg); }
void TAMainForm::MenuBatchSearchOrgClick() { BatchSearch(PaneId::Org); }
void TAMainForm::MenuBatchSearchNativeClick() { BatchSearch(PaneId::Native); }
void TAMainForm::MenuBatchSearchTempClick() { BatchSearch(PaneId::Temp); }
void TAMainForm::MenuBatchSearchInnerRightClick() { BatchSearch(PaneId::InnerRight); }
void TAMainForm::tbSearchReasultClick() { BatchSearch(PaneId::Result); }
void TAMainForm::tbSearchWorkClick() { BatchSearch(PaneId::Work); }
void TAMainForm::tbSearchLocalClick() { BatchSearch(PaneId::Local); }
void TAMainForm::tbSearchRefOrgClick() { BatchSearch(PaneId::RefOrg); }
void TAMainForm::tbSearchOrgClick() { BatchSearch(PaneId::Org); }
void TAMainForm::tbSearchNativeClick() { BatchSearch(PaneId::Native); }
void TAMainForm::tbsearchTempClick() { BatchSearch(PaneId::Temp); }
void TAMainForm::tbSearchInnerClick() { BatchSearch(PaneId::InnerRight); }

void TAMainForm::ComboBoxFindSrcKeyDown() {
  const QString findText = ComboBoxFindSrc->currentText();
  AddFindHistory(findText, false);
  std::vector<std::string> words;
  FindBoxEnterSearch(pane(PaneId::Work), *hitList(PaneId::Work), findText, words, [&] {
    ShowPanePage(PaneId::Work);
    CurrentPane = &pane(PaneId::Work);
  });
  KeepSearchWords(words);
}

void TAMainForm::sbFindSrcpasteClick() {
  const QString pasted = QGuiApplication::clipboard()->text();
  if (QStringToSjis(pasted).size() > kMaxPastedKeywordBytes) return;
  AddFindHistory(ComboBoxFindSrc->currentText(), false);
  ComboBoxFindSrc->setEditText(pasted);
}

void TAMainForm::sbFindSrcpasteClearClick() {
  ComboBoxFindSrc->setEditText(QString());
  ListBoxOutputClear();
}

void TAMainForm::ListBoxClick(PaneId id) { zelm::gui::ListBoxClick(pane(id), *hitList(id), LabelCommonLineNumber); }

void TAMainForm::ListBoxLocalClick() { ListBoxClick(PaneId::Local); }
void TAMainForm::ListBoxRefOrgClick() { ListBoxClick(PaneId::RefOrg); }
void TAMainForm::ListBoxTempClick() { ListBoxClick(PaneId::Temp); }
void TAMainForm::ListBoxResultClick() { ListBoxClick(PaneId::Result); }
void TAMainForm::ListBoxWorkClick() { ListBoxClick(PaneId::Work); }
void TAMainForm::ListBoxOrgClick() { ListBoxClick(PaneId::Org); }
void TAMainForm::ListBoxNativeClick() { ListBoxClick(PaneId::Native); }
void TAMainForm::ListBoxSelectedClick() { ListBoxClick(PaneId::Selected); }
void TAMainForm::ListBoxInnerRightClick() { ListBoxClick(PaneId::InnerRight); }

}  // namespace zelm::gui
