// The File menu's open and save commands and the save-as tool button. The
// reading and writing itself is PageFiles' (one place for all file work).
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>

#include "app/gui/BusyCursor.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SjisText.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

SaveCharSet SaveChoice(const RadioGroup& group) {
  switch (group.ItemIndex()) {
    case 1: return SaveCharSet::ShiftJis;
    case 2: return SaveCharSet::Utf8;
    default: return SaveCharSet::Auto;
  }
}

}  // namespace

OpenedFile TAMainForm::PageFile() const {
  return {BtnEditLocalFile, OrgFileBytes, OrgCharCode, OrgReadAs, OrgLoss, OrgLossLine};
}

bool TAMainForm::SavePaneTo(PaneId id, const std::string& path, const OpenedFile& source) {
  StatusbarClearSaveMessage();
  std::string text = PaneText(pane(id));
  if (text.empty()) return false;
  const QString shownPath = FromLocalPath(path);
  if (FileExists(path) && !asker().Confirm(U(texts::kOverwriteQuestion))) return false;

  PreparedSave prepared;
  const SaveCharSet choice = SaveChoice(RadioGroupSaveCharSet);
  if (!RunBusy([&] { prepared = PrepareSave(std::move(text), choice, source.declared, source.readAs); })) return false;
  // The Native pane holds the bytes as read, before any conversion.
  const ConversionLoss& readLoss = id == PaneId::Native ? ConversionLoss{} : source.loss;
  if (prepared.loss.any() || readLoss.any()) {
    const QString question = texts::SaveLossQuestion(
        shownPath, static_cast<int>(readLoss.count), static_cast<int>(source.lossLine),
        static_cast<int>(prepared.loss.count), static_cast<int>(prepared.lossLine),
        QString::fromLatin1(EncodingName(prepared.encoding).data()));
    if (!asker().Confirm(question)) return false;
  }

  // Over the file it was read from, the backup keeps the file as first read.
  std::optional<std::string> original;
  if (path == source.path && !source.bytes.empty()) original = source.bytes;
  WriteOutcome outcome;
  if (!RunBusy([&] { outcome = WriteWithBackup(prepared.bytes, path, original); })) return false;
  if (!outcome.ok) {
    asker().Tell(texts::CannotOpenMessage(shownPath, QString::fromUtf8(outcome.reason.c_str())));
    return false;
  }
  StatusBarGlobal[1]->setText(texts::SavedMessage(shownPath));
  return true;
}

std::string TAMainForm::SavePaneAs(PaneId id, const OpenedFile& source, bool htmlFile) {
  if (PaneIsEmpty(pane(id))) return {};
  const QString suggested = source.path.empty() ? DialogFolder() : FromLocalPath(source.path);
  const QString chosen =
      asker().SaveFileName(suggested, U(htmlFile ? texts::kHtmlFilter : texts::kTextFilter));
  if (chosen.isEmpty()) return {};
  std::string path = ToLocalPath(chosen);
  if (htmlFile) path = WithHtmlExtension(path);
  return SavePaneTo(id, path, source) ? path : std::string();
}

// ---- The Result ("処理結果") ----------------------------------------------------------

void TAMainForm::MenuFileSaveLocalTextClick() {
  if (BtnEditLocalFile.empty()) {
    SavePaneAs(PaneId::Result, PageFile(), true);
  } else {
    SavePaneTo(PaneId::Result, BtnEditLocalFile, PageFile());
  }
}

void TAMainForm::MenuFileSaveAsLocalTextClick() { SavePaneAs(PaneId::Result, PageFile(), true); }

// ---- The corrected Local text -------------------------------------------------------------

void TAMainForm::N11Click() {
  // A heading of the File menu: no action.
}

void TAMainForm::MenuFileLSaveAsLocallTextClick() { SavePaneAs(PaneId::Local, PageFile(), true); }

// ---- A plain text file (CSS, JavaScript) in Local --------------------------------------------

void TAMainForm::MenuFileTXTCSSJSDescriptionClick() {
  // A heading of the File menu: no action.
}

void TAMainForm::MenuFileOpenTXTCSSJSClick() {
  StatusbarClearSaveMessage();
  const QString name = asker().OpenFileName(DialogFolder(), U(texts::kTextFilter));
  if (name.isEmpty()) return;
  const std::string path = ToLocalPath(name);
  LoadedText loaded;
  const CharCodeIndex openCharset = std::max(0, RadioGroupOpenCharset.ItemIndex());
  if (!RunBusy([&] { loaded = LoadPlainText(path, openCharset); })) return;
  if (loaded.failure.failed()) {
    TellOpenFailure(name, loaded.failure);
    return;
  }
  BusyCursor busy;
  TextFile = {path, std::move(loaded.bytes), kCharCodeAuto, loaded.readAs, loaded.loss, loaded.lossLine};
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  ShowInPane(PaneId::Local, loaded.text);
  if (TextFile.loss.any()) {
    asker().Tell(texts::LoadLossMessage(static_cast<int>(TextFile.loss.count), static_cast<int>(TextFile.lossLine)));
  }
}

void TAMainForm::MenuFileSaveTxtCSSJSClick() {
  if (TextFile.path.empty()) {
    MenuFileSaveAsTxtCSSJSlTextClick();
  } else {
    SavePaneTo(PaneId::Local, TextFile.path, TextFile);
  }
}

void TAMainForm::MenuFileSaveAsTxtCSSJSlTextClick() {
  std::string saved = SavePaneAs(PaneId::Local, TextFile, false);
  if (saved.empty()) return;
  TextFile.path = std::move(saved);
  TextFile.bytes.clear();
}

// ---- RefOrg ------------------------------------------------------------------------------------

void TAMainForm::MenuFileSaveReffOrgFileClick() {
  // A heading of the File menu: no action.
}

void TAMainForm::MenuFileOpenRefOrgFileClick() {
  StatusbarClearSaveMessage();
  const QString name = asker().OpenFileName(DialogFolder(), U(texts::kHtmlFilter));
  if (name.isEmpty()) return;
  const std::string path = ToLocalPath(name);
  LoadedPage page;
  PipelineOptions options = CurrentPipelineOptions();
  if (!RunBusy([&] { page = LoadPage(path, options); })) return;
  if (page.failure.failed()) {
    TellOpenFailure(name, page.failure);
    return;
  }
  BusyCursor busy;
  RefOrgFile = {path, std::move(page.bytes), page.texts.DetectedCode, page.texts.ReadAs, page.texts.loss,
                page.texts.lossLine};
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab02RefOrg);
  ShowInPane(PaneId::RefOrg, page.texts.RefOrg);
  if (RefOrgFile.loss.any()) {
    asker().Tell(
        texts::LoadLossMessage(static_cast<int>(RefOrgFile.loss.count), static_cast<int>(RefOrgFile.lossLine)));
  }
}

void TAMainForm::MenuFileSaveRefOrgFileClick() {
  if (RefOrgFile.path.empty()) {
    MenuFileSaveAsRefOrgFileClick();
  } else {
    SavePaneTo(PaneId::RefOrg, RefOrgFile.path, RefOrgFile);
  }
}

void TAMainForm::MenuFileSaveAsRefOrgFileClick() {
  // Without a file of its own, RefOrg is the loaded page's text.
  const OpenedFile source = RefOrgFile.path.empty() ? PageFile() : RefOrgFile;
  std::string saved = SavePaneAs(PaneId::RefOrg, source, true);
  if (saved.empty()) return;
  RefOrgFile = source;
  RefOrgFile.path = std::move(saved);
  RefOrgFile.bytes.clear();
}

// ---- The clicked pane ----------------------------------------------------------------------------

void TAMainForm::tbSaveAsClick() {
  if (!CurrentPane) return;
  const std::optional<PaneId> id = IdOf(CurrentPane);
  if (!id) return;
  if (*id == PaneId::Local && !TextFile.path.empty()) {
    SavePaneAs(*id, TextFile, false);
  } else if (*id == PaneId::RefOrg && !RefOrgFile.path.empty()) {
    SavePaneAs(*id, RefOrgFile, true);
  } else {
    SavePaneAs(*id, PageFile(), true);
  }
}

}  // namespace zelm::gui
