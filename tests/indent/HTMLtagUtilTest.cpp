#include "indent/HTMLtagUtil.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

struct PredicateCase {
  std::string line;
  bool expected;
};

TEST(IsBlockTag, JudgesTheTagThatStartsTheLine) {
  const PredicateCase cases[] = {
      {"</table>", true},
      {"<div class=\"box\">", true},
      {"</div>", true},
      {"  <div>", false},  // callers trim first
      {"text<div>", false},
      {"<header>", true},
      {"<head>", false},
      {"<h6>", true},
      {"<figcaption>", true},
      {"<svg width=\"9\">", true},
      {"<g>", true},
      {"<track>", true},  // names match as prefixes
      {"<p>", false},
      {"<td>", false},
      {"<li>", false},
      {"<span>", false},
      {"<span></span>", false},
      {"<span></div>", false},  // judged by the first tag only
      {"<DIV>", false},         // case-sensitive
      {"div", true},            // a bare tag head without "<"
      {"<div", true},
      {"", false},
      {"<", false},
      {"</", false},
      {"<>", false},
      {Sjis("日<div>"), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsBlockTag(c.line), c.expected) << c.line;
}

TEST(HasInnerBlockTag, CountsOnlyFirstOccurrencesFromTheThirdByte) {
  const PredicateCase cases[] = {
      {"text</div>", true},
      {"<div>", false},
      {" <div>", false},
      {"ab<div>", true},  // the third byte
      {"a<div>", false},
      {Sjis("日<div>"), true},  // positions are bytes
      {"<div>text<div>", false},  // only the first "<div" counts
      {"<div>text</div>", true},
      {"<h6>x", false},
      {"x</h6>", false},  // the second byte
      {"xx</h6>", true},
      {"xx<h6>", true},
      {"xx<h1>", true},
      {"x<svg>x<g>x<figcaption>", false},
      {"x<p>y</p>", false},
      {"xxnoscript", true},
      {"</noscript>", true},  // the bare word stands at the third byte
      {"<noscript>", false},
      {Sjis("xxハoscript"), false},  // "n" is the second byte of the kana
      {"xx<track>", true},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasInnerBlockTag(c.line), c.expected) << c.line;
}

TEST(ReplaceInDivCloseLines, ReplacesOnlyInLinesThatCloseWithoutOpening) {
  const std::string text =
      "</div><!-- a -->\r\n"
      "<div></div><!-- a -->\r\n"
      "<p><!-- a --></p>\r\n"
      "  </DIV></div> <!-- A -->\n"
      "</div>";
  EXPECT_EQ(ReplaceInDivCloseLines(text, "<!-- a -->", "<!-- b -->"),
            "</div><!-- b -->\r\n"
            "<div></div><!-- a -->\r\n"
            "<p><!-- a --></p>\r\n"
            "  </DIV></div> <!-- b -->\r\n"
            "</div>\r\n");
}

TEST(ReplaceInDivCloseLines, EmptyTextGivesEmptyText) {
  EXPECT_EQ(ReplaceInDivCloseLines("", "a", "b"), "");
}

}  // namespace
}  // namespace zelm
