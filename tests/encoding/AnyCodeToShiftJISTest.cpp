#include "encoding/AnyCodeToShiftJIS.h"

#include <gtest/gtest.h>

#include <random>

#include "EncodingTestSupport.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kEucA = "\xA4\xA2";        // あ in EUC-JP
const std::string kUtf8A = "\xE3\x81\x82";   // あ in UTF-8
const std::string kJisA = "\x1B$B\x24\x22\x1B(B";  // あ in ISO-2022-JP

std::string Head(std::string_view label) {
  return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + std::string(label) +
         ">\r\n</head><body>\r\n";
}

struct ModeCase {
  const char* name;
  std::string input;
  CharCodeIndex code;
  std::string expected;
};

TEST(AnyCodeToShiftJIS, ExplicitCodes) {
  const ModeCase cases[] = {
      {"empty text", "", 1, ""},
      {"1 EUC-JP, line ends folded", "a" + kEucA + "\r\n\r\nb\n", 1, "a" + Sjis("あ") + "\r\nb\r\n"},
      {"2 UTF-8", kUtf8A + "\n\n\n", 2, Sjis("あ") + "\r\n\r\n"},
      {"2 keeps the byte-order mark as ?", kBom + kUtf8A, 2, "?" + Sjis("あ")},
      {"2 goes on when the lenient reader refuses", "\xF0\x9F\x98\x80" + kUtf8A, 2, "?" + Sjis("あ")},
      {"3 returns the bytes unchanged", "a\r\n\r\n\n" + kEucA + "\r", 3, "a\r\n\r\n\n" + kEucA + "\r"},
      {"4 ISO-2022-JP, line ends folded", kJisA + "\r\n\r\n", 4, Sjis("あ") + "\r\n"},
      {"5 drops the byte-order mark", kBom + kUtf8A + "\n", 5, Sjis("あ") + "\r\n"},
      {"5 keeps a ? that is not a byte-order mark", "?" + kUtf8A, 5, "?" + Sjis("あ")},
      {"no such code: unchanged", "a\n\n" + kEucA, 6, "a\n\n" + kEucA},
      {"nothing chosen: unchanged", "a\n\n" + kEucA, -1, "a\n\n" + kEucA},
  };
  for (const auto& c : cases) EXPECT_EQ(AnyCodeToShiftJIS(c.input, c.code).text, c.expected) << c.name;
}

struct AutoCase {
  const char* name;
  std::string input;
  std::string expected;
  CharCodeIndex readAs;
  std::string_view label;
};

TEST(ConvertAutomatically, FollowsTheLabelInTheHead) {
  const AutoCase cases[] = {
      {"Shift_JIS label: bytes kept, line ends folded", Head("Shift_JIS\"") + Sjis("表示") + "\r\n\r\n",
       Head("Shift_JIS\"") + Sjis("表示") + "\r\n", 3, "shift_jis\""},
      {"x-sjis needs no quote", Head("x-sjis") + Sjis("あ"), Head("x-sjis") + Sjis("あ"), 3, "x-sjis"},
      {"EUC-JP label", Head("EUC-JP\"") + kEucA, Head("EUC-JP\"") + Sjis("あ"), 1, "euc-jp\""},
      {"UTF-8 label", Head("utf-8\"") + kUtf8A, Head("utf-8\"") + Sjis("あ"), 2, "utf-8\""},
      {"UTF-8 label with a byte-order mark: no leading ?", kBom + Head("utf-8\"") + kUtf8A,
       Head("utf-8\"") + Sjis("あ"), 2, "utf-8\""},
      {"UTF-8 label on text that is not UTF-8: kept", Head("utf-8\"") + Sjis("ア") + "\r\n\r\n",
       Head("utf-8\"") + Sjis("ア") + "\r\n", 3, "utf-8\""},
      {"ISO-2022-JP label: line ends left alone", Head("iso-2022-jp\"") + kJisA + "\r\n\r\n",
       Head("iso-2022-jp\"") + Sjis("あ") + "\r\n\r\n", 4, "iso-2022-jp\""},
      {"Shift_JIS label wins over EUC-JP", "<head>euc-jp\" shift_jis\"</head>" + Sjis("あ"),
       "<head>euc-jp\" shift_jis\"</head>" + Sjis("あ"), 3, "shift_jis\""},
      {"EUC-JP wins over UTF-8", "<head>utf-8\" euc-jp\"</head>" + kEucA,
       "<head>utf-8\" euc-jp\"</head>" + Sjis("あ"), 1, "euc-jp\""},
      {"UTF-8 wins over ISO-2022-JP", "<head>iso-2022-jp\" utf-8\"</head>" + kUtf8A,
       "<head>iso-2022-jp\" utf-8\"</head>" + Sjis("あ"), 2, "utf-8\""},
      {"a label after </head is ignored", "<head></head><p>euc-jp\"</p>" + kUtf8A,
       "<head></head><p>euc-jp\"</p>" + Sjis("あ"), 2, ""},
      {"without </head the head ends at <link", "<link>euc-jp\"" + kUtf8A, "<link>euc-jp\"" + Sjis("あ"), 2, ""},
      {"without </head and <link it ends at <script", "<SCRIPT>euc-jp\"" + kUtf8A,
       "<SCRIPT>euc-jp\"" + Sjis("あ"), 2, ""},
      {"a label without its closing quote is ignored", Head("euc-jp") + kUtf8A, Head("euc-jp") + Sjis("あ"), 2, ""},
      {"no label, UTF-8", "<p>" + kUtf8A + "\n\n", "<p>" + Sjis("あ") + "\r\n", 2, ""},
      {"no label, not UTF-8: kept", "<p>" + Sjis("ア"), "<p>" + Sjis("ア"), 3, ""},
      {"no label, EUC-JP cannot be told from Shift_JIS: kept", "<p>" + kEucA + "\xB4\xC1",
       "<p>" + kEucA + "\xB4\xC1", 3, ""},
      {"NUL bytes do not end the search", std::string("<head>\0\0", 8) + "euc-jp\"</head>" + kEucA,
       std::string("<head>\0\0", 8) + "euc-jp\"</head>" + Sjis("あ"), 1, "euc-jp\""},
      {"byte-wise: a label right after a lead byte still counts", "<head>\x82" "EUC-JP\"</head>" + kEucA,
       "<head>\x82" "EUC-JP\"</head>" + Sjis("あ"), 1, "euc-jp\""},
      {"UTF-8 with a character beyond U+FFFF is still UTF-8", Head("utf-8\"") + kUtf8A + "\xF0\x9F\x98\x80",
       Head("utf-8\"") + Sjis("あ") + "?", 2, "utf-8\""},
      {"empty text", "", "", 0, ""},
  };
  for (const auto& c : cases) {
    const AutoConversion result = ConvertAutomatically(c.input);
    EXPECT_EQ(result.result.text, c.expected) << c.name;
    EXPECT_EQ(result.readAs, c.readAs) << c.name;
    EXPECT_EQ(result.label, c.label) << c.name;
    EXPECT_EQ(AnyCodeToShiftJIS(c.input, kCharCodeAuto).text, c.expected) << c.name;
  }
}

TEST(ConvertAutomatically, TellsWhenItKeptTextThatIsNotUtf8) {
  EXPECT_TRUE(ConvertAutomatically("<p>" + Sjis("ア")).keptAsIs);
  EXPECT_TRUE(ConvertAutomatically(Head("utf-8\"") + Sjis("ア")).keptAsIs);
  EXPECT_FALSE(ConvertAutomatically("<p>" + kUtf8A).keptAsIs);
  EXPECT_FALSE(ConvertAutomatically(Head("shift_jis\"") + Sjis("ア")).keptAsIs);
}

// A page labelled UTF-8 that is UTF-8 apart from a stray byte is read as
// UTF-8, the byte reported where it stood; a Shift_JIS page with the same
// label is not UTF-8 at all and is kept.
TEST(ConvertAutomatically, ReadsALabelledUtf8PageWithAStrayByteAsUtf8) {
  const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語
  const std::string page = Head("utf-8\"") + "<p>" + japanese + "\xA9" + japanese + "</p>";
  const AutoConversion read = ConvertAutomatically(page);
  EXPECT_EQ(read.readAs, kCharCodeUtf8);
  EXPECT_FALSE(read.keptAsIs);
  const std::string expected = Head("utf-8\"") + "<p>" + Sjis("日本語") + "?" + Sjis("日本語") + "</p>";
  EXPECT_EQ(read.result.text, expected);
  EXPECT_EQ(read.result.loss.count, 1u);
  EXPECT_EQ(read.result.loss.of(LossKind::InvalidSequence), 1u);
  EXPECT_EQ(read.result.loss.firstPos, expected.find('?') + 1);
  // Without the label the page is not taken for UTF-8.
  EXPECT_TRUE(ConvertAutomatically("<p>" + japanese + "\xA9" + japanese + "</p>").keptAsIs);
  // Forced, the same replacement rule: one "?" for the cut-off sequence.
  EXPECT_EQ(AnyCodeToShiftJIS("a\xE6\x97" "b", kCharCodeUtf8).text, "a?b");
  EXPECT_EQ(AnyCodeToShiftJIS("a\xE6\x97" "b", kCharCodeUtf8N).text, "a?b");
}

TEST(ConvertAutomatically, RewritesOtherShiftJisSpellingsInAShiftJisDocument) {
  const std::string head = "<head><meta content=\"charset=x-jis\"><meta content=\"charset=shift_jis\"></head>";
  const std::string newHead = "<head><meta content=\"charset=Shift_JIS\"><meta content=\"charset=shift_jis\"></head>";
  const std::string body = "<p>Shift-JIS\" SHIFT-JIS\" XJIS\" xjis\" X-JIS\" x-Jis\" shift_jis\" xsjis\" x-sjis\"</p>";
  const std::string newBody =
      "<p>Shift_JIS\" Shift_JIS\" Shift_JIS\" Shift_JIS\" Shift_JIS\" Shift_JIS\" shift_jis\" xsjis\" x-sjis\"</p>";
  EXPECT_EQ(ConvertAutomatically(head + body).result.text, newHead + newBody);
  // Only at character boundaries: here the "x" is the second byte of a
  // double-byte character and stays.
  EXPECT_EQ(ConvertAutomatically(head + "\x83" "x-jis\"").result.text, newHead + "\x83" "x-jis\"");
}

TEST(ConvertAutomatically, ReportsCharactersWithoutShiftJisForm) {
  // Blank lines before the loss are folded away; the position follows.
  const std::string text = Head("utf-8\"") + "\n\n\n\n" + kUtf8A + "\xC2\xA0" + "x\xE2\x82\xAC";
  const AutoConversion result = ConvertAutomatically(text);
  const std::string expected = Head("utf-8\"") + "\r\n\r\n" + Sjis("あ") + "?x?";
  ASSERT_EQ(result.result.text, expected);
  EXPECT_EQ(result.result.loss.count, 2u);
  EXPECT_EQ(result.result.loss.firstPos, expected.find('?') + 1);
}

TEST(AnyCodeToShiftJIS, ReportsLossesWithPositionsAfterFolding) {
  struct Case {
    const char* name;
    std::string input;
    CharCodeIndex code;
    std::size_t lost;
  };
  const Case cases[] = {
      {"EUC-JP supplementary character", "a\r\n\r\n\r\n\x8F\xB0\xA1", 1, 1},
      {"UTF-8 no-break spaces", "a\n\n\xC2\xA0\n\xC2\xA0", 2, 2},
      {"UTF-8N", "a\n\n\n\n\xE2\x82\xAC", 5, 1},
      {"ISO-2022-JP line break in double-byte mode", "a\r\n\r\n\x1B$B\x24\x22\r\n", 4, 1},
  };
  for (const auto& c : cases) {
    const Converted result = AnyCodeToShiftJIS(c.input, c.code);
    EXPECT_EQ(result.loss.count, c.lost) << c.name;
    ASSERT_GT(result.loss.firstPos, 0u) << c.name;
    ASSERT_LE(result.loss.firstPos, result.text.size() + 1) << c.name;
    if (c.code != 4) {
      EXPECT_EQ(result.text[result.loss.firstPos - 1], '?') << c.name;
    }
  }
  const Converted jis = AnyCodeToShiftJIS("a\r\n\r\n\x1B$B\x24\x22\r\n", 4);
  EXPECT_EQ(jis.text, "a\r\n" + Sjis("あ"));
  EXPECT_EQ(jis.loss.firstPos, jis.text.size() + 1);
}

TEST(FoldLineEnds, IsTheThreeReplacementsInOnePass) {
  EXPECT_EQ(FoldLineEnds("a\r\n\r\nb\n\n\nc\r\rd\r\n"), "a\r\nb\r\n\r\nc\r\rd\r\n");
  std::mt19937 rng(3);
  const std::vector<std::string> alphabet = {"a", "\r", "\n", "\r\n", "\x81", "\x82\xA0", Sjis("ア"), "?"};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, round % 20);
    ASSERT_EQ(FoldLineEnds(text), test::FoldByReplacing(text)) << text;
    ASSERT_EQ(FoldLineEndsTaking(text), test::FoldByReplacing(text)) << text;
  }
}

// Long texts, mostly of lines that need no folding, with now and then a line
// end that does or a double-byte character in front of a CR.
TEST(FoldLineEnds, LongTextsFoldAsTheReplacementsDo) {
  std::mt19937 rng(11);
  const std::vector<std::string> lines = {"<p>abc</p>\r\n", "x\r\n", Sjis("日本語") + "\r\n", "\x82\xA0\r\n"};
  const std::vector<std::string> odd = {"\n", "\r", "\r\n", "\x81", "\x81\r\n", "\x81\x81\r\n", "\r\r\n", "\n\n"};
  int unchanged = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = test::RandomText(rng, lines, 1 + round % 120);
    for (int k = round % 3; k > 0; --k) text.insert(rng() % (text.size() + 1), odd[rng() % odd.size()]);
    const std::string expected = test::FoldByReplacing(text);
    unchanged += expected == text;
    ASSERT_EQ(FoldLineEndsTaking(text), expected) << text;
    ASSERT_EQ(FoldLineEnds(text), expected) << text;
  }
  EXPECT_GT(unchanged, 500);
}

TEST(FoldLineEnds, MovesATrackedPositionWithItsCharacter) {
  std::mt19937 rng(5);
  const std::vector<std::string> alphabet = {"a", "\r", "\n", "\r\n", "\n\n", Sjis("あ")};
  for (int round = 0; round < 2000; ++round) {
    const std::string before = test::RandomText(rng, alphabet, round % 12);
    const std::string after = test::RandomText(rng, alphabet, round % 7);
    Pos tracked = before.size() + 1;
    const std::string folded = FoldLineEnds(before + "?" + after, &tracked);
    ASSERT_EQ(tracked, FoldLineEnds(before).size() + 1) << before;
    ASSERT_EQ(folded[tracked - 1], '?');
  }
}

TEST(FoldLineEnds, MovesATrackedSecondByteWithItsCharacter) {
  // A "?" for a lost character may stand after a stray lead byte, where
  // the walk takes the two bytes as one character.
  Pos tracked = 5;
  EXPECT_EQ(FoldLineEnds("\n\na\x86?b", &tracked), "\r\na\x86?b");
  EXPECT_EQ(tracked, 5u);
  const Converted euc = AnyCodeToShiftJIS("\n\n\xFF\x86\xBD", kCharCodeEucJp);
  EXPECT_EQ(euc.text, "\r\n\xFF\x86?");
  EXPECT_EQ(euc.loss.firstPos, 5u);
}

TEST(AnyCodeToShiftJIS, MakesNoNulByteFromTextWithoutOne) {
  struct Case {
    const char* name;
    std::string input;
    CharCodeIndex code;
    std::string expected;
  };
  const Case cases[] = {
      {"no label: bytes read as NUL by the lenient reader are kept", "a\x80\x80" "b", 0, "a\x80\x80" "b"},
      {"utf-8: the strict reader marks them", "a\xC0\x80" "b", 2, "a??b"},
      {"euc-jp: a lead byte before a control byte", "\xBA\x02", 1, "?\x02"},
      {"iso-2022-jp: a cell byte beyond the set", "\x1B$B\x24\x82\x1B(Bx", 4, "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(AnyCodeToShiftJIS(c.input, c.code).text, c.expected) << c.name;
}

}  // namespace
}  // namespace zelm
