// The pane display helpers, the clears, the restore and redisplay
// commands, navigation in the clicked pane and the clipboard commands.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>

#include "app/gui/BusyCursor.h"
#include "app/gui/MainWindow.h"
#include "app/gui/PaneText.h"
#include "app/gui/SjisText.h"
#include "app/gui/TagCountList.h"

namespace zelm::gui {
namespace {

constexpr int kLeftMargin = 54;
constexpr int kRightMargin = 10;

bool Checked(const QCheckBox* box) { return box && box->isChecked(); }

}  // namespace

// ---- Display helpers ----------------------------------------------------------

void TAMainForm::SyntaxUpdate(Pane& target) {
  if (!CheckBoxDontSyntaxHighlight->isChecked()) ColourPane(target);
}

void TAMainForm::TextBlackColor(Pane& target) { BlackenPane(target); }

void TAMainForm::RichEditInflateRect(Pane& target, const QCheckBox* wrap, const QCheckBox* spacing) {
  SetPaneWordWrap(target, Checked(wrap));
  // A pane already showing its text in its colours keeps them: colouring
  // again would give the same and costs most on the largest pages, where a
  // resize of the window would otherwise colour five panes anew.
  if (!PaneColourIsCurrent(target)) SyntaxUpdate(target);
  if (!Checked(spacing)) SetPaneMargins(target, kLeftMargin, kRightMargin);
}

void TAMainForm::BlackRichEditInflateRect(Pane& target, const QCheckBox* wrap, const QCheckBox* spacing) {
  SetPaneWordWrap(target, Checked(wrap));
  TextBlackColor(target);
  if (!Checked(spacing)) SetPaneMargins(target, kLeftMargin, kRightMargin);
}

void TAMainForm::DoInflateRect() {
  for (PaneId id : {PaneId::Native, PaneId::Org, PaneId::Local}) {
    RichEditInflateRect(pane(id), CheckBoxLocalWordWrap, CheckBoxDontInputSpacing);
  }
  for (PaneId id : {PaneId::Work, PaneId::Result}) {
    RichEditInflateRect(pane(id), CheckBoxLocalWordWrap, CheckBoxDontOutputSpacing);
  }
}

void TAMainForm::DoOutputInflateRect() {
  for (PaneId id : {PaneId::Work, PaneId::Result}) {
    RichEditInflateRect(pane(id), CheckBoxLocalWordWrap, CheckBoxDontOutputSpacing);
  }
}

void TAMainForm::DoSetMargin() {
  for (PaneId id : kAllPanes) SetPaneMargins(pane(id), kLeftMargin, kRightMargin);
}

void TAMainForm::ShowInPane(PaneId id, std::string text) {
  SetPaneText(pane(id), std::move(text));
  SyntaxUpdate(pane(id));
}

void TAMainForm::RichEditExReNew(Pane& target) { RenewPane(target); }

void TAMainForm::RichEditExAllNew() {
  for (PaneId id : {PaneId::Local, PaneId::Work, PaneId::Org, PaneId::RefOrg, PaneId::Result, PaneId::Native,
                    PaneId::Selected, PaneId::Temp, PaneId::RefOrg, PaneId::Inner, PaneId::InnerRight}) {
    RichEditExReNew(pane(id));
  }
}

// ---- Clears -------------------------------------------------------------------------

void TAMainForm::LocalHTMLClear(bool keepLocal) {
  LabelCommonLineNumber->clear();
  CurrentPane = nullptr;
  if (!keepLocal) SetPaneText(pane(PaneId::Local), {});
  SavedOrgText.clear();
  SavedLocalText.clear();
  SavedResultText.clear();
  SavedWorkText.clear();
  for (PaneId id : {PaneId::Org, PaneId::Native, PaneId::Work, PaneId::Result, PaneId::RefOrg, PaneId::Selected,
                    PaneId::Temp, PaneId::Inner, PaneId::InnerRight}) {
    SetPaneText(pane(id), {});
  }
  BrowserClear();
  for (int panel : {0, 1, 3, 4}) StatusBarGlobal[panel]->clear();
}

void TAMainForm::WorkHTMLClear() {
  for (PaneId id : {PaneId::Work, PaneId::Result, PaneId::Selected}) SetPaneText(pane(id), {});
  BrowserClear();
  for (int panel : {0, 1, 3, 4}) StatusBarGlobal[panel]->clear();
}

void TAMainForm::ListBoxAllClear() {
  for (PaneId id : {PaneId::Local, PaneId::RefOrg, PaneId::Result, PaneId::Selected, PaneId::Org, PaneId::Work,
                    PaneId::Native, PaneId::Temp, PaneId::InnerRight}) {
    hitList(id)->clear();
  }
  ListBoxCSSColor->clear();
  ListBoxTagCountListLeft->clear();
  ListBoxTagCountListRight->clear();
}

void TAMainForm::ListBoxOutputClear() {
  hitList(PaneId::Result)->clear();
  hitList(PaneId::Work)->clear();
}

void TAMainForm::ListBoxInitialize() {
  for (PaneId id : {PaneId::Local, PaneId::RefOrg, PaneId::Result, PaneId::Work, PaneId::Org, PaneId::Native}) {
    hitList(id)->clear();
  }
  for (QListWidget* list : {ListBoxTagCountListLeft, ListBoxTagCountListRight}) {
    SetListTabStops(*list, kTagCountTabStops, kTagCountScrollExtent);
    list->clear();
  }
}

void TAMainForm::ComboBoxSearchRepClear() {
  if (!ComboBoxFindSrc->currentText().isEmpty()) ComboBoxFindSrc->addItem(ComboBoxFindSrc->currentText());
  ComboBoxFindSrc->setEditText(QString());
  ComboBoxRepDst->clear();
}

void TAMainForm::ForgetLoadedFile() {
  BtnEditLocalFile.clear();
  OrgFileIdentity.reset();
  // Text that comes from no file is the program's own Shift_JIS: saved as
  // it is, it loses nothing.
  OrgCharCode = kCharCodeAuto;
  OrgReadAs = kCharCodeShiftJis;
  OrgLoss = {};
}

// ---- Clicked pane -----------------------------------------------------------------

void TAMainForm::SetClickedPane(PaneId id) { CurrentPane = &pane(id); }

void TAMainForm::RichEditOrgClick() { SetClickedPane(PaneId::Org); }
void TAMainForm::RichEditNativeClick() { SetClickedPane(PaneId::Native); }
void TAMainForm::RichEditLocalClick() { SetClickedPane(PaneId::Local); }
void TAMainForm::RichEditResultClick() { SetClickedPane(PaneId::Result); }
void TAMainForm::RichEditSelectedClick() { SetClickedPane(PaneId::Selected); }
void TAMainForm::RichEditRefOrgClick() { SetClickedPane(PaneId::RefOrg); }
void TAMainForm::RichEditWorkClick() { SetClickedPane(PaneId::Work); }
void TAMainForm::RichEditTempClick() { SetClickedPane(PaneId::Temp); }
void TAMainForm::RichEditInnerClick() { SetClickedPane(PaneId::Inner); }
void TAMainForm::RichEditInnerRightClick() { SetClickedPane(PaneId::InnerRight); }

// ---- Restore and redisplay -----------------------------------------------------------

void TAMainForm::RestorePane(PaneId id, const std::string& saved, const QCheckBox* wrap, const QCheckBox* spacing) {
  SetPaneText(pane(id), saved);
  RichEditInflateRect(pane(id), wrap, spacing);
}

void TAMainForm::MenuTextTextSrcReColorClick() {
  RestorePane(PaneId::Local, SavedLocalText, CheckBoxResultWordWrap, CheckBoxDontInputSpacing);
}

void TAMainForm::MenuTextTextRstRecolorClick() {
  RestorePane(PaneId::Result, SavedResultText, CheckBoxResultWordWrap, CheckBoxDontOutputSpacing);
}

void TAMainForm::MenuTextTextPrcRecolorClick() {
  BusyCursor busy;
  RestorePane(PaneId::Work, SavedWorkText, CheckBoxResultWordWrap, CheckBoxDontOutputSpacing);
}

void TAMainForm::MenuTextTextOrgRecolorClick() {
  BusyCursor busy;
  RestorePane(PaneId::Org, SavedOrgText, CheckBoxLocalWordWrap, CheckBoxDontInputSpacing);
  RestorePane(PaneId::RefOrg, SavedOrgText, CheckBoxLocalWordWrap, CheckBoxDontInputSpacing);
}

void TAMainForm::RedisplayClickedPane(const QCheckBox* wrap, const QCheckBox* spacing) {
  if (!CurrentPane) return;
  BusyCursor busy;
  if (CheckBoxInputTextBlack->isChecked()) {
    BlackRichEditInflateRect(*CurrentPane, wrap, spacing);
  } else {
    RichEditInflateRect(*CurrentPane, wrap, spacing);
  }
  // Coloured whatever the options say.
  ColourPane(*CurrentPane);
}

void TAMainForm::tbLocalReDisplayClick() {
  StatusbarClearSaveMessage();
  RedisplayClickedPane(CheckBoxLocalWordWrap, CheckBoxDontInputSpacing);
}

void TAMainForm::tbIndentRedisplayClick() { RedisplayClickedPane(CheckBoxResultWordWrap, CheckBoxDontOutputSpacing); }

// ---- Navigation in the clicked pane ------------------------------------------------------

void TAMainForm::GoToTop() {
  if (!CurrentPane) return;
  PaneCaretToTop(*CurrentPane);
}

void TAMainForm::GoToBottom() {
  if (!CurrentPane) return;
  PaneCaretToBottom(*CurrentPane);
}

void TAMainForm::tbLeftpageTopClick() { GoToTop(); }
void TAMainForm::tbRightPageTopClick() { GoToTop(); }
void TAMainForm::tbLeftPageBottomClick() { GoToBottom(); }
void TAMainForm::tbRightPageBottomClick() { GoToBottom(); }

// ---- Clipboard ----------------------------------------------------------------------------

std::string TAMainForm::ClipboardText() const { return ToSjisLines(QGuiApplication::clipboard()->text()); }

void TAMainForm::tbCOPYFromResultTextClick() {
  StatusbarClearSaveMessage();
  if (!CurrentPane || PaneIsEmpty(*CurrentPane)) return;
  QGuiApplication::clipboard()->setText(SjisToQString(PaneText(*CurrentPane)));
}

void TAMainForm::MenuEditSelectAllClick() { SetPaneText(pane(PaneId::Local), ClipboardText()); }

void TAMainForm::tbPaste2LocalClick() {
  StatusbarClearSaveMessage();
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab03Org);
  SetLeftPanelWidth();
  LocalHTMLClear(false);
  BrowserClear();
  ListBoxAllClear();
  ForgetLoadedFile();
  NewDocument();
  ComboBoxSearchRepClear();
  AppTitleCaption(QString(), 0);
  SetPaneText(pane(PaneId::Local), ClipboardText());
  SetPaneText(pane(PaneId::Org), PaneText(pane(PaneId::Local)));
  for (PaneId id : {PaneId::Local, PaneId::Org}) {
    BlackRichEditInflateRect(pane(id), CheckBoxOuttWordWrap, CheckBoxOUtDontOutputSpacing);
    SetPaneMargins(pane(id), kLeftMargin, kRightMargin);
  }
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab01Main);
}

// ---- Clearing and resetting ---------------------------------------------------------------

void TAMainForm::tbResetIndentClick() {
  StatusbarClearSaveMessage();
  WorkHTMLClear();
  for (PaneId id : {PaneId::Work, PaneId::Result, PaneId::Selected, PaneId::Temp}) {
    SetPaneMargins(pane(id), kLeftMargin, kRightMargin);
  }
}

void TAMainForm::tbFilenewClick() {
  StatusbarClearSaveMessage();
  LocalHTMLClear(false);
  ListBoxInitialize();
  BrowserClear();
  NewDocument();
  ComboBoxFindSrc->clear();
  ComboBoxFindSrc->setEditText(QString());
  ComboBoxRepDst->clear();
  ComboBoxRepDst->setEditText(QString());
  RichEditExAllNew();
  ForgetLoadedFile();
  AppTitleCaption(QString(), 1);
  DoSetMargin();
}

void TAMainForm::MenuFileNewClick() { tbFilenewClick(); }

}  // namespace zelm::gui
