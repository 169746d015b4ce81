// The content-preservation guarantee: the indent Result differs from the
// Local text only in line breaks and blanks at line ends, apart from the
// documented changes. Checked on real and generated pages.
#include "indent/ContentCheck.h"

#include <gtest/gtest.h>

#include "PageGenerator.h"
#include "indent/LevelMarkers.h"
#include "indent/Pipeline.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"

namespace zelm {
namespace {

using test::Sjis;

TEST(FindContentDifference, AcceptsOnlyBlankAndLineBreakChanges) {
  EXPECT_EQ(FindContentDifference("<p>a b</p>\r\n\r\n<br>\r\n", "  <p>a b</p>\r\n<br>  \r\n", false), std::nullopt);
  EXPECT_EQ(FindContentDifference("<td></td>\r\n", "<td>&nbsp;</td>\r\n", false), std::nullopt);
  EXPECT_EQ(FindContentDifference(Sjis("<p>x\r\n"), Sjis("■▽<p>x\r\n"), false), std::nullopt);
  EXPECT_EQ(FindContentDifference("</div>\r\n<!-- a -->\r\n", "</div><!-- a -->\r\n", true), std::nullopt);
}

TEST(FindContentDifference, SaysWhereTheContentChanged) {
  const auto changed = FindContentDifference("a\r\n\r\nb c\r\n", "a\r\nbc\r\n", false);
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed->localLine, 3u);
  EXPECT_EQ(changed->resultLine, 2u);
  EXPECT_EQ(changed->expected, "b c");
  EXPECT_EQ(changed->actual, "bc");
  const auto missing = FindContentDifference("a\r\nb\r\n", "a\r\n", false);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->localLine, 2u);
  EXPECT_EQ(missing->resultLine, 0u);
  const auto extra = FindContentDifference("a\r\n", "a\r\nb\r\n", false);
  ASSERT_TRUE(extra);
  EXPECT_EQ(extra->localLine, 0u);
  EXPECT_EQ(extra->actual, "b");
  EXPECT_TRUE(FindContentDifference("</div>\r\n<!-- a -->\r\n", "</div><!-- a -->\r\n", false));
}

// The Result made and checked part by part is the Result made whole, and
// the check finds the same difference in it, with the same line numbers.
TEST(ContentComparison, ChecksAResultInPiecesAsTheWholeOne) {
  const std::string local = FileInputStage(bench::GeneratePage(300'000, 7), PipelineOptions{}).Local;
  std::vector<std::string> pieces;
  PipelineOptions two;
  two.Threads = 2;
  IndentStageInPieces(local, two, 16 << 10, [&](std::string_view piece) { pieces.emplace_back(piece); });
  ASSERT_GT(pieces.size(), 10u);
  EXPECT_TRUE(test::Joined(pieces) == IndentWithoutMarkers(local, 0));
  const auto check = [&](const std::vector<std::string>& result) {
    ContentComparison comparison(local, false);
    for (const std::string& piece : result) comparison.Feed(piece);
    return comparison.Finish();
  };
  EXPECT_EQ(check(pieces), std::nullopt);
  std::vector<std::string> changed = pieces;
  changed[5].insert(changed[5].find("\r\n") + 2, "<p>inserted</p>\r\n");
  const auto difference = check(changed);
  ASSERT_TRUE(difference);
  EXPECT_EQ(difference, FindContentDifference(local, test::Joined(changed), false));
  EXPECT_EQ(difference->actual, "<p>inserted</p>");
  std::vector<std::string> shortened(pieces.begin(), pieces.end() - 1);
  EXPECT_EQ(check(shortened), FindContentDifference(local, test::Joined(shortened), false));
  EXPECT_NE(check(shortened), std::nullopt);
}

void ExpectContentKept(const std::string& native, const std::string& name) {
  for (bool join : {false, true}) {
    PipelineOptions options;
    options.DivCommentConcat = join;
    for (int type = 0; type <= 3; ++type) {
      options.IndentType = static_cast<IndentType>(type);
      const FileInputTexts input = FileInputStage(native, options);
      const IndentTexts indented = IndentStage(input.Local, options);
      const auto difference = FindContentDifference(input.Local, indented.Result, join);
      ASSERT_EQ(difference, std::nullopt) << name << " type " << type << " line " << difference->localLine << ": "
                                          << difference->expected << " / " << difference->actual;
    }
  }
}

TEST(ContentPreservation, HoldsOnEveryRealPage) {
  for (const auto& folder : {"pages", "pipeline/input", "prebreak/input", "adjust/input", "levels/input"}) {
    for (const std::string& name : test::FileNamesIn(test::TestDataDir() / folder)) {
      if (name.ends_with(".md")) continue;
      ExpectContentKept(LoadTextFile((test::TestDataDir() / folder / name).string()), name);
    }
  }
}

TEST(ContentPreservation, HoldsOnGeneratedPages) {
  for (unsigned seed = 1; seed <= 20; ++seed)
    ExpectContentKept(bench::GeneratePage(20000 + seed * 3000, seed), "seed " + std::to_string(seed));
}

// A head line that happens to start like a level marker is the author's
// text: only the markers the level pass wrote are cut.
TEST(ContentPreservation, AuthorsMarkerLikeLinesSurvive) {
  const std::string local = Sjis(
      "<html>\r\n<head>\r\n<!-- (   1 ) ▽▼%di[  1]%-->kept\r\n</head>\r\n<body>\r\n<p>x</p>\r\n</body>\r\n</html>\r\n");
  const IndentTexts indented = IndentStage(local, PipelineOptions{});
  EXPECT_EQ(FindContentDifference(local, indented.Result, false), std::nullopt) << indented.Result;
  EXPECT_NE(indented.Result.find(Sjis("<!-- (   1 ) ▽▼%di[  1]%-->kept")), std::string::npos);
}

TEST(IndentationLimit, DeepNestingStopsWithTheLimitUnlessFlushLeft) {
  std::string local = "<html>\r\n<body>\r\n";
  for (int i = 0; i < 20000; ++i) local += "<div>\r\n";
  local += "<p>x</p>\r\n</body>\r\n</html>\r\n";
  // 20,000 levels of two spaces: about 400 MB of indentation, far over the
  // limit for a text of this size.
  try {
    MarkIndentLevels(local, kIndentTwoSpaces);
    FAIL() << "no limit";
  } catch (const IndentationTooLarge& error) {
    EXPECT_EQ(error.limit(), IndentationLimitFor(local.size()));
    EXPECT_NE(std::string(error.what()).find("MB"), std::string::npos);
  }
  const std::string flush = MarkIndentLevels(local, kIndentFlushLeft);
  EXPECT_NE(flush.find("[20001]%--><p>x</p>"), std::string::npos);
}

}  // namespace
}  // namespace zelm
