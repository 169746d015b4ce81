// The one-scan breaker of the junction rules checks its own preconditions.
#include "indent/JunctionBreaker.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zelm {
namespace {

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

}  // namespace
}  // namespace zelm
