#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "indent/LevelMarkerFormat.h"
#include "indent/LevelMarkers.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

std::vector<std::string> SjisLines(const std::vector<std::string>& utf8) {
  std::vector<std::string> lines;
  for (const auto& line : utf8) lines.push_back(Sjis(line));
  return lines;
}

// The Work lines of `body` (UTF-8 literals), placed after a "</head>" and a
// "<body>" line: the first body line is line 3 and starts at level 1.
std::vector<std::string> MarkedBody(const std::vector<std::string>& body, int indentType = kIndentTwoSpaces) {
  std::string text = "</head>\r\n<body>\r\n";
  for (const auto& line : body) text += Sjis(line) + "\r\n";
  std::vector<std::string> work = Lines(MarkIndentLevels(text, indentType));
  EXPECT_GE(work.size(), 2u);
  work.erase(work.begin(), work.begin() + std::min<std::size_t>(2, work.size()));
  return work;
}

TEST(IndentString, RepeatsTheUnitOfEachType) {
  struct Case {
    int level, type;
    std::string expected;
  };
  const Case cases[] = {
      {0, kIndentTwoSpaces, ""},        {3, kIndentTwoSpaces, "      "}, {2, kIndentFourSpaces, "        "},
      {3, kIndentTab, "\t\t\t"},        {5, kIndentFlushLeft, ""},      {-1, kIndentTwoSpaces, ""},
      {1000, kIndentTab, std::string(1000, '\t')},
  };
  for (const auto& c : cases) EXPECT_EQ(IndentString(c.level, c.type), c.expected) << c.level << "/" << c.type;
}

TEST(LevelMarkerFormat, SymbolsAreTheirShiftJisBytes) {
  using namespace marker;
  const std::pair<std::string_view, const char*> symbols[] = {
      {kScriptClose, "◎△"},       {kTextClosingCell, "○○"},    {kTextClosingLevel, "□●"},
      {kTextPlain, "○□"},         {kTextClosingInline, "○■"},  {kSpanCloseShort, "■◆"},
      {kSpanClose, "□◆"},         {kCellClose, "◇◇"},          {kLevelClose, "△▲"},
      {kTableCloseAfterRow, "◆◆"}, {kTableClose, "□□"},        {kOtherClose, "■■"},
      {kClosedInLineShort, "◎○"}, {kClosedInLine, "◎◇"},       {kTableBeforeRow, "◎◎"},
      {kTableOther, "〓〓"},       {kNewKindShort, "◎◆"},       {kScriptOpen, "◎▽"},
      {kNewKind, "▽▼"},           {kRepeatedLevelOpen, "◎●"},  {kRepeatedParagraph, "▲▼"},
      {kRepeatedShort, "○▼"},     {kRepeated, "◎□"},           {kBetweenSectionsPrefix, "▲▽  %-->"},
      {kBetweenSectionsTagPrefix, "■▽"},
  };
  for (const auto& [bytes, glyphs] : symbols) EXPECT_EQ(bytes, Sjis(glyphs)) << glyphs;
}

TEST(LevelMarkerFormat, LevelMarkerIsThirtyBytesWhateverItHolds) {
  std::string marker;
  marker::AppendLevelMarker(marker, 12, marker::kNewKind, "di", 3);
  EXPECT_EQ(marker, Sjis("<!-- (   12 ) ▽▼%di[  3]%-->"));
  for (std::size_t line : {1u, 42u, 9999u})
    for (std::string_view abbreviation : {"", "p", "di", "\x93\xfa"})
      for (int level : {0, 7, 999}) {
        std::string m;
        marker::AppendLevelMarker(m, line, marker::kRepeated, abbreviation, level);
        EXPECT_EQ(m.size(), 30u) << m;
        EXPECT_EQ(marker::MarkerLengthAt(m + "<p>"), 30u) << m;
      }
  std::string code;
  marker::AppendCodePrefix(code, 7);
  EXPECT_EQ(code, "<!-- (    7 )             %-->");
}

struct BodyCase {
  const char* name;
  std::vector<std::string> body, expected;  // UTF-8; Work lines from line 3 on
};

void PrintTo(const BodyCase& c, std::ostream* out) { *out << c.name; }

// Every row of the classification, with the exact Work line it writes.
const BodyCase kBodyCases[] = {
    {"new level element, then content one deeper",
     {"<div>", "x"},
     {"<!-- (    3 ) ▽▼%di[  1]%-->  <div>", "<!-- (    4 ) ○□%**[  2]%-->x"}},
    {"repeated level element raises the level again",
     {"<div>", "<div>", "x"},
     {"<!-- (    3 ) ▽▼%di[  1]%-->  <div>", "<!-- (    4 ) ◎●%di[  2]%-->    <div>",
      "<!-- (    5 ) ○□%**[  3]%-->x"}},
    {"closing level element stands at the outer level",
     {"<div>", "</div>", "x"},
     {"<!-- (    3 ) ▽▼%di[  1]%-->  <div>", "<!-- (    4 ) △▲%/d[  1]%-->  </div>",
      "<!-- (    5 ) ○□%**[  1]%-->x"}},
    {"unbalanced closes floor the level at zero",
     {"</div>", "</div>", "x"},
     {"<!-- (    3 ) △▲%/d[  0]%--></div>", "<!-- (    4 ) △▲%/d[  0]%--></div>", "<!-- (    5 ) ○□%**[  0]%-->x"}},
    {"table with rows, closed after a row",
     {"<table>", "<tr>", "<td>a</td>", "</tr>", "</table>"},
     {"<!-- (    3 ) ◎◎%ta[  1]%-->  <table>", "<!-- (    4 ) ▽▼%tr[  2]%-->    <tr>",
      "<!-- (    5 ) ◇◇%td[  3]%-->      <td>a</td>", "<!-- (    6 ) △▲%/t[  2]%-->    </tr>",
      "<!-- (    7 ) ◆◆%/t[  1]%-->  </table>"}},
    {"table without a row",
     {"<table class=x>", "</table>"},
     {"<!-- (    3 ) 〓〓%ta[  1]%-->  <table class=x>", "<!-- (    4 ) □□%/t[  1]%-->  </table>"}},
    {"the next line is lowered but not trimmed",
     {"<table>", "<TR>", "<table>", " <tr>"},
     {"<!-- (    3 ) ◎◎%ta[  1]%-->  <table>", "<!-- (    4 ) ▽▼%tr[  2]%-->    <TR>",
      "<!-- (    5 ) 〓〓%ta[  2]%-->    <table>", "<!-- (    6 ) ▽▼%tr[  3]%-->      <tr>"}},
    {"span closes, one-letter tags and a div that holds one",
     {"<span>a</span>", "<b>a</span>", "<div>a</span>", "x"},
     {"<!-- (    3 ) □◆%sp[  1]%-->  <span>a</span>", "<!-- (    4 ) ■◆%b [  1]%-->  <b>a</span>",
      "<!-- (    5 ) ▽▼%di[  1]%-->  <div>a</span>", "<!-- (    6 ) ○□%**[  2]%-->x"}},
    {"cells",
     {"<td></td>", "<th></th>", "<b>x</td>", "<th>a</th>"},
     {"<!-- (    3 ) ◇◇%td[  1]%-->  <td>&nbsp;</td>", "<!-- (    4 ) ◎◇%th[  1]%-->  <th></th>",
      "<!-- (    5 ) ◇◇%b [  1]%-->  <b>x</td>", "<!-- (    6 ) ◎◇%th[  1]%-->  <th>a</th>"}},
    {"other closing tags",
     {"</a>", "</style>", "</span>"},
     {"<!-- (    3 ) ■■%/a[  1]%-->  </a>", "<!-- (    4 ) ■■%/s[  1]%--></style>",
      "<!-- (    5 ) □◆%/s[  1]%-->  </span>"}},
    {"elements closed on their own line",
     {"<p>text</p>", "<h2>t</h2>", "<script src=\"a.js\"></script>", "x"},
     {"<!-- (    3 ) ◎○%p [  1]%-->  <p>text</p>", "<!-- (    4 ) ◎◇%h2[  1]%-->  <h2>t</h2>",
      "<!-- (    5 ) ◎◇%sc[  1]%--><script src=\"a.js\"></script>", "<!-- (    6 ) ○□%**[  1]%-->x"}},
    {"new and repeated kinds of tag",
     {"<p>", "<a href=\"#\">", "<style>", "<br>", "<br>", "<b>", "<b>", "<p>", "<p>", "<p class=x>"},
     {"<!-- (    3 ) ◎◇%p [  1]%-->  <p>", "<!-- (    4 ) ◎◆%a [  1]%-->  <a href=\"#\">",
      "<!-- (    5 ) ▽▼%st[  1]%--><style>", "<!-- (    6 ) ▽▼%br[  1]%-->  <br>",
      "<!-- (    7 ) ◎□%br[  1]%-->  <br>", "<!-- (    8 ) ◎◆%b [  1]%-->  <b>",
      "<!-- (    9 ) ○▼%b [  1]%-->  <b>", "<!-- (   10 ) ◎◇%p [  1]%-->  <p>",
      "<!-- (   11 ) ▲▼%p [  1]%-->  <p>", "<!-- (   12 ) ○▼%p [  1]%-->  <p class=x>"}},
    {"script body is code, unindented",
     {"<script>", "  var a = 1;", "if (a) {", "<b>", "}", "</script>", "x"},
     {"<!-- (    3 ) ◎▽%sc[  1]%--><script>", "<!-- (    4 )             %-->  var a = 1;",
      "<!-- (    5 )             %-->if (a) {", "<!-- (    6 )             %--><b>",
      "<!-- (    7 )             %-->}", "<!-- (    8 ) ◎△%/s[  1]%--></script>", "<!-- (    9 ) ○□%**[  1]%-->x"}},
    {"repeated script tag",
     {"<script src=a>", "<script src=b>", "</script>"},
     {"<!-- (    3 ) ◎▽%sc[  1]%--><script src=a>", "<!-- (    4 ) ◎▽%sc[  1]%--><script src=b>",
      "<!-- (    5 ) ◎△%/s[  1]%--></script>"}},
    {"text lines",
     {"a</td>", "<div>", "text</div>", "plain", "a</b>", "a = b;", "x var y", "マイク", "  indented text"},
     {"<!-- (    3 ) ○○%##[  1]%-->a</td>", "<!-- (    4 ) ▽▼%di[  1]%-->  <div>",
      "<!-- (    5 ) □●%##[  1]%-->text</div>", "<!-- (    6 ) ○□%**[  1]%-->plain",
      "<!-- (    7 ) ○■%$$[  1]%-->a</b>", "<!-- (    8 )             %-->a = b;",
      "<!-- (    9 )             %-->x var y", "<!-- (   10 ) ○□%**[  1]%-->マイク",
      "<!-- (   11 ) ○□%**[  1]%-->  indented text"}},
    {"comments in the body",
     {"<!-- one -->", "<!--", " middle", "-->", "<div><!-- x -->", "x"},
     {"<!--% 0                   %--><!-- one -->", "<!--%   1                 %--><!--",
      "<!--%     2               %--> middle", "<!--%       3             %-->-->",
      "<!-- (    7 ) ▽▼%di[  1]%-->  <div><!-- x -->", "<!-- (    8 ) ○□%**[  2]%-->x"}},
    {"short and odd tag heads keep the marker width",
     {"<", "</", "<>", "<>", "</>", "<g>", "<g>", "<a日>", "<日本>", "</日>"},
     {"<!-- (    3 ) ◎◆%  [  1]%-->  <", "<!-- (    4 ) ■■%/ [  1]%-->  </",
      "<!-- (    5 ) ◎◆%  [  1]%-->  <>", "<!-- (    6 ) ○▼%  [  1]%-->  <>",
      "<!-- (    7 ) ■■%/ [  1]%-->  </>", "<!-- (    8 ) ◎◆%g [  1]%-->  <g>",
      "<!-- (    9 ) ◎●%g [  2]%-->    <g>", "<!-- (   10 ) ◎◆%a [  3]%-->      <a日>",
      "<!-- (   11 ) ▽▼%日[  3]%-->      <日本>", "<!-- (   12 ) ■■%/ [  3]%-->      </日>"}},
};

class BodyRows : public testing::TestWithParam<BodyCase> {};

TEST_P(BodyRows, WritesTheExactWorkLines) {
  const BodyCase& c = GetParam();
  const std::vector<std::string> work = MarkedBody(c.body);
  EXPECT_EQ(work, SjisLines(c.expected));
  for (const auto& line : work) {
    const std::size_t marker = marker::MarkerLengthAt(line);
    EXPECT_EQ(marker, 30u) << line;
  }
}

INSTANTIATE_TEST_SUITE_P(MarkIndentLevels, BodyRows, testing::ValuesIn(kBodyCases),
                         [](const testing::TestParamInfo<BodyCase>& info) { return test::TestNameFrom(info.param.name); });

TEST(MarkIndentLevels, SectionsOfTheDocument) {
  const std::vector<std::string> input{
      "<html>", "<head>", "  <title>T</title>", "  plain head text", "<!--", "  p{width:100%}", "-->",
      "</head>", "<link rel=\"x\">", "<a> <b>", "<body>", "<div>", "<p>x</p>", "", "  ", "</div>", "</body>",
      "  <!-- after -->", "  tail text", "</html>",
  };
  std::string text;
  for (const auto& line : input) text += line + "\r\n";
  EXPECT_EQ(Lines(MarkIndentLevels(text, kIndentTwoSpaces)),
            SjisLines({"<html>", "<head>", "<title>T</title>", "  plain head text", "<!--", "  p{width:100%}", "-->",
                       "</head>", "▲▽  %--><link rel=\"x\">", "■▽<a> <b>", "<body>",
                       "<!-- (   12 ) ▽▼%di[  1]%-->  <div>", "<!-- (   13 ) ◎○%p [  2]%-->    <p>x</p>",
                       "<!-- (   16 ) △▲%/d[  1]%-->  </div>", "</body>",
                       "<!--% 0                   %-->  <!-- after -->", "  tail text", "</html>"}));
}

TEST(MarkIndentLevels, WithoutHeadEndOrBodyEverythingStaysInTheHead) {
  EXPECT_EQ(MarkIndentLevels("<html>\r\n  <div>\r\n  text\r\n</html>", kIndentTwoSpaces),
            "<html>\r\n<div>\r\n  text\r\n</html>\r\n");
  // A body tag ends the head even when "</head>" is missing.
  EXPECT_EQ(Lines(MarkIndentLevels("<head>\r\n<body>\r\n<div>", kIndentTwoSpaces)),
            SjisLines({"<head>", "<body>", "<!-- (    3 ) ▽▼%di[  1]%-->  <div>"}));
}

TEST(MarkIndentLevels, EmptyTextGivesEmptyText) {
  EXPECT_EQ(MarkIndentLevels("", kIndentTwoSpaces), "");
  EXPECT_EQ(MarkIndentLevels(" \r\n\t\r\n", kIndentTwoSpaces), "");
}

TEST(MarkIndentLevels, IndentTypesDrawTheSameLevels) {
  const std::vector<std::string> body{"<div>", "<div>", "x"};
  const std::pair<int, std::vector<std::string>> cases[] = {
      {kIndentFourSpaces, {"<!-- (    3 ) ▽▼%di[  1]%-->    <div>", "<!-- (    4 ) ◎●%di[  2]%-->        <div>",
                           "<!-- (    5 ) ○□%**[  3]%-->x"}},
      {kIndentTab, {"<!-- (    3 ) ▽▼%di[  1]%-->\t<div>", "<!-- (    4 ) ◎●%di[  2]%-->\t\t<div>",
                    "<!-- (    5 ) ○□%**[  3]%-->x"}},
      {kIndentFlushLeft, {"<!-- (    3 ) ▽▼%di[  1]%--><div>", "<!-- (    4 ) ◎●%di[  2]%--><div>",
                          "<!-- (    5 ) ○□%**[  3]%-->x"}},
  };
  for (const auto& [type, expected] : cases) EXPECT_EQ(MarkedBody(body, type), SjisLines(expected)) << type;
}

TEST(MarkIndentLevels, LongTextsWidenTheLineNumber) {
  std::string text = "</head>\r\n<body>\r\n";
  for (int i = 0; i < 10000; ++i) text += "x\r\n";
  const std::vector<std::string> work = Lines(MarkIndentLevels(text, kIndentTwoSpaces));
  ASSERT_EQ(work.size(), 10002u);
  EXPECT_EQ(work[9998], Sjis("<!-- ( 9999 ) ○□%**[  1]%-->x"));
  EXPECT_EQ(work[9999], Sjis("<!-- ( 10000 ) ○□%**[  1]%-->x"));
  EXPECT_EQ(StripLevelMarkers(MarkIndentLevels(text, kIndentTwoSpaces)), text);
}

TEST(MarkIndentLevels, DeepNestingWidensTheLevel) {
  std::string text = "</head>\r\n<body>\r\n";
  for (int i = 0; i < 1000; ++i) text += "<div>\r\n";
  text += "x\r\n";
  const std::vector<std::string> work = Lines(MarkIndentLevels(text, kIndentFlushLeft));
  ASSERT_EQ(work.size(), 1003u);
  EXPECT_EQ(work[1001], Sjis("<!-- ( 1002 ) ◎●%di[1000]%--><div>"));
  EXPECT_EQ(work[1002], Sjis("<!-- ( 1003 ) ○□%**[1001]%-->x"));
  EXPECT_EQ(StripLevelMarkers(JoinLines(work)), text);
}

TEST(StripLevelMarkers, CutsEachMarkerFormOnceAtTheLineStart) {
  const std::pair<const char*, const char*> cases[] = {
      {"<!-- (   12 ) ▽▼%di[  3]%-->  <div>", "  <div>"},
      {"<!-- (    3 ) ◎○%p [  1]%--><p>x</p>", "<p>x</p>"},
      {"<!-- (    3 ) ◎◆%  [  1]%--><", "<"},
      {"<!-- (    3 ) ◎◆% [  1]%-->x", "x"},
      {"<!-- ( 12345 ) ○□%**[  1]%-->x", "x"},
      {"<!-- (    3 ) ◎●%di[1234]%-->x", "x"},
      {"<!-- (   12 )             %-->var a;", "var a;"},
      {"<!--% 0                   %--><!-- c -->", "<!-- c -->"},
      {"<!--%   1                 %--><!--", "<!--"},
      {"<!--%     2               %--> text", " text"},
      {"<!--%       3             %-->-->", "-->"},
      {"▲▽  %--><link>", "<link>"},
      {"<!--% 0                   %--><!--% 0                   %-->x", "<!--% 0                   %-->x"},
      {"<!-- (   12 ) ▽▼%di[  3]%-->", ""},
  };
  for (const auto& [line, expected] : cases)
    EXPECT_EQ(StripLevelMarkers(Sjis(line)), Sjis(expected) + "\r\n") << line;
}

TEST(StripLevelMarkers, KeepsLinesWithoutAMarkerAndDropsBlankOnes) {
  const std::vector<std::string> kept = SjisLines({
      "<style><!-- p{width:100%-->",
      "a %--> b",
      " <!-- (   12 ) ▽▼%di[  3]%-->x",
      "■▽<a> <b>",
      "<!-- (  12 ) ▽▼%di[  3]%-->x",
      "<!-- ( 0012 ) ▽▼%di[  3]%-->x",
      "<!-- (   12 ) ★★%di[  3]%-->x",
      "<!-- (   12 ) ▽▼%di[ 3]%-->x",
      "<!-- (   12 ) ▽▼%dia[  3]%-->x",
      "<!-- (   12 ) ▽▼%di[  3]%->x",
      "<!--% 0 %-->x",
      "<!-- (   12 )            %-->x",
      "▲▽ %-->x",
      "<!-- (",
  });
  std::string text;
  for (const auto& line : kept) text += line + "\r\n \t\r\n\r\n";
  EXPECT_EQ(StripLevelMarkers(text), JoinLines(kept));
}

TEST(RemoveMarkerSymbols, DeletesTheFivePairs) {
  EXPECT_EQ(RemoveMarkerSymbols(Sjis("a◎●b◎○c◎＄d◎□e■◇f▽▼◎")), Sjis("abcdef▽▼◎"));
  EXPECT_EQ(RemoveMarkerSymbols(""), "");
}

}  // namespace
}  // namespace zelm
