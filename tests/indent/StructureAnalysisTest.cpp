// The structure checks: element counts, misplaced level tags, level lines,
// the div skeleton and its summary, and how they are laid out.
#include "indent/StructureAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "indent/Pipeline.h"
#include "indent/StructureReport.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

struct Count {
  std::string name;
  int opening, closing;
  bool operator==(const Count&) const = default;
};

std::vector<Count> Counts(std::string_view text) {
  std::vector<Count> counts;
  for (const ElementCount& c : CountLevelElements(text)) counts.push_back({std::string(c.name), c.opening, c.closing});
  return counts;
}

std::vector<std::size_t> Numbers(const std::vector<ListedLine>& lines) {
  std::vector<std::size_t> numbers;
  for (const ListedLine& line : lines) numbers.push_back(line.number);
  return numbers;
}

const StructureLabels kLabels{
    .element = "element", .opening = "open", .closing = "close", .difference = "diff",
    .balancedFiller = "-", .unbalancedMark = "*", .moreOpening = "more open", .moreClosing = "more close",
    .noLevelElements = "no elements", .noMisplacedLines = "no misplaced", .noLevelLines = "no levels",
    .neverClosed = "NEVER CLOSED", .noOpeningDiv = "STRAY", .noDivs = "no divs", .divCount = "divs",
    .greatestDepth = "greatest", .depth = "depth", .deepestPath = "path", .unbalancedPlaces = "unbalanced",
    .none = "none",
};

std::string PagePath(std::string_view name) { return (test::TestDataDir() / "pages" / name).string(); }

TEST(CountLevelElements, CountsWholeNamesOfMarkupOnly) {
  const struct {
    const char* name;
    std::string text;
    std::vector<Count> expected;
  } cases[] = {
      {"case of letters", "<div><DIV class=a>\r\n</Div>", {{"div", 2, 1}}},
      {"table order", "<ul><table><tr></tr></table>", {{"table", 1, 1}, {"tr", 1, 1}, {"ul", 1, 0}}},
      {"whole names", "<tr><track><divx><g><gallery></tr>", {{"tr", 1, 1}, {"g", 1, 0}}},
      {"self-closing", "<div/><g />", {{"div", 1, 1}, {"g", 1, 1}}},
      {"comments", "<!-- <div> --><div></div><!--->", {{"div", 1, 1}}},
      {"script and style content", "<script>w('<div>')</script><style>p{}</style><textarea><ul></textarea>", {}},
      {"tag split over lines", "<div\r\nclass=\"a\">\r\n</div\r\n>", {{"div", 1, 1}}},
      {"not tags", "a < b, 1<2, <!DOCTYPE html>, </ div>", {}},
      {"inside Shift_JIS text", Sjis("マ<div>表</div>"), {{"div", 1, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Counts(c.text), c.expected) << c.name;
}

// The expected counts are those of a plain count of each page's tags,
// comments and script content left out, made apart from this code.
TEST(CountLevelElements, MatchesAnIndependentCountOnRealPages) {
  const struct {
    const char* page;
    std::vector<Count> expected;
  } cases[] = {
      {"faq-basic-defs.utf8.html",
       {{"div", 38, 38}, {"table", 2, 2}, {"tr", 4, 4}, {"dl", 2, 2}, {"ul", 2, 2}, {"h1", 1, 1}, {"h2", 7, 7}}},
      {"jlha-LhaHeader.sjis.html",
       {{"div", 94, 94}, {"table", 3, 3}, {"tr", 38, 38}, {"dl", 37, 37}, {"ul", 56, 56}, {"ol", 2, 2},
        {"pre", 37, 37}, {"noscript", 3, 3}, {"section", 6, 6}, {"nav", 2, 2}, {"header", 1, 1},
        {"footer", 1, 1}, {"main", 1, 1}, {"h2", 1, 1}, {"h3", 7, 7}, {"h4", 35, 35}}},
      {"lv-index.utf8-nolabel.html",
       {{"address", 1, 1}, {"table", 7, 7}, {"tr", 26, 0}, {"dl", 16, 16}, {"ul", 33, 33}, {"ol", 5, 5},
        {"pre", 1, 1}, {"h1", 1, 1}, {"h2", 17, 17}, {"h3", 27, 27}}},
      {"lv-relnote.iso2022jp.html", {{"address", 1, 1}, {"ul", 24, 24}, {"pre", 1, 1}, {"h1", 1, 1}}},
      {"namazu-manual.eucjp-nolabel.html",
       {{"div", 2, 2}, {"address", 1, 1}, {"dl", 6, 6}, {"ul", 10, 10}, {"ol", 2, 2}, {"pre", 7, 7}, {"h1", 1, 1},
        {"h2", 7, 7}, {"h3", 36, 36}}},
      {"namazu-nmz.sjis.html",
       {{"div", 2, 2}, {"address", 1, 1}, {"ul", 10, 10}, {"pre", 10, 10}, {"h1", 1, 1}, {"h2", 22, 22},
        {"h3", 25, 25}}},
      {"namazu-tutorial.eucjp.html",
       {{"div", 8, 8}, {"address", 1, 1}, {"table", 10, 10}, {"tr", 39, 39}, {"dl", 5, 5}, {"ul", 8, 8},
        {"pre", 10, 10}, {"blockquote", 1, 1}, {"h1", 1, 1}, {"h2", 16, 16}, {"h3", 4, 4}}},
  };
  for (const auto& c : cases) {
    const FileInputTexts texts = FileInputStage(LoadTextFile(PagePath(c.page)), PipelineOptions{});
    EXPECT_EQ(Counts(texts.Local), c.expected) << c.page << " (Local)";
    EXPECT_EQ(Counts(texts.Org), c.expected) << c.page << " (Org)";
  }
}

TEST(MisplacedLevelTagLines, ListsLinesWhoseLevelTagDoesNotStartThem) {
  const std::string text =
      "<div>\r\n"                    // 1 starts the line
      "  <p>a</p><div>\r\n"          // 2 after another tag
      "text</div>\r\n"               // 3 after text
      "<div><div>\r\n"               // 4 a second level tag
      "<div class=x>t</div>\r\n"     // 5 closes what it opens
      "<h2>title</h2>\r\n"           // 6 the same
      "<li>x</li></ul>\r\n"          // 7 closes something else
      "</div></div>\r\n"             // 8 two closing tags
      "<div></div></div>\r\n"        // 9 one close too many
      "<!-- <div> -->\r\n"           // 10 only a comment
      "</div><!-- </div> -->\r\n"    // 11 a tag in a trailing comment
      "<!--\r\n<table>\r\n-->\r\n"   // 12-14 inside a comment of several lines
      "<p>x</p><span>y</span>\r\n";  // 15 no level tag
  EXPECT_EQ(Numbers(MisplacedLevelTagLines(text, false)), (std::vector<std::size_t>{2, 3, 4, 7, 8, 9, 10, 11}));
  EXPECT_EQ(Numbers(MisplacedLevelTagLines(text, true)), (std::vector<std::size_t>{2, 3, 4, 7, 8, 9}));
  const auto lines = MisplacedLevelTagLines(text, false);
  EXPECT_EQ(lines[0].text, "  <p>a</p><div>");
  EXPECT_TRUE(MisplacedLevelTagLines("<div>\n<table>\r</table></div>", false).size() == 1);
}

TEST(LevelTagLinesExceptDivClose, LeavesOutLinesWhoseOnlyLevelTagsCloseDivs) {
  const std::string text =
      "<div id=a>\r\n"        // 1
      "</div>\r\n"            // 2 left out
      "<p>x</p></div>\r\n"    // 3 left out
      "</table></div>\r\n"    // 4
      "<p>x</p>\r\n"          // 5 no level tag
      "<!-- <ul> -->\r\n"     // 6 a comment
      "<TABLE>\r\n";          // 7
  EXPECT_EQ(Numbers(LevelTagLinesExceptDivClose(text, false)), (std::vector<std::size_t>{1, 4, 6, 7}));
  EXPECT_EQ(Numbers(LevelTagLinesExceptDivClose(text, true)), (std::vector<std::size_t>{1, 4, 7}));
}

// The pages as loaded, so that line numbers are those of the files. The
// expected lines were found apart from this code.
TEST(LineLists, MatchAnIndependentReadingOfRealPages) {
  const struct {
    const char* page;
    std::size_t misplaced, levels;
    std::vector<std::size_t> firstMisplaced, firstLevels;
    std::size_t lastMisplaced, lastLevels;
  } cases[] = {
      {"jlha-LhaHeader.sjis.html", 63, 484, {108, 143, 195}, {38, 39, 40}, 1479, 1487},
      {"namazu-nmz.sjis.html", 0, 92, {}, {12, 15, 17}, 0, 411},
  };
  for (const auto& c : cases) {
    const std::string text = LoadTextFile(PagePath(c.page));
    const auto misplaced = Numbers(MisplacedLevelTagLines(text, false));
    const auto levels = Numbers(LevelTagLinesExceptDivClose(text, false));
    ASSERT_EQ(misplaced.size(), c.misplaced) << c.page;
    ASSERT_EQ(levels.size(), c.levels) << c.page;
    EXPECT_EQ(std::vector<std::size_t>(misplaced.begin(), misplaced.begin() + c.firstMisplaced.size()),
              c.firstMisplaced);
    EXPECT_EQ(std::vector<std::size_t>(levels.begin(), levels.begin() + 3), c.firstLevels) << c.page;
    if (!misplaced.empty()) {
      EXPECT_EQ(misplaced.back(), c.lastMisplaced) << c.page;
    }
    EXPECT_EQ(levels.back(), c.lastLevels) << c.page;
  }
}

TEST(RenderLineList, NumbersEachLineOrGivesTheMessage) {
  EXPECT_EQ(RenderLineList({}, "none"), std::vector<std::string>{"none"});
  const std::vector<ListedLine> lines{{7, "<p></p><div>"}, {12345, "x</div>"}};
  EXPECT_EQ(RenderLineList(lines, "none"), (std::vector<std::string>{"    7: <p></p><div>", "12345: x</div>"}));
}

const std::string kNested =
    "<body>\r\n"
    "<div id=\"wrap\">\r\n"                       // 2
    "<div class='head' id=top>\r\n"               // 3
    "</div>\r\n"                                  // 4
    "<div class=\"main box\"><div><DIV/>\r\n"     // 5
    "</div></div>\r\n"                            // 6
    "<!-- <div id=\"old\"> -->\r\n"               // 7
    "</div>\r\n"                                  // 8
    "</div>\r\n"                                  // 9 closes nothing
    "<div id=\"last\">\r\n";                      // 10 never closed

TEST(DivSkeleton, NestsTheDivsAndNamesTheUnbalancedPlaces) {
  const DivSkeleton skeleton = BuildDivSkeleton(kNested);
  EXPECT_EQ(RenderDivSkeleton(skeleton, kLabels), (std::vector<std::string>{
                                                      "   2  <div id=\"wrap\">",
                                                      "   3    <div id=\"top\" class=\"head\">",
                                                      "   5    <div class=\"main box\">",
                                                      "   5      <div>",
                                                      "   5        <div>",
                                                      "   9  </div>  STRAY",
                                                      "  10  <div id=\"last\">  NEVER CLOSED",
                                                  }));
  EXPECT_EQ(skeleton.entries[0].closeLine, 8u);
  EXPECT_EQ(skeleton.entries[2].closeLine, 6u);
  EXPECT_EQ(RenderDivSkeleton(BuildDivSkeleton("<p>"), kLabels), std::vector<std::string>{"no divs"});
}

TEST(DivSummary, GivesDepthsTheDeepestPathAndTheUnbalancedPlaces) {
  const DivSkeleton skeleton = BuildDivSkeleton(kNested);
  EXPECT_EQ(RenderDivSummary(skeleton, SummarizeDivs(skeleton), kLabels), (std::vector<std::string>{
                                                                              "divs: 6",
                                                                              "greatest: 4",
                                                                              "  depth  1: 2",
                                                                              "  depth  2: 2",
                                                                              "  depth  3: 1",
                                                                              "  depth  4: 1",
                                                                              "path:",
                                                                              "   2  <div id=\"wrap\">",
                                                                              "   5    <div class=\"main box\">",
                                                                              "   5      <div>",
                                                                              "   5        <div>",
                                                                              "unbalanced:",
                                                                              "   9  </div>  STRAY",
                                                                              "  10  <div id=\"last\">  NEVER CLOSED",
                                                                          }));
  const DivSkeleton balanced = BuildDivSkeleton("<div></div>");
  EXPECT_EQ(RenderDivSummary(balanced, SummarizeDivs(balanced), kLabels).back(), "unbalanced: none");
}

// A real page with a closing div taken out and a stray one put in after its
// body tag: the div left open and the stray close are named at their lines.
TEST(DivSummary, NamesTheUnbalancedPlacesOfARealPage) {
  std::string page = LoadTextFile(PagePath("namazu-nmz.sjis.html"));
  const std::string body = "<body lang=\"ja\">\r\n";
  ASSERT_NE(page.find(body), std::string::npos);
  page.insert(page.find(body) + body.size(), "</div>\r\n");                    // line 12
  const std::size_t copyright = page.find("<div class=\"copyright\">");       // line 404
  page.erase(page.find("</div>", copyright), 8);                             // its closing line
  const DivSkeleton skeleton = BuildDivSkeleton(page);
  EXPECT_EQ(RenderDivSummary(skeleton, SummarizeDivs(skeleton), kLabels), (std::vector<std::string>{
                                                                              "divs: 2",
                                                                              "greatest: 2",
                                                                              "  depth  1: 1",
                                                                              "  depth  2: 1",
                                                                              "path:",
                                                                              " 404  <div class=\"copyright\">  NEVER CLOSED",
                                                                              " 406    <div class=\"id\">",
                                                                              "unbalanced:",
                                                                              "  12  </div>  STRAY",
                                                                              " 404  <div class=\"copyright\">  NEVER CLOSED",
                                                                          }));
}

// The checks agree with each other on any text: every opening div is an
// entry of the skeleton and every closing one closes an entry or is a
// stray one; listed lines are lines of the text, in order.
TEST(StructureChecks, AgreeWithEachOtherOnRandomTexts) {
  const std::vector<std::string> alphabet{
      "<div>", "<DIV id='a'>", "</div>", "</Div >", "<div/>", "<table>", "</table>", "<tr", "<!--", "-->",
      "<script>", "</script>", "<style>", "x", " ", "\r\n", "\n", "\r", "<", ">", "\"", "=",
      "\x83\x7d", "\x95\x5c", "\x81", "</", "<div class=\"b c\""};
  std::mt19937 rng(17);
  std::size_t divsSeen = 0, linesListed = 0;
  for (int round = 0; round < 400; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 80);
    const auto counts = CountLevelElements(text);
    const auto div = std::find_if(counts.begin(), counts.end(), [](const ElementCount& c) { return c.name == "div"; });
    const DivSkeleton skeleton = BuildDivSkeleton(text);
    std::size_t divs = 0, closed = 0, stray = 0;
    for (const SkeletonEntry& entry : skeleton.entries) {
      if (entry.kind == SkeletonEntry::Kind::StrayClose) {
        ++stray;
        continue;
      }
      ++divs;
      if (entry.closeLine != 0) ++closed;
      const int parentDepth = entry.parent == SkeletonEntry::kNoParent ? 0 : skeleton.entries[entry.parent].depth;
      ASSERT_EQ(entry.depth, parentDepth + 1) << text;
    }
    divsSeen += divs;
    ASSERT_EQ(divs, div == counts.end() ? 0u : static_cast<std::size_t>(div->opening)) << text;
    ASSERT_EQ(closed + stray, div == counts.end() ? 0u : static_cast<std::size_t>(div->closing)) << text;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (bool ignoreComments : {false, true}) {
      for (const auto& listed : {MisplacedLevelTagLines(text, ignoreComments), LevelTagLinesExceptDivClose(text, ignoreComments)}) {
        linesListed += listed.size();
        for (std::size_t k = 0; k < listed.size(); ++k) {
          ASSERT_LE(listed[k].number, lines.size()) << text;
          ASSERT_EQ(listed[k].text, lines[listed[k].number - 1]) << text;
          if (k > 0) {
            ASSERT_GT(listed[k].number, listed[k - 1].number) << text;
          }
        }
      }
    }
  }
  EXPECT_GT(divsSeen, 500u);
  EXPECT_GT(linesListed, 1000u);
}

TEST(RenderElementCounts, LaysOutColumnsAtTabStopsOrPadded) {
  const auto counts = CountLevelElements("<div><div></div><blockquote></blockquote></ul>");
  EXPECT_EQ(RenderElementCounts(counts, kLabels, CountLayout::TabStops), (std::vector<std::string>{
                                                                             "\t-\telement\topen\tclose\tdiff",
                                                                             "\t*\tdiv\t  2\t  1\t  1\tmore open",
                                                                             "\t*\tul\t  0\t  1\t -1\tmore close",
                                                                             "\t-\tblockquote\t  1\t  1\t  0",
                                                                         }));
  EXPECT_EQ(RenderElementCounts(counts, kLabels, CountLayout::Columns), (std::vector<std::string>{
                                                                            "-  element     open  close  diff",
                                                                            "*  div            2      1     1  more open",
                                                                            "*  ul             0      1    -1  more close",
                                                                            "-  blockquote     1      1     0",
                                                                        }));
  EXPECT_EQ(RenderElementCounts({}, kLabels, CountLayout::TabStops), std::vector<std::string>{"no elements"});
}

}  // namespace
}  // namespace zelm
