// The tools of the main window on the real window: the structure checks
// into their lists and the check pane, the entity conversions of Local, the
// leading blanks of a selection, the CSS colour list, the source windows
// and the default folder of the settings menu. The user's configuration is
// a temporary folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>

#include <cstdlib>
#include <functional>
#include <optional>

#include "WindowTestSupport.h"
#include "app/AnalysisTexts.h"
#include "app/Settings.h"
#include "app/gui/ColourList.h"
#include "app/gui/PaneText.h"
#include "app/gui/SourceWindows.h"
#include "app/gui/TagCountList.h"
#include "app/gui/ToolTexts.h"
#include "encoding/CharacterReferences.h"
#include "indent/StructureReport.h"
#include "text/StringUtil.h"

namespace zelm::test {
namespace {

using gui::PaneId;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The window with HOME and XDG_CONFIG_HOME in a temporary folder and its
// settings file named there (not made).
class ToolsTest : public WindowTest {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.path() / "config").c_str(), 1);
    WindowTest::SetUp();
    settingsFile = home / "ZELM.inf";
    window->SettingsFileName = Q(settingsFile);
  }
  void TearDown() override {
    window.reset();
    for (const auto& [name, value] : saved_) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }

  void SetLocal(std::string_view utf8) { gui::SetPaneText(window->pane(PaneId::Local), Sjis(utf8)); }

  // A list's rows as Shift_JIS lines, as a pane would hold them.
  static std::string ListText(const QListWidget& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.count(); ++i) rows.push_back(gui::QStringToSjis(list.item(i)->text()));
    return JoinLines(rows);
  }

  TempDir home;
  std::filesystem::path settingsFile;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// ---- Structure checks -----------------------------------------------------------------

struct CheckCase {
  const char* action;
  QWidget* gui::TAMainForm::*page;       // brought to the front
  QListWidget* gui::TAMainForm::*list;   // the list filled, or null for the check pane
  PaneId source;
  std::function<std::vector<std::string>(const std::string&)> expected;
  friend void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.action; }
};

const StructureLabels& L() { return WindowStructureLabels(); }

std::vector<std::string> Counts(const std::string& text) {
  return RenderElementCounts(CountLevelElements(text), L(), CountLayout::TabStops);
}

class CheckCommand : public ToolsTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckCommand, FillsItsListOrTheCheckPaneFromItsPane) {
  const CheckCase& c = GetParam();
  window->OpenHtmlFile(Q(CopyPage("namazu-tutorial.eucjp.html")));
  window->action(c.action)->trigger();
  const std::string expected = JoinLines(c.expected(Text(c.source)));
  ASSERT_FALSE(Text(c.source).empty());
  if (c.list) {
    EXPECT_EQ(ListText(*(window.get()->*c.list)), expected);
  } else {
    EXPECT_EQ(Text(PaneId::Temp), expected);
  }
  QWidget* page = window.get()->*c.page;
  const bool right = window->PGZ1PGMainTab01Right->indexOf(page) >= 0;
  EXPECT_EQ((right ? window->PGZ1PGMainTab01Right : window->PGZ0PGMainTab01Left)->currentWidget(), page);
}

using M = gui::TAMainForm;
INSTANTIATE_TEST_SUITE_P(
    Tools, CheckCommand,
    ::testing::Values(
        CheckCase{"MenuToolCountBlockTagOriginal", &M::PGZ1PGMainTab01RightTab08TagCount, &M::ListBoxTagCountListRight,
                  PaneId::Org, Counts},
        CheckCase{"MenuToolCountTag", &M::PGZ0PGMainTab01LeftTab06TagCntList, &M::ListBoxTagCountListLeft,
                  PaneId::Local, Counts},
        CheckCase{"btTestOnly", &M::PGZ0PGMainTab01LeftTab06TagCntList, &M::ListBoxTagCountListLeft, PaneId::Local,
                  Counts},
        CheckCase{"btTestOnly", &M::PGZ1PGMainTab01RightTab08TagCount, &M::ListBoxTagCountListRight, PaneId::Org,
                  Counts},
        CheckCase{"MenuToolTagLevelCount", &M::PGZ0PGMainTab01LeftTab05Temp, nullptr, PaneId::Local,
                  [](const std::string& t) { return RenderLineList(MisplacedLevelTagLines(t, false), L().noMisplacedLines); }},
        CheckCase{"MenuToolTagLevelListExceptDiv", &M::PGZ0PGMainTab01LeftTab05Temp, nullptr, PaneId::Local,
                  [](const std::string& t) { return RenderLineList(LevelTagLinesExceptDivClose(t, false), L().noLevelLines); }},
        CheckCase{"MenuToolMakeSkelton", &M::PGZ0PGMainTab01LeftTab05Temp, nullptr, PaneId::Local,
                  [](const std::string& t) { return RenderDivSkeleton(BuildDivSkeleton(t), L()); }},
        CheckCase{"tbMakeSkelton", &M::PGZ0PGMainTab01LeftTab05Temp, nullptr, PaneId::Local,
                  [](const std::string& t) { return RenderDivSkeleton(BuildDivSkeleton(t), L()); }},
        CheckCase{"MenuToolMakeSkeltonDetail", &M::PGZ0PGMainTab01LeftTab05Temp, nullptr, PaneId::Local,
                  [](const std::string& t) {
                    const DivSkeleton skeleton = BuildDivSkeleton(t);
                    return RenderDivSummary(skeleton, SummarizeDivs(skeleton), L());
                  }}),
    [](const auto& info) { return std::string(info.param.action) + std::to_string(info.index); });

TEST_F(ToolsTest, UnbalancedElementsAreMarkedAndCellsStandAtTheTabStops) {
  SetLocal("<div>\r\n<ul>\r\n<div>\r\n</div>\r\n</ul>\r\n");
  window->action("MenuToolCountTag")->trigger();
  const QListWidget& list = *window->ListBoxTagCountListLeft;
  ASSERT_EQ(list.count(), 3);  // heading, div, ul
  EXPECT_TRUE(list.item(1)->text().contains(U("div")));
  EXPECT_EQ(list.item(1)->foreground().color(), gui::UnbalancedRowColour());
  EXPECT_TRUE(list.item(1)->font().bold());
  EXPECT_NE(list.item(2)->foreground().color(), gui::UnbalancedRowColour());
  EXPECT_FALSE(list.item(2)->font().bold());

  const std::vector<int> stops = gui::ListTabStopPixels(list);
  ASSERT_EQ(stops.size(), 6u);
  for (std::size_t i = 0; i < stops.size(); ++i)
    EXPECT_EQ(stops[i], gui::DialogUnitsToPixels(gui::kTagCountTabStops[i], list.font()));
  EXPECT_GT(stops[1], stops[0]);
  EXPECT_GE(list.sizeHintForColumn(0), gui::kTagCountScrollExtent);
}

TEST_F(ToolsTest, CommentOnlyTagsAreLeftOutWhenAsked) {
  SetLocal("<p>text <!-- <div> --></p>\r\n<div>\r\n</div>\r\n");
  window->MenuToolTagLevelCountClick();
  EXPECT_NE(Text(PaneId::Temp), JoinLines(std::vector<std::string>{std::string(L().noMisplacedLines)}));
  window->CheckBoxIgnoreExtraComment->setChecked(true);
  window->MenuToolTagLevelCountClick();
  EXPECT_EQ(Text(PaneId::Temp), JoinLines(std::vector<std::string>{std::string(L().noMisplacedLines)}));
  EXPECT_EQ(gui::SjisToQString(std::string(L().noMisplacedLines)),
            U("　　　インデント・レベル表示タグが、行頭になっていない行はありませんでした。"));
}

TEST_F(ToolsTest, ChecksOfAnEmptyPaneChangeNothing) {
  window->action("btTestOnly")->trigger();
  window->action("MenuToolMakeSkelton")->trigger();
  EXPECT_EQ(window->ListBoxTagCountListLeft->count(), 0);
  EXPECT_EQ(window->ListBoxTagCountListRight->count(), 0);
  EXPECT_TRUE(Text(PaneId::Temp).empty());
}

// ---- Entities -------------------------------------------------------------------------------

TEST_F(ToolsTest, EntityConversionsOfLocal) {
  const std::string original = Sjis("<p class=\"a\">日本語 & ｶﾅ</p>\r\n") + "x\x80y\r\n";
  gui::SetPaneText(window->pane(PaneId::Local), original);
  window->action("MenuToolConvertAllChar2Entity")->trigger();
  EXPECT_EQ(Text(PaneId::Local), "<p class=\"a\">&#26085;&#26412;&#35486; & &#65398;&#65413;</p>\r\nx\x80y\r\n");
  EXPECT_EQ(DecodeCharacterReferences(Text(PaneId::Local)), original);
  EXPECT_EQ(window->StatusBarGlobal[1]->text(), gui::texts::KeptAsIsMessage(1, 2));
  EXPECT_TRUE(window->pane(PaneId::Local).IsColoured());
  EXPECT_EQ(window->PGZ0PGMainTab01Left->currentWidget(), window->PGZ0PGMainTab01LeftTab01Main);

  gui::SetPaneText(window->pane(PaneId::Local), original);
  window->action("MenuToolConvertSpelChar2Entity")->trigger();
  EXPECT_EQ(Text(PaneId::Local), Sjis("&lt;p class=&quot;a&quot;&gt;日本語 &amp; ｶﾅ&lt;/p&gt;\r\n") + "x\x80y\r\n");
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());
}

// ---- Leading blanks of a selection ------------------------------------------------------------

struct BlankCase {
  const char* name;
  const char* command;
  const char* text;
  int start, length;  // the selection, in characters
  const char* expected;
  int expectedLength;  // the selection afterwards starts where it did
  friend void PrintTo(const BlankCase& c, std::ostream* out) { *out << c.name; }
};

class LeadingBlanks : public ToolsTest, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(LeadingBlanks, GoFromTheSelectedLinesOnly) {
  const BlankCase& c = GetParam();
  gui::Pane& local = window->pane(PaneId::Local);
  SetLocal(c.text);
  window->RichEditLocalClick();
  local.Select(c.start, c.length);
  window->action(c.command)->trigger();
  EXPECT_EQ(Text(PaneId::Local), Sjis(c.expected));
  EXPECT_EQ(local.SelStart(), c.start);
  EXPECT_EQ(local.SelLength(), c.expectedLength);
  // One step of undo puts the text back.
  local.document()->undo();
  EXPECT_EQ(Text(PaneId::Local), Sjis(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, LeadingBlanks,
    ::testing::Values(
        // "日本" and its line break are 3 characters: the selection is lines 2 and 3.
        BlankCase{"HalfWidth", "MenuToolRemoveLeadingSpace", "日本\r\n  a\r\n\t b\r\n  c\r\n", 3, 8,
                  "日本\r\na\r\nb\r\n  c\r\n", 4},
        BlankCase{"FullWidth", "MenuToolRemveZSP", "日本\r\n　　あ\r\n　い\r\n　う\r\n", 3, 7,
                  "日本\r\nあ\r\nい\r\n　う\r\n", 4},
        BlankCase{"HalfWidthStopsAtAFullWidthSpace", "MenuToolRemoveLeadingSpace", "  　x\r\n", 0, 4, "　x\r\n", 2},
        BlankCase{"FullWidthLeavesHalfWidth", "MenuToolRemveZSP", " 　x\r\n", 0, 3, " 　x\r\n", 3},
        BlankCase{"FromTheMiddleOfALine", "MenuToolRemoveLeadingSpace", "漢字  cd\r\n  e\r\n", 2, 4,
                  "漢字cd\r\n  e\r\n", 2},
        BlankCase{"BlankLines", "MenuToolRemoveLeadingSpace", "x\r\n   \r\n  y\r\n", 2, 8, "x\r\n\r\ny\r\n", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ToolsTest, LeadingBlanksWithoutAClickedPaneOrSelectionDoNothing) {
  SetLocal("  a\r\n");
  window->MenuToolRemoveLeadingSpaceClick();  // no clicked pane
  window->RichEditLocalClick();
  window->MenuToolRemoveLeadingSpaceClick();  // no selection
  EXPECT_EQ(Text(PaneId::Local), "  a\r\n");
}

// ---- CSS colours -------------------------------------------------------------------------------

TEST_F(ToolsTest, ColourListWithSwatchesAndItsClickFindsTheColour) {
  std::string page = "<style>\r\nbody { color: #FF0000; background: rgb(0, 128, 0); }\r\np { color: Navy; }\r\n</style>\r\n";
  for (int i = 0; i < 80; ++i) page += "<p>filler</p>\r\n";
  page += "<p>日本語<span style=\"color:#ff0000\">赤</span></p>\r\n";  // line 85
  for (int i = 0; i < 80; ++i) page += "<p>filler</p>\r\n";
  SetLocal(page);
  window->action("tbMakecssColorList")->trigger();

  struct Entry {
    const char* text;
    QColor swatch;
  };
  const Entry inOrder[] = {{"#FF0000", {255, 0, 0}}, {"rgb(0, 128, 0)", {0, 128, 0}}, {"Navy", {0, 0, 128}},
                           {"#ff0000", {255, 0, 0}}};
  QListWidget& list = *window->ListBoxCSSColor;
  ASSERT_EQ(list.count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list.item(i)->text(), U(inOrder[i].text));
    const QImage swatch = list.item(i)->icon().pixmap(14, 14).toImage();
    EXPECT_EQ(swatch.pixelColor(7, 7), inOrder[i].swatch) << inOrder[i].text;
  }

  // Clicking the entry of the span selects it where it stands, after the
  // double-byte characters of its line.
  list.setCurrentRow(3);
  window->ListBoxCSSColorClick();
  gui::Pane& local = window->pane(PaneId::Local);
  EXPECT_EQ(window->CurrentPane, &local);
  EXPECT_EQ(local.SelectedQText(), U("#ff0000"));
  EXPECT_EQ(local.LineOfPos(local.SelStart()), 84);
  EXPECT_EQ(local.FirstVisibleLine(), 84);
  EXPECT_EQ(window->LabelCommonLineNumber->text(), U("  85/26"));
  ASSERT_EQ(window->hitList(PaneId::Local)->count(), 1);  // "#FF0000" is written otherwise
  EXPECT_EQ(window->hitList(PaneId::Local)->item(0)->text(), U("  85/26"));

  window->CheckBoxLocalIndivlCSSColorDupIgnore->click();
  QStringList unique;
  for (int i = 0; i < list.count(); ++i) unique << list.item(i)->text();
  EXPECT_EQ(unique, (QStringList{U("#FF0000"), U("Navy"), U("rgb(0, 128, 0)")}));
}

// ---- Source windows -----------------------------------------------------------------------------

TEST_F(ToolsTest, SourceWindowShowsTheResultAndTheSearchWindowFinds) {
  window->tbNewWindowClick();  // nothing indented yet
  EXPECT_EQ(window->FormSource, nullptr);
  const auto page = CopyPage("namazu-tutorial.eucjp.html");
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  window->action("tbNewWindow")->trigger();
  ASSERT_NE(window->FormSource, nullptr);
  EXPECT_TRUE(window->FormSource->isVisible());
  EXPECT_EQ(gui::PaneText(*window->FormSource->RichEditSource), Text(PaneId::Result));
  EXPECT_TRUE(window->FormSource->RichEditSource->IsColoured());
  EXPECT_TRUE(window->FormSource->windowTitle().contains(Q(page)));

  window->FormSource->btnOpenSearchWindow->click();
  gui::TFormSOTSource* search = window->FormSOTSource;
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(gui::PaneText(*search->RichEditSource), Text(PaneId::Result));
  search->ComboBoxSOTFind->setEditText(U("<h2"));
  search->btnSOTSearch->click();
  std::size_t occurrences = 0;
  for (std::size_t at = Text(PaneId::Result).find("<h2"); at != std::string::npos;
       at = Text(PaneId::Result).find("<h2", at + 1))
    ++occurrences;
  ASSERT_GT(occurrences, 1u);
  ASSERT_EQ(static_cast<std::size_t>(search->ListBoxSOTSource->count()), occurrences);
  search->ListBoxSOTSource->setCurrentRow(1);
  emit search->ListBoxSOTSource->itemClicked(search->ListBoxSOTSource->item(1));
  EXPECT_EQ(search->LabelSOTLineNumber->text(), search->ListBoxSOTSource->item(1)->text());
  EXPECT_EQ(search->RichEditSource->SelectedQText(), U("<h2"));
}

TEST_F(ToolsTest, SourceWindowsKeepTheirPlaceAndOpenThere) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  window->tbNewWindowClick();
  window->FormSource->btnOpenSearchWindow->click();
  struct Case {
    gui::SourceWindowBase* form;
    std::function<void()> reopen;
    WindowPlacement Settings::*section;
    WindowPlacement wanted;
  };
  const Case cases[] = {
      {window->FormSource, [&] { window->tbNewWindowClick(); }, &Settings::FormSource, {90, 130, 640, 480}},
      {window->FormSOTSource, [&] { window->FormSource->btnOpenSearchWindow->click(); }, &Settings::SOTSource,
       {70, 160, 700, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form->objectName().toStdString());
    // Without a settings file nothing is kept, and the person is told.
    asker->messages.clear();
    c.form->btnStorePlacement->click();
    ASSERT_EQ(asker->messages.size(), 1u);
    EXPECT_EQ(asker->messages[0], U(gui::texts::kNoSettingsFileForPlacement));
    EXPECT_FALSE(std::filesystem::exists(settingsFile));
  }
  WriteFile(settingsFile, "[Edit]\r\nSearch=abc\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form->objectName().toStdString());
    c.form->move(c.wanted.Left, c.wanted.Top);
    c.form->resize(c.wanted.Width, c.wanted.Height);
    c.form->btnStorePlacement->click();
    const Settings stored = LoadSettings(settingsFile.string()).settings;
    EXPECT_EQ(stored.*c.section, c.wanted);
    EXPECT_EQ(stored.Search, "abc");
    EXPECT_EQ(c.form->LabelPlacement->text(), U(gui::texts::kPlacementStored));
    c.form->close();
    c.form->move(5, 5);
    c.form->resize(300, 200);
    c.reopen();
    EXPECT_TRUE(c.form->isVisible());
    EXPECT_EQ(c.form->Placement(), c.wanted);
  }
}

// ---- Default folder ---------------------------------------------------------------------------------

TEST_F(ToolsTest, DefaultFolderIsSetShownAndRemoved) {
  const std::filesystem::path folder = home / "作業";
  std::filesystem::create_directory(folder);
  asker->folderName.clear();  // cancelled
  window->action("MenuSettingsSetDefautFolder")->trigger();
  EXPECT_TRUE(window->DefaultFolder.isEmpty());
  EXPECT_FALSE(std::filesystem::exists(settingsFile));

  asker->folderName = Q(folder);
  window->action("MenuSettingsSetDefautFolder")->trigger();
  EXPECT_EQ(window->DefaultFolder, Q(folder));
  EXPECT_EQ(window->StatusBarGlobal[3]->text(), Q(folder));
  EXPECT_EQ(LoadSettings(settingsFile.string()).settings.DefaultFolder, folder.string());
  window->tbOpenFileClick();  // cancelled; the dialog started in the folder
  EXPECT_EQ(asker->openFolder, Q(folder));

  window->StatusBarGlobal[3]->clear();
  window->action("MenuSettingsViewDefaultFolder")->trigger();
  ASSERT_FALSE(asker->messages.empty());
  EXPECT_EQ(asker->messages.back(), U("規定ﾌｫﾙﾀﾞｰ： ") + Q(folder));
  EXPECT_EQ(window->StatusBarGlobal[3]->text(), Q(folder));

  window->action("MenuSettingsRemoveDefaultFolder")->trigger();
  EXPECT_TRUE(window->DefaultFolder.isEmpty());
  EXPECT_TRUE(window->StatusBarGlobal[3]->text().isEmpty());
  EXPECT_EQ(LoadSettings(settingsFile.string()).settings.DefaultFolder, "");
  window->MenuSettingsViewDefaultFolderClick();
  EXPECT_EQ(asker->messages.back(), U("規定ﾌｫﾙﾀﾞｰは設定されていません。"));
}

}  // namespace
}  // namespace zelm::test
