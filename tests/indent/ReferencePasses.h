// Plain rule-by-rule versions of the whole-text passes: every rule is one
// whole-text replacement, applied in list order. The engine's one-scan
// versions must give exactly the same bytes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelm::test {

using Rule = std::pair<std::string, std::string>;  // every occurrence of first becomes second

// The break rules of PreBreakLines after the whitespace rules, in order.
const std::vector<Rule>& ReferenceBreakRules();

std::string ReferencePreBreakLines(std::string_view text);
std::string ReferenceLightBreakLines(std::string_view text);
std::string ReferenceNormalizeTagCase(std::string_view text);
std::string ReferenceRewriteCharsetDecl(std::string_view text, int target);

// Tag names NormalizeTagCase lowers, for building test texts.
const std::vector<std::string>& ReferenceTagNames();

}  // namespace zelm::test
