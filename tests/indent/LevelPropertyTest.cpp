// Properties of the level pass over random one-tag-per-line texts.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "indent/LevelMarkerFormat.h"
#include "indent/LevelMarkers.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

// Pieces a line may start with: tags, text and marker-like user text, but
// never a whole marker.
std::vector<std::string> LineStarts() {
  std::vector<std::string> pieces{
      "<div>", "<div class=\"a\">", "</div>", "<p>", "</p>", "<p>text</p>", "<td></td>", "<td>a</td>",
      "<th></th>", "<tr>", "</tr>", "<table>", "</table>", "<span>s</span>", "<script>", "</script>",
      "<script src=a></script>", "<style>", "</style>", "<!--", "-->", "<!-- c -->", "<head>", "</head>",
      "<body>", "</body>", "<b>", "<", "</", "<>", "<g>", "<ul>", "<li>", "<h1>", "<noscript>", "text",
      "a;b", "x var y", "(", "%-->", "p{width:100%-->", "<style><!-- p{width:100%-->", "text</div>",
      "a</td>", "<!-- (", "<!--%", "]%-->", "[  3]%-->"};
  for (const char* utf8 : {"日本語", "マ}", "■▽", "▽▼%di[", "ハ", "〓〓"}) pieces.push_back(Sjis(utf8));
  return pieces;
}

// Pieces that may follow anywhere in a line, whole markers included.
std::vector<std::string> LineMiddles() {
  std::vector<std::string> pieces = LineStarts();
  for (const char* utf8 : {"<!-- (   12 ) ▽▼%di[  3]%-->", "▲▽  %-->", "<!--% 0                   %-->",
                           "<!-- (   12 )             %-->", " ", "\t", "</span>", " <i>"})
    pieces.push_back(Sjis(utf8));
  pieces.push_back("\x83");  // a lead byte whose second byte is the next piece's first
  return pieces;
}

// A random text of `count` lines, some blank, some with spaces around.
std::vector<std::string> RandomLines(std::mt19937& rng, std::size_t count) {
  static const std::vector<std::string> starts = LineStarts();
  static const std::vector<std::string> middles = LineMiddles();
  static const std::vector<std::string> blanks{"", " ", "  ", "\t"};
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < count; ++i) {
    std::string line = test::RandomText(rng, blanks, 1);
    if (rng() % 8 != 0) {
      line += test::RandomText(rng, starts, 1);
      line += test::RandomText(rng, middles, rng() % 3);
      line += test::RandomText(rng, blanks, 1);
    }
    lines.push_back(line);
  }
  return lines;
}

// The one change of content the indented text may show for a line.
bool SameContent(std::string_view source, std::string_view result) {
  const std::string_view content = PlainTrimView(source);
  const std::string_view shown = PlainTrimView(result);
  if (shown == content) return true;
  if (content == "<td></td>" && shown == "<td>&nbsp;</td>") return true;
  return shown == std::string(marker::kBetweenSectionsTagPrefix) + std::string(content);
}

TEST(LevelPassProperties, StrippedWorkTextKeepsTheContentOfEveryLine) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1000; ++round) {
    const std::vector<std::string> lines = RandomLines(rng, 1 + rng() % 40);
    const int indentType = static_cast<int>(rng() % 4);
    const std::string text = JoinLines(lines);
    const std::string work = MarkIndentLevels(text, indentType);
    const std::string stripped = StripLevelMarkers(work);
    const std::vector<std::string_view> result = SplitLines(stripped);

    std::vector<std::string_view> content;
    for (std::string_view line : lines)
      if (!PlainTrimView(line).empty()) content.push_back(line);
    ASSERT_EQ(result.size(), content.size()) << text;
    for (std::size_t i = 0; i < content.size(); ++i)
      ASSERT_TRUE(SameContent(content[i], result[i])) << "line " << i << " of\n" << text << "\ngave\n" << work;

    // Every marker the pass writes keeps its width.
    for (std::string_view line : SplitLines(work)) {
      const std::size_t marker = marker::MarkerLengthAt(line);
      if (marker != 0 && !line.starts_with(marker::kBetweenSectionsPrefix)) {
        ASSERT_EQ(marker, 30u) << line;
      }
    }
  }
}

TEST(LevelPassProperties, LinesWithoutALeadingMarkerPassUnchanged) {
  std::mt19937 rng(7);
  for (int round = 0; round < 1000; ++round) {
    const std::vector<std::string> lines = RandomLines(rng, 1 + rng() % 40);
    std::vector<std::string> kept;
    for (const auto& line : lines)
      if (!PlainTrimView(line).empty()) kept.push_back(line);
    ASSERT_EQ(StripLevelMarkers(JoinLines(lines)), JoinLines(kept));
  }
}

TEST(LevelPassProperties, ArbitraryBytesNeverBreakThePass) {
  std::mt19937 rng(99);
  std::vector<std::string> bytes;
  for (int b = 0; b < 256; ++b) bytes.emplace_back(1, static_cast<char>(b));
  for (const char* piece : {"<", "</", ">", " ", "<div", "<!--", "-->", "<script", "</script", "<body", "</head>"})
    for (int copies = 0; copies < 8; ++copies) bytes.emplace_back(piece);
  for (int round = 0; round < 300; ++round) {
    const std::string text = test::RandomText(rng, bytes, rng() % 400);
    const std::string work = MarkIndentLevels(text, static_cast<int>(rng() % 4));
    for (std::string_view line : SplitLines(work)) {
      const std::size_t marker = marker::MarkerLengthAt(line);
      if (marker != 0 && !line.starts_with(marker::kBetweenSectionsPrefix)) {
        ASSERT_EQ(marker, 30u) << line;
      }
    }
    std::size_t nonBlank = 0;
    for (std::string_view line : SplitLines(text)) nonBlank += PlainTrimView(line).empty() ? 0 : 1;
    ASSERT_EQ(SplitLines(StripLevelMarkers(work)).size(), nonBlank);
  }
}

}  // namespace
}  // namespace zelm
