#include "indent/HTMLtagUtil.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "match/FirstOccurrences.h"
#include "match/PatternTrie.h"
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

constexpr std::array<std::string_view, kInnerTagCount> kInnerTags = [] {
  std::array<std::string_view, kInnerTagCount> all{};
  std::size_t k = 0;
  for (std::string_view tag : kInnerOpeningTags) all[k++] = tag;
  for (std::string_view tag : kInnerClosingTags) all[k++] = tag;
  return all;
}();

// Index of the first byte that is "at character 3 or later": a tag whose
// first occurrence starts before it does not count.
constexpr std::size_t kFirstInnerIndex = 2;

// The longest level element name; deleting "</" and then "<" moves the
// bytes of a line by at most three, so its first bytes decide.
constexpr std::size_t kLongestName = 10;

std::vector<std::string> AsStrings(std::span<const std::string_view> views) {
  return std::vector<std::string>(views.begin(), views.end());
}

bool StartsWithLevelElementName(std::string_view name) {
  static const PatternTrie names(AsStrings(kLevelElementNames), PatternTrie::Direction::kForward,
                                 PatternTrie::Letters::kExactCase);
  bool found = false;
  names.ForEachEndNodeStartingAt(name, 0, [&](std::uint32_t) { found = true; });
  return found;
}

// The first "<" (followed by "/" when `closing`) that starts a character at
// or after `from`, itself the start of one; npos when there is none. The
// few bytes of a tag's start are walked character by character.
std::size_t FindTagStart(std::string_view text, std::size_t from, bool closing) {
  for (std::size_t i = from; i < text.size();) {
    const char c = text[i];
    if (IsSjisLeadByte(static_cast<unsigned char>(c))) {
      i += 2;
      continue;
    }
    if (c == '<' && (!closing || (i + 1 < text.size() && text[i + 1] == '/'))) return i;
    ++i;
  }
  return std::string_view::npos;
}

}  // namespace

std::span<const std::string_view> LevelElementNames() { return kLevelElementNames; }

// The name of a line's first tag: the line with its first "</" deleted and
// then its first "<". Only the first bytes, which are all a name is compared
// with; deleting moves the bytes after by at most three.
bool IsBlockTag(std::string_view line) {
  constexpr std::size_t npos = std::string_view::npos;
  const std::size_t firstOpen = line.starts_with('<') ? 0 : FindAtBoundary(line, "<");
  if (firstOpen == npos) return StartsWithLevelElementName(line);  // nothing to delete
  if (firstOpen != 0) return false;                                 // text before the tag
  const std::string_view start = line.substr(0, kLongestName + 3);
  std::string_view before, after;  // the name is before + after
  if (start.starts_with("</")) {
    const std::string_view rest = start.substr(2);
    const std::size_t open = FindTagStart(rest, 0, /*closing=*/false);
    before = rest.substr(0, open);
    if (open != npos) after = rest.substr(open + 1);
  } else {
    // The first "<" is the line's first byte; the first "</" comes later.
    const std::size_t close = FindTagStart(start, 1, /*closing=*/true);
    before = start.substr(1, close == npos ? npos : close - 1);
    if (close != npos) after = start.substr(close + 2);
  }
  char name[kLongestName + 3];
  before.copy(name, before.size());
  after.copy(name + before.size(), after.size());
  return StartsWithLevelElementName(std::string_view(name, before.size() + after.size()));
}

// One walk over the line finds where each tag first occurs.
bool HasInnerBlockTag(std::string_view line) {
  static const FirstOccurrenceScanner scanner(AsStrings(kInnerTags));
  FirstOccurrences found;
  scanner.Scan(line, found);
  return found.AnyFirstAtOrAfter(kFirstInnerIndex);
}

std::string ReplaceInDivCloseLines(std::string_view text, std::string_view oldPattern,
                                   std::string_view newPattern) {
  // Written straight into the result, a line at a time: a text of many
  // lines makes no list of them.
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  LineReader lines(text);
  std::string_view line;
  while (lines.Next(line)) {
    const bool closesOnly = SjisContains(line, "</div") && !SjisContains(line, "<div");
    if (closesOnly) out += ReplaceAllText(line, oldPattern, newPattern);
    else out += line;
    out += "\r\n";
  }
  return out;
}

}  // namespace zelm
