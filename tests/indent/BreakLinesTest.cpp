// PreBreakLines and LightBreakLines: behaviour at the edges of their rules,
// byte-for-byte agreement with the plain rule-by-rule application, and no
// lost content.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "ReferencePasses.h"
#include "indent/BreakLines.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

struct PassCase {
  const char* name;
  std::string input, expected;
};

TEST(PreBreakLines, EdgesOfTheRules) {
  const PassCase cases[] = {
      {"gap of 36 spaces folded", "<b>" + Spaces(36) + "<i>", "<b><i>"},
      {"gap of 37 spaces kept", "<b>" + Spaces(37) + "<i>", "<b>" + Spaces(37) + "<i>"},
      {"tab counts as one space", "<b>\t \t<i>", "<b><i>"},
      {"line break between tags kept", "<b>\r\n<i>", "<b>\r\n<i>"},
      {"> after 11 spaces pulled up", "<img src=x\r\n" + Spaces(11) + ">", "<img src=x>"},
      {"> after 12 spaces stays", "<img src=x\r\n" + Spaces(12) + ">", "<img src=x\r\n" + Spaces(12) + ">"},
      {"> eats breaks with shrinking indents", "<img\r\n \r\n  >", "<img>"},
      {"> eats only the last of growing indents", "<img\r\n  \r\n >", "<img\r\n  >"},
      {"equal indents: only one break goes", "<img\r\n \r\n >", "<img\r\n >"},
      {"a CR that ends a double-byte character breaks no line", "\x83\r\n\r\n >", "\x83\r\n>"},
      {"empty cell filled and lowered", "<TD></TD>", "<td>&nbsp;</td>"},
      {"empty header cell filled", "<th></th>", "<th>&nbsp;</th>"},
      {"area and its closing tag on two lines", "<area href=x></area>", "<area href=x>\r\n</area>"},
      {"five closing divs on five lines", "</div></div></div></div></div>",
       "</div>\r\n</div>\r\n</div>\r\n</div>\r\n</div>"},
      {"run of four ends in a line break", "</div></div></div></div><p>",
       "</div>\r\n</div>\r\n</div>\r\n</div>\r\n<p>"},
      {"two closing divs", "</DIV></div>x", "</div>\r\n</div>\r\nx"},
      {"matched tag text is lowered", "<P><TABLE>", "<P>\r\n<table>"},
      {"anchor close pulled back", "<a href=x><img src=y>\r\n</A>", "<a href=x><img src=y></a>"},
      {"comment broken out", "<p><!-- x --><p>", "<p>\r\n<!-- x -->\r\n<p>"},
      {"cells and rows", "<tr><td>a</td><td>b</td></tr><tr>",
       "<tr>\r\n<td>a</td>\r\n<td>b</td>\r\n</tr>\r\n<tr>"},
      // A replace-all resumes after its replacement, so of three closing list
      // items in a row the rule breaks only after the first.
      {"overlapping matches of one rule", "</li></li></li>", "</li>\r\n</li></li>"},
      {"every other overlapping match", "</li></li></li></li>", "</li>\r\n</li></li>\r\n</li>"},
      {"> that is a second byte is no tag end", "<b>\x83><td>", "<b>\x83><td>"},
      {"gap after a second-byte > kept", "\x83>  <b>", "\x83>  <b>"},
      {"CR that is a second byte is no line break", "a\x83\r\n>", "a\x83\r\n>"},
      {"tab that is a second byte stays", "\x83\t", "\x83\t"},
      {"lead byte at the very end", "<td>\x83", "<td>\x83"},
      {"empty text", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PreBreakLines(c.input), c.expected) << c.name;
}

TEST(LightBreakLines, FoldsGapsAndBreaksAroundComments) {
  const PassCase cases[] = {
      {"gap of 24 spaces folded", "<b>" + Spaces(24) + "<i>", "<b><i>"},
      {"gap of 25 spaces kept", "<b>" + Spaces(25) + "<i>", "<b>" + Spaces(25) + "<i>"},
      {"comment broken out", "<p><!-- x --><p>", "<p>\r\n<!-- x -->\r\n<p>"},
      {"no other breaks", "<tr><td>a</td></tr>", "<tr><td>a</td></tr>"},
      {"line-start > not pulled up", "<img\r\n>", "<img\r\n>"},
      {"tabs become spaces", "a\tb", "a b"},
      {"empty text", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LightBreakLines(c.input), c.expected) << c.name;
}

// --- Agreement with the rule-by-rule application ----------------------------

// Pieces that make the rules meet: every tag of the rule list in two cases,
// junctions, runs of spaces and line breaks, and double-byte characters
// whose second byte is a character the rules look for.
std::vector<std::string> BreakAlphabet() {
  std::vector<std::string> pieces{"<",  ">",  "><", "/",      " ",  "  ",    "\t",     "\r\n",   "\r\n ",
                                  "\r", "\n", "x",  "\x83\x81", "\x83", "\x81\x3c", "\x83>", "\x83<", "\x81\r",
                                  "</a>", "<a href=x>", "&nbsp;", "-->", "<!--", "</div></div>", Sjis("マ"),
                                  std::string(1, '\0')};
  for (int k : {3, 10, 11, 12, 23, 24, 25, 35, 36, 37}) {
    pieces.push_back(Spaces(k));
    pieces.push_back("\r\n" + Spaces(k));
  }
  for (const auto& [from, to] : test::ReferenceBreakRules()) {
    pieces.push_back(from);
    pieces.push_back(SjisUpperCase(from));
    // The tag on its own, without the junction the rule looks for.
    std::string tag = from;
    if (tag.front() == '>') tag.erase(0, 1);
    if (tag.back() == '<') tag.pop_back();
    pieces.push_back(tag);
  }
  return pieces;
}

// A small alphabet so that the same few tags meet often.
std::vector<std::string> DenseAlphabet() {
  return {"<td>", "</td>", "<TD>", "</tr>", "<tr>", "</div>", "</DIV>", "<div>", "</li>", "<li>", "</area>",
          "<area>", "><",  ">",    "<",     "\r\n", " ",      "\x83",   "\x83>", "<!--",  "-->",  "</a>",
          "<th>", "</th>", "<table>", "</table>", "<noscript>", "</script>", "<script>", "x"};
}

// Runs of closing divs of every length, with the rules that meet them at
// their ends.
std::vector<std::string> DivRunAlphabet() {
  return {"</div>", "</div>", "</DIV>", "</Div>", "<div>", "<DIV id=x>", "</li>", "<li>", "<p>", ">", "<",
          "\x83", "\x83<", "x", "\r\n", "</dt>", "<dt>", "<!--", "-->", "</a>", "</di", "v>"};
}

TEST(PreBreakLines, EqualsTheRuleByRuleApplicationOnRandomTexts) {
  std::mt19937 rng(31337);
  const std::vector<std::vector<std::string>> alphabets{BreakAlphabet(), DenseAlphabet(), DivRunAlphabet()};
  for (int round = 0; round < 9000; ++round) {
    const std::string text = test::RandomText(rng, alphabets[round % 3], 1 + round % 60);
    ASSERT_EQ(PreBreakLines(text), test::ReferencePreBreakLines(text)) << "text: " << text;
  }
}

TEST(LightBreakLines, EqualsTheRuleByRuleApplicationOnRandomTexts) {
  std::mt19937 rng(4242);
  const auto alphabet = BreakAlphabet();
  for (int round = 0; round < 3000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 50);
    ASSERT_EQ(LightBreakLines(text), test::ReferenceLightBreakLines(text)) << "text: " << text;
  }
}

TEST(PreBreakLines, EqualsTheRuleByRuleApplicationOnGeneratedPages) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const std::string page = bench::GeneratePage(20000 + seed * 9000, seed);
    ASSERT_EQ(PreBreakLines(page), test::ReferencePreBreakLines(page)) << "seed " << seed;
    ASSERT_EQ(LightBreakLines(page), test::ReferenceLightBreakLines(page)) << "seed " << seed;
  }
}

// --- Nothing is lost ----------------------------------------------------------

// The visible content of a text: no bytes <= 0x20, letters in one case, and
// cells that hold only "&nbsp;" counted as empty.
// Byte-wise, because dropping the blanks can leave a lead byte in front of a
// tag.
std::string VisibleContent(std::string_view text) {
  std::string visible;
  for (char c : text)
    if (static_cast<unsigned char>(c) > 0x20) visible += AsciiLower(c);
  for (const char* cell : {"<td>&nbsp;</td>", "<th>&nbsp;</th>"}) {
    for (std::size_t at = visible.find(cell); at != std::string::npos; at = visible.find(cell, at))
      visible.erase(at + 4, 6);
  }
  return visible;
}

TEST(PreBreakLines, KeepsEveryVisibleByteOfGeneratedPages) {
  for (unsigned seed = 20; seed <= 30; ++seed) {
    const std::string page = bench::GeneratePage(50000, seed);
    ASSERT_EQ(VisibleContent(PreBreakLines(page)), VisibleContent(page)) << "seed " << seed;
    ASSERT_EQ(VisibleContent(LightBreakLines(page)), VisibleContent(page)) << "seed " << seed;
  }
}

TEST(PreBreakLines, KeepsEveryVisibleByteOfRandomTexts) {
  std::mt19937 rng(99);
  const auto alphabet = BreakAlphabet();
  for (int round = 0; round < 2000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 40);
    ASSERT_EQ(VisibleContent(PreBreakLines(text)), VisibleContent(text)) << "text: " << text;
  }
}

// --- Golden pages ---------------------------------------------------------

class PreBreakGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(PreBreakGolden, MatchesExpectedFile) {
  const auto dir = test::TestDataDir() / "prebreak";
  const std::string input = test::ReadFile(dir / "input" / GetParam());
  const std::string expected = test::ReadFile(dir / "expected" / GetParam());
  EXPECT_EQ(PreBreakLines(input), expected);
  EXPECT_EQ(PreBreakLines(input), test::ReferencePreBreakLines(input));
}

INSTANTIATE_TEST_SUITE_P(Pages, PreBreakGolden,
                         ::testing::ValuesIn(test::FileNamesIn(test::TestDataDir() / "prebreak" / "input")),
                         [](const auto& info) { return test::TestNameFrom(info.param); });

}  // namespace
}  // namespace zelm
