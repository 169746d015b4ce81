#include "indent/StructureReport.h"

#include <algorithm>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr int kCountWidth = 3;
constexpr int kLineNumberWidth = 4;  // at least; more for longer texts

std::string Joined(const std::vector<std::string>& cells, std::string_view separator) {
  std::string row;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i != 0) row += separator;
    row += cells[i];
  }
  return row;
}

// Cells padded to the widest cell of their column: counts to the right,
// words to the left. A Shift_JIS byte takes one column of a terminal.
std::vector<std::string> AsColumns(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size());
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  auto isCount = [](std::size_t column) { return column >= 2 && column <= 4; };
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c != 0) line += "  ";
      const std::string padding(widths[c] - row[c].size(), ' ');
      line += isCount(c) ? padding + row[c] : row[c] + padding;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

int DigitsOf(std::size_t number) {
  int digits = 1;
  for (; number >= 10; number /= 10) ++digits;
  return digits;
}

int LineNumberWidth(std::size_t largest) { return std::max(kLineNumberWidth, DigitsOf(largest)); }

std::string SkeletonLine(const SkeletonEntry& entry, int width, const StructureLabels& labels) {
  std::string line = SpacePadInt(static_cast<long long>(entry.line), width) + "  ";
  if (entry.kind == SkeletonEntry::Kind::StrayClose) {
    line += "</div>  ";
    line += labels.noOpeningDiv;
    return line;
  }
  line.append(static_cast<std::size_t>(entry.depth - 1) * 2, ' ');
  line += "<div";
  if (!entry.id.empty()) (line += " id=\"").append(entry.id) += '"';
  if (!entry.className.empty()) (line += " class=\"").append(entry.className) += '"';
  line += '>';
  if (entry.closeLine == 0) (line += "  ") += labels.neverClosed;
  return line;
}

int SkeletonWidth(const DivSkeleton& skeleton) {
  std::size_t largest = 0;
  for (const SkeletonEntry& entry : skeleton.entries) largest = std::max(largest, entry.line);
  return LineNumberWidth(largest);
}

std::string Labelled(std::string_view label, std::string_view value) {
  std::string line(label);
  line += ": ";
  line += value;
  return line;
}

}  // namespace

std::vector<std::string> RenderElementCounts(const std::vector<ElementCount>& counts, const StructureLabels& labels,
                                             CountLayout layout) {
  if (counts.empty()) return {std::string(labels.noLevelElements)};
  std::vector<std::vector<std::string>> rows;
  rows.push_back({std::string(labels.balancedFiller), std::string(labels.element), std::string(labels.opening),
                  std::string(labels.closing), std::string(labels.difference)});
  for (const ElementCount& count : counts) {
    std::vector<std::string> row{std::string(count.Balanced() ? labels.balancedFiller : labels.unbalancedMark),
                                 std::string(count.name), SpacePadInt(count.opening, kCountWidth),
                                 SpacePadInt(count.closing, kCountWidth),
                                 SpacePadInt(count.Difference(), kCountWidth)};
    if (!count.Balanced()) row.emplace_back(count.Difference() > 0 ? labels.moreOpening : labels.moreClosing);
    rows.push_back(std::move(row));
  }
  if (layout == CountLayout::Columns) return AsColumns(rows);
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line = "\t";
    line += Joined(row, "\t");
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> RenderLineList(const std::vector<ListedLine>& lines, std::string_view none) {
  if (lines.empty()) return {std::string(none)};
  const int width = LineNumberWidth(lines.back().number);
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const ListedLine& line : lines)
    out.push_back(SpacePadInt(static_cast<long long>(line.number), width) + ": " + std::string(line.text));
  return out;
}

std::vector<std::string> RenderDivSkeleton(const DivSkeleton& skeleton, const StructureLabels& labels) {
  if (skeleton.entries.empty()) return {std::string(labels.noDivs)};
  const int width = SkeletonWidth(skeleton);
  std::vector<std::string> out;
  out.reserve(skeleton.entries.size());
  for (const SkeletonEntry& entry : skeleton.entries) out.push_back(SkeletonLine(entry, width, labels));
  return out;
}

std::vector<std::string> RenderDivSummary(const DivSkeleton& skeleton, const DivSummary& summary,
                                          const StructureLabels& labels) {
  if (skeleton.entries.empty()) return {std::string(labels.noDivs)};
  const int width = SkeletonWidth(skeleton);
  std::vector<std::string> out;
  out.push_back(Labelled(labels.divCount, std::to_string(summary.divs)));
  out.push_back(Labelled(labels.greatestDepth, std::to_string(summary.greatestDepth)));
  for (std::size_t d = 0; d < summary.divsPerDepth.size(); ++d)
    out.push_back(Labelled("  " + std::string(labels.depth) + " " + SpacePadInt(static_cast<long long>(d + 1), 2),
                           std::to_string(summary.divsPerDepth[d])));
  out.push_back(Labelled(labels.deepestPath, ""));
  for (std::size_t at : summary.deepestPath) out.push_back(SkeletonLine(skeleton.entries[at], width, labels));
  out.push_back(Labelled(labels.unbalancedPlaces, summary.unbalanced.empty() ? labels.none : ""));
  for (std::size_t at : summary.unbalanced) out.push_back(SkeletonLine(skeleton.entries[at], width, labels));
  for (std::string& line : out)
    while (!line.empty() && line.back() == ' ') line.pop_back();
  return out;
}

}  // namespace zelm
