// The line-by-line passes (line adjustment, the level pass) and the tag
// predicates find what they look for in one walk per line; the plain
// versions search for every pattern on its own. Both must give the same
// bytes on real pages, the golden inputs, generated pages and random texts.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "ReferenceLevelPass.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/HTMLtagUtil.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"
#include "indent/Pipeline.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

struct Sample {
  std::string name, text;
};

// Real pages as stored, the golden inputs, generated pages, and each of them
// broken one tag per line and adjusted, as the level pass gets them.
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> raw;
    for (const char* folder : {"pages", "adjust/input", "levels/input", "pipeline/input", "prebreak/input"}) {
      const auto dir = test::TestDataDir() / folder;
      for (const std::string& name : test::FileNamesIn(dir))
        raw.push_back({std::string(folder) + "/" + name, test::ReadFile(dir / name)});
    }
    for (unsigned seed = 1; seed <= 6; ++seed)
      raw.push_back({"generated " + std::to_string(seed), bench::GeneratePage(30000 + 7000 * seed, seed)});
    std::vector<Sample> all;
    for (const Sample& sample : raw) {
      all.push_back(sample);
      const std::string broken = PreBreakLines(NormalizeTagCase(sample.text));
      all.push_back({sample.name + " broken", broken});
      all.push_back({sample.name + " adjusted", test::ReferenceAdjustLines(broken)});
    }
    return all;
  }();
  return samples;
}

// Pieces of lines: tags the passes look for, their near misses, text, code,
// marker-like text, blanks, full-width spaces and lone lead bytes.
std::vector<std::string> Pieces() {
  std::vector<std::string> pieces{
      "<div>", "<div class=\"a\">", "</div>", "<DIV>", "<p>", "</p>", "<p", "<p>text</p>", "<td></td>",
      "<td>a</td>", "<th></th>", "</thd>", "<tr>", "<TR>", "</tr>", "<table>", "<table border=1>", "</table>",
      "<tbody>", "</tbody>", "<ul>", "</ul>", "<dl>", "</dl>", "<form>", "</form>", "</pre>", "<span>s</span>",
      "</span>", "<script>", "</script>", "<script src=a></script>", "<style>", "</style>", "<!--", "-->",
      "<!-- c -->", "<head>", "</head>", "<body>", "</body>", "<body class=x>", "<b>", "<", "</", "<>", ">",
      "<g>", "<li>", "</li>", "<h1>", "</h1>", "<h6>", "</h6>", "<noscript>", "noscript", "<address>",
      "</address>", "<a href=x>", "</a>", "<a ", "<dd>", "</dd>", "</dt>", "<map>", "</map>", "<blockquote>",
      "<figcaption>", "</figcaption>", "<svg>", "text", "a;b", "x var y", " var ", "(", ")", "{", "}", "+",
      "%-->", "<!-- (", "<!--%", "]%-->", "[  3]%-->", " <", "> <", ">   <", " ", "  ", "\t", "x", "/",
      "\x83", "\x81", "\x83{", "\x83<", "\x81\x40", "\x83\x41"};
  for (const char* utf8 : {"日本語", "マ}", "■▽", "▽▼%di[", "ハ", "〓〓", "　"}) pieces.push_back(Sjis(utf8));
  return pieces;
}

// Random texts of short lines built from the pieces.
std::vector<std::string> RandomTexts(unsigned seed, int count) {
  std::mt19937 rng(seed);
  const std::vector<std::string> pieces = Pieces();
  const std::vector<std::string> breaks{"\r\n", "\r\n", "\r\n", "\r", "\n", "\r\n\r\n"};
  std::vector<std::string> texts;
  for (int round = 0; round < count; ++round) {
    std::string text;
    const std::size_t lines = 1 + rng() % 30;
    for (std::size_t i = 0; i < lines; ++i) {
      text += test::RandomText(rng, pieces, rng() % 5);
      text += test::RandomText(rng, breaks, 1);
    }
    texts.push_back(text);
  }
  return texts;
}

// The level pass on its own, and shared out over parts as small as a line:
// every part after the first starts from a guess of the state, which the
// random texts (mostly before or in the head) prove wrong, and the pages
// (mostly in the body) prove right.
void ExpectSameLevels(std::string_view text, int indentType, const std::string& what,
                      std::initializer_list<unsigned> threadCounts) {
  const test::ReferenceMarked expected = test::ReferenceMarkIndentLevels(text, indentType);
  const MarkedText both = MarkIndentLevelsWithResult(text, indentType);
  ASSERT_EQ(both.work, expected.work) << what;
  ASSERT_EQ(both.result, expected.result) << what;
  ASSERT_EQ(MarkIndentLevels(text, indentType), expected.work) << what;
  ASSERT_EQ(IndentWithoutMarkers(text, indentType), expected.result) << what;
  for (unsigned threads : threadCounts) {
    PipelineOptions cut;
    cut.IndentType = static_cast<IndentType>(indentType);
    cut.Threads = threads;
    cut.CutPartBytes = 1;
    ASSERT_EQ(IndentStage(text, cut, WantedIndentTexts::Result).Result, expected.result)
        << what << ", threads: " << threads;
  }
}

TEST(LevelPassEquivalence, SamplePages) {
  for (const Sample& sample : Samples())
    for (int indentType = 0; indentType < 4; ++indentType)
      ExpectSameLevels(sample.text, indentType, sample.name, {2, 7, 40});
}

TEST(LevelPassEquivalence, RandomTexts) {
  int round = 0;
  for (const std::string& text : RandomTexts(77, 4000)) ExpectSameLevels(text, round++ % 4, "text: " + text, {3});
}

TEST(AdjustLinesEquivalence, SamplePages) {
  for (const Sample& sample : Samples()) ASSERT_EQ(AdjustLines(sample.text), test::ReferenceAdjustLines(sample.text)) << sample.name;
}

TEST(AdjustLinesEquivalence, RandomTexts) {
  for (const std::string& text : RandomTexts(78, 4000))
    ASSERT_EQ(AdjustLines(text), test::ReferenceAdjustLines(text)) << "text: " << text;
}

TEST(TagPredicateEquivalence, RandomLines) {
  std::mt19937 rng(79);
  const std::vector<std::string> pieces = Pieces();
  for (int round = 0; round < 20000; ++round) {
    const std::string line = test::RandomText(rng, pieces, rng() % 6);
    ASSERT_EQ(IsBlockTag(line), test::ReferenceIsBlockTag(line)) << "line: " << line;
    ASSERT_EQ(HasInnerBlockTag(line), test::ReferenceHasInnerBlockTag(line)) << "line: " << line;
  }
}

TEST(TagPredicateEquivalence, LinesOfSamplePages) {
  for (const Sample& sample : Samples()) {
    for (std::string_view line : SplitLines(sample.text)) {
      const std::string_view trimmed = PlainTrimView(line);
      ASSERT_EQ(IsBlockTag(trimmed), test::ReferenceIsBlockTag(trimmed)) << sample.name << ": " << trimmed;
      ASSERT_EQ(HasInnerBlockTag(line), test::ReferenceHasInnerBlockTag(line)) << sample.name << ": " << line;
    }
  }
}

}  // namespace
}  // namespace zelm
