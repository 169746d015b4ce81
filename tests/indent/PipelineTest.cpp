// The pipeline stages: which pass runs when, and what lands in each text.
#include "indent/Pipeline.h"

#include <gtest/gtest.h>

#include <random>

#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/ContentCheck.h"
#include "indent/KeptStretches.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"
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

// The pages every stage test below runs over: real pages in every
// encoding, with and without options.
std::vector<std::string> StagePages() {
  std::vector<std::string> pages;
  const auto folder = test::TestDataDir() / "pages";
  for (const std::string& name : test::FileNamesIn(folder)) pages.push_back(LoadTextFile((folder / name).string()));
  pages.push_back("<html><head><meta charset=\"utf-8\"></head>\r\n<body><p>\xea\xb0\x80\r\n\r\na \xea\xb0\x80</p></body></html>");
  return pages;
}

TEST(FileInputStage, KeepsOnlyTheWantedTextsAndTheyAreTheSame) {
  PipelineOptions keepLines;
  keepLines.DontPreprocessing = true;
  for (const PipelineOptions& options : {PipelineOptions{}, keepLines}) {
    for (const std::string& page : StagePages()) {
      const FileInputTexts all = FileInputStage(page, options);
      for (unsigned mask = 0; mask < 16; ++mask) {
        const WantedInputTexts wanted{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
        const FileInputTexts some = FileInputStage(page, options, wanted);
        EXPECT_EQ(some.Native, wanted.Native ? all.Native : "");
        EXPECT_EQ(some.Org, wanted.Org ? all.Org : "");
        EXPECT_EQ(some.RefOrg, wanted.RefOrg ? all.RefOrg : "");
        EXPECT_EQ(some.Local, wanted.Local ? all.Local : "");
        EXPECT_EQ(some.DetectedCode, all.DetectedCode);
        EXPECT_EQ(some.ReadAs, all.ReadAs);
        EXPECT_EQ(some.loss.count, all.loss.count);
        EXPECT_EQ(some.lossLine, all.lossLine);
      }
    }
  }
}

TEST(FileInputStage, WithoutNativeTakesTheBytesWithAnyLineEnds) {
  std::mt19937 rng(4711);
  const std::vector<std::string> pieces{"<body>", "<div>", "</div>", "<p>", "x", " ", "\t", "\r\n", "\r", "\n",
                                        "\r\r", "\r\r\n", "\n\r", "\x83", "\x83\r", "<TD>", "<!--", "-->",
                                        "charset=x-jis\"", Sjis("日本")};
  WantedInputTexts noNative;
  noNative.Native = false;
  std::vector<std::string> texts;
  for (int round = 0; round < 2000; ++round) texts.push_back(test::RandomText(rng, pieces, rng() % 30));
  for (const std::string& page : StagePages()) {
    std::string lf = page;
    for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at)) lf.erase(at, 1);
    texts.push_back(lf);
  }
  for (const std::string& bytes : texts) {
    const FileInputTexts expected = FileInputStage(NormalizeLineEnds(bytes), PipelineOptions{});
    const FileInputTexts lean = FileInputStage(bytes, PipelineOptions{}, noNative);
    ASSERT_EQ(lean.Local, expected.Local) << bytes;
    ASSERT_EQ(lean.Org, expected.Org) << bytes;
    ASSERT_EQ(lean.DetectedCode, expected.DetectedCode) << bytes;
    ASSERT_EQ(lean.ReadAs, expected.ReadAs) << bytes;
    ASSERT_EQ(lean.lossLine, expected.lossLine) << bytes;
  }
}

TEST(FileInputStage, NamesTheLineOfTheFirstLostCharacter) {
  // Two lines of the page lose a character; blank lines before them go.
  const std::string utf8 =
      "<html><head></head>\r\n<body>\r\n\r\n<p>a</p>\r\n<p>\xea\xb0\x80</p>\r\n"
      "<p>\xea\xb0\x80</p></body></html>";
  PipelineOptions readAsUtf8;
  readAsUtf8.OpenCharset = OpenCharset::kUtf8;
  const FileInputTexts texts = FileInputStage(utf8, readAsUtf8);
  ASSERT_EQ(texts.loss.count, 2u);
  EXPECT_EQ(texts.lossLine, 4u);
  EXPECT_EQ(SplitLines(texts.Org)[texts.lossLine - 1], "<p>?</p>");
  EXPECT_EQ(FileInputStage(std::string("<html></html>"), PipelineOptions{}).lossLine, 0u);
}

// With the option to keep them, every byte from "<pre" or "<textarea" to
// its closing tag comes through every stage as it was: no breaking,
// indentation, trimming or blank lines dropped; the tags are placed and
// indented as usual.
TEST(KeepPre, PreformattedStretchesComeThroughByteForByte) {
  const std::string code = "<PRE class=\"py\">def f(x):\r\n    return <span>x</span><span>+1</span>\r\n\r\n\r\n  # end</PRE>";
  const std::string area = "<textarea name=t>  a\r\n\r\n   b</textarea>";
  const std::string page = "<html><head><meta charset=\"shift_jis\"></head><body>\r\n<div><p>x</p>" + code + area +
                           "<span>y</span></div>\r\n<table><tr><td><pre>one</pre></td></tr></table>\r\n"
                           "<!-- <pre> in a comment --><script>var p = \"<pre>\";</script>\r\n<pre>never closed\r\n"
                           "</body></html>\r\n";
  const std::vector<std::string_view> kept{code, area, "<pre>one</pre>"};
  ASSERT_EQ(FindKeptStretches(page), kept);
  PipelineOptions options;
  options.KeepPre = true;
  const FileInputTexts file = FileInputStage(page, options);
  const PasteInputTexts pasted = PasteInputStage(page, options);
  const IndentTexts indented = IndentStage(file.Local, options);
  for (const std::string* text : {&file.Org, &file.Local, &pasted.Org, &pasted.Local, &indented.Result}) {
    EXPECT_EQ(FindKeptStretches(*text), kept) << *text;
  }
  EXPECT_NE(indented.Work.find(code), std::string::npos);
  EXPECT_NE(indented.Result.find("\r\n  <div><p>x</p>\r\n    " + code + "\r\n    " + area + "<span>y</span>\r\n  </div>"),
            std::string::npos)
      << indented.Result;
  EXPECT_EQ(FileToResultStage(page, options).Result, indented.Result);
  EXPECT_EQ(FindKeptStretches(InnerHtmlStage(page, options, false)), kept);
  EXPECT_EQ(FirstStretchMissing(indented.Result, kept), std::nullopt);
  // Without the option the listing is broken and indented, as specified.
  const std::string plain = IndentStage(FileInputStage(page, {}).Local, {}).Result;
  EXPECT_EQ(FirstStretchMissing(plain, kept), 0u);
}

TEST(IndentStage, MakesOnlyTheWantedTexts) {
  PipelineOptions join;
  join.DivCommentConcat = true;
  for (const PipelineOptions& options : {PipelineOptions{}, join}) {
    for (const std::string& page : StagePages()) {
      const std::string local = FileInputStage(page, options).Local;
      const IndentTexts both = IndentStage(local, options);
      const IndentTexts work = IndentStage(local, options, WantedIndentTexts::Work);
      const IndentTexts result = IndentStage(local, options, WantedIndentTexts::Result);
      EXPECT_EQ(work.Work, both.Work);
      EXPECT_EQ(work.Result, "");
      EXPECT_EQ(result.Result, both.Result);
      EXPECT_EQ(result.Work, "");
    }
  }
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
