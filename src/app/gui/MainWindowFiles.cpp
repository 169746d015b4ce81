// The File menu's open and save commands and the save-as tool button. The
// reading and writing itself is the shared file commands' (FileCommands.h),
// as zelm-cli's is; PageFiles holds what the window keeps of a file.
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
  return {BtnEditLocalFile, OrgFileIdentity, OrgCharCode, OrgReadAs, false, OrgLoss};
}

void TAMainForm::TellFileError(const FileError& error, const QString& subject) {
  asker().Tell(texts::FileErrorMessage(error, subject));
}

std::optional<FileIdentity> TAMainForm::SavePaneTo(PaneId id, const std::string& path, const OpenedFile& source) {
  StatusbarClearSaveMessage();
  std::string text = PaneText(pane(id));
  if (text.empty()) return std::nullopt;
  const QString shownPath = FromLocalPath(path);
  if (FileExists(path) && !asker().Confirm(U(texts::kOverwriteQuestion))) return std::nullopt;

  const CharCodeIndex encoding = SaveEncodingFor(SaveChoice(RadioGroupSaveCharSet), source.declared, source.readAs);
  EncodedText encoded;
  if (!RunBusy([&] { encoded = EncodeForSaving(std::move(text), encoding); })) return std::nullopt;
  // The Native pane holds the bytes as read, before any conversion.
  const LossReport readLoss = id == PaneId::Native ? LossReport{} : source.loss;
  if ((encoded.loss.any() || readLoss.any()) &&
      !asker().Confirm(texts::SaveLossQuestion(shownPath, readLoss, encoded.loss)))
    return std::nullopt;
  if (source.byteOrderMark && (encoding == kCharCodeUtf8 || encoding == kCharCodeUtf8N))
    encoded.text.insert(0, kUtf8ByteOrderMark);

  // Over the file it was read from, the file must still be as it was read:
  // what another program wrote there since would go without a word.
  SaveOptions options = SaveOptionsFor(path, source);
  SaveOutcome saved;
  if (!RunBusy([&] { saved = SaveWithBackup(encoded.text, path, options); })) return std::nullopt;
  if (!saved.ok() && saved.error->kind == FileErrorKind::ChangedSinceRead && options.expected) {
    if (!asker().Confirm(texts::ChangedSinceReadQuestion(shownPath))) return std::nullopt;
    options.expected.reset();
    if (!RunBusy([&] { saved = SaveWithBackup(encoded.text, path, options); })) return std::nullopt;
  }
  if (!saved.ok()) {
    TellFileError(*saved.error, shownPath);
    return std::nullopt;
  }
  // The files kept of this name are now the one written.
  for (auto [kept, identity] : {std::pair{&BtnEditLocalFile, &OrgFileIdentity},
                                std::pair{&TextFile.path, &TextFile.identity},
                                std::pair{&RefOrgFile.path, &RefOrgFile.identity}}) {
    if (*kept == path || *kept == saved.path) *identity = saved.written;
  }
  StatusBarGlobal[1]->setText(texts::SavedMessage(shownPath));
  if (saved.otherNames != 0) asker().Tell(texts::OtherNamesMessage(shownPath, saved.otherNames));
  return saved.written;
}

std::optional<OpenedFile> TAMainForm::SavePaneAs(PaneId id, const OpenedFile& source, bool htmlFile) {
  if (PaneIsEmpty(pane(id))) return std::nullopt;
  const QString suggested = source.path.empty() ? DialogFolder() : FromLocalPath(source.path);
  const QString chosen =
      asker().SaveFileName(suggested, U(htmlFile ? texts::kHtmlFilter : texts::kTextFilter));
  if (chosen.isEmpty()) return std::nullopt;
  OpenedFile saved = source;
  saved.path = ToLocalPath(chosen);
  if (htmlFile) saved.path = WithHtmlExtension(saved.path);
  saved.identity = SavePaneTo(id, saved.path, source);
  if (!saved.identity) return std::nullopt;
  return saved;
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
  if (!RunBusy([&] { loaded = LoadPlainTextFile(path, openCharset); })) return;
  if (!loaded.ok()) {
    TellFileError(*loaded.error, name);
    return;
  }
  BusyCursor busy;
  PlainText& plain = loaded.plain;
  TextFile = {path, loaded.identity, kCharCodeAuto, plain.readAs, plain.byteOrderMark, plain.loss};
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  ShowInPane(PaneId::Local, NormalizeLineEnds(plain.text));
  if (TextFile.loss.any()) asker().Tell(texts::LoadLossMessage(TextFile.loss));
}

void TAMainForm::MenuFileSaveTxtCSSJSClick() {
  if (TextFile.path.empty()) {
    MenuFileSaveAsTxtCSSJSlTextClick();
  } else {
    SavePaneTo(PaneId::Local, TextFile.path, TextFile);
  }
}

void TAMainForm::MenuFileSaveAsTxtCSSJSlTextClick() {
  if (std::optional<OpenedFile> saved = SavePaneAs(PaneId::Local, TextFile, false)) TextFile = std::move(*saved);
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
  const PipelineOptions options = CurrentPipelineOptions();
  const WantedInputTexts wanted{.Native = false, .Org = false, .RefOrg = true, .Local = false};
  if (!RunBusy([&] { page = LoadPageFile(path, options, wanted); })) return;
  if (!page.ok()) {
    TellFileError(*page.error, name);
    return;
  }
  BusyCursor busy;
  RefOrgFile = {path, page.identity, page.texts.DetectedCode, page.texts.ReadAs, false, page.loss};
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab02RefOrg);
  ShowInPane(PaneId::RefOrg, page.texts.RefOrg);
  if (RefOrgFile.loss.any()) asker().Tell(texts::LoadLossMessage(RefOrgFile.loss));
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
  if (std::optional<OpenedFile> saved = SavePaneAs(PaneId::RefOrg, source, true)) RefOrgFile = std::move(*saved);
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
