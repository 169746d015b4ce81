// The settings file through the window: saving every control and reading it
// back into a new window, boxes that loading changes, the reset, the top
// panel's height stored at once, where the file is, and writes that fail.
#include <gtest/gtest.h>

#include <map>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

#include "WindowTestSupport.h"
#include "app/IniText.h"
#include "app/Settings.h"

namespace zelm::test {
namespace {

using gui::TAMainForm;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The option boxes the file keeps, by their keys in [CheckBox].
struct KeptBox {
  const char* key;
  QCheckBox* TAMainForm::*box;
};
constexpr KeptBox kKeptBoxes[] = {
    {"AutoloadFile", &TAMainForm::CheckBoxAutoloadFile},
    {"DivCommentConcat", &TAMainForm::CheckBoxDivCommentConcat},
    {"OpenIEOriginal", &TAMainForm::CheckBoxOpenIEOriginal},
    {"OpenIEResult", &TAMainForm::CheckBoxOpenIEResult},
    {"ResultPageChange", &TAMainForm::CheckBoxResultPageChange},
    {"WorkProcessPageChange", &TAMainForm::CheckBoxWorkProcessPageChange},
    {"ConvertUpper2Lower", &TAMainForm::CheckBoxConvertUpperLower},
    {"LocalWordWrap", &TAMainForm::CheckBoxLocalWordWrap},
    {"DontInputSpacing", &TAMainForm::CheckBoxDontInputSpacing},
    {"InputTextBlack", &TAMainForm::CheckBoxInputTextBlack},
    {"ResultWordWrap", &TAMainForm::CheckBoxResultWordWrap},
    {"DontOutputSpacing", &TAMainForm::CheckBoxDontOutputSpacing},
    {"DontPreprocessing", &TAMainForm::CheckBoxDontPreprocessing},
    {"ImmediateGo", &TAMainForm::CheckBoxImmediateGo},
    {"UseAnalyzer", &TAMainForm::CheckBoxUseAnalyser},
    {"SearchBeforeBlack", &TAMainForm::CheckBoxSearchBeforeBlack},
    {"DontSyntaxHighlight", &TAMainForm::CheckBoxDontSyntaxHighlight},
};

// Boxes alternate, every other one set, so that two keys swapped show.
// The first, autoload, stays clear: loading a page empties the keyword box.
bool Alternate(std::size_t i) { return i % 2 == 1; }

class WindowSettings : public WindowTest {
 protected:
  void WriteSettings(std::string_view text) {
    std::filesystem::create_directories(settingsFile.parent_path());
    WriteFile(settingsFile, text);
  }
  // Every control the file keeps, away from its start-up state (the start
  // screen aside, which sets a height of its own at start-up).
  void SetEveryControl(TAMainForm& w) {
    WriteFile(dir / "project.zpj", "p");
    WriteFile(dir / "page.html", "<html><body></body></html>");
    std::filesystem::create_directory(dir / "site");
    w.ProjectFileName = Q(dir / "project.zpj");
    w.DefaultFolder = Q(dir / "site");
    w.BtnEditLocalFile = (dir / "page.html").string();
    w.ComboBoxFindSrc->setEditText(U("表示 検索"));
    w.ComboBoxRepDst->setEditText(U("置換"));
    w.ComboBoxRemoveStartMark->setEditText(U("$#"));
    w.ComboBoxRmoveEndMark->setEditText(U("$%"));
    w.EditGUIUrl->setEditText(U("http://127.0.0.1/a.html"));
    w.RadioGroupOpenCharset.SetItemIndex(5);
    w.RadioGroupSaveCharSet.SetItemIndex(2);
    w.RadioGroupIndentType.SetItemIndex(3);
    w.action("MenuViewmaximized")->setChecked(true);
    w.SetTopPanelHeight(333);
    for (std::size_t i = 0; i < std::size(kKeptBoxes); ++i) (w.*kKeptBoxes[i].box)->setChecked(Alternate(i));
  }
};

TEST_F(WindowSettings, EveryControlComesBackInANewWindow) {
  SetEveryControl(*window);
  window->action("ManuSettingsSave")->trigger();
  ASSERT_TRUE(asker->messages.empty());
  const std::string saved = ReadFile(settingsFile);
  const IniText ini(saved);
  for (std::size_t i = 0; i < std::size(kKeptBoxes); ++i) {
    EXPECT_EQ(ini.Get("CheckBox", kKeptBoxes[i].key), Alternate(i) ? "1" : "0") << kKeptBoxes[i].key;
  }
  EXPECT_EQ(ini.Get("Edit", "Search"), Sjis("表示 検索"));
  EXPECT_EQ(ini.Get("RadioGroup", "IndentType"), "3");

  TestAsker* secondAsker = nullptr;
  const auto second = NewWindow(secondAsker);
  EXPECT_EQ(second->SettingsFileName, Q(settingsFile));
  EXPECT_EQ(second->ProjectFileName, Q(dir / "project.zpj"));
  EXPECT_EQ(second->DefaultFolder, Q(dir / "site"));
  EXPECT_EQ(second->BtnEditLocalFile, (dir / "page.html").string());
  EXPECT_EQ(second->ComboBoxFindSrc->currentText(), U("表示 検索"));
  EXPECT_EQ(second->ComboBoxRepDst->currentText(), U("置換"));
  EXPECT_EQ(second->ComboBoxRemoveStartMark->currentText(), U("$#"));
  EXPECT_EQ(second->ComboBoxRmoveEndMark->currentText(), U("$%"));
  EXPECT_EQ(second->EditGUIUrl->currentText(), U("http://127.0.0.1/a.html"));
  EXPECT_EQ(second->EditGUIUrl->itemText(second->EditGUIUrl->count() - 1), U("http://127.0.0.1/a.html"));
  EXPECT_EQ(second->RadioGroupOpenCharset.ItemIndex(), 5);
  EXPECT_EQ(second->RadioGroupSaveCharSet.ItemIndex(), 2);
  EXPECT_EQ(second->RadioGroupIndentType.ItemIndex(), 3);
  EXPECT_TRUE(second->windowState().testFlag(Qt::WindowMaximized));
  EXPECT_TRUE(second->action("MenuViewmaximized")->isChecked());
  EXPECT_EQ(second->TopPanelHeight(), 333);
  for (std::size_t i = 0; i < std::size(kKeptBoxes); ++i) {
    EXPECT_EQ((second.get()->*kKeptBoxes[i].box)->isChecked(), Alternate(i)) << kKeptBoxes[i].key;
  }
  // Saving what the new window holds gives the same file.
  ASSERT_TRUE(second->SaveIniSettings(Q(dir / "again.inf")));
  EXPECT_EQ(ReadFile(dir / "again.inf"), saved);
}

TEST_F(WindowSettings, LoadingRunsTheClickOfEveryBoxItChanges) {
  WriteSettings("[CheckBox]\r\nLocalWordWrap=1\r\nDontInputSpacing=0\r\n");
  std::map<std::string, std::vector<bool>> clicks;
  auto second = std::make_unique<TAMainForm>(std::make_unique<TestAsker>());
  second->ProgramFolder = Q(programFolder) + "/";
  second->CheckBoxDontInputSpacing->setChecked(true);
  for (const KeptBox& kept : kKeptBoxes) {
    QObject::connect(second.get()->*kept.box, &QCheckBox::clicked,
                     [&clicks, key = kept.key](bool checked) { clicks[key].push_back(checked); });
  }
  second->show();
  const std::map<std::string, std::vector<bool>> expected = {{"LocalWordWrap", {true}},
                                                             {"DontInputSpacing", {false}}};
  EXPECT_EQ(clicks, expected);
  EXPECT_TRUE(second->CheckBoxLocalWordWrap->isChecked());
  EXPECT_FALSE(second->CheckBoxDontInputSpacing->isChecked());
}

TEST_F(WindowSettings, ReadingDropsStalePathsAndLeavesControlsForZeros) {
  WriteSettings("[Project]\r\nFile=" + (dir / "gone.zpj").string() +
                              "\r\n[Folder]\r\nDefault=" + (dir / "gone").string() +
                              "\r\n[File]\r\nLocal=" + (dir / "gone.html").string() +
                              "\r\n[RadioGroup]\r\nOpenCharset=0\r\nIndentType=-2\r\n"
                              "[PanelMainTop]\r\nHeight=0\r\n[Analyze]\r\nUrl=\r\n[Menu]\r\nMaximized=0\r\n");
  TestAsker* secondAsker = nullptr;
  const auto second = NewWindow(secondAsker);
  EXPECT_TRUE(second->ProjectFileName.isEmpty());
  EXPECT_TRUE(second->DefaultFolder.isEmpty());
  EXPECT_TRUE(second->BtnEditLocalFile.empty());
  EXPECT_EQ(second->RadioGroupOpenCharset.ItemIndex(), 0);
  EXPECT_EQ(second->RadioGroupIndentType.ItemIndex(), 0);
  EXPECT_EQ(second->TopPanelHeight(), 260);  // the height without settings
  EXPECT_FALSE(second->windowState().testFlag(Qt::WindowMaximized));
  // An empty address is an empty entry of the list.
  ASSERT_EQ(second->EditGUIUrl->count(), 1);
  EXPECT_EQ(second->EditGUIUrl->itemText(0), QString());
  // Marks the file does not hold stay as they were.
  EXPECT_EQ(second->ComboBoxRemoveStartMark->currentText(), U("@--"));
  EXPECT_EQ(second->ComboBoxRmoveEndMark->currentText(), U("--@"));
}

TEST_F(WindowSettings, TheStartScreenShowsTheAnalyserWithTheToolBarAlone) {
  WriteSettings("[Menu]\r\nStartScreen=1\r\n[PanelMainTop]\r\nHeight=333\r\n");
  TestAsker* secondAsker = nullptr;
  const auto second = NewWindow(secondAsker);
  EXPECT_TRUE(second->action("MenuViewSartScreen")->isChecked());
  EXPECT_EQ(second->PGZ0PGMainTab01Left->currentWidget(), second->PGZ0PGMainTab01LeftTab04ProfBrowser);
  EXPECT_EQ(second->TopPanelHeight(), 36);
  EXPECT_TRUE(second->TopCollapsed);
}

TEST_F(WindowSettings, AutoloadOpensTheLastFileAtStartUp) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  WriteSettings("[File]\r\nLocal=" + page.string() + "\r\n[CheckBox]\r\nAutoloadFile=1\r\n");
  TestAsker* secondAsker = nullptr;
  const auto second = NewWindow(secondAsker);
  EXPECT_EQ(second->BtnEditLocalFile, page.string());
  EXPECT_FALSE(gui::PaneText(second->pane(gui::PaneId::Local)).empty());
  EXPECT_TRUE(second->windowTitle().contains(Q(page)));
}

TEST_F(WindowSettings, ReInitializeWritesTheInitialState) {
  SetEveryControl(*window);
  window->action("MenuViewSartScreen")->setChecked(true);
  window->action("ManuSettingsSave")->trigger();
  Settings expected = LoadSettings(settingsFile.string()).settings;
  ResetToInitial(expected);
  window->action("MenuSettingsReInitialize")->trigger();
  EXPECT_TRUE(window->action("MenuSettingsReInitialize")->isChecked());
  EXPECT_EQ(window->ComboBoxRemoveStartMark->currentText(), U("@--"));
  EXPECT_EQ(window->TopPanelHeight(), 710);
  EXPECT_TRUE(LoadSettings(settingsFile.string()).settings == expected) << ReadFile(settingsFile);
  EXPECT_TRUE(asker->messages.empty());
}

TEST_F(WindowSettings, TheOneLineTopHeightIsWrittenAtOnce) {
  window->action("MenuViewStdTopHeight1Line")->trigger();
  EXPECT_EQ(ReadFile(settingsFile), "[PanelMainTop]\r\nHeight=260\r\n");
  window->action("MenuViewStdTopHeight1Line")->trigger();
  EXPECT_EQ(ReadFile(settingsFile), "[PanelMainTop]\r\nHeight=96\r\n");
  TestAsker* secondAsker = nullptr;
  EXPECT_EQ(NewWindow(secondAsker)->TopPanelHeight(), 96);
}

TEST_F(WindowSettings, AFileBesideTheProgramIsUsedElseTheConfigurationFolder) {
  EXPECT_EQ(window->SettingsFileName, Q(settingsFile));
  std::filesystem::create_directory(programFolder / "ZELM_a.inf");  // a folder is no settings file
  WriteFile(programFolder / "ZELM_p.inf", "[Edit]\r\nSearch=portable\r\n");
  TestAsker* secondAsker = nullptr;
  const auto second = NewWindow(secondAsker);
  EXPECT_EQ(second->SettingsFileName, Q(programFolder / "ZELM_p.inf"));
  EXPECT_EQ(second->ComboBoxFindSrc->currentText(), U("portable"));

  QString shown;
  QTimer::singleShot(0, [&shown] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    shown = box->findChild<QLabel*>(U("SettingsFile"))->text();
    box->close();
  });
  second->MenuOtherAboutThisprogramClick();
  EXPECT_EQ(shown, U("設定ファイル： ") + Q(programFolder / "ZELM_p.inf"));
}

// Each command that writes the file, when the write cannot be done.
class FailedSettingsWrite : public WindowSettings, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailedSettingsWrite, IsToldAndLeavesTheOldFile) {
  const std::string old = "; kept as it is\r\n[Edit]\r\nSearch=old\r\n[PanelMainTop]\r\nHeight=300\r\n";
  WriteSettings(old);
  {
    FileSizeLimit limit(old.size() - 1);  // not even a file of the same size
    window->action(GetParam())->trigger();
  }
  ASSERT_EQ(asker->messages.size(), 1u);
  EXPECT_TRUE(asker->messages[0].startsWith(Q(settingsFile) + U(" に書き込めません\n\n")));
  EXPECT_EQ(ReadFile(settingsFile), old);
  EXPECT_EQ(FileNamesIn(settingsFile.parent_path()), std::vector<std::string>{"ZELM.inf"});
}

INSTANTIATE_TEST_SUITE_P(Commands, FailedSettingsWrite,
                         ::testing::Values("ManuSettingsSave", "MenuSettingsReInitialize", "MenuViewStdTopHeight1Line"));

}  // namespace
}  // namespace zelm::test
