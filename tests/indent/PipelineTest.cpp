// The pipeline stages: which pass runs when, and what lands in each text.
#include "indent/Pipeline.h"

#include <gtest/gtest.h>

#include "indent/ContentCheck.h"
#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

std::string Page(std::string_view body) {
  return "<html>\r\n<head>\r\n<title>t</title>\r\n</head>\r\n" + std::string(body) + "\r\n</html>\r\n";
}

struct TagCaseCase {
  const char* name;
  std::string text;
  bool lowered;
};

TEST(FileInputStage, NormalisesTagCaseOnUpperCaseMarkupOrWhenAsked) {
  const TagCaseCase cases[] = {
      {"<TD", Page("<body><table><tr><TD>x</td></tr></table></body>"), true},
      {"<HEAD", "<html><HEAD></head><body><P>x</p></body></html>\r\n", true},
      {"<BODY", Page("<BODY><P>x</p></body>"), true},
      {"<TABLE", Page("<body><TABLE><tr><td>x</td></tr></table></body>"), true},
      {"lower case only", Page("<body><div><P>x</p></div></body>"), false},
  };
  for (const auto& c : cases) {
    const FileInputTexts texts = FileInputStage(c.text, PipelineOptions{});
    EXPECT_EQ(texts.Org == NormalizeTagCase(c.text), c.lowered) << c.name;
  }
  PipelineOptions lower;
  lower.ConvertUpper2Lower = true;
  const std::string page = Page("<body><div><P>x</p></div></body>");
  EXPECT_EQ(FileInputStage(page, lower).Org, NormalizeTagCase(page));
}

TEST(PasteInputStage, LooksForTdWithThreeSpacesAndNotForBody) {
  PipelineOptions options;
  const std::string bodyOnly = Page("<BODY><P>x</p></body>");
  EXPECT_EQ(PasteInputStage(bodyOnly, options).Org, RemoveBlankLines(bodyOnly));
  const std::string tdWithSpaces = Page("<BODY><table><tr><TD   >x</td></tr></table></body>");
  EXPECT_EQ(PasteInputStage(tdWithSpaces, options).Org, RemoveBlankLines(NormalizeTagCase(tdWithSpaces)));
  const std::string tdPlain = Page("<BODY><table><tr><TD>x</td></tr></table></body>");
  EXPECT_EQ(PasteInputStage(tdPlain, options).Org, RemoveBlankLines(tdPlain));
}

TEST(InputStages, DontPreprocessingSkipsBreakingForFilesAndLightensItForPastes) {
  PipelineOptions keepLines;
  keepLines.DontPreprocessing = true;
  const std::string page = Page("<body><div><p>a</p>   <ul><li>b</li></ul></div></body>");
  EXPECT_EQ(FileInputStage(page, keepLines).Local, AdjustLines(page));
  EXPECT_EQ(PasteInputStage(page, keepLines).Local, AdjustLines(LightBreakLines(page)));
  EXPECT_EQ(PasteInputStage(page, PipelineOptions{}).Local, AdjustLines(PreBreakLines(page)));
  EXPECT_EQ(FileInputStage(page, PipelineOptions{}).Local, AdjustLines(PreBreakLines(page)));
}

TEST(FileInputStage, ConvertsToShiftJisAndDeclaresIt) {
  const std::string sjisPage = Page(Sjis("<body><p>日本語</p></body>"));
  std::string eucPage = test::ReadFile(test::TestDataDir() / "pages" / "namazu-tutorial.eucjp.html");
  const FileInputTexts texts = FileInputStage(NormalizeLineEnds(eucPage), PipelineOptions{});
  EXPECT_EQ(texts.DetectedCode, 1);
  EXPECT_EQ(texts.ReadAs, 1);
  EXPECT_TRUE(SjisContains(texts.Org, "charset=Shift_JIS\""));
  EXPECT_EQ(texts.RefOrg, texts.Org);
  EXPECT_FALSE(texts.loss.any());
  EXPECT_TRUE(SjisContains(texts.Local, Sjis("検索")));
}

TEST(FileInputStage, ReportsCharactersWithoutShiftJisForm) {
  const std::string utf8 = "<html><head><meta charset=\"utf-8\"></head><body><p>\xea\xb0\x80 a \xea\xb0\x80</p></body></html>";
  const FileInputTexts texts = FileInputStage(utf8, PipelineOptions{});
  EXPECT_EQ(texts.loss.count, 2u);
  EXPECT_NE(texts.loss.firstPos, 0u);
}

TEST(IndentStage, IsRepeatableAndLeavesTheAuthorsSymbolsAlone) {
  const std::string local = Sjis("<body>\r\n<div>\r\n<p>評価：◎○</p>\r\n</div>\r\n</body>\r\n");
  const IndentTexts first = IndentStage(local, PipelineOptions{});
  const IndentTexts second = IndentStage(local, PipelineOptions{});
  EXPECT_EQ(first.Work, second.Work);
  EXPECT_EQ(first.Result, second.Result);
  EXPECT_EQ(first.Result, Sjis("<body>\r\n  <div>\r\n    <p>評価：◎○</p>\r\n  </div>\r\n</body>\r\n"));
  EXPECT_EQ(IndentStage("", PipelineOptions{}).Result, "");
}

TEST(IndentStage, DivCommentConcatJoinsWithoutCase) {
  PipelineOptions join;
  join.DivCommentConcat = true;
  const std::string local = "<body>\r\n<div>\r\n</DIV>\r\n<!-- end -->\r\n<div>\r\n</div>\r\n<!-- b -->\r\n</body>\r\n";
  const std::string result = IndentStage(local, join).Result;
  // Only the line break goes: the author's upper-case tag stays as written,
  // and the content check still finds every line of the Local text.
  EXPECT_NE(result.find("</DIV><!-- end -->"), std::string::npos) << result;
  EXPECT_NE(result.find("</div><!-- b -->"), std::string::npos) << result;
  EXPECT_FALSE(FindContentDifference(local, result, true)) << result;
  EXPECT_EQ(IndentStage(local, PipelineOptions{}).Result.find("<!--"), result.find("<!--") + 2);
}

TEST(InnerHtmlStage, KeepsTheMarkersWhenAsked) {
  const std::string inner = "<body><div><p>x</p></div></body>";
  const std::string marked = InnerHtmlStage(inner, PipelineOptions{}, /*keepLevelMarkers=*/true);
  EXPECT_EQ(marked, MarkIndentLevels(AdjustLines(PreBreakLines(inner)), 0));
  EXPECT_EQ(InnerHtmlStage(inner, PipelineOptions{}, false), StripLevelMarkers(marked));
  // A line the level pass leaves unmarked keeps the author's marker-like text.
  const std::string note = Sjis("▲▽  %-->note");
  const std::string plain = InnerHtmlStage(note + "\r\n<p>a</p>", PipelineOptions{}, false);
  EXPECT_TRUE(plain.starts_with(note + "\r\n")) << plain;
  EXPECT_EQ(InnerHtmlStage("", PipelineOptions{}, false), "");
  EXPECT_EQ(DoInnerTextTMLGo(""), "");
}

TEST(PasteInputStage, TakesOnlyTextWithABodyTag) {
  EXPECT_TRUE(IsAcceptablePaste("<BODY>"));
  EXPECT_TRUE(IsAcceptablePaste("<body class=x>"));
  EXPECT_FALSE(IsAcceptablePaste("<Body>"));
  EXPECT_FALSE(IsAcceptablePaste("<div>"));
  EXPECT_EQ(PasteInputStage("", PipelineOptions{}).Local, "");
}

TEST(ResolveHtmlFileName, AddsHtmlOnlyWhenThatFileExists) {
  test::TempDir dir;
  test::WriteFile(dir / "page.html", "x");
  EXPECT_EQ(ResolveHtmlFileName((dir / "page").string()), (dir / "page.html").string());
  EXPECT_EQ(ResolveHtmlFileName((dir / "other").string()), std::nullopt);
  EXPECT_EQ(ResolveHtmlFileName((dir / "x.htm").string()), (dir / "x.htm").string());
}

class PipelineGolden : public ::testing::TestWithParam<std::string> {};

// Whole pages through both stages: the Result of the file path.
TEST_P(PipelineGolden, ResultMatchesExpected) {
  const auto folder = test::TestDataDir() / "pipeline";
  const std::string native = LoadTextFile((folder / "input" / GetParam()).string());
  const FileInputTexts input = FileInputStage(native, PipelineOptions{});
  EXPECT_EQ(IndentStage(input.Local, PipelineOptions{}).Result, test::ReadFile(folder / "expected" / GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Pages, PipelineGolden,
                         ::testing::ValuesIn(test::FileNamesIn(test::TestDataDir() / "pipeline" / "input")),
                         [](const auto& info) { return test::TestNameFrom(info.param); });

}  // namespace
}  // namespace zelm
