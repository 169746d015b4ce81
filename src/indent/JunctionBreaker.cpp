#include "indent/JunctionBreaker.h"

#include <stdexcept>

#include "text/ByteScan.h"
#include "text/SjisScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

std::vector<std::string> Lefts(const std::vector<JunctionRule>& rules) {
  std::vector<std::string> parts;
  for (const auto& rule : rules) parts.push_back(rule.left);
  return parts;
}

std::vector<std::string> Rights(const std::vector<JunctionRule>& rules) {
  std::vector<std::string> parts;
  for (const auto& rule : rules) parts.push_back(rule.right);
  return parts;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The one-scan decision relies on this: the rule's pattern is plain ASCII
// and its only "><" is the junction between its parts.
void CheckRule(const JunctionRule& rule) {
  const std::string pattern = rule.left + rule.right;
  const bool ok = !rule.left.empty() && rule.left.back() == '>' && !rule.right.empty() && rule.right.front() == '<' &&
                  IsAscii(pattern) && pattern.find("><") == rule.left.size() - 1 &&
                  pattern.find("><", rule.left.size()) == npos;
  if (!ok) throw std::invalid_argument("junction rule needs exactly one \"><\" between its parts: " + pattern);
}

// Inserted text must never take part in a later match. A match holds a
// junction, so it cannot lie inside an insert without "<" or ">"; one that
// reaches into an insert from outside holds the insert's first or last byte.
void CheckInserts(const std::vector<JunctionRule>& rules) {
  std::string patternBytes;
  for (const auto& rule : rules) {
    const std::string pattern = rule.left + rule.right;
    patternBytes += SjisLowerCase(pattern) + SjisUpperCase(pattern);  // matched without case
  }
  for (const auto& rule : rules) {
    const std::string& insert = rule.insert;
    if (insert.empty() || insert.find_first_of("<>") != std::string::npos ||
        patternBytes.find(insert.front()) != std::string::npos || patternBytes.find(insert.back()) != std::string::npos)
      throw std::invalid_argument("junction rule inserts text a later rule could match: " + insert);
  }
}

const std::vector<JunctionRule>& Checked(const std::vector<JunctionRule>& rules) {
  if (rules.size() > JunctionBreaker::kMaxRules) throw std::invalid_argument("too many junction rules");
  for (const auto& rule : rules) CheckRule(rule);
  CheckInserts(rules);
  return rules;
}

}  // namespace

JunctionRule JunctionRule::BreakBefore(std::string_view tag) { return {">", std::string(tag), "\r\n"}; }

JunctionRule JunctionRule::BreakAfter(std::string_view tag) { return {std::string(tag), "<", "\r\n"}; }

JunctionBreaker::JunctionBreaker(std::vector<JunctionRule> rules)
    : rules_(std::move(rules)),
      rights_(Rights(Checked(rules_)), PatternTrie::Direction::kForward),
      lefts_(Lefts(rules_), PatternTrie::Direction::kBackward),
      rightRules_(RulesPerNode(rights_)),
      leftRules_(RulesPerNode(lefts_)),
      words_((rules_.size() + 63) / 64),
      afterLt_(rights_.After("<")),
      beforeGt_(lefts_.After(">")) {
  // Both cases of a letter, as the tries compare.
  auto mark = [](bool* table, char c) {
    table[static_cast<unsigned char>(AsciiLower(c))] = true;
    table[static_cast<unsigned char>(AsciiUpper(c))] = true;
  };
  for (const JunctionRule& rule : rules_) {
    if (rule.right.size() > 1) mark(afterRight_, rule.right[1]);
    if (rule.left.size() > 1) mark(beforeLeft_, rule.left[rule.left.size() - 2]);
  }
}

bool JunctionBreaker::MayMatch(std::string_view text, std::size_t junction) const {
  const bool right = junction + 1 < text.size() && afterRight_[static_cast<unsigned char>(text[junction + 1])];
  const bool left = junction >= 2 && beforeLeft_[static_cast<unsigned char>(text[junction - 2])];
  return right || left;
}

std::vector<JunctionBreaker::RuleSet> JunctionBreaker::RulesPerNode(const PatternTrie& trie) {
  std::vector<RuleSet> sets(trie.NodeCount());
  // Parents come before their children, so their sets are complete first.
  for (std::uint32_t node = 1; node < sets.size(); ++node) {
    sets[node] = sets[trie.EndAncestor(node)];
    trie.ReportEnds(node, [&](std::uint32_t id) { sets[node].Add(id); });
  }
  return sets;
}

std::size_t JunctionBreaker::RuleTaking(std::string_view text, std::size_t junction,
                                        const std::vector<std::size_t>& lastEnd) const {
  // The junction is a ">" followed by "<": both walks start past them.
  const std::uint32_t right = rights_.LongestEndNodeStartingAt(text, junction + 1, afterLt_);
  if (right == 0) return kNoRule;
  const std::uint32_t left = lefts_.LongestEndNodeEndingAt(text, junction - 1, beforeGt_);
  if (left == 0) return kNoRule;
  const RuleSet& rightMatches = rightRules_[right];
  const RuleSet& leftMatches = leftRules_[left];

  for (std::size_t w = 0; w < words_; ++w) {
    for (std::uint64_t both = rightMatches.words[w] & leftMatches.words[w]; both != 0; both &= both - 1) {
      const std::size_t id = w * 64 + static_cast<std::size_t>(__builtin_ctzll(both));
      const std::size_t start = junction - rules_[id].left.size();
      if (start < lastEnd[id]) continue;
      if (rules_[id].left.size() > 1 && !IsCharBoundary(text, start)) continue;
      return id;
    }
  }
  return kNoRule;
}

std::string JunctionBreaker::Apply(std::string input) const {
  std::string out;
  if (!ApplyTo(input, out)) return input;
  return out;
}

bool JunctionBreaker::ApplyTo(std::string_view text, std::string& out) const {
  std::size_t copied = 0;  // text before this index is in out
  // Per rule, the end of its last match: a replace-all resumes its search
  // there, so a later match of the same rule must not start before it.
  std::vector<std::size_t> lastEnd(rules_.size(), 0);

  std::size_t known = 0;  // a character starts here
  for (std::size_t gt = FindPair(text, 0, '>', '<'); gt != npos; gt = FindPair(text, gt + 1, '>', '<')) {
    if (!StartsCharacterAfter(text, known, gt)) {
      known = gt + 1;  // the ">" is the second byte of a character
      continue;
    }
    known = gt;
    const std::size_t junction = gt + 1;
    const std::size_t id = RuleAt(text, junction, lastEnd);
    if (id == kNoRule) continue;

    const JunctionRule& rule = rules_[id];
    if (copied == 0) {
      out.clear();
      out.reserve(text.size() + text.size() / 8);
    }
    // The pattern holds no other junction, so nothing was inserted inside
    // its left part and that part is the tail of out.
    out.append(text, copied, junction - copied);
    LowerAsciiRange(out, out.size() - rule.left.size(), out.size());
    out += rule.insert;
    const std::size_t rightAt = out.size();
    out.append(text, junction, rule.right.size());
    LowerAsciiRange(out, rightAt, out.size());
    copied = junction + rule.right.size();
    lastEnd[id] = copied;
  }

  if (copied == 0) return false;
  out.append(text, copied);
  return true;
}

}  // namespace zelm
