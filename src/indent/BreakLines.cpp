// Line breaking before the level pass: whitespace between tags is folded and
// line breaks are put before and after a chosen set of tags.
//
// The break rules are an ordered list of whole-text replacements. Runs of
// rules that only act at a ">" "<" junction are applied together in one scan
// (see JunctionBreaker); the few rules of another shape run as replace-alls
// of their own between those runs, so the order of the list is kept.
#include <optional>
#include <string_view>
#include <vector>

#include "indent/AnchoredReplace.h"
#include "indent/IndentUtil.h"
#include "indent/JunctionBreaker.h"
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
    {kReplace, "</div></div></div></div>", "</div>\r\n</div>\r\n</div>\r\n</div>\r\n"},
    {kReplace, "</div></div></div>", "</div>\r\n</div>\r\n</div>\r\n"},
    {kReplace, "</div></div>", "</div>\r\n</div>\r\n"},
    {kBefore, "<div"}, {kBefore, "</div"}, {kAfter, "</div>"},
};

constexpr BreakRule kLightBreakRules[] = {{kBefore, "<!--"}, {kAfter, "-->"}};

JunctionRule ToJunctionRule(const BreakRule& rule) {
  switch (rule.kind) {
    case kBefore: return JunctionRule::BreakBefore(rule.a);
    case kAfter: return JunctionRule::BreakAfter(rule.a);
    case kBetween: return {std::string(rule.a), std::string(rule.b), "\r\n"};
    case kFill: return {std::string(rule.a), std::string(rule.b), "&nbsp;"};
    case kReplace: break;
  }
  return {};
}

// The rule list as stages: a JunctionBreaker for every run of junction
// rules, a plain replace-all for every other rule.
class BreakStages {
 public:
  template <std::size_t N>
  explicit BreakStages(const BreakRule (&rules)[N]) {
    std::vector<JunctionRule> pending;
    auto flush = [&] {
      if (!pending.empty()) stages_.push_back({JunctionBreaker(std::move(pending)), std::nullopt});
      pending.clear();
    };
    for (const BreakRule& rule : rules) {
      if (rule.kind == kReplace) {
        flush();
        stages_.push_back({std::nullopt, AnchoredReplace(std::string(rule.a), std::string(rule.b))});
      } else {
        pending.push_back(ToJunctionRule(rule));
      }
    }
    flush();
  }

  std::string Apply(std::string text) const {
    for (const Stage& stage : stages_)
      text = stage.breaker ? stage.breaker->Apply(std::move(text)) : stage.replace->Apply(std::move(text));
    return text;
  }

 private:
  struct Stage {
    std::optional<JunctionBreaker> breaker;
    std::optional<AnchoredReplace> replace;
  };
  std::vector<Stage> stages_;
};

}  // namespace

std::string PreBreakLines(std::string_view text) {
  static const BreakStages stages(kBreakRules);
  std::string folded = TabsToSpaces(std::string(text));
  folded = PullUpLineStartBrackets(std::move(folded), 11);
  folded = FoldGapsBetweenTags(std::move(folded), 36);
  return stages.Apply(std::move(folded));
}

std::string LightBreakLines(std::string_view text) {
  static const BreakStages stages(kLightBreakRules);
  return stages.Apply(FoldGapsBetweenTags(TabsToSpaces(std::string(text)), 24));
}

}  // namespace zelm
