#include "indent/StructureAnalysis.h"

#include <algorithm>
#include <array>
#include <utility>

#include "indent/HTMLtagUtil.h"
#include "text/HtmlTags.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr int kNotLevel = -1;

// The level element names sorted, each with its place in the
// classification's list, for a binary search.
class LevelElementIndex {
 public:
  LevelElementIndex() {
    const auto names = LevelElementNames();
    for (std::size_t i = 0; i < names.size(); ++i) sorted_.emplace_back(names[i], static_cast<int>(i));
    std::sort(sorted_.begin(), sorted_.end());
    for (const auto& entry : sorted_) longest_ = std::max(longest_, entry.first.size());
  }

  // The place of a tag name (any case), or kNotLevel.
  int Of(std::string_view name) const {
    if (name.size() > longest_) return kNotLevel;
    std::array<char, 16> lower{};
    for (std::size_t k = 0; k < name.size(); ++k) lower[k] = AsciiLower(name[k]);
    const std::string_view key(lower.data(), name.size());
    const auto it = std::lower_bound(sorted_.begin(), sorted_.end(), key,
                                     [](const auto& entry, std::string_view k) { return entry.first < k; });
    return (it != sorted_.end() && it->first == key) ? it->second : kNotLevel;
  }

 private:
  std::vector<std::pair<std::string_view, int>> sorted_;
  std::size_t longest_ = 0;
};

const LevelElementIndex& LevelIndex() {
  static const LevelElementIndex index;
  return index;
}

// The first byte of the line starting at `lineStart` that is not a blank or
// a control byte.
std::size_t FirstContent(std::string_view text, std::size_t lineStart) {
  std::size_t i = lineStart;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20 && text[i] != '\r' && text[i] != '\n') ++i;
  return i;
}

std::string_view LineAt(std::string_view text, std::size_t lineStart) {
  return text.substr(lineStart, NextLineBreak(text, lineStart) - lineStart);
}

// Calls onTag(tag, element, line, lineStart) for every level element tag.
template <typename OnTag>
void ForEachLevelTag(std::string_view text, HtmlTagReader::Comments comments, OnTag onTag) {
  const LevelElementIndex& index = LevelIndex();
  HtmlTagReader reader(text, comments);
  LineCursor cursor(text);
  HtmlTag tag;
  while (reader.Next(tag)) {
    const int element = index.Of(tag.name);
    if (element == kNotLevel) continue;
    const std::size_t line = cursor.MoveTo(tag.begin);
    onTag(tag, element, line, cursor.LineStart());
  }
}

HtmlTagReader::Comments CommentsFor(bool ignoreComments) {
  return ignoreComments ? HtmlTagReader::Comments::Skip : HtmlTagReader::Comments::Read;
}

}  // namespace

std::vector<ElementCount> CountLevelElements(std::string_view text) {
  const auto names = LevelElementNames();
  std::vector<ElementCount> all(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) all[i].name = names[i];
  const LevelElementIndex& index = LevelIndex();
  HtmlTagReader reader(text);
  HtmlTag tag;
  while (reader.Next(tag)) {
    const int element = index.Of(tag.name);
    if (element == kNotLevel) continue;
    ElementCount& count = all[static_cast<std::size_t>(element)];
    if (tag.closing) {
      ++count.closing;
    } else {
      ++count.opening;
      if (tag.selfClosing) ++count.closing;
    }
  }
  std::erase_if(all, [](const ElementCount& c) { return c.opening == 0 && c.closing == 0; });
  return all;
}

bool AllBalanced(const std::vector<ElementCount>& counts) {
  return std::all_of(counts.begin(), counts.end(), [](const ElementCount& c) { return c.Balanced(); });
}

std::vector<ListedLine> MisplacedLevelTagLines(std::string_view text, bool ignoreComments) {
  std::vector<ListedLine> listed;
  std::size_t current = 0;        // the line of the tags looked at
  std::size_t firstContent = 0;   // where that line's content starts
  bool decided = false;           // that line is listed already
  int openedAtStart = kNotLevel;  // the element the line's first tag opens
  ForEachLevelTag(text, CommentsFor(ignoreComments),
                  [&](const HtmlTag& tag, int element, std::size_t line, std::size_t lineStart) {
                    if (line != current) {
                      current = line;
                      firstContent = FirstContent(text, lineStart);
                      decided = false;
                      const bool opens = tag.begin == firstContent && !tag.closing && !tag.selfClosing;
                      openedAtStart = opens ? element : kNotLevel;
                    }
                    if (decided || tag.begin == firstContent) return;
                    if (tag.closing && element == openedAtStart) {
                      openedAtStart = kNotLevel;  // closes what the line opened
                      return;
                    }
                    listed.push_back({line, LineAt(text, lineStart)});
                    decided = true;
                  });
  return listed;
}

std::vector<ListedLine> LevelTagLinesExceptDivClose(std::string_view text, bool ignoreComments) {
  static const int div = LevelIndex().Of("div");
  std::vector<ListedLine> listed;
  ForEachLevelTag(text, CommentsFor(ignoreComments),
                  [&](const HtmlTag& tag, int element, std::size_t line, std::size_t lineStart) {
                    if (tag.closing && element == div) return;
                    if (!listed.empty() && listed.back().number == line) return;
                    listed.push_back({line, LineAt(text, lineStart)});
                  });
  return listed;
}

DivSkeleton BuildDivSkeleton(std::string_view text) {
  DivSkeleton skeleton;
  auto& entries = skeleton.entries;
  std::vector<std::size_t> open;  // entries of the divs not yet closed, innermost last
  HtmlTagReader reader(text);
  LineCursor cursor(text);
  HtmlTag tag;
  while (reader.Next(tag)) {
    if (!IsTagName(tag.name, "div")) continue;
    SkeletonEntry entry;
    entry.line = cursor.MoveTo(tag.begin);
    if (tag.closing) {
      if (open.empty()) {
        entry.kind = SkeletonEntry::Kind::StrayClose;
        entries.push_back(entry);
      } else {
        entries[open.back()].closeLine = entry.line;
        open.pop_back();
      }
      continue;
    }
    entry.depth = static_cast<int>(open.size()) + 1;
    if (!open.empty()) entry.parent = open.back();
    if (const auto id = FindAttribute(text, tag, "id")) entry.id = id->value;
    if (const auto className = FindAttribute(text, tag, "class")) entry.className = className->value;
    if (tag.selfClosing) entry.closeLine = entry.line;
    entries.push_back(entry);
    if (!tag.selfClosing) open.push_back(entries.size() - 1);
  }
  return skeleton;
}

DivSummary SummarizeDivs(const DivSkeleton& skeleton) {
  DivSummary summary;
  std::size_t deepest = SkeletonEntry::kNoParent;
  for (std::size_t i = 0; i < skeleton.entries.size(); ++i) {
    const SkeletonEntry& entry = skeleton.entries[i];
    if (entry.kind == SkeletonEntry::Kind::StrayClose) {
      summary.unbalanced.push_back(i);
      continue;
    }
    ++summary.divs;
    const auto depth = static_cast<std::size_t>(entry.depth);
    if (summary.divsPerDepth.size() < depth) summary.divsPerDepth.resize(depth);
    ++summary.divsPerDepth[depth - 1];
    if (entry.depth > summary.greatestDepth) {
      summary.greatestDepth = entry.depth;
      deepest = i;
    }
    if (entry.closeLine == 0) summary.unbalanced.push_back(i);
  }
  for (std::size_t at = deepest; at != SkeletonEntry::kNoParent; at = skeleton.entries[at].parent)
    summary.deepestPath.push_back(at);
  std::reverse(summary.deepestPath.begin(), summary.deepestPath.end());
  return summary;
}

}  // namespace zelm
