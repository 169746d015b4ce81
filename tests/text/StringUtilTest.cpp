#include "text/StringUtil.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

struct SearchCase {
  const char* name;
  std::string sub, text;
  Pos expected;
};

TEST(SjisPos, FindsOnlyOccurrencesAtCharacterBoundaries) {
  const SearchCase cases[] = {
      {"second byte of katakana", "A", "\x83\x41", 0},
      {"ascii", "A", "aA", 2},
      {"after a double-byte char", "A", "\x83\x41" "A", 3},
      {"brace inside ma", "}", Sjis("マ"), 0},
      {"empty sub", "", "abc", 0},
      {"empty text", "a", "", 0},
      {"case-sensitive", "a", "A", 0},
      {"skips a false match and goes on", "\x41", "\x83\x41\x41", 3},
  };
  for (const auto& c : cases) EXPECT_EQ(SjisPos(c.sub, c.text), c.expected) << c.name;
}

TEST(SjisPosFrom, SearchesAfterTheConsumedByte) {
  EXPECT_EQ(SjisPosFrom("a", "aaa", 1), 2u);
  EXPECT_EQ(SjisPosFrom("a", "aaa", 3), 0u);
  EXPECT_EQ(SjisPosFrom("a", "aaa", 0), 1u);
  // Offset on a lead byte: the search resumes after the whole character.
  EXPECT_EQ(SjisPosFrom("A", "\x83\x41" "A", 1), 3u);
}

TEST(PosFromIndex, IsByteWiseFromTheStartIndex) {
  EXPECT_EQ(PosFromIndex("b", "abcb", 3), 4u);
  EXPECT_EQ(PosFromIndex("b", "abcb", 1), 2u);
  EXPECT_EQ(PosFromIndex("b", "abcb", 0), 2u);
  EXPECT_EQ(PosFromIndex("A", "x\x83\x41", 2), 3u);  // ignores boundaries
  EXPECT_EQ(PosFromIndex("", "abc", 2), 0u);
  EXPECT_EQ(PosFromIndex("c", "abc", 9), 0u);
}

TEST(PosNoCase, IgnoresAsciiCaseAndBoundaries) {
  EXPECT_EQ(PosNoCase("DIV", "<div>"), 2u);
  EXPECT_EQ(PosNoCase("a", "\x83\x41"), 2u);
  EXPECT_EQ(PosNoCase("", "abc"), 0u);
  EXPECT_EQ(PosNoCase("abcd", "abc"), 0u);
}

TEST(CountSubStr, CountsWithoutOverlap) {
  EXPECT_EQ(CountSubStr("<br><br>", "<br>"), 2);
  EXPECT_EQ(CountSubStr("aaaa", "aa"), 2);
  EXPECT_EQ(CountSubStr("aaa", "aa"), 1);
  EXPECT_EQ(CountSubStr("abc", ""), 0);
  EXPECT_EQ(CountSubStr(Sjis("マ}}"), "}"), 2);
  // A pattern that ends in a lead byte ends inside a character; the count
  // goes on at the next boundary, not at the character's second byte.
  EXPECT_EQ(CountSubStr("\x90\x90\x02", "\x90"), 1);
  EXPECT_EQ(CountSubStr("a\x83\x83" "a\x83", "a\x83"), 2);
}

struct ReplaceCase {
  const char* name;
  std::string text, old, replacement, expected;
};

TEST(ReplaceAllText, ReplacesLeftToRightWithoutCaseAndWithoutRescan) {
  const ReplaceCase cases[] = {
      {"lower-cases the matched part", "<TD></TD>", "<td></td>", "<td>&nbsp;</td>", "<td>&nbsp;</td>"},
      {"keeps the case between matches", "A<B>c<b>", "<b>", "[x]", "A[x]c[x]"},
      {"no rescan of a replacement", "aa", "a", "aa", "aaaa"},
      {"resumes after the occurrence", "aaa", "aa", "b", "ba"},
      {"empty old", "abc", "", "x", "abc"},
      {"replacement may be empty", "a-b-c", "-", "", "abc"},
      {"not inside a double-byte char", "\x83\x61" "a", "A", "x", "\x83\x61x"},
      {"double-byte chars compare exactly", "\x83\x41", "\x83\x61", "x", "\x83\x41"},
      {"resumes at the boundary after a match ending in a lead byte", "\x90\x90" "a", "\x90", "x", "x\x90" "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReplaceAllText(c.text, c.old, c.replacement), c.expected) << c.name;
}

TEST(ReplaceFirstExact, ReplacesOnlyTheFirstExactOccurrence) {
  EXPECT_EQ(ReplaceFirstExact("a-A-a", "a", "x"), "x-A-a");
  EXPECT_EQ(ReplaceFirstExact("A", "a", "x"), "A");
}

TEST(ReplaceAllExact, ComparesCaseAndResumesAtABoundary) {
  EXPECT_EQ(ReplaceAllExact("aAaA", "a", "x"), "xAxA");
  EXPECT_EQ(ReplaceAllExact("\x83\x61" "a", "a", "x"), "\x83\x61x");
  EXPECT_EQ(ReplaceAllExact("\x90\x90\x90\x90", "\x90", "x"), "x\x90x\x90");
}

TEST(ExtractFirstBetween, ReturnsTheFirstEnclosedText) {
  EXPECT_EQ(ExtractFirstBetween("x[ab]y[cd]", "[", "]"), "ab");
  EXPECT_EQ(ExtractFirstBetween("x[]", "[", "]"), "");
  EXPECT_EQ(ExtractFirstBetween("x[ab", "[", "]"), "");
  EXPECT_EQ(ExtractFirstBetween("xab]", "[", "]"), "");
}

TEST(ListBetween, ListsEveryBlockInTextOrder) {
  std::vector<std::string> list{"stale"};
  EXPECT_EQ(ListBetween("<iframe a></iframe><iframe b></iframe>", "<iframe", "</iframe>", list), 2);
  EXPECT_EQ(list, (std::vector<std::string>{" a>", " b>"}));
  EXPECT_EQ(ListBetween("[a][", "[", "]", list), 1);  // stops at a start marker without an end
  EXPECT_EQ(ListBetween("[][x]", "[", "]", list), 2);
  EXPECT_EQ(list, (std::vector<std::string>{"", "x"}));
}

TEST(DeleteBlocks, DeletesFromTheLeftUntilAStartHasNoEnd) {
  EXPECT_EQ(DeleteBlocks("a/*x*/b/*/c*/d", "/*", "*/"), "abc*/d");
  EXPECT_EQ(DeleteBlocks("a<!--->b", "<!--", "-->"), "ab");
  EXPECT_EQ(DeleteBlocks("a/*b", "/*", "*/"), "a/*b");
  EXPECT_EQ(DeleteBlocks("a/*b*/c/*d", "/*", "*/"), "ac/*d");
  EXPECT_EQ(DeleteFirstBlock("a/*b*/c/*d*/", "/*", "*/"), "ac/*d*/");
}

TEST(DeleteBlocksMB, DeletesOpeningTagsWithTheirAttributes) {
  EXPECT_EQ(DeleteBlocksMB("<thead><tr>", "<thead", ">"), "<tr>");
  EXPECT_EQ(DeleteBlocksMB("<thead class=x><tr>", "<thead", ">"), "<tr>");
  EXPECT_EQ(DeleteBlocksMB("<thead", "<thead", ">"), "<thead");
  // A ">" that is the second byte of a character does not end the block.
  EXPECT_EQ(DeleteBlocksMB("<thead \x83>x>y", "<thead", ">"), "y");
}

TEST(Trim, PlainTrimStripsControlBytesAndSpaces) {
  EXPECT_EQ(PlainTrim(" \t\r\na b\x01 "), "a b");
  EXPECT_EQ(PlainTrim(Sjis("　a　")), Sjis("　a　"));
}

TEST(Trim, ZspVariantsKnowTheFullWidthSpace) {
  EXPECT_EQ(TrimZSP(Sjis("　 ab 　")), "ab");
  EXPECT_EQ(TrimZSP(Sjis("　")), "");
  EXPECT_EQ(TrimLeftZSP(Sjis(" 　a ")), "a ");
  EXPECT_EQ(TrimRightZSP(Sjis(" a　 ")), " a");
  // "＝" is 0x81 0x81; followed by "@" (0x40) the last two bytes are 0x81
  // 0x40 without being a full-width space.
  EXPECT_EQ(TrimRightZSP(Sjis("＝@")), Sjis("＝@"));
  EXPECT_EQ(TrimRightZSP(Sjis("＝@ 　")), Sjis("＝@"));
}

TEST(Trim, TrimWideZSPStopsAtAControlCharacter) {
  EXPECT_EQ(TrimWideZSP(Sjis(" 　a 　\t")), "a");
  EXPECT_EQ(TrimWideZSP(Sjis("　\x01　a")), Sjis("\x01　a"));
  EXPECT_EQ(TrimWideZSP(Sjis("　 　")), "");
}

TEST(Whitespace, CompressSpacesLeavesOneSpacePerRun) {
  EXPECT_EQ(CompressSpaces("a \t  b"), "a b");
  EXPECT_EQ(CompressSpaces("x" + std::string(25, ' ') + "y"), "x y");
  EXPECT_EQ(CompressSpaces(Sjis("a　　b\r\n\r\n")), Sjis("a　　b\r\n\r\n"));
}

TEST(Lines, TrimEachLineDeletesTabsAndTrims) {
  EXPECT_EQ(TrimEachLine("a\tb  \r\n  c"), "ab\r\nc\r\n");
  EXPECT_EQ(TrimEachLine(""), "");
  EXPECT_EQ(TrimEachLine("a\r\n\r\nb"), "a\r\n\r\nb\r\n");
  EXPECT_EQ(TrimEachLineZSP(Sjis("　a\tb 　\r\n c")), "ab\r\nc\r\n");
}

TEST(Lines, RemoveBlankLinesKeepsSpacesOfOtherLines) {
  EXPECT_EQ(RemoveBlankLines("a\r\n \t \r\n\r\nb\t"), "a\r\nb \r\n");
  EXPECT_EQ(RemoveBlankLines(""), "");
}

TEST(Lines, LeadingBlanksGoFromEveryLineAndNothingElseChanges) {
  const struct {
    std::string text, halfWidth, fullWidth;
  } cases[] = {
      {"  a b \r\n\t\tc\n \rd", "a b \r\nc\n\rd", "  a b \r\n\t\tc\n \rd"},
      {Sjis("　　あ　\r\n 　x\r\n"), Sjis("　　あ　\r\n　x\r\n"), Sjis("あ　\r\n 　x\r\n")},
      {"   \r\n\r\n  ", "\r\n\r\n", "   \r\n\r\n  "},
      // "ー" (0x81 0x5B) followed by "@" holds the bytes of a full-width space.
      {"\x81\x5b\x40", "\x81\x5b\x40", "\x81\x5b\x40"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RemoveLeadingHalfWidthBlanks(c.text), c.halfWidth) << c.text;
    EXPECT_EQ(RemoveLeadingFullWidthSpaces(c.text), c.fullWidth) << c.text;
  }
}

TEST(Lines, SplitLinesCutsAtEveryKindOfLineEnd) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (V{"a"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (V{"a", ""}));
  EXPECT_EQ(SplitLines("\n"), (V{""}));
  EXPECT_EQ(SplitLines(""), V{});
  EXPECT_EQ(SplitLines("a\n\rb"), (V{"a", "", "b"}));
}

TEST(Lines, JoinLinesEndsEveryLine) {
  EXPECT_EQ(JoinLines(std::vector<std::string>{"a", "b"}), "a\r\nb\r\n");
  EXPECT_EQ(JoinLines(std::vector<std::string>{}), "");
}

TEST(Lines, NormalizeLineEndsFoldsByteByByte) {
  EXPECT_EQ(NormalizeLineEnds("a\r\r\nb"), "a\r\n\r\nb");
  EXPECT_EQ(NormalizeLineEnds("a\r\rb"), "a\r\nb");
  EXPECT_EQ(NormalizeLineEnds("a\rb\nc"), "a\r\nb\r\nc");
  EXPECT_EQ(NormalizeLineEnds("\r\r\r\n"), "\r\n\r\n");
  // Not Shift_JIS yet: a CR after a lead byte is still a line end.
  EXPECT_EQ(NormalizeLineEnds("\x83\r"), "\x83\r\n");
}

TEST(Numbers, PadAndParse) {
  EXPECT_EQ(ZeroPadInt(7, 3), "007");
  EXPECT_EQ(ZeroPadInt(1234, 3), "1234");
  EXPECT_EQ(SpacePadInt(-5, 3), " -5");
  EXPECT_EQ(SpacePadInt(42, 3), " 42");
  EXPECT_EQ(HexToInt("1G2"), 2);
  EXPECT_EQ(HexToInt("ff"), 255);
  EXPECT_EQ(HexToInt(""), 0);
  EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
  EXPECT_EQ(HexToInt("100000001"), 1);  // wraps around at 32 bits
}

TEST(Case, OnlySingleByteLettersChange) {
  EXPECT_EQ(SjisLowerCase("<DIV>\x83\x41"), "<div>\x83\x41");
  EXPECT_EQ(SjisUpperCase("<div>\x83\x61"), "<DIV>\x83\x61");
}

}  // namespace
}  // namespace zelm
