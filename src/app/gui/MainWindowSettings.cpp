// The settings file: where it is, reading it into the controls at start-up
// and writing the controls' state into it from the settings menu and the
// view item that stores the top panel's height.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "app/Settings.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SjisText.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The option boxes and their keys, in the order loading sets them.
struct OptionBox {
  bool Settings::*flag;
  QCheckBox* TAMainForm::*box;
};
constexpr OptionBox kOptionBoxes[] = {
    {&Settings::AutoloadFile, &TAMainForm::CheckBoxAutoloadFile},
    {&Settings::DivCommentConcat, &TAMainForm::CheckBoxDivCommentConcat},
    {&Settings::OpenIEOriginal, &TAMainForm::CheckBoxOpenIEOriginal},
    {&Settings::OpenIEResult, &TAMainForm::CheckBoxOpenIEResult},
    {&Settings::ResultPageChange, &TAMainForm::CheckBoxResultPageChange},
    {&Settings::WorkProcessPageChange, &TAMainForm::CheckBoxWorkProcessPageChange},
    {&Settings::ConvertUpper2Lower, &TAMainForm::CheckBoxConvertUpperLower},
    {&Settings::DontPreprocessing, &TAMainForm::CheckBoxDontPreprocessing},
    {&Settings::ImmediateGo, &TAMainForm::CheckBoxImmediateGo},
    {&Settings::UseAnalyzer, &TAMainForm::CheckBoxUseAnalyser},
    {&Settings::SearchBeforeBlack, &TAMainForm::CheckBoxSearchBeforeBlack},
    {&Settings::DontSyntaxHighlight, &TAMainForm::CheckBoxDontSyntaxHighlight},
    {&Settings::LocalWordWrap, &TAMainForm::CheckBoxLocalWordWrap},
    {&Settings::DontInputSpacing, &TAMainForm::CheckBoxDontInputSpacing},
    {&Settings::InputTextBlack, &TAMainForm::CheckBoxInputTextBlack},
    {&Settings::ResultWordWrap, &TAMainForm::CheckBoxResultWordWrap},
    {&Settings::DontOutputSpacing, &TAMainForm::CheckBoxDontOutputSpacing},
};

struct Choice {
  int Settings::*index;
  RadioGroup TAMainForm::*group;
};
constexpr Choice kChoices[] = {
    {&Settings::OpenCharset, &TAMainForm::RadioGroupOpenCharset},
    {&Settings::SaveCharSet, &TAMainForm::RadioGroupSaveCharSet},
    {&Settings::IndentType, &TAMainForm::RadioGroupIndentType},
};

// A box set by the settings as a click would set it: a box whose state
// changes runs what a click on it runs.
void SetAsClicked(QCheckBox& box, bool checked) {
  if (box.isChecked() != checked) box.click();
}

// A mark the file leaves empty keeps the box's mark: the file may hold only
// the top panel's height, stored at once by the view menu, and an empty
// mark would make every marker command do nothing.
void SetMark(QComboBox& box, const std::string& mark) {
  if (!mark.empty()) box.setEditText(FromUtf8(mark));
}

void ApplySettings(TAMainForm& window, const Settings& settings) {
  // Stored paths that no longer exist have been read as empty.
  window.ProjectFileName = FromLocalPath(settings.ProjectFile);
  window.DefaultFolder = FromLocalPath(settings.DefaultFolder);
  if (!settings.LocalFile.empty()) window.BtnEditLocalFile = settings.LocalFile;
  window.ComboBoxFindSrc->setEditText(FromUtf8(settings.Search));
  window.ComboBoxRepDst->setEditText(FromUtf8(settings.Replace));
  SetMark(*window.ComboBoxRemoveStartMark, settings.StartMark);
  SetMark(*window.ComboBoxRmoveEndMark, settings.EndMark);
  // The address also becomes the last entry of the box's list, an empty one
  // included.
  const QString url = FromUtf8(settings.AnalyzeUrl);
  window.EditGUIUrl->addItem(url);
  window.EditGUIUrl->setEditText(url);
  // An index of 0 leaves the choice as it is.
  for (const Choice& choice : kChoices) {
    if (settings.*choice.index > 0) (window.*choice.group).SetItemIndex(settings.*choice.index);
  }
  for (const OptionBox& option : kOptionBoxes) SetAsClicked(*(window.*option.box), settings.*option.flag);
  window.action("MenuViewmaximized")->setChecked(settings.Maximized);
  window.setWindowState(settings.Maximized ? window.windowState() | Qt::WindowMaximized
                                           : window.windowState() & ~Qt::WindowMaximized);
  window.action("MenuViewSartScreen")->setChecked(settings.StartScreen);
  if (settings.PanelMainTopHeight > 0) window.SetTopPanelHeight(settings.PanelMainTopHeight);
}

Settings SettingsOf(const TAMainForm& window) {
  Settings settings;
  settings.ProjectFile = ToLocalPath(window.ProjectFileName);
  settings.DefaultFolder = ToLocalPath(window.DefaultFolder);
  settings.LocalFile = window.BtnEditLocalFile;
  settings.Search = window.ComboBoxFindSrc->currentText().toStdString();
  settings.Replace = window.ComboBoxRepDst->currentText().toStdString();
  settings.StartMark = window.ComboBoxRemoveStartMark->currentText().toStdString();
  settings.EndMark = window.ComboBoxRmoveEndMark->currentText().toStdString();
  settings.AnalyzeUrl = window.EditGUIUrl->currentText().toStdString();
  settings.PanelMainTopHeight = window.TopPanelHeight();
  // -1 when no item is chosen, written as it is.
  for (const Choice& choice : kChoices) settings.*choice.index = (window.*choice.group).ItemIndex();
  settings.Maximized = window.action("MenuViewmaximized")->isChecked();
  settings.StartScreen = window.action("MenuViewSartScreen")->isChecked();
  for (const OptionBox& option : kOptionBoxes) settings.*option.flag = (window.*option.box)->isChecked();
  return settings;
}

}  // namespace

QString TAMainForm::GetInf(const QString& folder) const {
  return FromLocalPath(FindSettingsFileIn(ToLocalPath(folder)));
}

QString TAMainForm::LocateSettingsFileName() const {
  // A portable install keeps its file beside the program; otherwise the
  // file lives in the user's configuration folder.
  if (const QString name = GetInf(ProgramFolder); !name.isEmpty()) return ProgramFolder + name;
  return FromLocalPath(LocateSettingsFile(ToLocalPath(ProgramFolder)));
}

void TAMainForm::LoadIniSettings(const QString& path) {
  const LoadedSettings loaded = LoadSettings(ToLocalPath(path));
  if (!loaded.problem.empty()) {
    // A file that is there but cannot be read leaves every control as it is.
    StatusBarGlobal[1]->setText(texts::SettingsUnreadableMessage(path));
    StatusBarGlobal[1]->setToolTip(QString::fromStdString(loaded.problem));
  }
  if (loaded.found) ApplySettings(*this, loaded.settings);
}

bool TAMainForm::SaveIniSettings(const QString& path) {
  const SettingsWriteResult written = SaveSettings(ToLocalPath(path), SettingsOf(*this));
  if (!written.ok) asker().Tell(texts::SettingsWriteFailedMessage(path, QString::fromStdString(written.why)));
  return written.ok;
}

void TAMainForm::SaveTopPanelHeight() {
  if (SettingsFileName.isEmpty()) return;
  const SettingsWriteResult written =
      SaveSettingsKey(ToLocalPath(SettingsFileName), "PanelMainTop", "Height", TopPanelHeight());
  if (!written.ok) {
    asker().Tell(texts::SettingsWriteFailedMessage(SettingsFileName, QString::fromStdString(written.why)));
  }
}

void TAMainForm::ManuSettingsSaveClick() {
  if (!SettingsFileName.isEmpty()) SaveIniSettings(SettingsFileName);
}

}  // namespace zelm::gui
