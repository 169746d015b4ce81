// The one-pass block functions must give exactly what the plain loops give:
// search the start marker again from the beginning after every deletion.
#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// --- Direct transcriptions of the loops, on naive searches ----------------

// First occurrence at a boundary at or after the 0-based index from0.
Pos NaivePos(std::string_view sub, std::string_view text, std::size_t from0) {
  if (sub.empty()) return 0;
  for (std::size_t i = 0; i + sub.size() <= text.size(); i += SjisCharLength(text, i))
    if (i >= from0 && text.substr(i, sub.size()) == sub) return i + 1;
  return 0;
}

Pos NaiveSjisPosFrom(std::string_view sub, std::string_view text, Pos offset) {
  return NaivePos(sub, text, offset);  // boundaries after the consumed byte
}

Pos NaivePosFromIndex(std::string_view sub, std::string_view text, Pos start) {
  if (sub.empty()) return 0;
  if (start <= 1) return NaivePos(sub, text, 0);
  for (std::size_t i = start - 1; i + sub.size() <= text.size(); ++i)
    if (text.substr(i, sub.size()) == sub) return i + 1;
  return 0;
}

std::string ReferenceDeleteBlocks(std::string text, std::string_view start, std::string_view end, bool mb) {
  if (start.empty() || end.empty()) return text;
  Pos p = NaivePos(start, text, 0);
  while (p > 0) {
    const Pos e = mb ? NaiveSjisPosFrom(end, text, p + start.size() - 1)
                     : NaivePosFromIndex(end, text, p + start.size() - 1);
    if (e == 0) break;
    text.erase(p - 1, e + end.size() - p);
    p = NaivePos(start, text, 0);
  }
  return text;
}

std::vector<std::string> ReferenceListBetween(std::string text, std::string_view start, std::string_view end) {
  std::vector<std::string> list;
  while (NaivePos(start, text, 0) > 0) {
    const Pos p = NaivePos(start, text, 0);
    const Pos delEnd = NaivePosFromIndex(end, text, p + start.size());
    if (delEnd == 0) break;  // no progress is possible
    const Pos e = NaiveSjisPosFrom(end, text, p + start.size() - 1);
    list.push_back(e == 0 ? std::string() : text.substr(p - 1 + start.size(), e - p - start.size()));
    text.erase(p - 1, delEnd + end.size() - p);
  }
  return list;
}

struct MarkerPair {
  std::string start, end;
};

class BlockEquivalence : public ::testing::TestWithParam<MarkerPair> {};

// Texts built from marker fragments, so that markers overlap, straddle the
// junction of a deletion and sit on the second byte of characters.
TEST_P(BlockEquivalence, OnePassEqualsTheRepeatedSearchOnRandomTexts) {
  const MarkerPair& markers = GetParam();
  std::vector<std::string> alphabet{markers.start, markers.end, "a", "\x83", "\x83\x41", "\x82\xa0", "<", ">",
                                    "-",           "*",         "/", "!",    "\x81",     "x"};
  for (std::size_t k = 1; k < markers.start.size(); ++k) alphabet.push_back(markers.start.substr(0, k));
  for (std::size_t k = 1; k < markers.start.size(); ++k) alphabet.push_back(markers.start.substr(k));
  std::mt19937 rng(20261208);
  for (int round = 0; round < 3000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 40);
    ASSERT_EQ(DeleteBlocks(text, markers.start, markers.end),
              ReferenceDeleteBlocks(text, markers.start, markers.end, false))
        << "text: " << text;
    ASSERT_EQ(DeleteBlocksMB(text, markers.start, markers.end),
              ReferenceDeleteBlocks(text, markers.start, markers.end, true))
        << "text: " << text;
    std::vector<std::string> list;
    const int count = ListBetween(text, markers.start, markers.end, list);
    ASSERT_EQ(list, ReferenceListBetween(text, markers.start, markers.end)) << "text: " << text;
    ASSERT_EQ(count, static_cast<int>(list.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(Markers, BlockEquivalence,
                         ::testing::Values(MarkerPair{"/*", "*/"}, MarkerPair{"<!--", "-->"},
                                           MarkerPair{"<thead", ">"}, MarkerPair{"<", ">"},
                                           MarkerPair{"\x83\x41", "A"}, MarkerPair{"a", "a"},
                                           MarkerPair{"<<!", "!>"}),
                         [](const auto& info) { return "Pair" + std::to_string(info.index); });

TEST(BlockFunctions, ThousandsOfBlocksAndJunctionMarkers) {
  // "<!" + "<!--x-->" + "--y-->" : deleting the inner block joins "<!" and
  // "--" into a new start marker, again and again.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "<!";
  for (int i = 0; i < 2000; ++i) text += "<!--x-->--y-->";
  text += "tail";
  EXPECT_EQ(DeleteBlocks(text, "<!--", "-->"), ReferenceDeleteBlocks(text, "<!--", "-->", false));
  EXPECT_EQ(DeleteBlocks(text, "<!--", "-->"), "tail");
}

}  // namespace
}  // namespace zelm
