// The pipeline commands: opening a page, loading pasted HTML, the indent
// command, the inner-HTML indent and the reloads of the Local pane. The
// passes run off the user-interface thread (RunBusy); the panes are filled
// on it.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSplitter>
#include <QTabWidget>
#include <algorithm>
#include <thread>

#include "app/gui/BusyCursor.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SjisText.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {

PipelineOptions TAMainForm::CurrentPipelineOptions() const {
  PipelineOptions options;
  // A group with no item chosen stands for its first.
  options.IndentType = IndentTypeFromValue(RadioGroupIndentType.ItemIndex()).value_or(IndentType::kTwoSpaces);
  options.OpenCharset = OpenCharsetFromValue(RadioGroupOpenCharset.ItemIndex()).value_or(OpenCharset::kAutomatic);
  options.ConvertUpper2Lower = CheckBoxConvertUpperLower->isChecked();
  options.DontPreprocessing = CheckBoxDontPreprocessing->isChecked();
  options.DivCommentConcat = CheckBoxDivCommentConcat->isChecked();
  options.Threads = std::max(1u, std::thread::hardware_concurrency());
  return options;
}

// ---- Input stage for a file ---------------------------------------------------------

bool TAMainForm::DoLocalHTMLGo(const QString& fileName) {
  const std::string given = ToLocalPath(fileName);
  // A name without ".htm" stands for the same name with ".html" when that
  // file exists; an existing file the person named is opened as it is.
  const std::optional<std::string> resolved = ResolveHtmlFileName(given);
  const std::string file = resolved && FileExists(*resolved) ? *resolved : given;
  LoadedPage page;
  const PipelineOptions options = CurrentPipelineOptions();
  if (!RunBusy([&] { page = LoadPageFile(file, options); })) return false;
  if (!page.ok()) {
    // Nothing is cleared: the texts in the panes may be the person's work.
    TellFileError(*page.error, FromLocalPath(file));
    return false;
  }

  BusyCursor busy;
  LocalHTMLClear(false);
  BrowserClear();
  ListBoxAllClear();
  ComboBoxSearchRepClear();
  BtnEditLocalFile = file;
  OrgFileIdentity = page.identity;
  OrgCharCode = page.texts.DetectedCode;
  OrgReadAs = page.texts.ReadAs;
  OrgLoss = page.loss;

  SetPaneText(pane(PaneId::Native), page.texts.Native);
  SetOrgFileCharCode();
  RichEditInflateRect(pane(PaneId::Native), CheckBoxLocalWordWrap, CheckBoxDontInputSpacing);
  SavedOrgText = page.texts.Org;
  ShowInPane(PaneId::Org, page.texts.Org);
  ShowInPane(PaneId::RefOrg, page.texts.RefOrg);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab02RefOrg);
  SavedLocalText = page.texts.Local;
  ShowInPane(PaneId::Local, page.texts.Local);
  if (OrgLoss.any()) asker().Tell(texts::LoadLossMessage(OrgLoss));
  return true;
}

void TAMainForm::OpenHtmlFile(const QString& fileName) {
  StatusbarClearSaveMessage();
  if (!DoLocalHTMLGo(fileName)) return;
  const QString loaded = FromLocalPath(BtnEditLocalFile);
  SetFormCaption(loaded);
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  ChangePageOnLoadFile(loaded);
  if (CheckBoxImmediateGo->isChecked()) tbIndentGoClick();
}

QString TAMainForm::DialogFolder() const {
  if (!BtnEditLocalFile.empty()) return QFileInfo(FromLocalPath(BtnEditLocalFile)).absolutePath();
  return DefaultFolder;
}

void TAMainForm::tbOpenFileClick() {
  const QString name = asker().OpenFileName(DialogFolder(), QString::fromUtf8(texts::kHtmlFilter));
  if (!name.isEmpty()) OpenHtmlFile(name);
}

void TAMainForm::MenuFileOpenClick() { tbOpenFileClick(); }

// ---- Input stage for pasted text ---------------------------------------------------------

void TAMainForm::DoCopyTextTMLGo(const std::string& text) {
  ForgetLoadedFile();
  BrowserClear();
  ListBoxAllClear();
  SetPaneText(pane(PaneId::Local), {});
  SavedOrgText.clear();
  SavedLocalText.clear();
  SavedResultText.clear();
  SavedWorkText.clear();
  ComboBoxSearchRepClear();
  if (text.empty()) return;
  PasteInputTexts texts;
  const PipelineOptions options = CurrentPipelineOptions();
  if (!RunBusy([&] { texts = PasteInputStage(text, options); })) return;
  ShowInPane(PaneId::Native, texts.Native);
  SavedOrgText = texts.Org;
  ShowInPane(PaneId::Org, texts.Org);
  ShowInPane(PaneId::RefOrg, texts.RefOrg);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab02RefOrg);
  SavedLocalText = texts.Local;
  ShowInPane(PaneId::Local, texts.Local);
  BrowserClear();
}

void TAMainForm::tbPasteClipboardToTextClick() {
  StatusbarClearSaveMessage();
  const SjisLines pasted = ToSjisLinesReporting(QGuiApplication::clipboard()->text());
  if (pasted.text.empty() || !IsAcceptablePaste(pasted.text)) return;
  LocalHTMLClear(false);
  BrowserClear();
  ListBoxAllClear();
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab01Main);
  SetLeftPanelWidth();
  {
    BusyCursor busy;
    ComboBoxSearchRepClear();
    DoCopyTextTMLGo(pasted.text);
    AppTitleCaption(QString(), 0);
  }
  // Saving the text asks again about what the clipboard could not give.
  OrgLoss = ReportLoss(pasted.loss, pasted.lossLine, kCharCodeShiftJis);
  if (OrgLoss.any()) asker().Tell(texts::LoadLossMessage(OrgLoss));
  if (CheckBoxImmediateGo->isChecked()) tbIndentGoClick();
}

// ---- Indent stage --------------------------------------------------------------------------

void TAMainForm::tbIndentGoClick() {
  StatusbarClearSaveMessage();
  const std::string local = PaneText(pane(PaneId::Local));
  if (local.empty()) return;
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab04Work);
  IndentTexts indented;
  const PipelineOptions options = CurrentPipelineOptions();
  if (!RunBusy([&] { indented = IndentStage(local, options); })) return;
  BusyCursor busy;
  SavedWorkText = indented.Work;
  ShowInPane(PaneId::Work, indented.Work);
  SavedResultText = indented.Result;
  ShowInPane(PaneId::Result, indented.Result);
  SetPaneWordWrap(pane(PaneId::Result), CheckBoxResultWordWrap->isChecked());
  SetPaneWordWrap(pane(PaneId::Work), CheckBoxResultWordWrap->isChecked());
  ListBoxOutputClear();
  DoOutputInflateRect();
  ShowIndentedOutput();
  DoSetMargin();
}

// Writes the temporary result file beside the opened page and shows the
// pages the options ask for.
void TAMainForm::ShowIndentedOutput() {
  if (BtnEditLocalFile.empty() || !FileExists(BtnEditLocalFile)) {
    ShowOutputPage();
    return;
  }
  const SaveOutcome written = WriteTempResult(PaneText(pane(PaneId::Result)), BtnEditLocalFile);
  if (!written.ok()) TellFileError(*written.error, FromLocalPath(TempResultPath(BtnEditLocalFile)));
  if (CheckBoxOpenIEResult->isChecked()) {
    BrowseIndentFile(FromLocalPath(TempResultPath(BtnEditLocalFile)));
    if (CheckBoxResultPageChange->isChecked()) {
      PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab03Browser);
    }
    ShowOutputPage();
  } else {
    ShowOutputPage();
    PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  }
}

void TAMainForm::ShowOutputPage() {
  PGZ1PGMainTab01Right->setCurrentWidget(CheckBoxWorkProcessPageChange->isChecked() ? PGZ1PGMainTab01RightTab04Work
                                                                                     : PGZ1PGMainTab01RightTab01Main);
}

void TAMainForm::MenuTextDoIndentGoClick() { tbIndentGoClick(); }

// ---- Inner HTML ----------------------------------------------------------------------------

void TAMainForm::btnDoInnerHTMLIndentClick() {
  const std::string inner = PaneText(pane(PaneId::InnerRight));
  if (inner.empty()) return;
  std::string indented;
  const PipelineOptions options = CurrentPipelineOptions();
  const bool keepMarkers = CheckBoxInnerRightRemoveLevel->isChecked();
  if (!RunBusy([&] { indented = InnerHtmlStage(inner, options, keepMarkers); })) return;
  ShowInPane(PaneId::Inner, indented);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab07Inner);
}

// ---- Reloading the Local pane -----------------------------------------------------------------

void TAMainForm::ReloadLocal(PaneId source, bool adjust) {
  StatusbarClearSaveMessage();
  const std::string text = PaneText(pane(source));
  if (text.empty()) return;
  BusyCursor busy;
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  SetPaneText(pane(PaneId::Local), adjust ? DoInnerTextTMLGo(text) : text);
  SyntaxUpdate(pane(PaneId::Local));
}

void TAMainForm::MenuLoadFromRefOrgClick() { ReloadLocal(PaneId::RefOrg, true); }

void TAMainForm::MenuLoadFromRefOrgThruClick() { ReloadLocal(PaneId::RefOrg, false); }

void TAMainForm::MenuEditLoadFromInnerHTMLClick() { ReloadLocal(PaneId::Inner, true); }

}  // namespace zelm::gui
