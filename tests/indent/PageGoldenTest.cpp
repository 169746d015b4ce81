// The real pages of tests/data/pages through both stages with the default
// settings: their Work and Result texts, byte for byte, as the golden files
// in tests/data/pages/expected hold them (made by zelm-cli indent --emit work
// and --emit result with --output-charset shift_jis).
#include <gtest/gtest.h>

#include "indent/Pipeline.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"

namespace zelm {
namespace {

const std::filesystem::path kPages = test::TestDataDir() / "pages";

enum class Text { Work, Result };

struct GoldenCase {
  std::string page;
  Text text;
};

std::vector<GoldenCase> Cases() {
  std::vector<GoldenCase> cases;
  for (const std::string& name : test::FileNamesIn(kPages))
    if (name.ends_with(".html"))
      for (Text text : {Text::Work, Text::Result}) cases.push_back({name, text});
  return cases;
}

std::string Folder(Text text) { return text == Text::Work ? "work" : "result"; }

class PageGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(PageGolden, StagesGiveTheExpectedText) {
  const GoldenCase& c = GetParam();
  const std::string expected = test::ReadFile(kPages / "expected" / Folder(c.text) / c.page);
  const FileInputTexts input = FileInputStage(LoadTextFile((kPages / c.page).string()), PipelineOptions{});
  const IndentTexts indented = IndentStage(input.Local, PipelineOptions{});
  EXPECT_EQ(c.text == Text::Work ? indented.Work : indented.Result, expected);
  // zelm-cli's road, the file straight to its Result.
  if (c.text == Text::Result) {
    EXPECT_EQ(FileToResultStage(test::ReadFile(kPages / c.page), PipelineOptions{}).Result, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageGolden, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<GoldenCase>& info) {
                           return test::TestNameFrom(info.param.page) + "_" + Folder(info.param.text);
                         });

TEST(PageGolden, EveryPageHasItsExpectedTexts) {
  std::vector<std::string> pages;
  for (const std::string& name : test::FileNamesIn(kPages))
    if (name.ends_with(".html")) pages.push_back(name);
  EXPECT_EQ(pages.size(), 7u);
  EXPECT_EQ(test::FileNamesIn(kPages / "expected" / "work"), pages);
  EXPECT_EQ(test::FileNamesIn(kPages / "expected" / "result"), pages);
}

}  // namespace
}  // namespace zelm
