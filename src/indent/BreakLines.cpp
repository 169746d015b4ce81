// Line breaking before the level pass: whitespace between tags is folded and
// line breaks are put before and after a chosen set of tags.
//
// The break rules are an ordered list of whole-text replacements. Runs of
// rules that only act at a ">" "<" junction are applied together in one scan
// (see JunctionBreaker); the few rules of another shape run as replace-alls
// of their own between those runs, so the order of the list is kept.
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "indent/AnchoredReplace.h"
#include "indent/IndentUtil.h"
#include "indent/JunctionBreaker.h"
#include "indent/SjisScan.h"
#include "indent/TagWhitespace.h"
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
    const std::size_t size = tag_.size();
    std::size_t copied = 0;  // text before this is in out, and no run starts before it
    // A run of two or more holds the junction "></" between its first two tags.
    for (std::size_t gt = FindPair(text, 0, '>', '<'); gt != std::string_view::npos;
         gt = FindPair(text, gt + 1, '>', '<')) {
      if (gt + 2 >= text.size() || text[gt + 2] != '/') continue;
      if (gt + 1 < copied + size || !IsTagAt(text, gt + 1) || !IsTagAt(text, gt + 1 - size)) continue;
      const std::size_t start = gt + 1 - size;
      if (!IsCharBoundary(text, start)) continue;
      std::size_t count = 2;
      while (IsTagAt(text, start + count * size)) ++count;

      if (copied == 0) {
        out.clear();
        out.reserve(text.size() + text.size() / 8);
      }
      out.append(text, copied, start - copied);
      for (std::size_t k = 0; k < count; ++k) {
        if (k + 1 == count && count % 4 == 1) {
          out.append(text, start + k * size, size);  // left over: no rule takes it
        } else {
          out += tag_;
          out += "\r\n";
        }
      }
      copied = start + count * size;
      gt = copied - 1;
    }
    if (copied == 0) return false;
    out.append(text, copied);
    return true;
  }

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

// The rule list as stages: a JunctionBreaker for every run of junction
// rules, a scan of its own for every other rule.
class BreakStages {
 public:
  template <std::size_t N>
  explicit BreakStages(const BreakRule (&rules)[N]) {
    std::vector<JunctionRule> pending;
    auto flush = [&] {
      if (!pending.empty()) stages_.push_back({JunctionBreaker(std::move(pending)), std::nullopt, std::nullopt});
      pending.clear();
    };
    for (const BreakRule& rule : rules) {
      if (rule.kind == kReplace) {
        flush();
        stages_.push_back({std::nullopt, AnchoredReplace(std::string(rule.a), std::string(rule.b)), std::nullopt});
      } else if (rule.kind == kRuns) {
        flush();
        stages_.push_back({std::nullopt, std::nullopt, ClosingTagRuns(rule.a)});
      } else {
        pending.push_back(ToJunctionRule(rule));
      }
    }
    flush();
  }

  // Each stage writes into the buffer the stage before it read from, so a
  // page takes two buffers however many stages change it. With several
  // stages, both get room for the line breaks to come (see CopyWithRoom), so
  // that neither has to grow.
  std::string Apply(std::string text) const {
    std::string spare;
    if (stages_.size() > 1) spare.reserve(WithRoom(text.size()));
    for (const Stage& stage : stages_) {
      bool changed = false;
      if (stage.breaker) changed = stage.breaker->ApplyTo(text, spare);
      else if (stage.replace) changed = stage.replace->ApplyTo(text, spare);
      else changed = stage.runs->ApplyTo(text, spare);
      if (changed) text.swap(spare);
    }
    return text;
  }

 private:
  struct Stage {
    std::optional<JunctionBreaker> breaker;
    std::optional<AnchoredReplace> replace;
    std::optional<ClosingTagRuns> runs;
  };
  std::vector<Stage> stages_;
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
  folded = PullUpLineStartBrackets(std::move(folded), 11);
  folded = FoldGapsBetweenTags(std::move(folded), 36);
  return stages.Apply(std::move(folded));
}

std::string LightBreakLines(std::string_view text) {
  static const BreakStages stages(kLightBreakRules);
  return stages.Apply(FoldGapsBetweenTags(TabsToSpaces(std::string(text)), 24));
}

}  // namespace zelm
