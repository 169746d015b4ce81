// Keyword search over a pane: words from the find box, marks, hit entries
// in characters, and a click on an entry.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>

#include "PaneTestSupport.h"
#include "app/gui/PaneSearch.h"
#include "app/gui/PaneText.h"

namespace zelm::test {
namespace {

using gui::PaneHitList;
using gui::RichEditEx;

struct EdictCase {
  const char* name;
  std::string findText;
  std::vector<std::string> words;
  friend void PrintTo(const EdictCase& c, std::ostream* out) { *out << c.name; }
};

class EdictScanWords : public ::testing::TestWithParam<EdictCase> {};

TEST_P(EdictScanWords, SplitsTheFindText) {
  std::vector<std::string> words = {"left over"};
  EXPECT_EQ(gui::EdictScan(GetParam().findText, words), static_cast<int>(GetParam().words.size()));
  EXPECT_EQ(words, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    FindTexts, EdictScanWords,
    ::testing::Values(EdictCase{"BlankAndWideBlank", Sjis("div 　class"), {"div", "class"}},
                      EdictCase{"TrimmedAndRunsOfBlanks", Sjis("　 a    b\t"), {"a", "b"}},
                      EdictCase{"Japanese", Sjis("表示 テキスト"), {Sjis("表示"), Sjis("テキスト")}},
                      EdictCase{"QuotedItemWithComma", "\"a,b\",c", {"a,b", "c"}},
                      EdictCase{"AdjacentCommas", "a,,b", {"a", "", "b"}},
                      EdictCase{"TildeStaysForTheSearch", "a~b", {"a~b"}},
                      EdictCase{"Empty", Sjis(" 　 "), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HitEntry, PadsTheLineAndTheColumn) {
  EXPECT_EQ(gui::HitEntry(3, 5), "   3/05");
  EXPECT_EQ(gui::HitEntry(12, 7), "  12/07");
  EXPECT_EQ(gui::HitEntry(12345, 123), "12345/123");
}

std::vector<std::string> Entries(const PaneHitList& hits) {
  std::vector<std::string> entries;
  for (int i = 0; i < hits.count(); ++i) entries.push_back(hits.item(i)->text().toStdString());
  return entries;
}

class PaneSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    pane = ShownPane(500, 300);
    // "div" at the very start, after Japanese text, and not inside "ア"
    // (0x83 0x41) when searching "A": the second byte is "A" in ASCII.
    pane->SetSjisText(Sjis("div class=a\r\n<p>日本語のdivとspan</p>\r\nアA ab abab\r\n") + NumberedLines(200) +
                      Sjis("漢字div"));
    pane->Colour();
  }
  std::unique_ptr<RichEditEx> pane;
  PaneHitList hits;
  QLabel label;
};

TEST_F(PaneSearch, ListsEveryHitByLineAndCharacterColumn) {
  std::vector<std::string> words;
  ASSERT_EQ(gui::EdictScan("div span A abab", words), 4);
  gui::RichEditSearchList(*pane, words, false, hits);
  EXPECT_EQ(Entries(hits), (std::vector<std::string>{
                               "   1/01", "   2/08", " 204/03",  // div
                               "   2/12",                         // span
                               "   3/02",                         // A, not the second byte of "ア"
                               "   3/07",                         // abab
                           }));
  // The first word is bold red; the others have their backgrounds.
  const auto formats = pane->FormatsOfLine(1);
  bool boldRed = false, background = false;
  for (const auto& range : formats) {
    if (range.start == 7 && range.length == 3 && range.format.fontWeight() == QFont::Bold &&
        range.format.foreground().color() == QColor(255, 0, 0))
      boldRed = true;
    if (range.start == 11 && range.length == 4 && range.format.background().color() == QColor(210, 105, 30))
      background = true;
  }
  EXPECT_TRUE(boldRed);
  EXPECT_TRUE(background);
}

TEST_F(PaneSearch, FindsNoHitThatBeginsRightAfterTheOneBefore) {
  EXPECT_EQ(gui::RichEditSearchMark(*pane, "ab", hits, 0, false), 2);  // "ab", "abab" once
  EXPECT_EQ(gui::RichEditSearchMark(*pane, "", hits, 1, false), -1);
  RichEditEx empty;
  EXPECT_EQ(gui::RichEditSearchMark(empty, "ab", hits, 0, false), -2);
}

TEST_F(PaneSearch, ClickingAnEntrySelectsTheHitAndShowsItsLineAtTheTop) {
  gui::ConnectHitList(*pane, hits, &label);
  std::vector<std::string> words;
  gui::EdictScan(Sjis("div 日本語"), words);
  gui::RichEditSearchList(*pane, words, true, hits);
  ASSERT_EQ(Entries(hits), (std::vector<std::string>{"   1/01", "   2/08", " 204/03", "   2/04"}));
  struct Click {
    int row;
    QString selected;
    int line;  // 0-based
    int caret;
  };
  const Click clicks[] = {
      {3, QStringLiteral("日本語"), 1, pane->LineStart(1) + 3},
      {1, QStringLiteral("div"), 1, pane->LineStart(1) + 7},
      {2, QStringLiteral("div"), 203, pane->LineStart(203) + 2},
      {0, QStringLiteral("div"), 0, 0},
  };
  for (const Click& click : clicks) {
    hits.setCurrentRow(click.row);
    emit hits.itemClicked(hits.item(click.row));
    EXPECT_EQ(pane->SelectedQText(), click.selected) << "row " << click.row;
    EXPECT_EQ(pane->CaretPos(), click.caret) << "row " << click.row;
    EXPECT_EQ(pane->FirstVisibleLine(), std::min(click.line, pane->verticalScrollBar()->maximum()));
    EXPECT_EQ(label.text(), hits.item(click.row)->text());
  }
}

TEST_F(PaneSearch, BatchSearchKeepsTheColoursOrMakesTheTextBlackFirst) {
  std::vector<std::string> words;
  bool before = false;
  EXPECT_TRUE(gui::BatchSearchPane(*pane, hits, QStringLiteral("span"), false, words, [&] { before = true; }));
  EXPECT_TRUE(before);
  EXPECT_TRUE(pane->IsColoured());
  EXPECT_EQ(Entries(hits), std::vector<std::string>{"   2/12"});
  EXPECT_TRUE(gui::BatchSearchPane(*pane, hits, QStringLiteral("日本語"), true, words));
  EXPECT_FALSE(pane->IsColoured());
  EXPECT_EQ(Entries(hits), std::vector<std::string>{"   2/04"});
  EXPECT_FALSE(gui::BatchSearchPane(*pane, hits, QStringLiteral("　 "), true, words));
}

}  // namespace
}  // namespace zelm::test
