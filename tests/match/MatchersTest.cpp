// The general matchers: the pattern trie and the anchored replace-all.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "match/AnchoredReplace.h"
#include "match/PatternTrie.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

TEST(PatternTrie, FindsEveryPatternAtAPositionWithoutCase) {
  const PatternTrie forward({"<t", "<td", "<TD>", "<tr"}, PatternTrie::Direction::kForward);
  std::vector<std::uint32_t> found;
  forward.ForEachStartingAt("x<Td>", 1, [&](std::uint32_t id) { found.push_back(id); });
  EXPECT_EQ(found, (std::vector<std::uint32_t>{0, 1, 2}));

  const PatternTrie backward({">", "</td>", "d>"}, PatternTrie::Direction::kBackward);
  found.clear();
  backward.ForEachEndingAt("a</TD><", 6, [&](std::uint32_t id) { found.push_back(id); });
  EXPECT_EQ(found, (std::vector<std::uint32_t>{0, 2, 1}));

  found.clear();
  forward.ForEachStartingAt("<t\x83", 0, [&](std::uint32_t id) { found.push_back(id); });
  EXPECT_EQ(found, (std::vector<std::uint32_t>{0}));
}

TEST(AnchoredReplace, EqualsReplaceAllText) {
  const std::pair<std::string, std::string> rules[] = {
      {">\r\n</a>", "></a>"}, {"</div></div>", "</div>\r\n</div>\r\n"}, {"aXa-", "-"}, {"\"TOP\"", "x"}};
  std::mt19937 rng(8);
  for (const auto& [old, replacement] : rules) {
    const AnchoredReplace replace(old, replacement);
    std::vector<std::string> alphabet{old, SjisUpperCase(old), "\x83", ">", "<", "\r\n", "a", "-", "\"", "x"};
    for (std::size_t k = 1; k < old.size(); ++k) {
      alphabet.push_back(old.substr(0, k));
      alphabet.push_back(old.substr(k));
    }
    for (int round = 0; round < 2000; ++round) {
      const std::string text = test::RandomText(rng, alphabet, 1 + round % 30);
      ASSERT_EQ(replace.Apply(text), ReplaceAllText(text, old, replacement)) << old << " in " << text;
    }
  }
  EXPECT_THROW(AnchoredReplace("abc", "x"), std::invalid_argument);
}

}  // namespace
}  // namespace zelm
