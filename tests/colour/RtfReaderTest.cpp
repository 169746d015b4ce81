#include "colour/RtfReader.h"

#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "colour/ColourTestSupport.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::ColourDocument;
using test::WithCrLfLineEnds;

constexpr std::uint32_t kBlack = 0x000000, kRed = 0x0000FF, kBlue = 0xFF0000, kFuchsia = 0xFF00FF,
                        kGreen = 0x008000, kMaroon = 0x000080;

// The runs lie end to end over the whole text and neighbours differ.
void ExpectRunsCoverText(const RtfText& read) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < read.runs.size(); ++i) {
    const RtfRun& run = read.runs[i];
    ASSERT_EQ(run.start, at) << "run " << i;
    ASSERT_GT(run.length, 0u) << "run " << i;
    if (i > 0) {
      ASSERT_FALSE(run.color == read.runs[i - 1].color && run.bold == read.runs[i - 1].bold) << "run " << i;
    }
    at += run.length;
  }
  ASSERT_EQ(at, read.text.size());
}

void ExpectRoundTrip(const std::string& text) {
  const RtfText read = ReadRTF(ColourDocument(text));
  ASSERT_EQ(read.text, WithCrLfLineEnds(text));
  ExpectRunsCoverText(read);
}

TEST(RtfReader, ReadsTheWritersTablesTextAndRuns) {
  const RtfText read = ReadRTF(ColourDocument("<P>a<Foo x=\"1\">&amp;\r\n<!-- c -->"));
  ASSERT_EQ(read.fonts.size(), 1u);
  EXPECT_EQ(read.fonts[0].faceName, "Courier New");
  EXPECT_EQ(read.fonts[0].charSet, 128);
  ASSERT_EQ(read.colorTable.size(), 12u);
  EXPECT_EQ(read.colorTable[7], kFuchsia);
  EXPECT_EQ(read.text, "<P>a<Foo x=\"1\">&amp;\r\n<!-- c -->");
  const std::vector<RtfRun> expected{
      {0, 1, kFuchsia, false},   // <
      {1, 1, kRed, false},       // P
      {2, 1, kFuchsia, false},   // >
      {3, 1, kBlue, false},      // a
      {4, 1, kFuchsia, false},   // <
      {5, 3, kBlack, true},      // Foo
      {8, 1, kBlue, false},      // blank
      {9, 1, kRed, false},       // x
      {10, 1, kFuchsia, false},  // =
      {11, 3, kGreen, false},    // "1"
      {14, 1, kFuchsia, false},  // >
      {15, 5, kBlack, false},    // &amp; and the paragraph mark in its colour
      {20, 2, kBlack, false},
      {22, 10, kMaroon, false},  // <!-- c -->
  };
  // The paragraph mark takes the formatting in force at "\par"; neighbours
  // of one colour are one run.
  std::vector<RtfRun> merged;
  for (const RtfRun& run : expected) {
    if (!merged.empty() && merged.back().color == run.color && merged.back().bold == run.bold)
      merged.back().length += run.length;
    else
      merged.push_back(run);
  }
  EXPECT_EQ(read.runs, merged);
}

TEST(RtfReader, PairsBytesOnlyInAShiftJisFont) {
  // In a Shift_JIS font the lead byte takes the "\" after it along; in any
  // other font the "\" starts a control symbol.
  const std::string sjis = "{\\rtf1{\\fonttbl{\\f0\\fmodern\\fcharset128 A;}{\\f1\\froman\\fcharset0 B;}}\\f0 \x83\\}x";
  EXPECT_EQ(ReadRTF(sjis).text, "\x83\\");
  const std::string latin = "{\\rtf1{\\fonttbl{\\f0\\fmodern\\fcharset128 A;}{\\f1\\froman\\fcharset0 B;}}\\f1 \x83\\}x}";
  EXPECT_EQ(ReadRTF(latin).text, "\x83}x");
  // A font the table does not name reads byte by byte.
  EXPECT_EQ(ReadRTF("{\\rtf1\\f5 \x83\\{}").text, "\x83{");
}

TEST(RtfReader, PairsLeadBytesWhereverTheTextLies) {
  // Lead bytes before a "\", with the text starting at every offset around
  // the document's blocks of 64 bytes and the pair near the document's end:
  // an odd run takes the "\" along (and the "}" after it closes the
  // document), an even one leaves "\}" an escaped brace. In a font without
  // the Shift_JIS character set every byte stands alone.
  const std::string fonts = "{\\rtf1{\\fonttbl{\\f0\\fcharset128 J;}{\\f1\\fcharset0 L;}}";
  for (std::size_t pad = 0; pad < 140; ++pad) {
    for (std::size_t leads = 0; leads < 6; ++leads) {
      for (const std::string& tail : {std::string("x}"), std::string("x" + std::string(40, 'y') + "}")}) {
        const std::string text = std::string(pad, 'a') + std::string(leads, '\x81');
        SCOPED_TRACE(testing::Message() << pad << " bytes, " << leads << " lead bytes, tail " << tail.size());
        const std::string body = text + "\\}" + tail;
        const std::string escapedBrace = text + "}" + tail.substr(0, tail.size() - 1);
        EXPECT_EQ(ReadRTF(fonts + "\\f0 " + body).text, leads % 2 == 1 ? text + "\\" : escapedBrace);
        EXPECT_EQ(ReadRTF(fonts + "\\f1 " + body).text, escapedBrace);
        if (HasFailure()) return;
      }
    }
  }
}

TEST(RtfReader, ReadsEscapesGroupsAndParagraphs) {
  struct Case {
    const char* name;
    std::string document;
    std::string text;
  };
  const Case cases[] = {
      {"escaped specials", "{\\rtf1 a\\\\b\\{c\\}}", "a\\b{c}"},
      {"hex byte", "{\\rtf1 \\'83\\'41x}", "\x83\x41x"},
      {"bad hex is dropped", "{\\rtf1 \\'zz}", "zz"},
      {"bare line ends are layout", "{\\rtf1 a\r\nb\nc\r}", "abc"},
      {"paragraphs", "{\\rtf1 a\\par b\\par\\par c}", "a\r\nb\r\n\r\nc"},
      {"closing paragraph mark", "{\\rtf1 a\\par\\par }", "a\r\n"},
      {"backslash line end is a paragraph", "{\\rtf1 a\\\r\nb}", "a\r\nb"},
      {"tab", "{\\rtf1 a\\tab b}", "a\tb"},
      {"delimiting blank", "{\\rtf1\\cf1  x\\b1 y\\b0\\cf2 z}", " xyz"},
      {"negative parameter", "{\\rtf1\\li-20 x}", "x"},
      {"skipped destination", "{\\rtf1 a{\\*\\generator me;}b{\\info{\\title t}}c}", "abc"},
      {"text after the document", "{\\rtf1 a}b", "a"},
      {"unbalanced close", "{\\rtf1 a}}}", "a"},
      {"unclosed group", "{\\rtf1 a{\\b b", "ab"},
      {"trailing backslash", "{\\rtf1 a\\", "a"},
      {"not RTF at all", "plain {\\b text}", "plain {\\b text}"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadRTF(c.document).text, c.text) << c.name;
}

TEST(RtfReader, GroupsRestoreColourAndWeight) {
  const RtfText read = ReadRTF(
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf1 a{\\cf2\\b b}c\\b d\\plain e\\cf9 f}");
  ASSERT_EQ(read.colorTable, (std::vector<std::uint32_t>{0, kRed, kBlue}));
  EXPECT_EQ(read.text, "abcdef");
  EXPECT_EQ(read.runs, (std::vector<RtfRun>{
                           {0, 1, kRed, false},
                           {1, 1, kBlue, true},
                           {2, 1, kRed, false},
                           {3, 1, kRed, true},
                           {4, 2, kBlack, false},  // plain; an entry past the table is black
                       }));
}

TEST(RtfReader, EveryPrefixOfADocumentReadsSafely) {
  const std::string document = ColourDocument("<p class=\"a\">\x83\x5c{x}</p>\r\n<!-- \x81");
  for (std::size_t n = 0; n <= document.size(); ++n) {
    const RtfText read = ReadRTF(std::string_view(document).substr(0, n));
    ExpectRunsCoverText(read);
  }
}

// --- Round trip -----------------------------------------------------------------

TEST(RtfRoundTrip, SmallTextsWithTheAwkwardBytes) {
  const std::string texts[] = {
      "",
      "\r\n",
      "a",
      "<p>a\r\n",
      "<p>\\{}</p>",
      test::Sjis("<p>ソ表能</p>\r\n"),
      "<x \x83\r\n",
      ">\x83",
      "\x83",
      "\x81\x5c\x5c\\",
      "<!-- \x9f\r\n-->\r\n",
      "a\rb\nc\r\n\r\r\n\n",
      "<a href=\"\x83\">\x83<b>",
      "\x81\x7b\x81\x7d}{",
      std::string(100000, 'x') + "\x83",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text.substr(0, 40)));
    ExpectRoundTrip(text);
  }
}

TEST(RtfRoundTrip, GeneratedPagesComeBackByteForByte) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    const std::string page = bench::GeneratePage(seed == 8 ? (std::size_t{1} << 20) : 40000, seed);
    ASSERT_EQ(page, WithCrLfLineEnds(page));  // the pages have CR LF line ends
    SCOPED_TRACE(seed);
    ExpectRoundTrip(page);
  }
}

TEST(RtfRoundTrip, RealPagesComeBack) {
  const auto folder = test::TestDataDir() / "pages";
  for (const std::string& name : test::FileNamesIn(folder)) {
    const std::string page = test::ReadFile(folder / name);
    if (page.find('\0') != std::string::npos) continue;  // a NUL ends every document
    SCOPED_TRACE(name);
    ExpectRoundTrip(page);
  }
}

TEST(RtfRoundTrip, RandomByteStrings) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> anyByteButNul(1, 255);
  const std::vector<std::string> alphabet{
      "<", ">", "=", "\"", "&", "&amp;", "<!--", "-->", "<%", "%>", "\r", "\n", "\r\n", "\t", " ",
      "a", "p", "/", "\\", "{", "}", "\x83", "\x81", "\x5c", "\x7b", "\x7d", "\xe0", "\xfc", "\xa0", "\x7f",
  };
  for (int round = 0; round < 4000; ++round) {
    std::string bytes(static_cast<std::size_t>(round % 97), ' ');
    for (char& c : bytes) c = static_cast<char>(anyByteButNul(rng));
    ExpectRoundTrip(bytes);
    ExpectRoundTrip(test::RandomText(rng, alphabet, static_cast<std::size_t>(round % 50)));
    if (HasFatalFailure()) {
      ADD_FAILURE() << "round " << round;
      return;
    }
  }
}

}  // namespace
}  // namespace zelm
