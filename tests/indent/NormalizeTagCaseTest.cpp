// NormalizeTagCase and RewriteCharsetDecl: edge cases and agreement with the
// plain rule-by-rule application.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "ReferencePasses.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/NormalizeTagCase.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

struct PassCase {
  const char* name;
  std::string input, expected;
};

TEST(NormalizeTagCase, LowersListedNamesOnly) {
  const PassCase cases[] = {
      {"lower-case text still loses blank lines and tabs", "<div>\r\n\r\n \t \r\n<p>\tx\r\n",
       "<div>\r\n<p>  x\r\n"},
      {"last line gains a line break", "<p>", "<p>\r\n"},
      {"closing layer tag", "<LAYER>x</LAYER>", "<layer>x</layer>\r\n"},
      {"mixed case", "<Table><tR><Td>", "<table><tr><td>\r\n"},
      {"unlisted tag keeps all but the listed prefix", "<BLINK><BLOCKQUOTE>", "<bLINK><blockquote>\r\n"},
      {"anchor with its space", "<A HREF=\"X\">y</A>", "<a href=\"X\">y</a>\r\n"},
      {"anchor without a space is no listed opening tag", "<A>x</A>", "<A>x</a>\r\n"},
      {"closing nobr needs its >", "<NOBR>x</NOBR></NOBRX", "<nobr>x</nobr></NOBRX\r\n"},
      {"wbr only with its >", "<WBR><WBR/>", "<wbr><WBR/>\r\n"},
      {"style words", "@IMPORT URL(A.CSS)", "@import url(A.CSS)\r\n"},
      {"attribute names and values", "<TD WIDTH=10 ALIGN=\"CENTER\" VALIGN=\"TOP\">",
       "<td width=10 align=\"center\" valign=\"top\">\r\n"},
      {"frame attributes", "<FRAME NORESIZE SCROLLING=NO>", "<frame noresize scrolling=NO>\r\n"},
      // A replace-all never matches inside its previous replacement.
      {"overlapping quoted values", "\"TOP\"TOP\"", "\"top\"TOP\"\r\n"},
      {"a chain of overlapping values: every other one", "\"TOP\"TOP\"TOP\"TOP\"", "\"top\"TOP\"top\"TOP\"\r\n"},
      {"a chain that starts in lower case", "\"top\"TOP\"TOP\"", "\"top\"TOP\"top\"\r\n"},
      {"empty cell filled", "<TD></TD>", "<td>&nbsp;</td>\r\n"},
      {"< that is a second byte starts no tag", "\x83<B>", "\x83<B>\r\n"},
      {"only blank lines", "\r\n \t\r\n", ""},
      {"empty text", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeTagCase(c.input), c.expected) << c.name;
}

std::vector<std::string> TagCaseAlphabet() {
  std::vector<std::string> pieces{"<",     "</",  ">",    " ",   "\t",    "\r\n", "\r\n\r\n", " \r\n", "\"",
                                  "=",     "x",   "\x83", "\x83<", "\x83\"", "\x81\x40", "TOP\"", "\"TOP",
                                  "@IMPORT", " URL(", "<WBR>", "</NOBR>", "<TD></TD>", "<td>", "</TD>", "NOBR",
                                  "\"TOP\"", "\"Left\"", "BORDER\"", "\"BORDER\"", "\"top\"", "\"left\"",
                                  " width=", " url(", std::string(1, '\0'), "\r", "\n", "\x83\t", "\t<TD></td>"};
  for (const std::string& name : test::ReferenceTagNames()) {
    pieces.push_back("<" + name);
    pieces.push_back("</" + name);
    pieces.push_back(SjisLowerCase(name));
  }
  for (const char* word : {" WIDTH=", " HREF=", " CLASS=", " ID=", "\"CENTER\"", "\"BORDER\"", " NORESIZE",
                           " TOPMARGIN=", " COLSPAN=", " Rows="})
    pieces.push_back(word);
  return pieces;
}

TEST(NormalizeTagCase, EqualsTheRuleByRuleApplication) {
  std::mt19937 rng(777);
  const auto alphabet = TagCaseAlphabet();
  for (int round = 0; round < 3000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 60);
    ASSERT_EQ(NormalizeTagCase(text), test::ReferenceNormalizeTagCase(text)) << "text: " << text;
  }
  for (unsigned seed = 1; seed <= 6; ++seed) {
    const std::string page = SjisUpperCase(bench::GeneratePage(30000, seed));
    ASSERT_EQ(NormalizeTagCase(page), test::ReferenceNormalizeTagCase(page)) << "seed " << seed;
  }
}

TEST(NormalizeTagCase, EqualsTheRuleByRuleApplicationOnTestPages) {
  for (const char* unit : {"prebreak", "adjust"}) {
    const auto dir = test::TestDataDir() / unit / "input";
    for (const std::string& name : test::FileNamesIn(dir)) {
      const std::string page = test::ReadFile(dir / name);
      EXPECT_EQ(NormalizeTagCase(page), test::ReferenceNormalizeTagCase(page)) << name;
      EXPECT_EQ(LightBreakLines(page), test::ReferenceLightBreakLines(page)) << name;
      for (int target : {0, 1, 2, 4, 5})
        EXPECT_EQ(RewriteCharsetDecl(page, target), test::ReferenceRewriteCharsetDecl(page, target)) << name;
    }
  }
}

// --- Charset declarations ---------------------------------------------------

struct CharsetCase {
  const char* name;
  int target;
  std::string input, expected;
};

TEST(RewriteCharsetDecl, RewritesDeclarations) {
  const std::string utf8 = "charset=utf-8\"";
  const CharsetCase cases[] = {
      {"two of three declarations of one spelling", 0, utf8 + utf8 + utf8,
       "charset=Shift_JIS\"charset=Shift_JIS\"" + utf8},
      {"single quote", 0, "charset=UTF-8'", "charset=Shift_JIS'"},
      {"spaces around = are left", 0, "charset = UTF-8\"", "charset = UTF-8\""},
      {"other letter case is left", 0, "charset=Utf-8\"", "charset=Utf-8\""},
      {"no quote after the value is left", 0, "charset=euc-jp>", "charset=euc-jp>"},
      {"already Shift_JIS", 0, "charset=Shift_JIS\"", "charset=Shift_JIS\""},
      {"xml declaration", 0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
       "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"},
      {"quoted charset value", 0, "<meta charset=\"utf-8\">", "<meta charset=\"Shift_JIS\">"},
      {"second byte of a character starts no declaration", 0, "\x83" "charset=sjis\"", "\x83" "charset=sjis\""},
      {"euc-jp, any case", 1, " charset=Shift_JIS\" CHARSET=shift_jis\"",
       " charset=euc-jp\" charset=euc-jp\""},
      {"utf-8 meta", 2, "charset=Shift_JIS\"", "charset=UTF-8\""},
      {"utf-8 xml declaration", 2, "encoding=\"Shift_JIS\"?>", "encoding=\"utf-8\"?>"},
      {"utf-8 mismatched quotes", 2, "encoding=\"Shift_JIS'?>", "encoding=\"utf-8'?>"},
      {"utf-8 single quotes become double", 2, "'Shift_JIS' 'Shift_JIS' 'Shift_JIS'",
       "\"UTF-8\" \"UTF-8\" 'Shift_JIS'"},
      {"iso-2022-jp, any case", 4, "charset=SHIFT_JIS\"", "charset=iso-2022-jp\""},
      {"utf-8 without byte-order mark", 5, "charset=Shift_JIS\"x\"shift_jis\"", "charset=utf-8\"x\"utf-8\""},
      {"Shift_JIS itself is no target", 3, "charset=utf-8\"", "charset=utf-8\""},
      {"unknown target", 9, "charset=utf-8\"", "charset=utf-8\""},
      {"negative target", -1, "charset=utf-8\"", "charset=utf-8\""},
  };
  for (const auto& c : cases) EXPECT_EQ(RewriteCharsetDecl(c.input, c.target), c.expected) << c.name;
}

TEST(RewriteCharsetDecl, EqualsTheRuleByRuleApplication) {
  const std::vector<std::string> alphabet{
      "charset=", "encoding=", " ", "\"", "'", "?>", "=", "utf-8", "UTF-8", "sjis", "s_jis", "shift-jis", "x-jis",
      "EUC-JP", "euc-jp", "ISO-2022-JP", "iso-2022-jp", "Shift_JIS", "shift_jis", "SHIFT_JIS", "S-JIS", "chars",
      "et=", "charset", "\x83", "\x83" "c", "<meta ", "x"};
  std::mt19937 rng(2024);
  for (int round = 0; round < 4000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 40);
    for (int target : {0, 1, 2, 4, 5}) {
      ASSERT_EQ(RewriteCharsetDecl(text, target), test::ReferenceRewriteCharsetDecl(text, target))
          << "target " << target << " text: " << text;
    }
  }
}

}  // namespace
}  // namespace zelm
