// The keyword box, the batch searches of the menu and the second tool bar,
// and the hit lists. Marking and listing the hits is the pane's search.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

#include "app/gui/BusyCursor.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SjisText.h"
#include "text/StringUtil.h"

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

void TAMainForm::BatchSearch(PaneId id) {
  Pane& target = pane(id);
  const QString boxText = ComboBoxFindSrc->currentText();
  const std::string keywords = ToSjis(boxText);
  if (PaneIsEmpty(target) || PlainTrim(keywords).empty()) return;
  const std::vector<std::string> words = ScanSearchWords(keywords);
  SearchWorkList.clear();
  for (const std::string& word : words) SearchWorkList << FromSjis(word);
  if (words.empty()) return;
  AddFindHistory(boxText, true);
  const std::pair<QTabWidget*, QWidget*> page = [&]() -> std::pair<QTabWidget*, QWidget*> {
    switch (id) {
      case PaneId::Result: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab01Main};
      case PaneId::Work: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab04Work};
      case PaneId::Org: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab03Org};
      case PaneId::Native: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab06Native};
      case PaneId::InnerRight: return {PGZ1PGMainTab01Right, PGZ1PGMainTab01RightTab09Inner};
      case PaneId::RefOrg: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab02RefOrg};
      case PaneId::Temp: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab05Temp};
      default: return {PGZ0PGMainTab01Left, PGZ0PGMainTab01LeftTab01Main};
    }
  }();
  page.first->setCurrentWidget(page.second);
  BusyCursor busy;
  CurrentPane = &target;
  const bool blackFirst = !CheckBoxSearchBeforeBlack->isChecked();
  if (!blackFirst) TextBlackColor(target);
  SearchPaneWords(target, words, blackFirst, *hitList(id));
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
  const QString boxText = ComboBoxFindSrc->currentText();
  AddFindHistory(boxText, false);
  Pane& work = pane(PaneId::Work);
  const std::string keywords = ToSjis(boxText);
  if (PaneIsEmpty(work) || PlainTrim(keywords).empty()) return;
  TextBlackColor(work);
  const std::vector<std::string> words = ScanSearchWords(keywords);
  SearchWorkList.clear();
  for (const std::string& word : words) SearchWorkList << FromSjis(word);
  if (words.empty()) return;
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab04Work);
  BusyCursor busy;
  CurrentPane = &work;
  SearchPaneWords(work, words, false, *hitList(PaneId::Work));
}

void TAMainForm::sbFindSrcpasteClick() {
  const QString pasted = QGuiApplication::clipboard()->text();
  if (ToSjis(pasted).size() > kMaxPastedKeywordBytes) return;
  AddFindHistory(ComboBoxFindSrc->currentText(), false);
  ComboBoxFindSrc->setEditText(pasted);
}

void TAMainForm::sbFindSrcpasteClearClick() {
  ComboBoxFindSrc->setEditText(QString());
  ListBoxOutputClear();
}

void TAMainForm::ListBoxClick(PaneId id) { ClickHitEntry(pane(id), *hitList(id), *LabelCommonLineNumber); }

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
