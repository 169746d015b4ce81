// The label readers search the bytes without making lower-cased copies, and
// the Shift_JIS path rewrites and folds in single scans; the plain versions
// must decide and write the same on real pages, generated pages and random
// texts.
#include <gtest/gtest.h>

#include <random>

#include "EncodingTestSupport.h"
#include "PageGenerator.h"
#include "ReferenceDetection.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

std::vector<std::string> SampleTexts() {
  std::vector<std::string> texts;
  for (const std::string& name : test::PageNames()) texts.push_back(test::ReadPage(name));
  for (unsigned seed = 1; seed <= 4; ++seed) texts.push_back(bench::GeneratePage(40000, seed));
  return texts;
}

// Label fragments, markers of the head's end, their near misses in both
// cases, line ends and lead bytes.
std::vector<std::string> LabelPieces() {
  return {"charset=", "CHARSET=", "<meta charset=", "<META CHARSET=", "\"", "'", "shift_jis", "SHIFT_JIS",
          "shift-jis", "Shift-JIS", "x-sjis", "xsjis", "x-jis", "XJIS", "xjis", "jis", "x-", "x", "-", "euc-jp",
          "EUC-JP", "utf-8", "UTF-8", "iso-2022", "iso-2022-jp", "<body", "<BODY", "<script", "<SCRIPT", ">",
          "</head", "</HEAD", "<link", "<LINK", "<", " ", "\r\n", "\n", "\r", "\x83", "\x82\xa0", "\x83x",
          std::string(1, '\0'), "a"};
}

std::vector<std::string> RandomTexts(unsigned seed, int count) {
  std::mt19937 rng(seed);
  const std::vector<std::string> pieces = LabelPieces();
  std::vector<std::string> texts;
  for (int round = 0; round < count; ++round) texts.push_back(test::RandomText(rng, pieces, rng() % 40));
  return texts;
}

void ExpectSameDetection(const std::string& text) {
  ASSERT_EQ(GetCharCodeFromMeta(text), test::ReferenceGetCharCodeFromMeta(text)) << text;
  const test::ReferenceAutoLabel label = test::ReferenceAutomaticLabel(text);
  const AutoConversion automatic = ConvertAutomatically(text);
  if (text.empty()) return;
  ASSERT_EQ(automatic.label, label.label) << text;
  if (label.shiftJis) {
    ASSERT_EQ(automatic.readAs, kCharCodeShiftJis) << text;
    ASSERT_EQ(automatic.result.text, test::FoldByReplacing(test::ReferenceRewriteShiftJisLabels(text))) << text;
  }
}

TEST(DetectionEquivalence, SamplePages) {
  for (const std::string& text : SampleTexts()) ExpectSameDetection(text);
}

TEST(DetectionEquivalence, RandomTexts) {
  for (const std::string& text : RandomTexts(21, 20000)) ExpectSameDetection(text);
}

TEST(DetectionEquivalence, ShiftJisLabelsRewrittenLikeThreeReplaceAlls) {
  for (const std::string& text : RandomTexts(22, 20000))
    ASSERT_EQ(RewriteShiftJisLabels(text), test::ReferenceRewriteShiftJisLabels(text)) << text;
  for (const std::string& text : SampleTexts())
    ASSERT_EQ(RewriteShiftJisLabels(text), test::ReferenceRewriteShiftJisLabels(text));
}

TEST(DetectionEquivalence, FoldingMovesTrackedPositionsLikeTheCharacterWalk) {
  std::mt19937 rng(23);
  const std::vector<std::string> pieces{"a", "\r", "\n", "\r\n", "\n\n", "\x81", "\x82\xa0", "\x83\n", "\x83\r", "?"};
  for (int round = 0; round < 20000; ++round) {
    const std::string text = test::RandomText(rng, pieces, rng() % 16);
    Pos tracked = 1 + rng() % (text.size() + 2), expected = tracked;
    const std::string reference = test::ReferenceFoldLineEnds(text, &expected);
    ASSERT_EQ(FoldLineEnds(text, &tracked), reference) << text;
    ASSERT_EQ(tracked, expected) << text;
    ASSERT_EQ(FoldLineEnds(text), reference) << text;
  }
  for (const std::string& text : SampleTexts()) {
    Pos tracked = text.size() / 2, expected = tracked;
    ASSERT_EQ(FoldLineEnds(text, &tracked), test::ReferenceFoldLineEnds(text, &expected));
    ASSERT_EQ(tracked, expected);
  }
}

}  // namespace
}  // namespace zelm
