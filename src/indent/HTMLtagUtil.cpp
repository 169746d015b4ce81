#include "indent/HTMLtagUtil.h"

#include <array>
#include <bitset>

#include "text/StringUtil.h"

namespace zelm {
namespace {

// Elements whose content is indented one unit deeper. A tag matches when its
// name begins with one of these, so "tr" also takes "track" and "g" any name
// beginning with "g".
constexpr std::array<std::string_view, 40> kLevelElementNames{
    "div", "address", "table", "tbody", "tr", "dl", "ul", "ol", "pre", "form", "thead", "tfoot",
    "cite", "object", "fieldset", "select", "map", "blockquote", "noscript", "section", "nav",
    "article", "aside", "hgroup", "header", "footer", "figure", "main", "video", "audio", "canvas",
    "figcaption", "h1", "h2", "h3", "h4", "h5", "h6", "svg", "g",
};

// Level element tags looked for inside a line. "noscript" is searched as the
// bare word in both lists; svg, g and figcaption are not looked for.
constexpr std::array<std::string_view, 37> kInnerOpeningTags{
    "<div", "<address", "<table", "<tbody", "<tr", "<dl", "<ul", "<ol", "<pre", "<form", "<thead",
    "<tfoot", "<cite", "<object", "<fieldset", "<select", "<map", "<blockquote", "noscript",
    "<section", "<nav", "<article", "<aside", "<hgroup", "<header", "<footer", "<figure", "<main",
    "<video", "<audio", "<canvas", "<h1", "<h2", "<h3", "<h4", "<h5", "<h6",
};
constexpr std::array<std::string_view, 37> kInnerClosingTags{
    "</div", "</address", "</table", "</tbody", "</tr", "</dl", "</ul", "</ol", "</pre", "</form",
    "</thead", "</tfoot", "</cite", "</object", "</fieldset", "</select", "</map", "</blockquote",
    "noscript", "</section", "</nav", "</article", "</aside", "</hgroup", "</header", "</footer",
    "</figure", "</main", "</video", "</audio", "</canvas", "</h1", "</h2", "</h3", "</h4", "</h5",
    "</h6",
};

constexpr std::size_t kInnerTagCount = kInnerOpeningTags.size() + kInnerClosingTags.size();

std::string_view InnerTag(std::size_t k) {
  return k < kInnerOpeningTags.size() ? kInnerOpeningTags[k] : kInnerClosingTags[k - kInnerOpeningTags.size()];
}

// Index of the first byte that is "at character 3 or later": a tag whose
// first occurrence starts before it does not count.
constexpr std::size_t kFirstInnerIndex = 2;

}  // namespace

bool IsBlockTag(std::string_view line) {
  const Pos firstOpen = SjisPos("<", line);
  if (firstOpen >= 2) return false;  // text before the tag
  const std::string name = ReplaceFirstExact(ReplaceFirstExact(line, "</", ""), "<", "");
  for (std::string_view element : kLevelElementNames)
    if (name.starts_with(element)) return true;
  return false;
}

// One walk over the character boundaries. A tag seen at a boundary before
// kFirstInnerIndex has its first occurrence there and is spent; any other tag
// seen later is at its first occurrence, and that decides.
bool HasInnerBlockTag(std::string_view line) {
  std::bitset<kInnerTagCount> spent;
  for (std::size_t i = 0; i < line.size(); i += SjisCharLength(line, i)) {
    const char c = line[i];
    if (c != '<' && c != 'n') continue;
    const std::string_view rest = line.substr(i);
    for (std::size_t k = 0; k < kInnerTagCount; ++k) {
      if (spent[k] || !rest.starts_with(InnerTag(k))) continue;
      if (i >= kFirstInnerIndex) return true;
      spent[k] = true;
    }
  }
  return false;
}

std::string ReplaceInDivCloseLines(std::string_view text, std::string_view oldPattern,
                                   std::string_view newPattern) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) {
    const bool closesOnly = SjisContains(line, "</div") && !SjisContains(line, "<div");
    lines.push_back(closesOnly ? ReplaceAllText(line, oldPattern, newPattern) : std::string(line));
  }
  return JoinLines(lines);
}

}  // namespace zelm
