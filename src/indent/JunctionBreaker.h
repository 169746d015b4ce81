// Runs an ordered list of "break at the junction" rules over a text in one
// scan, with exactly the result of applying them one after another as
// whole-text replacements (letters matched without case, occurrences at
// character boundaries, left to right, replaced text never rescanned).
//
// A junction is a ">" directly followed by "<". Every rule matches a pattern
// left + right that holds exactly one junction, between its two parts, puts
// its insert text (a line break, or "&nbsp;" for an empty cell) there and
// writes the matched pattern in lower case. Because a rule only ever changes
// its own junction, and a junction that has received text is no junction any
// more, the rules can be decided junction by junction from left to right:
// the first rule in list order that matches at a junction wins it, unless
// that rule's previous match still overlaps (a replace-all never matches
// inside its own last replacement).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "match/PatternTrie.h"

namespace zelm {

struct JunctionRule {
  std::string left;    // ends with ">"
  std::string right;   // starts with "<"
  std::string insert;  // put between them

  // ">" + P becomes ">", CR LF, P.
  static JunctionRule BreakBefore(std::string_view tag);
  // P + "<" becomes P, CR LF, "<".
  static JunctionRule BreakAfter(std::string_view tag);
};

class JunctionBreaker {
 public:
  // Throws std::invalid_argument for a rule whose pattern does not hold
  // exactly one junction between its parts, whose insert a later match could
  // use, or for more rules than fit.
  explicit JunctionBreaker(std::vector<JunctionRule> rules);

  // Hands the text back untouched when no rule matches.
  std::string Apply(std::string text) const;

  // Writes the result into `out` (its old content goes, its memory is
  // reused) and returns true; returns false, with `out` in an unspecified
  // state, when no rule matches and the text stays as it is.
  bool ApplyTo(std::string_view text, std::string& out) const;

  static constexpr std::size_t kMaxRules = 256;
  static constexpr std::size_t kNoRule = static_cast<std::size_t>(-1);

  // For scans that combine a breaker with other rules, one junction at a
  // time: the rule that takes the junction (the index of its "<"), given the
  // end of each rule's last match so far (RuleCount() entries, 0 at first,
  // kept up to date by the caller), or kNoRule.
  std::size_t RuleAt(std::string_view text, std::size_t junction, const std::vector<std::size_t>& lastEnd) const {
    return MayMatch(text, junction) ? RuleTaking(text, junction, lastEnd) : kNoRule;
  }
  const JunctionRule& Rule(std::size_t id) const { return rules_[id]; }
  const std::vector<JunctionRule>& Rules() const { return rules_; }
  std::size_t RuleCount() const { return rules_.size(); }

 private:
  struct RuleSet {
    std::uint64_t words[kMaxRules / 64] = {};
    void Add(std::uint32_t id) { words[id / 64] |= std::uint64_t{1} << (id % 64); }
  };

  // Per trie node, the rules whose part ends there or at a node above it:
  // all the rules whose part a walk that gets that deep has found.
  static std::vector<RuleSet> RulesPerNode(const PatternTrie& trie);

  // The first rule in list order whose whole pattern matches at the
  // junction and whose previous match lies before it; every later rule then
  // no longer finds the junction.
  std::size_t RuleTaking(std::string_view text, std::size_t junction, const std::vector<std::size_t>& lastEnd) const;

  // Can a rule match at a junction with these neighbours: the byte after
  // its "<" and the byte before its ">"? A rule whose right part is a bare
  // "<" needs its left part, one whose left part is a bare ">" its right
  // part; so most junctions are settled by these two bytes.
  bool MayMatch(std::string_view text, std::size_t junction) const;

  std::vector<JunctionRule> rules_;
  PatternTrie rights_;  // forward over the right parts
  PatternTrie lefts_;   // backward over the left parts
  std::vector<RuleSet> rightRules_, leftRules_;  // indexed by node
  std::size_t words_ = 0;                // the words of a RuleSet that hold rules
  PatternTrie::Walk afterLt_;            // the right parts' walk past the junction's "<"
  PatternTrie::Walk beforeGt_;           // the left parts' walk back past its ">"
  bool afterRight_[256] = {};            // bytes that follow "<" in a right part longer than "<"
  bool beforeLeft_[256] = {};            // bytes that precede ">" in a left part longer than ">"
};

}  // namespace zelm
