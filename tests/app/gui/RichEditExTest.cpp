// The pane widget: gutter, lazy filling, colouring laid over the shown
// lines, and edits that keep colours and marks on their text.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>

#include "PaneTestSupport.h"
#include "app/gui/RichEditUtil.h"

namespace zelm::test {
namespace {

using gui::RichEditEx;

// The colour and weight the widget shows at a position of a line, from the
// formats laid over the line when it was painted.
struct Shown {
  QColor colour;
  bool bold = false;
};
Shown ShownAt(const RichEditEx& pane, int line, int column) {
  Shown shown{QColor(Qt::black), false};
  const QTextBlock block = pane.document()->findBlockByNumber(line);
  for (const auto& range : block.layout()->formats()) {
    if (column < range.start || column >= range.start + range.length) continue;
    if (range.format.hasProperty(QTextFormat::ForegroundBrush)) shown.colour = range.format.foreground().color();
    if (range.format.hasProperty(QTextFormat::FontWeight)) shown.bold = range.format.fontWeight() >= QFont::Bold;
  }
  return shown;
}

TEST(RichEditExGutter, HasNoWidthWithLineNumbersOffAndTheTextStartsAtTheLeftEdge) {
  auto pane = ShownPane();
  pane->SetLineNumbers(false);
  EXPECT_EQ(pane->CalcGutterWidth(), 0);
  EXPECT_EQ(pane->GutterWidth(), 0);
  EXPECT_EQ(pane->viewport()->geometry().left(), pane->contentsRect().left());
  pane->SetLineNumbers(true);
  EXPECT_EQ(pane->GutterWidth(), 4 * pane->fontMetrics().horizontalAdvance(QLatin1Char('8')) + 8);
  EXPECT_EQ(pane->viewport()->geometry().left(), pane->contentsRect().left() + pane->GutterWidth());
}

TEST(RichEditExGutter, ShowsOnlyTheLinesThereAre) {
  auto pane = ShownPane();
  pane->SetSjisText("a\r\nb\r\nc");
  Paint(*pane);
  const auto labels = pane->GutterLabels();
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[0].text, QStringLiteral("    1"));
  EXPECT_EQ(labels[2].text, QStringLiteral("    3"));
}

TEST(RichEditExGutter, ShowsTheNumberOfTheFirstVisibleLineAtTheTop) {
  auto pane = ShownPane();
  pane->SetSjisText(NumberedLines(300));
  gui::RichEditScrollToLine(*pane, 101);  // line index 100 first
  Paint(*pane);
  EXPECT_EQ(pane->FirstVisibleLine(), 100);
  const auto labels = pane->GutterLabels();
  ASSERT_FALSE(labels.empty());
  EXPECT_EQ(labels.front().text, QStringLiteral("  101"));
  EXPECT_LE(labels.front().y, 0);
}

TEST(RichEditExGutter, WidensForMoreThanFourDigits) {
  auto pane = ShownPane();
  pane->SetSjisText(NumberedLines(12000));
  EXPECT_EQ(pane->GutterWidth(), 5 * pane->fontMetrics().horizontalAdvance(QLatin1Char('8')) + 8);
}

TEST(RichEditExFont, MapsTheWindowsFontToAnInstalledJapaneseFont) {
  RichEditEx pane;
  const QFontInfo info(pane.font());
  EXPECT_TRUE(info.family().contains(QStringLiteral("IPA"), Qt::CaseInsensitive)) << info.family().toStdString();
  EXPECT_EQ(pane.font().pointSize(), 13);
  // The Japanese characters of the text have glyphs in it.
  EXPECT_TRUE(QFontMetrics(pane.font()).inFontUcs4(U'漢'));
}

TEST(RichEditExFilling, FillsAPaneOnAHiddenTabWhenTheTabIsShown) {
  QTabWidget tabs;
  auto* shown = new RichEditEx;
  auto* hidden = new RichEditEx;
  tabs.addTab(shown, QStringLiteral("shown"));
  tabs.addTab(hidden, QStringLiteral("hidden"));
  tabs.resize(400, 300);
  tabs.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
  shown->SetSjisText("<p>one</p>");
  hidden->SetSjisText("<p>two</p>\r\n<p>three</p>");
  gui::RichEditColorRetry(*hidden);  // colours, caret and view to the top: all kept for the showing
  // The shown pane is filled at the next turn of the event loop, the hidden
  // one only when it is shown.
  QApplication::processEvents();
  EXPECT_TRUE(shown->IsFilled());
  EXPECT_FALSE(hidden->IsFilled());
  EXPECT_EQ(hidden->SjisText(), "<p>two</p>\r\n<p>three</p>");
  EXPECT_EQ(hidden->LineCount(), 2);
  tabs.setCurrentIndex(1);
  EXPECT_TRUE(hidden->IsFilled());
  EXPECT_EQ(hidden->toPlainText(), QStringLiteral("<p>two</p>\n<p>three</p>"));
  EXPECT_TRUE(hidden->IsColoured());
  EXPECT_FALSE(hidden->Runs().empty());
}

// A line after Japanese text, so that the character positions of the tokens
// differ from their byte positions.
TEST(RichEditExColour, ShowsTheColoursAndWeightOfKnownTokens) {
  auto pane = ShownPane();
  const std::string text = Sjis("<p>日本語</p>\r\n<a href=\"x.html\" id=y>&amp;<Foo>// note\r\n<!-- 注 -->");
  pane->SetSjisText(text);
  EXPECT_TRUE(pane->Colour());
  Paint(*pane);
  struct Expected {
    int line, column;
    QColor colour;
    bool bold;
  };
  const Expected expected[] = {
      {0, 0, QColor(255, 0, 255), false},   // "<"
      {0, 1, QColor(255, 0, 0), false},     // "p": a known tag
      {0, 3, QColor(0, 0, 255), false},     // "日本語": text
      {0, 7, QColor(255, 0, 0), false},     // "/p"
      {1, 3, QColor(255, 0, 0), false},     // "href": an attribute name
      {1, 8, QColor(0, 128, 0), false},     // "\"x.html\"": a quoted value
      {1, 20, QColor(0, 0, 0), false},      // "y": an unquoted value
      {1, 22, QColor(0, 0, 0), false},      // "&amp;": an entity
      {1, 28, QColor(0, 0, 0), true},       // "Foo": an unknown tag, bold
      {1, 32, QColor(128, 0, 0), false},    // "// note"
      {2, 0, QColor(128, 0, 0), false},     // "<!--"
      {2, 5, QColor(128, 0, 0), false},     // "注" inside the comment
  };
  for (const Expected& e : expected) {
    const Shown shown = ShownAt(*pane, e.line, e.column);
    EXPECT_EQ(shown.colour, e.colour) << "line " << e.line << " column " << e.column;
    EXPECT_EQ(shown.bold, e.bold) << "line " << e.line << " column " << e.column;
  }
}

TEST(RichEditExColour, ColoursOnlyOnceForTheSameText) {
  auto pane = ShownPane();
  pane->SetSjisText("<p>a</p>\r\n<p>b</p>");
  EXPECT_TRUE(pane->Colour());
  EXPECT_TRUE(pane->IsColoured());
  pane->SetCaretPos(5);
  // A resize or a second call changes nothing: no colouring, the caret stays.
  pane->resize(300, 200);
  EXPECT_FALSE(gui::RichEditColourIfChanged(*pane));
  EXPECT_FALSE(pane->Colour());
  EXPECT_EQ(pane->CaretPos(), 5);
  // An edit makes the colouring that of another text.
  QTest::keyClick(pane.get(), Qt::Key_X);
  EXPECT_FALSE(pane->IsColoured());
  EXPECT_TRUE(pane->Colour());
  // So do new text and black text.
  gui::TextBlackColor(*pane);
  EXPECT_FALSE(pane->IsColoured());
  EXPECT_TRUE(pane->Runs().empty());
}

TEST(RichEditExColour, TypedTextTakesTheColourBeforeItAndTheRestKeepsTheirs) {
  auto pane = ShownPane();
  pane->SetSjisText(Sjis("<p>漢字</p>"));
  pane->Colour();
  Paint(*pane);
  pane->SetCaretPos(4);  // between the two characters of the text
  QTest::keyClicks(pane.get(), QStringLiteral("ab"));
  Paint(*pane);
  EXPECT_EQ(pane->toPlainText(), QStringLiteral("<p>漢ab字</p>"));
  EXPECT_EQ(ShownAt(*pane, 0, 4).colour, QColor(0, 0, 255));   // "a": text
  EXPECT_EQ(ShownAt(*pane, 0, 6).colour, QColor(0, 0, 255));   // "字"
  EXPECT_EQ(ShownAt(*pane, 0, 7).colour, QColor(255, 0, 255)); // "<"
  EXPECT_EQ(ShownAt(*pane, 0, 8).colour, QColor(255, 0, 0));   // "/p"
}

TEST(RichEditExColour, FormatsOnlyTheLinesShown) {
  auto pane = ShownPane(400, 200);
  pane->SetSjisText(NumberedLines(2000));
  pane->Colour();
  Paint(*pane);
  const QTextDocument& doc = *pane->document();
  EXPECT_FALSE(doc.findBlockByNumber(0).layout()->formats().isEmpty());
  EXPECT_TRUE(doc.findBlockByNumber(1500).layout()->formats().isEmpty());
  pane->SetFirstVisibleLine(1500);
  Paint(*pane);
  EXPECT_FALSE(doc.findBlockByNumber(1500).layout()->formats().isEmpty());
}

TEST(RichEditExView, GoesToTheTopAndTheBottom) {
  auto pane = ShownPane(400, 200);
  pane->SetSjisText(NumberedLines(100));  // 101 lines with the empty last one
  pane->SetCaretPos(pane->LineStart(50));
  gui::RichEditCaretToBottom(*pane);
  EXPECT_EQ(pane->CaretLine(), 96);  // far from the end: the fifth line from it
  gui::RichEditCaretToBottom(*pane);
  EXPECT_EQ(pane->CaretLine(), 100);  // near the end: the last line
  gui::RichEditCaretToTop(*pane);
  EXPECT_EQ(pane->CaretPos(), 0);
  EXPECT_EQ(pane->FirstVisibleLine(), 0);
}

TEST(RichEditExView, RenewLeavesAnEmptyPlainPaneInThePaneFont) {
  auto pane = ShownPane();
  pane->SetSjisText("<p>x</p>");
  pane->Colour();
  pane->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  gui::RichEditExReNew(*pane);
  EXPECT_TRUE(pane->IsEmpty());
  EXPECT_FALSE(pane->IsColoured());
  EXPECT_EQ(pane->font().family(), QStringLiteral("MS UI Gothic"));
  EXPECT_EQ(pane->font().pointSize(), 13);
}

}  // namespace
}  // namespace zelm::test
