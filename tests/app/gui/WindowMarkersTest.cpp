// Comment labels in closing div tags through the window's own controls:
// marks typed into the boxes, the option items and commands of the tool
// menu, the pages they show, and the boxes' paste, clear and Enter.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

#include "WindowTestSupport.h"

namespace zelm::test {
namespace {

using gui::PaneId;
using gui::TAMainForm;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Empties a mark box with its clear button and types the mark into it.
// Keys go to the box, which has the focus when the person types into it.
void TypeMark(QComboBox* box, QToolButton* clear, const char* mark) {
  QTest::mouseClick(clear, Qt::LeftButton);
  QTest::keyClicks(box, U(mark));
}

struct MarkCase {
  const char* name;
  const char* command;  // the tool-menu item
  PaneId pane;
  const char* start;    // typed into the mark boxes
  const char* end;
  std::vector<const char*> options;  // option items switched on first
  const char* text;
  const char* expected;
  // The pages in front afterwards; null: the page the test put there stays.
  QWidget* TAMainForm::*main;
  QWidget* TAMainForm::*left;
  QWidget* TAMainForm::*right;
  friend void PrintTo(const MarkCase& c, std::ostream* out) { *out << c.name; }
};

constexpr const char* kNoText = "MenuToolBatchRemoveDontAppendText";
constexpr const char* kRemoveNoSpace = "MenuToolbatchRemoveDontAppendSpace";
constexpr const char* kReplaceNoSpace = "MenuTooBatchReplaceDontAppendSpace";

constexpr auto kWorkPage = &TAMainForm::PGMainTab01IndentProcessing;
constexpr auto kRefOrgTab = &TAMainForm::PGZ0PGMainTab01LeftTab02RefOrg;
constexpr auto kResultTab = &TAMainForm::PGZ1PGMainTab01RightTab01Main;

const MarkCase kMarkCases[] = {
    {"InsertIntoResult", "MenuTooBatchInsertResultDivAttr", PaneId::Result, "@--", "--@", {},
     "  </div>\r\n<div id=a></div>\r\n</DIV>\r\n", "  </div @--  ■■■■  --@ >\r\n<div id=a></div>\r\n</DIV>\r\n",
     kWorkPage, kRefOrgTab, kResultTab},
    {"InsertOtherMarks", "MenuTooBatchInsertResultDivAttr", PaneId::Result, "$#", "$%", {kReplaceNoSpace},
     "</div>\r\n", "</div $#  ■■■■  $% >\r\n", kWorkPage, kRefOrgTab, kResultTab},
    {"InsertBothOptionsAddsTheLastLineEnd", "MenuTooBatchInsertOrgDivAttr", PaneId::RefOrg, "@--", "--@",
     {kNoText, kRemoveNoSpace}, "</div>", "</div@-- --@>\r\n", kWorkPage, kRefOrgTab, nullptr},
    {"RemoveFromResult", "MenuToolBatchRemoveResultDivAttr", PaneId::Result, "@--", "--@", {kReplaceNoSpace},
     "</div @--  ■■■■  --@ >\r\n", "</div>\r\n", nullptr, nullptr, kResultTab},
    {"RemoveWithoutBlanks", "MenuToolBatchRemoveOrgDivAttr", PaneId::RefOrg, "@--", "--@", {kRemoveNoSpace},
     "</div @--  ■■■■  --@ >\r\n", "</div  >\r\n", nullptr, kRefOrgTab, nullptr},
    {"ReplaceInResult", "MenuToolBatchReplaceResultComment", PaneId::Result, "@--", "--@", {kRemoveNoSpace},
     "</div @-- x --@ >\r\n</div @----@ >\r\n</div @-- b --@ >\r\n",
     "</div><!-- x -->\r\n</div><!---->\r\n</div><!-- b -->\r\n", kWorkPage, nullptr, kResultTab},
    {"ReplaceWithoutBlanks", "MenuToolReplaceOrgDivComment", PaneId::RefOrg, "@--", "--@", {kReplaceNoSpace},
     "</div@--x--@>\r\n", "</div><!--x-->\r\n", nullptr, kRefOrgTab, nullptr},
    // Nothing happens without both marks, nor to an empty Result.
    {"NoEndMark", "MenuTooBatchInsertResultDivAttr", PaneId::Result, "@--", "", {}, "</div>\r\n", "</div>\r\n",
     nullptr, nullptr, nullptr},
    {"RemoveFromEmptyResult", "MenuToolBatchRemoveResultDivAttr", PaneId::Result, "@--", "--@", {}, "", "", nullptr,
     nullptr, nullptr},
};

class MarkCommand : public WindowTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(MarkCommand, ChangesThePaneAndShowsItsPages) {
  const MarkCase& c = GetParam();
  TypeMark(window->ComboBoxRemoveStartMark, window->sbRemoveStartClear, c.start);
  TypeMark(window->ComboBoxRmoveEndMark, window->sbRemoveEndClear, c.end);
  for (const char* option : c.options) {
    window->action(option)->trigger();
    ASSERT_TRUE(window->action(option)->isChecked()) << option;
  }
  gui::SetPaneText(window->pane(c.pane), Sjis(c.text));
  window->PGMain->setCurrentWidget(window->PGMainTab02Tips);
  window->PGZ0PGMainTab01Left->setCurrentWidget(window->PGZ0PGMainTab01LeftTab05Temp);
  window->PGZ1PGMainTab01Right->setCurrentWidget(window->PGZ1PGMainTab01RightTab06Native);
  window->StatusBarGlobal[1]->setText(U("before"));

  window->action(c.command)->trigger();

  EXPECT_EQ(Text(c.pane), Sjis(c.expected));
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());
  EXPECT_EQ(window->PGMain->currentWidget(), c.main ? window.get()->*c.main : window->PGMainTab02Tips);
  EXPECT_EQ(window->PGZ0PGMainTab01Left->currentWidget(),
            c.left ? window.get()->*c.left : window->PGZ0PGMainTab01LeftTab05Temp);
  EXPECT_EQ(window->PGZ1PGMainTab01Right->currentWidget(),
            c.right ? window.get()->*c.right : window->PGZ1PGMainTab01RightTab06Native);
  // A command that ran shows its pane coloured.
  if (c.main || c.left || c.right) {
    EXPECT_TRUE(window->pane(c.pane).IsColoured());
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, MarkCommand, ::testing::ValuesIn(kMarkCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, InsertThenRemoveGivesTheTextBack) {
  const std::string text = Sjis("<div>\r\n  <p>本文</p>\r\n</div>\r\n</div>\r\n");
  gui::SetPaneText(window->pane(PaneId::RefOrg), text);
  window->action("MenuTooBatchInsertOrgDivAttr")->trigger();
  ASSERT_NE(Text(PaneId::RefOrg), text);
  window->action("MenuToolBatchRemoveOrgDivAttr")->trigger();
  EXPECT_EQ(Text(PaneId::RefOrg), text);
}

TEST_F(WindowTest, MarkBoxesStartWithTheirItemsAndDefaults) {
  const std::pair<QComboBox*, QStringList> boxes[] = {
      {window->ComboBoxRemoveStartMark, {U("!--"), U("$#"), U("@--")}},
      {window->ComboBoxRmoveEndMark, {U("--!"), U("$%"), U("--@")}},
  };
  for (const auto& [box, items] : boxes) {
    QStringList listed;
    for (int i = 0; i < box->count(); ++i) listed << box->itemText(i);
    EXPECT_EQ(listed, items);
    EXPECT_EQ(box->currentText(), items.last());
  }
}

TEST_F(WindowTest, MarkPasteTakesAtMostTenBytes) {
  const int keywords = window->ComboBoxFindSrc->count();
  QGuiApplication::clipboard()->setText(U("表示表示表示"));  // 12 bytes
  QTest::mouseClick(window->sbRemoveStartPasete, Qt::LeftButton);
  EXPECT_EQ(window->ComboBoxRemoveStartMark->currentText(), U("@--"));
  EXPECT_EQ(window->ComboBoxFindSrc->count(), keywords);

  QGuiApplication::clipboard()->setText(U("表示表示表"));  // 10 bytes
  QTest::mouseClick(window->sbRemoveStartPasete, Qt::LeftButton);
  EXPECT_EQ(window->ComboBoxRemoveStartMark->currentText(), U("表示表示表"));
  // The mark it replaced is kept in the keyword box's list.
  ASSERT_EQ(window->ComboBoxFindSrc->count(), keywords + 1);
  EXPECT_EQ(window->ComboBoxFindSrc->itemText(keywords), U("@--"));

  QTest::mouseClick(window->sbRemoveEndClear, Qt::LeftButton);
  QGuiApplication::clipboard()->setText(U("--#"));
  QTest::mouseClick(window->sbRemoveEndPasete, Qt::LeftButton);
  EXPECT_EQ(window->ComboBoxRmoveEndMark->currentText(), U("--#"));
  EXPECT_EQ(window->ComboBoxFindSrc->count(), keywords + 1);  // an empty box keeps nothing
}

TEST_F(WindowTest, EnterKeepsTheMarkInItsOwnList) {
  QComboBox* box = window->ComboBoxRmoveEndMark;
  TypeMark(box, window->sbRemoveEndClear, "--#");
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClick(box, Qt::Key_Return);  // twice: twice in the list
  ASSERT_EQ(box->count(), 5);
  EXPECT_EQ(box->itemText(3), U("--#"));
  EXPECT_EQ(box->itemText(4), U("--#"));
  EXPECT_EQ(box->currentText(), U("--#"));
  QTest::mouseClick(window->sbRemoveEndClear, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(box->count(), 5);
}

TEST_F(WindowTest, OptionItemsInvertTheirMarks) {
  for (const char* item : {kNoText, kRemoveNoSpace, kReplaceNoSpace}) {
    QAction* action = window->action(item);
    EXPECT_FALSE(action->isChecked()) << item;
    action->trigger();
    EXPECT_TRUE(action->isChecked()) << item;
    action->trigger();
    EXPECT_FALSE(action->isChecked()) << item;
  }
}

}  // namespace
}  // namespace zelm::test
