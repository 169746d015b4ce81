// Comment labels in closing div tags, in the window: the start and end mark
// boxes with their paste, clear and Enter actions, the three option items
// of the tool menu, and the insert, remove and replace commands on the
// Result and RefOrg panes.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTabWidget>
#include <array>
#include <utility>

#include "app/gui/BusyCursor.h"
#include "app/gui/MainWindow.h"
#include "app/gui/PaneText.h"
#include "indent/DivCommentMarks.h"

namespace zelm::gui {
namespace {

using M = TAMainForm;

QString FromSjis(std::string_view text) { return SjisToQString(text); }

// A pasted mark is at most this many bytes (Shift_JIS).
constexpr std::size_t kMaxPastedMarkBytes = 10;

// The option items: the placeholder text, and the added blanks of insert
// and remove, and of replace.
constexpr const char* kNoTextItem = "MenuToolBatchRemoveDontAppendText";
constexpr const char* kRemoveNoSpaceItem = "MenuToolbatchRemoveDontAppendSpace";
constexpr const char* kReplaceNoSpaceItem = "MenuTooBatchReplaceDontAppendSpace";

// One command: the pane it changes, the option item that drops the blanks
// around the marks, the pages it shows, and the boxes its redisplay follows.
struct MarkCommand {
  PaneId pane;
  DivMarkCommand command;
  const char* noSpaceItem;
  bool onlyWhenNotEmpty;               // an empty pane: nothing at all, not even the pages
  bool workPage;                       // the work page in front
  QWidget* TAMainForm::*leftTab;       // null: the left side stays
  QWidget* TAMainForm::*rightTab;      // null: the right side stays; shown at the end
  QCheckBox* TAMainForm::*wrap;
  QCheckBox* TAMainForm::*spacing;
};

constexpr MarkCommand kInsertResult{PaneId::Result, DivMarkCommand::Insert, kRemoveNoSpaceItem, false, true,
                                    &M::PGZ0PGMainTab01LeftTab02RefOrg, &M::PGZ1PGMainTab01RightTab01Main,
                                    &M::CheckBoxResultWordWrap, &M::CheckBoxDontOutputSpacing};
constexpr MarkCommand kInsertRefOrg{PaneId::RefOrg, DivMarkCommand::Insert, kRemoveNoSpaceItem, false, true,
                                    &M::PGZ0PGMainTab01LeftTab02RefOrg, nullptr,
                                    &M::CheckBoxLocalWordWrap, &M::CheckBoxDontInputSpacing};
constexpr MarkCommand kRemoveResult{PaneId::Result, DivMarkCommand::Remove, kRemoveNoSpaceItem, true, false,
                                    nullptr, &M::PGZ1PGMainTab01RightTab01Main,
                                    &M::CheckBoxResultWordWrap, &M::CheckBoxDontOutputSpacing};
constexpr MarkCommand kRemoveRefOrg{PaneId::RefOrg, DivMarkCommand::Remove, kRemoveNoSpaceItem, false, false,
                                    &M::PGZ0PGMainTab01LeftTab02RefOrg, nullptr,
                                    &M::CheckBoxLocalWordWrap, &M::CheckBoxDontInputSpacing};
// Both replace commands redisplay by the input boxes, Result included.
constexpr MarkCommand kReplaceResult{PaneId::Result, DivMarkCommand::Replace, kReplaceNoSpaceItem, false, true,
                                     nullptr, &M::PGZ1PGMainTab01RightTab01Main,
                                     &M::CheckBoxLocalWordWrap, &M::CheckBoxDontInputSpacing};
constexpr MarkCommand kReplaceRefOrg{PaneId::RefOrg, DivMarkCommand::Replace, kReplaceNoSpaceItem, false, false,
                                     &M::PGZ0PGMainTab01LeftTab02RefOrg, nullptr,
                                     &M::CheckBoxLocalWordWrap, &M::CheckBoxDontInputSpacing};

void Run(TAMainForm& window, const MarkCommand& c) {
  window.StatusbarClearSaveMessage();
  DivMarkOptions options;
  options.startMark = QStringToSjis(window.ComboBoxRemoveStartMark->currentText());
  options.endMark = QStringToSjis(window.ComboBoxRmoveEndMark->currentText());
  if (options.startMark.empty() || options.endMark.empty()) return;
  options.noSpace = window.action(c.noSpaceItem)->isChecked();
  options.noText = window.action(kNoTextItem)->isChecked();
  Pane& target = window.pane(c.pane);
  if (c.onlyWhenNotEmpty && PaneIsEmpty(target)) return;

  BusyCursor busy;
  if (c.workPage) window.PGMain->setCurrentWidget(window.PGMainTab01IndentProcessing);
  if (c.leftTab) window.PGZ0PGMainTab01Left->setCurrentWidget(window.*c.leftTab);
  std::string changed = RunDivMarkCommand(c.command, PaneText(target), options);
  // A text without anything to change keeps the pane as it is, caret and all.
  if (changed != PaneText(target)) SetPaneText(target, std::move(changed));
  window.RichEditInflateRect(target, window.*c.wrap, window.*c.spacing);
  if (c.rightTab) window.PGZ1PGMainTab01Right->setCurrentWidget(window.*c.rightTab);
}

void InvertMark(QAction* item) { item->setChecked(!item->isChecked()); }

// Enter in a mark box keeps its text in the box's own list, even when the
// list has it already.
void KeepInOwnList(QComboBox& box) {
  const QString mark = box.currentText();
  if (mark.isEmpty()) return;
  box.addItem(mark);
  box.setEditText(mark);
}

}  // namespace

void TAMainForm::MarkBoxInitialize() {
  const std::pair<QComboBox*, std::array<const char*, 3>> boxes[] = {
      {ComboBoxRemoveStartMark, {"!--", "$#", "@--"}},
      {ComboBoxRmoveEndMark, {"--!", "$%", "--@"}},
  };
  for (const auto& [box, items] : boxes) {
    for (const char* item : items) box->addItem(QString::fromLatin1(item));
  }
  ComboBoxRemoveStartMark->setEditText(FromSjis(kDefaultStartMark));
  ComboBoxRmoveEndMark->setEditText(FromSjis(kDefaultEndMark));
}

// ---- The six commands ------------------------------------------------------------------

void TAMainForm::MenuTooBatchInsertResultDivAttrClick() { Run(*this, kInsertResult); }
void TAMainForm::MenuTooBatchInsertOrgDivAttrClick() { Run(*this, kInsertRefOrg); }
void TAMainForm::MenuToolBatchRemoveResultDivAttrClick() { Run(*this, kRemoveResult); }
void TAMainForm::MenuToolBatchRemoveOrgDivAttrClick() { Run(*this, kRemoveRefOrg); }
void TAMainForm::MenuToolBatchReplaceResultCommentClick() { Run(*this, kReplaceResult); }
void TAMainForm::MenuToolReplaceOrgDivCommentClick() { Run(*this, kReplaceRefOrg); }

// ---- Option items ------------------------------------------------------------------------

void TAMainForm::MenuToolBatchRemoveDontAppendTextClick() { InvertMark(action(kNoTextItem)); }
void TAMainForm::MenuToolbatchRemoveDontAppendSpaceClick() { InvertMark(action(kRemoveNoSpaceItem)); }
void TAMainForm::MenuTooBatchReplaceDontAppendSpaceClick() { InvertMark(action(kReplaceNoSpaceItem)); }

// ---- Mark boxes --------------------------------------------------------------------------

void TAMainForm::PasteMark(QComboBox& box) {
  const QString pasted = QGuiApplication::clipboard()->text();
  if (QStringToSjis(pasted).size() > kMaxPastedMarkBytes) return;
  // The mark it replaces stays at hand in the keyword box's list.
  if (!box.currentText().isEmpty()) AddFindHistory(box.currentText(), true);
  box.setEditText(pasted);
}

void TAMainForm::sbRemoveStartPaseteClick() { PasteMark(*ComboBoxRemoveStartMark); }
void TAMainForm::sbRemoveEndPaseteClick() { PasteMark(*ComboBoxRmoveEndMark); }
void TAMainForm::sbRemoveStartClearClick() { ComboBoxRemoveStartMark->setEditText(QString()); }
void TAMainForm::sbRemoveEndClearClick() { ComboBoxRmoveEndMark->setEditText(QString()); }
void TAMainForm::ComboBoxRemoveStartMarkKeyDown() { KeepInOwnList(*ComboBoxRemoveStartMark); }
void TAMainForm::ComboBoxRmoveEndMarkKeyDown() { KeepInOwnList(*ComboBoxRmoveEndMark); }

}  // namespace zelm::gui
