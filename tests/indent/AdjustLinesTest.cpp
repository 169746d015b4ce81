// AdjustLines: splitting body lines, keeping comments, head and the text
// after the body as written, joining closing lines, and losing nothing.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/NormalizeTagCase.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

struct AdjustCase {
  const char* name;
  std::string input, expected;
};

// The lines inside a body, as input and as the expected output.
std::string InBody(const std::string& lines) { return "<body>\r\n" + lines + "</body>\r\n"; }

TEST(AdjustLines, SplitsBodyLinesOnce) {
  const AdjustCase cases[] = {
      {"split at the last listed tag", InBody("<td><div>x</div>\r\n"), InBody("<td><div>x\r\n</div>\r\n")},
      {"a tag at the start is no split point", InBody("<table border=1>\r\n"), InBody("<table border=1>\r\n")},
      {"split then joined again", InBody("<div>x</div>\r\n"), InBody("<div>x</div>\r\n")},
      {"closing script without an opening one", InBody("x = 1;</script>\r\n"), InBody("x = 1;\r\n</script>\r\n")},
      {"closing script after an opening one", InBody("<script>x</script>\r\n"), InBody("<script>x</script>\r\n")},
      {"paragraph split after its first >", InBody("<p>text<b>x</b>\r\n"), InBody("<p>\r\ntext<b>x</b>\r\n")},
      {"paragraph that closes stays", InBody("<p>text</p>\r\n"), InBody("<p>text</p>\r\n")},
      {"paragraph start without >", InBody("<p class=x\r\n"), InBody("<p class=x\r\n")},
      {"text line emitted raw", InBody("  text\t\r\n"), InBody("  text\t\r\n")},
      {"tag line trimmed", InBody(" \t<br>  \r\n"), InBody("<br>\r\n")},
      {"full-width spaces trimmed", InBody(Sjis("　<br>　") + "\r\n"), InBody("<br>\r\n")},
      {"gap of 16 spaces folded", InBody("<b>" + std::string(16, ' ') + "<i>\r\n"), InBody("<b><i>\r\n")},
      {"gap of 17 spaces kept", InBody("<b>" + std::string(17, ' ') + "<i>\r\n"),
       InBody("<b>" + std::string(17, ' ') + "<i>\r\n")},
      {"list item joined with its closing line", InBody("<li>\r\n</li>\r\n"), InBody("<li></li>\r\n")},
      {"line holding > joined", InBody("<img src=x\r\n   >  \r\n"), InBody("<img src=x>\r\n")},
      {"joined line not examined again", InBody("<td>\r\n</td>\r\n</td>\r\n"), InBody("<td></td>\r\n</td>\r\n")},
      {"cell that closes is not joined", InBody("<td>a</td>\r\n</td>\r\n"), InBody("<td>a</td>\r\n</td>\r\n")},
      {"heading with its own level", InBody("<h2>\r\n</h2>\r\n<h2>\r\n</h3>\r\n"),
       InBody("<h2></h2>\r\n<h2>\r\n</h3>\r\n")},
      {"closing line must match exactly", InBody("<li>\r\n</LI>\r\n"), InBody("<li>\r\n</LI>\r\n")},
      {"blank lines dropped", InBody("<br>\r\n \r\n\r\n<br>\r\n"), InBody("<br>\r\n<br>\r\n")},
  };
  for (const auto& c : cases) EXPECT_EQ(AdjustLines(c.input), c.expected) << c.name;
}

TEST(AdjustLines, KeepsCommentsHeadAndTrailerAsWritten) {
  const AdjustCase cases[] = {
      {"lines inside a comment are raw", InBody("<!-- a\r\n  <td><div>x</div>\r\n  -->\r\n"),
       InBody("<!-- a\r\n  <td><div>x</div>\r\n  -->\r\n")},
      {"one-line comment trimmed", InBody("  <!-- a -->  \r\n"), InBody("<!-- a -->\r\n")},
      {"head text raw, head tags trimmed", "<head>\r\n  var x;\r\n  <title>t</title>\r\n</head>\r\n",
       "<head>\r\n  var x;\r\n<title>t</title>\r\n</head>\r\n"},
      {"after the body everything raw", "</body>\r\n  <div>x</div>\r\n", "</body>\r\n  <div>x</div>\r\n"},
      {"outside head and body: tags trimmed, text raw", "  <html>\r\n  abc\r\n", "<html>\r\n  abc\r\n"},
      {"no split outside the body", "<td><div>x</div>\r\n", "<td><div>x</div>\r\n"},
      {"empty text", "", ""},
      {"only blank lines", " \r\n\t\r\n", ""},
      {"last line gains a line break", "<br>", "<br>\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(AdjustLines(c.input), c.expected) << c.name;
}

// The visible characters of a text in order: no bytes <= 0x20 and no
// full-width spaces.
std::string VisibleCharacters(std::string_view text) {
  std::string visible;
  for (std::string_view line : SplitLines(text)) {
    for (std::size_t i = 0; i < line.size();) {
      const std::size_t len = SjisCharLength(line, i);
      const std::string_view ch = line.substr(i, len);
      if (!(len == 1 && static_cast<unsigned char>(ch[0]) <= 0x20) && ch != "\x81\x40") visible += ch;
      i += len;
    }
  }
  return visible;
}

TEST(AdjustLines, KeepsEveryVisibleCharacterOfGeneratedPages) {
  for (unsigned seed = 1; seed <= 10; ++seed) {
    const std::string page = PreBreakLines(NormalizeTagCase(bench::GeneratePage(60000, seed)));
    const std::string adjusted = AdjustLines(page);
    ASSERT_EQ(VisibleCharacters(adjusted), VisibleCharacters(page)) << "seed " << seed;
  }
}

// Byte-wise, for texts that need not be valid Shift_JIS: trimming may cut a
// character whose second byte is a blank, and the full-width space bytes
// 0x81 0x40 are not counted.
std::string VisibleBytes(std::string_view text) {
  std::string visible;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b > 0x20 && b != 0x81 && b != 0x40) visible += c;
  }
  return visible;
}

TEST(AdjustLines, KeepsEveryVisibleByteOfArbitraryBytes) {
  std::mt19937 rng(5);
  const std::vector<std::string> alphabet{"<p", "<td", "</div", "<div>", "<!--", "-->", "<body", "</body", "<head>",
                                          "</head>", ">", "\r\n", "\r", "\n", " ", "\t", "\x83", "\x81", "\x81\x40",
                                          "</script", "<script", "</p>", "x", std::string(1, '\0')};
  for (int round = 0; round < 2000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 50);
    const std::string adjusted = AdjustLines(text);
    ASSERT_EQ(VisibleBytes(adjusted), VisibleBytes(text)) << "text: " << text;
  }
}

class AdjustGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(AdjustGolden, MatchesExpectedFile) {
  const auto dir = test::TestDataDir() / "adjust";
  const std::string input = test::ReadFile(dir / "input" / GetParam());
  EXPECT_EQ(AdjustLines(input), test::ReadFile(dir / "expected" / GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Pages, AdjustGolden,
                         ::testing::ValuesIn(test::FileNamesIn(test::TestDataDir() / "adjust" / "input")),
                         [](const auto& info) { return test::TestNameFrom(info.param); });

}  // namespace
}  // namespace zelm
