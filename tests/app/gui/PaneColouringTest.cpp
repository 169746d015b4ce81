// The colours of real pages: every run of colour and weight that the RTF
// reader reads from the coloured document lies over the same characters in
// the pane, double-byte characters and line breaks counted as the widget
// counts them.
#include <gtest/gtest.h>

#include "PaneTestSupport.h"
#include "app/gui/PaneColouring.h"
#include "colour/RtfReader.h"
#include "colour/zhnHTMLRTF.h"
#include "indent/Pipeline.h"
#include "text/FileIO.h"

namespace zelm::test {
namespace {

using gui::ColourRuns;
using gui::ColourStyle;

void ExpectRunsOverTheSameCharacters(const std::string& sjis) {
  TzhnHTMLRTF scanner;
  scanner.SetSource(sjis);
  const RtfText read = ReadRTF(scanner.GetRTF());
  const gui::WideText wide = gui::SjisToWide(sjis);
  const ColourRuns runs = gui::ColourRunsOf(sjis, wide.map);
  ASSERT_FALSE(runs.empty());
  // The reader gives every line break as CR LF (a page may hold a lone CR):
  // its text has other bytes than the pane's, but the same characters.
  const gui::PositionMap readMap = gui::PositionMap::Of(read.text);
  for (const RtfRun& run : read.runs) {
    const std::size_t from = readMap.CharOfByte(run.start), to = readMap.CharOfByte(run.start + run.length);
    // The characters are those of the run's bytes, and each has the run's style.
    const QString characters = wide.text.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(to - from));
    ASSERT_TRUE(characters == gui::SjisToWide(std::string_view(read.text).substr(run.start, run.length)).text)
        << "run at byte " << run.start;
    for (std::size_t ch : {from, to - 1}) {
      ASSERT_EQ(runs.StyleAt(ch), (ColourStyle{run.color, run.bold})) << "character " << ch << " of the run at byte " << run.start;
    }
  }
}

class RealPageColours : public ::testing::TestWithParam<std::string> {};

TEST_P(RealPageColours, LieOverTheSameCharactersInThePane) {
  const std::string page = LoadTextFile((TestDataDir() / "pages" / GetParam()).string());
  ASSERT_FALSE(page.empty());
  const FileInputTexts input = FileInputStage(page, PipelineOptions{});
  const IndentTexts indented = IndentStage(input.Local, PipelineOptions{});
  // Native holds the page's own bytes, in EUC-JP or UTF-8 for some pages.
  for (const std::string* text : {&input.Native, &input.Org, &indented.Work}) ExpectRunsOverTheSameCharacters(*text);
}

INSTANTIATE_TEST_SUITE_P(Pages, RealPageColours, ::testing::ValuesIn([] {
                           std::vector<std::string> pages;
                           for (const std::string& name : FileNamesIn(TestDataDir() / "pages"))
                             if (name.ends_with(".html")) pages.push_back(name);
                           return pages;
                         }()),
                         [](const auto& info) { return TestNameFrom(info.param); });

TEST(ColourRunsEdit, InsertedTextTakesTheRunBeforeItAndRemovedRunsGo) {
  ColourRuns runs;
  const ColourStyle red{0x0000FF, false}, blue{0xFF0000, false}, bold{0, true};
  runs.Append(0, red);
  runs.Append(3, blue);
  runs.Append(6, bold);  // red 0-2, blue 3-5, bold 6-
  runs.ApplyEdit(3, 0, 2);  // typed at the start of the blue run
  EXPECT_EQ(runs.starts(), (std::vector<std::uint32_t>{0, 5, 8}));
  EXPECT_EQ(runs.StyleAt(4), red);
  runs.ApplyEdit(4, 4, 0);  // removed from inside red to the end of blue
  EXPECT_EQ(runs.starts(), (std::vector<std::uint32_t>{0, 4}));
  EXPECT_EQ(runs.StyleAt(4), bold);
  runs.ApplyEdit(0, 6, 0);  // everything removed
  EXPECT_EQ(runs.size(), 1u);
}

}  // namespace
}  // namespace zelm::test
