// The scanning helpers the one-scan passes are built on.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "indent/AnchoredReplace.h"
#include "indent/JunctionBreaker.h"
#include "indent/PatternTrie.h"
#include "indent/SjisScan.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

TEST(IsCharBoundary, AgreesWithAWalkFromTheStart) {
  std::mt19937 rng(11);
  const std::vector<std::string> alphabet{"a", "<", ">", "\x81", "\x83", "\x9f", "\xe0", "\xfc", "\xa0", "\xfd",
                                          "\x40", "\x7f", "\x80", "\xa1", " "};
  for (int round = 0; round < 2000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 30);
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size(); i += SjisCharLength(text, i)) starts[i] = true;
    for (std::size_t p = 0; p < text.size(); ++p) ASSERT_EQ(IsCharBoundary(text, p), starts[p]) << text << " @" << p;
  }
}

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

TEST(JunctionBreaker, RejectsRulesWithoutExactlyOneJunction) {
  const std::vector<JunctionRule> bad[] = {
      {{"<b>", "x", "\r\n"}},          // right part is no tag
      {{"<b", "<i>", "\r\n"}},         // left part does not end a tag
      {{"<b>", "<i><u>", "\r\n"}},     // a second junction
      {{"<b>\x83", "<i>", "\r\n"}},    // not plain ASCII
      {{"<b>", "<i>", ""}},            // the junction would stay a junction
      {{"<b>", "<i>", "<br>"}},        // inserts a new junction
      {{"<b>", "<i>", "b;"}},          // a later match could take the inserted "b"
  };
  for (const auto& rules : bad) EXPECT_THROW(JunctionBreaker{rules}, std::invalid_argument);
  EXPECT_NO_THROW(JunctionBreaker({JunctionRule::BreakBefore("<p"), JunctionRule::BreakAfter("</p>")}));
}

TEST(JunctionBreaker, FirstRuleInListOrderTakesAJunction) {
  const JunctionBreaker breaker({{"</b>", "<i>", "|1|"}, JunctionRule::BreakBefore("<i")});
  EXPECT_EQ(breaker.Apply("</B><I><i>"), "</b>|1|<i>\r\n<i>");
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
