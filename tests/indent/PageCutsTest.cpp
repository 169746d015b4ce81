// Where a page is cut for the passes: only at line breaks no rule of the
// passes reaches across (as the passes' own tables report them), out of
// comments and scripts, and for a converted page after a printable line end.
#include "indent/PageCuts.h"

#include <gtest/gtest.h>

#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/NormalizeTagCase.h"
#include "indent/PagePlan.h"
#include "indent/ShiftJisPageParts.h"

namespace zelm {
namespace {

const std::vector<PlanPass> kInputPasses{PlanPass::kNormaliseCase, PlanPass::kRewriteCharsetDecl,
                                         PlanPass::kBreakFull, PlanPass::kAdjust};

std::vector<LineBreakReach> InputReach() { return ReachOfPasses(kInputPasses, false); }

bool Reports(const std::vector<LineBreakReach>& reach, std::string_view before, std::string_view after) {
  for (const LineBreakReach& rule : reach)
    if (rule.kind == LineBreakReach::Kind::kText && rule.before == before && rule.after == after) return true;
  return false;
}

TEST(LineBreakReach, TheTablesReportTheirRulesThatSpanALineBreak) {
  // The break rule that pulls an anchor's closing tag back onto its line.
  EXPECT_TRUE(Reports(PreBreakLinesReach(), ">", "</a>"));
  // A ">" pushed to the start of a line is pulled back up.
  EXPECT_TRUE(Reports(PreBreakLinesReach(), "", ">"));
  // Line adjustment joins a line with a following one that closes it.
  EXPECT_TRUE(Reports(AdjustLinesReach(), "", "</div>"));
  EXPECT_TRUE(Reports(AdjustLinesReach(), "", ">"));
  // The light breaking has no rule that spans a line break.
  EXPECT_TRUE(LightBreakLinesReach().empty());
  EXPECT_THROW(ReachOfPattern("a\r\nb\r\nc"), std::logic_error);
  EXPECT_TRUE(ReachOfPattern("</div></div>").empty());
}

struct ReachCase {
  const char* name;
  std::string text;  // a line break at the first CR LF
  bool applies;
};

TEST(LineBreakReach, AppliesWhereItsRuleCouldMatchAcrossTheLineBreak) {
  const ReachCase cases[] = {
      {"anchor closed on the next line", "<a href=x>\r\n</A>", true},
      {"closing tag after blanks and full-width spaces", "<div>\r\n \t\x81\x40</div><p>", true},
      {"closing bracket after eleven spaces", "<p\r\n           >", true},
      {"blank line after", "x\r\n  \r\ny", true},
      {"blank line before", "\r\nx", true},
      {"closing bracket after many blanks, which line adjustment trims", "x\r\n            >", true},
      {"a text line", "x\r\ntext", false},
      {"an opening tag", "x>\r\n<div>", false},
  };
  const std::vector<LineBreakReach> reach = InputReach();
  for (const ReachCase& c : cases) {
    const std::size_t at = c.text.find("\r\n") + 2;
    EXPECT_EQ(!NoReachAcross(c.text, at, reach), c.applies) << c.name;
  }
}

struct CutCase {
  const char* second;  // the line after "x" CR LF
  bool cut;
};

TEST(InputPassCuts, FallOnlyBeforeLinesNoPassJoinsToTheLineBefore) {
  const CutCase cases[] = {
      {"text", true},   {"  <div>", true}, {"<li>a</li>", true}, {"\t<!-- c -->", true}, {"(", true},
      {"<tr>", true},
      {"</div>", false}, {"  </a>", false}, {">", false},        {"  >x", false},
      {"", false},       {"   ", false},    {"\x83\x41", false},
  };
  for (const CutCase& c : cases) {
    const std::string first(40, 'x');  // long enough for the aimed-at places to reach its end
    const std::string text = first + "\r\n" + c.second + "\r\n</p>";
    const std::vector<std::size_t> expected = c.cut ? std::vector<std::size_t>{0, 42} : std::vector<std::size_t>{0};
    EXPECT_EQ(InputPassCuts(text, InputReach(), 2), expected) << c.second;
  }
  // Nor after a blank line, nor at a lone line feed; one part keeps it whole.
  EXPECT_EQ(InputPassCuts("x\r\n\r\ntext\r\n", InputReach(), 2), std::vector<std::size_t>{0});
  EXPECT_EQ(InputPassCuts("x\ntext\nmore\n", InputReach(), 2), std::vector<std::size_t>{0});
  EXPECT_EQ(InputPassCuts("x\r\ntext\r\n", InputReach(), 1), std::vector<std::size_t>{0});
}

// A rule that could reach across a line break the other conditions allow
// keeps the cut away: the rule is what decides, not the shape of the line.
TEST(InputPassCuts, RefuseWhereAReportedRuleCouldApply) {
  const std::string text = std::string(40, 'x') + "<br>\r\ntext\r\n</p>";
  EXPECT_EQ(InputPassCuts(text, {}, 2), (std::vector<std::size_t>{0, 46}));
  EXPECT_EQ(InputPassCuts(text, {LineBreakReach::Text("<BR>", "te")}, 2), std::vector<std::size_t>{0});
  EXPECT_EQ(InputPassCuts(text, {LineBreakReach::Text("<hr>", "te")}, 2), (std::vector<std::size_t>{0, 46}));
}

TEST(InputPassCuts, KeepOutOfCommentsAndScripts) {
  const std::string text =
      "first line\r\n<!--\r\nin a comment\r\n-->\r\n<script>\r\nvar x;\r\n</script>\r\nafter\r\n";
  const std::vector<std::size_t> cuts = InputPassCuts(text, InputReach(), 16);
  ASSERT_GT(cuts.size(), 1u);
  for (std::size_t k = 1; k < cuts.size(); ++k) {
    const std::string_view line = std::string_view(text).substr(cuts[k], text.find('\r', cuts[k]) - cuts[k]);
    EXPECT_TRUE(line == "<!--" || line == "<script>" || line == "after") << line;
  }
}

TEST(LineAlignedCuts, StartRightAfterLineFeeds) {
  const std::string text = "aaaa\nbbbb\ncccc\ndddd\n";
  const std::vector<std::size_t> cuts = LineAlignedCuts(text, 4);
  ASSERT_EQ(cuts.size(), 4u);
  for (std::size_t k = 1; k < cuts.size(); ++k) {
    EXPECT_EQ(text[cuts[k] - 1], '\n');
    EXPECT_GT(cuts[k], cuts[k - 1]);
  }
  EXPECT_EQ(LineAlignedCuts("no line feed", 4).size(), 1u);
}

TEST(PartsFor, SharesLargeTextsAndCutsAnyTextWithAPartSize) {
  const PassSharing two{.threads = 2};
  EXPECT_EQ(PartsFor(std::size_t{1} << 20, two, 0), 1u);  // below the smallest text worth sharing
  EXPECT_EQ(PartsFor(std::size_t{4} << 20, two, 0), 8u);  // four parts per thread
  EXPECT_EQ(PartsFor(std::size_t{4} << 20, PassSharing{}, 0), 1u);  // one thread
  EXPECT_EQ(PartsFor(1000, PassSharing{}, 100), 10u);     // forced on a small text, one thread
  EXPECT_EQ(PartsFor(std::size_t{4} << 20, two, std::size_t{1} << 20), 8u);  // the more of the two
}

struct ConversionCutCase {
  const char* name;
  std::string text;  // the cut is looked for after its first line
  bool cut;
};

TEST(ConversionCuts, FallAfterAPrintableLineEndInFrontOfPrintableAscii) {
  const std::string head = "<html><head></head><body>\r\nfirst\r\n";
  const ConversionCutCase cases[] = {
      {"CR LF", "x\r\ny\r\n", true},
      {"LF alone", "x\ny\r\n", true},
      {"blank at the start of the next line", "x\r\n y\r\n", false},
      {"tab at the start of the next line", "x\r\n\ty\r\n", false},
      {"blank line next", "x\r\n\r\ny\r\n", false},
      {"blank at the end of the line", "x \r\ny\r\n", false},
      {"lead byte at the end of the line", "x\x83\r\ny\r\n", false},
      {"double-byte character next", "x\r\n\x83\x41y\r\n", false},
      {"CR CR LF", "x\r\r\ny\r\n", false},
      {"closing tag next", "x\r\n</p>\r\n", false},
      {"closing bracket next", "x\r\n>y\r\n", false},
      {"opening tag next", "x\r\n<p>\r\n", true},
  };
  const std::vector<LineBreakReach> reach = ReachOfPasses(kInputPasses, true);
  for (const ConversionCutCase& c : cases) {
    const std::string page = head + c.text;
    const std::vector<std::size_t> cuts = ConversionCuts(page, reach, 8);
    const std::size_t expected = head.size() + c.text.find('\n') + 1;
    const bool found = std::find(cuts.begin(), cuts.end(), expected) != cuts.end();
    EXPECT_EQ(found, c.cut) << c.name;
    for (std::size_t cut : cuts) EXPECT_TRUE(cut == 0 || cut <= head.size() || cut == expected) << c.name;
  }
}

TEST(ConversionCuts, TheFirstPartHoldsTheStartOfTheBody) {
  const std::string page = "<html>\r\n<head>\r\n<title>t</title>\r\n</head>\r\n<BODY>\r\n<p>a</p>\r\n<p>b</p>\r\n";
  const std::vector<std::size_t> cuts = ConversionCuts(page, {}, 8);
  ASSERT_GE(cuts.size(), 2u);
  EXPECT_EQ(cuts[1], page.find("<p>a"));
  EXPECT_EQ(ConversionCuts("<html><p>no body</p>\r\n<p>x</p>\r\n", {}, 8).size(), 1u);
}

}  // namespace
}  // namespace zelm
