// Line breaking before the level pass: whitespace between tags is folded and
// line breaks are put before and after a chosen set of tags.
//
// The break rules are an ordered list of whole-text replacements. Runs of
// rules that only act at a ">" "<" junction are applied together in one scan
// (see JunctionBreaker); the few rules of another shape run as replace-alls
// of their own between those runs, so the order of the list is kept. Where
// the rules between allow it, several such stages share one scan
// (BreakersAroundRuns, BreakStages::PlanShortcut).
#include "indent/BreakLines.h"

#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "indent/JunctionBreaker.h"
#include "indent/TagWhitespace.h"
#include "match/AnchoredReplace.h"
#include "text/SjisScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

enum class RuleKind {
  kBefore,   // ">" + a becomes ">", CR LF, a
  kAfter,    // a + "<" becomes a, CR LF, "<"
  kBetween,  // a + b becomes a, CR LF, b
  kFill,     // a + b becomes a, "&nbsp;", b
  kReplace,  // a becomes b
  kRuns,     // four a in a row, then three, then two: each a followed by CR LF
};

struct BreakRule {
  RuleKind kind;
  std::string_view a;
  std::string_view b = {};
};

using enum RuleKind;

constexpr BreakRule kBreakRules[] = {
    // Comments and the body.
    {kBefore, "<!--"}, {kAfter, "-->"}, {kBefore, "<body"}, {kBefore, "</body>"},
    // An anchor's closing tag is pulled back onto the line.
    {kReplace, ">\r\n</a>", "></a>"},
    {kBefore, "<area"}, {kBefore, "</area>"}, {kAfter, "</area>"},
    // Empty cells get a non-breaking space.
    {kFill, "<td>", "</td>"}, {kFill, "<th>", "</th>"},
    {kBefore, "<button"}, {kBefore, "<blockquote"}, {kBefore, "</blockquote"}, {kAfter, "</blockquote>"},
    {kBefore, "<dt"}, {kAfter, "</dt>"},
    {kBefore, "<form"}, {kBefore, "</form"}, {kAfter, "</form>"},
    {kBefore, "<fieldset"}, {kBefore, "</fieldset"}, {kAfter, "</fieldset>"},
    {kBefore, "<h1"}, {kBefore, "</h1"}, {kAfter, "</h1>"},
    {kBefore, "<h2"}, {kBefore, "</h2"}, {kAfter, "</h2>"},
    {kBefore, "<h3"}, {kBefore, "</h3"}, {kAfter, "</h3>"},
    {kBefore, "<h4"}, {kBefore, "</h4"}, {kAfter, "</h4>"},
    {kBefore, "<h5"}, {kBefore, "</h5"}, {kAfter, "</h5>"},
    {kBefore, "<h6"}, {kBefore, "</h6"}, {kAfter, "</h6>"},
    {kBefore, "<head"}, {kAfter, "</head>"},
    {kBefore, "<del"}, {kBefore, "</del>"}, {kAfter, "</del>"},
    {kBefore, "<dl"}, {kBefore, "</dl"}, {kAfter, "</dl>"},
    {kBefore, "<ins"}, {kBefore, "</ins>"}, {kAfter, "</ins>"},
    {kBefore, "<input"}, {kBefore, "<li"}, {kAfter, "</li>"},
    {kBefore, "<map"}, {kBefore, "</map>"}, {kAfter, "</map>"},
    {kBefore, "<object"}, {kBefore, "</object"}, {kAfter, "</object>"},
    {kBefore, "<ol"}, {kBefore, "</ol"}, {kAfter, "</ol>"},
    {kBefore, "<option"}, {kBefore, "</option"}, {kAfter, "</option>"},
    {kBefore, "<param"},
    {kBefore, "<pre"}, {kBefore, "</pre"}, {kAfter, "</pre>"},
    {kBefore, "<td>"}, {kBetween, "</td>", "</tr>"}, {kBetween, "</tr>", "<tr>"},
    {kBefore, "<select"}, {kBefore, "</select"}, {kAfter, "</select>"},
    {kBefore, "<thead>"}, {kBefore, "</thead>"}, {kBefore, "<tbody>"}, {kBefore, "</tbody>"},
    {kBefore, "<tfoot>"}, {kBefore, "</tfoot>"},
    {kBefore, "<ul"}, {kBefore, "</ul"}, {kAfter, "</ul>"},
    {kBefore, "<label"},
    {kBefore, "<script"}, {kBefore, "</script>"}, {kAfter, "<noscript>"}, {kBefore, "<noscript"},
    {kBefore, "</noscript>"}, {kAfter, "</noscript>"}, {kBefore, "</script"}, {kAfter, "</script>"},
    {kBefore, "<table"}, {kAfter, "<table>"}, {kBefore, "</table>"}, {kAfter, "</table>"},
    {kBefore, "<tr"}, {kAfter, "<tr>"}, {kBefore, "</tr"}, {kAfter, "</tr>"},
    {kBefore, "<th"}, {kAfter, "</th>"}, {kBefore, "<td"}, {kAfter, "</td>"},
    {kBefore, "<header"}, {kBefore, "</header"}, {kAfter, "</header>"},
    {kBefore, "<footer"}, {kBefore, "</footer"}, {kAfter, "</footer>"},
    {kBefore, "<section"}, {kBefore, "</section"}, {kAfter, "</section>"},
    {kBefore, "<nav"}, {kBefore, "</nav"}, {kAfter, "</nav>"},
    {kBefore, "<article"}, {kBefore, "</article"}, {kAfter, "</article>"},
    {kBefore, "<aside"}, {kBefore, "</aside"}, {kAfter, "</aside>"},
    {kBefore, "<hgroup"}, {kBefore, "</hgroup"}, {kAfter, "</hgroup>"},
    {kBefore, "<figure"}, {kBefore, "</figure"}, {kAfter, "</figure>"},
    {kBefore, "<figcaption"}, {kAfter, "</figcaption>"},
    {kBefore, "<main"}, {kBefore, "</main"}, {kAfter, "</main>"},
    // Runs of closing divs: each tag of a run of four, then three, then two
    // gets its own line.
    {kRuns, "</div>"},
    {kBefore, "<div"}, {kBefore, "</div"}, {kAfter, "</div>"},
};

constexpr BreakRule kLightBreakRules[] = {{kBefore, "<!--"}, {kAfter, "-->"}};

// How far each pass folds: ">" pulled up over at most this many spaces, and
// gaps of at most this many spaces between tags.
constexpr std::size_t kPullUpSpaces = 11;
constexpr std::size_t kFoldedGap = 36;
constexpr std::size_t kLightFoldedGap = 24;

// The text a rule matches as a whole.
std::string PatternOf(const BreakRule& rule) {
  switch (rule.kind) {
    case kBefore: return ">" + std::string(rule.a);
    case kAfter: return std::string(rule.a) + "<";
    case kBetween:
    case kFill: return std::string(rule.a) + std::string(rule.b);
    case kReplace: return std::string(rule.a);
    case kRuns: return std::string(rule.a) + std::string(rule.a);
  }
  return {};
}

template <std::size_t N>
std::vector<LineBreakReach> ReachOfRules(const BreakRule (&rules)[N]) {
  std::vector<LineBreakReach> reach;
  for (const BreakRule& rule : rules)
    for (LineBreakReach& spanning : ReachOfPattern(PatternOf(rule))) reach.push_back(std::move(spanning));
  return reach;
}

// Room for a text and the line breaks the rules put into it.
std::size_t WithRoom(std::size_t size) { return size + size / 4; }

JunctionRule ToJunctionRule(const BreakRule& rule) {
  switch (rule.kind) {
    case kBefore: return JunctionRule::BreakBefore(rule.a);
    case kAfter: return JunctionRule::BreakAfter(rule.a);
    case kBetween: return {std::string(rule.a), std::string(rule.b), "\r\n"};
    case kFill: return {std::string(rule.a), std::string(rule.b), "&nbsp;"};
    case kReplace:
    case kRuns: break;
  }
  return {};
}

// The replace-alls of four `tag` in a row, then three, then two, each by the
// same tags with CR LF after every one, in one scan. The first replaces the
// blocks of four of a run of the tag from its start, the next two find only
// what is left at its end: three or two tags, or a single one, which no rule
// takes. So in a run of two or more every tag gets a line break after it,
// except the last one of a run of 4k + 1.
class ClosingTagRuns {
 public:
  explicit ClosingTagRuns(std::string_view tag) : tag_(SjisLowerCase(tag)) {
    if (tag_.size() < 3 || tag_.substr(0, 2) != "</" || tag_.back() != '>')
      throw std::invalid_argument("not a closing tag");
  }

  // As JunctionBreaker::ApplyTo.
  bool ApplyTo(std::string_view text, std::string& out) const {
    std::size_t copied = 0;  // text before this is in out, and no run starts before it
    std::size_t start = 0, count = 0;
    for (std::size_t gt = FindPair(text, 0, '>', '<'); gt != std::string_view::npos;
         gt = FindPair(text, gt + 1, '>', '<')) {
      if (!RunAt(text, gt, copied, start, count)) continue;
      if (copied == 0) {
        out.clear();
        out.reserve(text.size() + text.size() / 8);
      }
      out.append(text, copied, start - copied);
      AppendRun(text, start, count, 0, out);
      copied = start + count * TagSize();
      gt = copied - 1;
    }
    if (copied == 0) return false;
    out.append(text, copied);
    return true;
  }

  // Is the ">" at index gt the first junction of a run of two or more tags,
  // starting at a character boundary no earlier than `resume`? A run holds
  // the junction "></" between its first two tags.
  bool RunAt(std::string_view text, std::size_t gt, std::size_t resume, std::size_t& start, std::size_t& count) const {
    const std::size_t size = tag_.size();
    if (gt + 2 >= text.size() || text[gt + 2] != '/') return false;
    if (gt + 1 < resume + size || !IsTagAt(text, gt + 1) || !IsTagAt(text, gt + 1 - size)) return false;
    start = gt + 1 - size;
    if (!IsCharBoundary(text, start)) return false;
    count = 2;
    while (IsTagAt(text, start + count * size)) ++count;
    return true;
  }

  // Writes the run found by RunAt, but for its first `done` bytes (which a
  // rule before has written, in lower case, already).
  void AppendRun(std::string_view text, std::size_t start, std::size_t count, std::size_t done,
                 std::string& out) const {
    const std::size_t size = tag_.size();
    for (std::size_t k = 0; k < count; ++k) {
      if (k + 1 == count && KeepsLast(count)) {
        out.append(text, start + k * size, size);  // left over: no rule takes it
      } else {
        out.append(tag_, k == 0 ? done : 0);
        out += "\r\n";
      }
    }
  }

  // Does the last tag of a run of `count` stay without a line break?
  static bool KeepsLast(std::size_t count) { return count % 4 == 1; }

  const std::string& Tag() const { return tag_; }
  std::size_t TagSize() const { return tag_.size(); }

 private:
  // The tag, letters compared without case, at byte index at.
  bool IsTagAt(std::string_view text, std::size_t at) const {
    if (at > text.size() || text.size() - at < tag_.size()) return false;
    for (std::size_t i = 0; i < tag_.size(); ++i)
      if (AsciiLower(text[at + i]) != tag_[i]) return false;
    return true;
  }

  std::string tag_;  // in lower case
};

// A breaker, the runs of a closing tag and a second breaker, in one scan
// with the result of running them one after another. The breaker before the
// runs takes no junction inside a run (checked when built), and no rule
// matches across a line break that one of them puts in, so each junction is
// decided on the text as it was: by the breaker before the runs; failing
// that, by the runs when a run starts there; failing that, by the breaker
// after them unless a run has put a line break there.
class BreakersAroundRuns {
 public:
  BreakersAroundRuns(JunctionBreaker before, ClosingTagRuns runs, JunctionBreaker after)
      : before_(std::move(before)), runs_(std::move(runs)), after_(std::move(after)) {
    // A rule that could meet the tag on both sides of a junction could take
    // one inside a run.
    const std::string& tag = runs_.Tag();
    auto meets = [](std::string_view part, std::string_view tagSide, bool atEnd) {
      const std::string lower = SjisLowerCase(part);
      const std::size_t n = std::min(lower.size(), tagSide.size());
      return atEnd ? lower.substr(lower.size() - n) == tagSide.substr(tagSide.size() - n)
                   : lower.substr(0, n) == tagSide.substr(0, n);
    };
    for (const JunctionRule& rule : before_.Rules()) {
      if (meets(rule.left, tag, true) && meets(rule.right, tag, false))
        throw std::logic_error("a rule before the runs could break inside one: " + rule.left + rule.right);
    }
    // No pattern may take up what a breaker or the runs put in: a line
    // break, or text that starts and ends with bytes no pattern holds.
    std::string patternBytes = SjisLowerCase(tag) + SjisUpperCase(tag);
    std::vector<std::string> inserts{"\r\n"};
    for (const JunctionBreaker* breaker : {&before_, &after_}) {
      for (const JunctionRule& rule : breaker->Rules()) {
        const std::string pattern = rule.left + rule.right;
        patternBytes += SjisLowerCase(pattern) + SjisUpperCase(pattern);
        inserts.push_back(rule.insert);
      }
    }
    for (const std::string& insert : inserts)
      if (insert.empty() || patternBytes.find(insert.front()) != std::string::npos ||
          patternBytes.find(insert.back()) != std::string::npos)
        throw std::logic_error("a rule could take up inserted text: " + insert);
  }

  // The same scan with the rules of `first` before those of the breaker
  // before the runs: a breaker with both lists decides a junction as the two
  // one after the other do, since each rule keeps its own last match.
  BreakersAroundRuns WithFirst(const JunctionBreaker& first) const {
    std::vector<JunctionRule> rules = first.Rules();
    rules.insert(rules.end(), before_.Rules().begin(), before_.Rules().end());
    return BreakersAroundRuns(JunctionBreaker(std::move(rules)), runs_, after_);
  }

  bool ApplyTo(std::string_view text, std::string& out) const {
    constexpr std::size_t npos = std::string_view::npos;
    constexpr std::size_t kNoRule = JunctionBreaker::kNoRule;
    std::vector<std::size_t> beforeEnds(before_.RuleCount(), 0), afterEnds(after_.RuleCount(), 0);
    Writer writer{text, out};
    std::size_t runEnd = 0;            // where the last run ends
    std::size_t brokenJunction = npos;  // the junction after it, when the run put a line break there
    std::size_t known = 0;             // a character starts here
    std::size_t start = 0, count = 0;
    for (std::size_t gt = FindPair(text, 0, '>', '<'); gt != npos; gt = FindPair(text, gt + 1, '>', '<')) {
      if (!StartsCharacterAfter(text, known, gt)) {
        known = gt + 1;  // the ">" is the second byte of a character; so is no run's
        continue;
      }
      known = gt;
      const std::size_t junction = gt + 1;
      if (const std::size_t id = before_.RuleAt(text, junction, beforeEnds); id != kNoRule) {
        beforeEnds[id] = writer.Match(before_.Rule(id), junction);
        continue;
      }
      if (runs_.RunAt(text, gt, runEnd, start, count)) {
        writer.Run(runs_, start, count);
        runEnd = start + count * runs_.TagSize();
        brokenJunction = ClosingTagRuns::KeepsLast(count) ? npos : runEnd;
        gt = runEnd - 2;  // the junction after the run comes next
        known = runEnd - 1;
        continue;
      }
      if (junction == brokenJunction) continue;
      if (const std::size_t id = after_.RuleAt(text, junction, afterEnds); id != kNoRule)
        afterEnds[id] = writer.Match(after_.Rule(id), junction);
    }
    return writer.Finish();
  }

 private:
  // Writes the result as the rules decide, copying the text between.
  struct Writer {
    std::string_view text;
    std::string& out;
    std::size_t copied = 0;    // text before this is in out
    std::size_t inserted = 0;  // out before this holds inserted text
    bool started = false;

    void Start() {
      if (started) return;
      started = true;
      out.clear();
      out.reserve(text.size() + text.size() / 8);
    }

    // Puts the rule's insert at the junction and writes its matched parts in
    // lower case (the part of the left one after the last insert: a run's
    // tags are written so already). Returns where the match ends.
    std::size_t Match(const JunctionRule& rule, std::size_t junction) {
      Start();
      out.append(text, copied, junction - copied);
      const std::size_t leftAt = out.size() >= rule.left.size() ? out.size() - rule.left.size() : 0;
      LowerAsciiRange(out, std::max(leftAt, inserted), out.size());
      out += rule.insert;
      inserted = out.size();
      out.append(text, junction, rule.right.size());
      LowerAsciiRange(out, inserted, out.size());
      copied = junction + rule.right.size();
      return copied;
    }

    // A rule may have written the start of the run's first tag already.
    void Run(const ClosingTagRuns& runs, std::size_t start, std::size_t count) {
      Start();
      const std::size_t done = copied > start ? copied - start : 0;
      if (copied < start) out.append(text, copied, start - copied);
      runs.AppendRun(text, start, count, done, out);
      copied = start + count * runs.TagSize();
      // A kept last tag is text again; otherwise the run ends in an insert.
      inserted = ClosingTagRuns::KeepsLast(count) ? out.size() - runs.TagSize() : out.size();
    }

    bool Finish() {
      if (!started) return false;
      out.append(text, copied);
      return true;
    }
  };

  JunctionBreaker before_;
  ClosingTagRuns runs_;
  JunctionBreaker after_;
};

// The rule list as stages: a JunctionBreaker for every run of junction
// rules, a scan of its own for every other rule; breakers on both sides of
// the closing tag runs share one scan with them.
class BreakStages {
 public:
  template <std::size_t N>
  explicit BreakStages(const BreakRule (&rules)[N]) {
    BuildStages(rules);
    PlanShortcut();
  }

  // Each stage writes into the buffer the stage before it read from, so a
  // page takes two buffers however many stages change it. With several
  // stages, both get room for the line breaks to come (see CopyWithRoom), so
  // that neither has to grow.
  std::string Apply(std::string text) const {
    std::string spare;
    if (stages_.size() > 1) spare.reserve(WithRoom(text.size()));
    std::size_t next = 0;
    if (shortcut_ && NoneOccurs(text, shortcutBlockers_)) {
      if (stages_[1].replace->ApplyTo(text, spare)) text.swap(spare);
      if (shortcut_->ApplyTo(text, spare)) text.swap(spare);
      next = 3;
    }
    for (; next < stages_.size(); ++next) {
      const Stage& stage = stages_[next];
      bool changed = false;
      if (stage.breaker) changed = stage.breaker->ApplyTo(text, spare);
      else if (stage.replace) changed = stage.replace->ApplyTo(text, spare);
      else if (stage.runs) changed = stage.runs->ApplyTo(text, spare);
      else changed = stage.fused->ApplyTo(text, spare);
      if (changed) text.swap(spare);
    }
    return text;
  }

 private:
  template <std::size_t N>
  void BuildStages(const BreakRule (&rules)[N]) {
    std::vector<JunctionRule> pending;
    auto flush = [&] {
      if (pending.empty()) return;
      JunctionBreaker breaker(std::move(pending));
      pending.clear();
      const std::size_t n = stages_.size();
      if (n >= 2 && stages_[n - 2].breaker && stages_[n - 1].runs) {
        BreakersAroundRuns fused(std::move(*stages_[n - 2].breaker), std::move(*stages_[n - 1].runs),
                                 std::move(breaker));
        stages_.resize(n - 2);
        stages_.push_back({std::nullopt, std::nullopt, std::nullopt, std::move(fused)});
        return;
      }
      stages_.push_back({std::move(breaker), std::nullopt, std::nullopt, std::nullopt});
    };
    for (const BreakRule& rule : rules) {
      if (rule.kind == kReplace) {
        flush();
        stages_.push_back(
            {std::nullopt, AnchoredReplace(std::string(rule.a), std::string(rule.b)), std::nullopt, std::nullopt});
      } else if (rule.kind == kRuns) {
        flush();
        stages_.push_back({std::nullopt, std::nullopt, ClosingTagRuns(rule.a), std::nullopt});
      } else {
        pending.push_back(ToJunctionRule(rule));
      }
    }
    flush();
  }

  // A breaker, a replace that joins two tags across a line break, and a
  // fused scan. The replace can run first, and the breaker join the scan,
  // when the breaker neither makes a line break the replace then takes out
  // nor finds a junction the replace makes. A breaker rule that could meet
  // the part of the replace's pattern after the line break does either only
  // where the text holds its left part followed by that part (with the line
  // break between, for a junction the replace makes; without, for a line
  // break the rule puts in).
  void PlanShortcut() {
    if (stages_.size() < 3 || !stages_[0].breaker || !stages_[1].replace || !stages_[2].fused) return;
    const std::string old = SjisLowerCase(stages_[1].replace->Old());
    const std::size_t lineBreak = old.find("\r\n");
    if (lineBreak == std::string::npos || lineBreak == 0 || old[lineBreak - 1] != '>') return;
    const std::string after = old.substr(lineBreak + 2);
    if (after.empty() || after[0] != '<') return;
    std::vector<std::string> blockers;
    const JunctionBreaker& breaker = *stages_[0].breaker;
    for (std::size_t id = 0; id < breaker.RuleCount(); ++id) {
      const JunctionRule& rule = breaker.Rule(id);
      if (rule.insert.find_first_of("\r\n") != std::string::npos && rule.insert != "\r\n") return;
      const std::string right = SjisLowerCase(rule.right);
      const std::size_t n = std::min(right.size(), after.size());
      if (right.compare(0, n, after, 0, n) != 0) continue;
      const std::string left = SjisLowerCase(rule.left);
      blockers.push_back(left + "\r\n" + after);
      if (rule.insert == "\r\n") blockers.push_back(left + after);
    }
    shortcut_ = stages_[2].fused->WithFirst(breaker);
    shortcutBlockers_ = std::move(blockers);
  }

  // Does none of the (lower-case) texts occur, letters compared without case?
  static bool NoneOccurs(std::string_view text, const std::vector<std::string>& lowerTexts) {
    for (const std::string& lower : lowerTexts) {
      const PatternProbe probe(lower, /*anyCase=*/true);
      for (std::size_t at = probe.Next(text, 0); at != std::string_view::npos; at = probe.Next(text, at + 1)) {
        std::size_t k = 0;
        while (k < lower.size() && AsciiLower(text[at + k]) == lower[k]) ++k;
        if (k == lower.size()) return false;
      }
    }
    return true;
  }

  struct Stage {
    std::optional<JunctionBreaker> breaker;
    std::optional<AnchoredReplace> replace;
    std::optional<ClosingTagRuns> runs;
    std::optional<BreakersAroundRuns> fused;
  };
  std::vector<Stage> stages_;
  std::optional<BreakersAroundRuns> shortcut_;  // the first three stages in one scan
  std::vector<std::string> shortcutBlockers_;    // texts that rule the shortcut out
};

// A copy to work on, with room for the line breaks to come: the stages then
// write into it without growing it.
std::string CopyWithRoom(std::string_view text) {
  std::string copy;
  copy.reserve(WithRoom(text.size()));
  copy.assign(text);
  return copy;
}

}  // namespace

std::string PreBreakLines(std::string_view text) {
  static const BreakStages stages(kBreakRules);
  std::string folded = TabsToSpaces(CopyWithRoom(text));
  folded = PullUpLineStartBrackets(std::move(folded), kPullUpSpaces);
  folded = FoldGapsBetweenTags(std::move(folded), kFoldedGap);
  return stages.Apply(std::move(folded));
}

std::string LightBreakLines(std::string_view text) {
  static const BreakStages stages(kLightBreakRules);
  return stages.Apply(FoldGapsBetweenTags(TabsToSpaces(std::string(text)), kLightFoldedGap));
}

// Folding gaps between tags never meets a line break (its gaps are
// spaces); the rest is in the tables.
std::vector<LineBreakReach> PreBreakLinesReach() {
  std::vector<LineBreakReach> reach = LineStartBracketsReach(kPullUpSpaces);
  for (LineBreakReach& rule : ReachOfRules(kBreakRules)) reach.push_back(std::move(rule));
  return reach;
}

std::vector<LineBreakReach> LightBreakLinesReach() { return ReachOfRules(kLightBreakRules); }

}  // namespace zelm
