#include "text/LineDiff.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <functional>
#include <utility>

namespace zelm {
namespace {

using Index = std::ptrdiff_t;
using LineId = std::uint32_t;

// A rectangle of the edit graph still to compare: lines [xoff, xlim) of the
// first sequence against [yoff, ylim) of the second.
struct Segment {
  Index xoff, xlim, yoff, ylim;
};

// Myers' middle-snake search over two sequences of line numbers, one
// rectangle at a time, without recursion (pages can have a million lines).
class Differ {
 public:
  Differ(const std::vector<LineId>& a, const std::vector<LineId>& b, std::size_t workLimit)
      : a_(a), b_(b), workLimit_(workLimit) {}

  // Every pair of lines kept, as (index in a, index in b), in no order.
  std::vector<std::pair<Index, Index>> Run() {
    std::vector<Segment> todo{{0, Index(a_.size()), 0, Index(b_.size())}};
    while (!todo.empty()) {
      Segment s = todo.back();
      todo.pop_back();
      while (s.xoff < s.xlim && s.yoff < s.ylim && a_[s.xoff] == b_[s.yoff]) kept_.emplace_back(s.xoff++, s.yoff++);
      while (s.xoff < s.xlim && s.yoff < s.ylim && a_[s.xlim - 1] == b_[s.ylim - 1])
        kept_.emplace_back(--s.xlim, --s.ylim);
      if (s.xoff == s.xlim || s.yoff == s.ylim) continue;  // only removed or only added lines
      if (work_ > workLimit_) {
        minimal_ = false;  // shown as removed and added whole
        continue;
      }
      const std::optional<std::pair<Index, Index>> split = MiddleSnake(s);
      if (!split) continue;  // nothing in common: all removed and added
      const auto [x, y] = *split;
      const bool corner = (x == s.xoff && y == s.yoff) || (x == s.xlim && y == s.ylim);
      if (x < s.xoff || y < s.yoff || x > s.xlim || y > s.ylim || corner) {
        minimal_ = false;  // no split to make progress with
        continue;
      }
      // The first half is compared first, so that the work bound leaves
      // the end of a page rather than its start unmatched.
      todo.push_back({x, s.xlim, y, s.ylim});
      todo.push_back({s.xoff, x, s.yoff, y});
    }
    return std::move(kept_);
  }

  bool minimal() const { return minimal_; }

 private:
  // Furthest-reaching x on each diagonal k = x - y (relative to the
  // rectangle's corner), forward from the top left and backward from the
  // bottom right (there counted from the end). -1: not reached.
  struct Frontier {
    std::vector<Index> v;
    Index offset = 0;
    Index& operator[](Index k) { return v[static_cast<std::size_t>(k + offset)]; }
  };

  // The point where a shortest path through the rectangle is split in two,
  // or, when the search grows too long, the point furthest along that it
  // reached; nullopt when the rectangle's lines have none in common (the
  // searches met nowhere in half the steps each).
  std::optional<std::pair<Index, Index>> MiddleSnake(const Segment& s) {
    const Index n = s.xlim - s.xoff, m = s.ylim - s.yoff;
    const Index maxD = (n + m + 1) / 2;
    const Index reach = std::min<Index>(maxD, Index(kExpensiveSearch)) + 2;
    const Index delta = n - m;
    const bool front = (delta & 1) != 0;
    const LineId* a = a_.data() + s.xoff;
    const LineId* b = b_.data() + s.yoff;
    Frontier v1{std::vector<Index>(static_cast<std::size_t>(2 * reach + 1), -1), reach};
    Frontier v2{std::vector<Index>(static_cast<std::size_t>(2 * reach + 1), -1), reach};
    v1[1] = 0;
    v2[1] = 0;
    // Diagonals that ran off the rectangle are no longer searched.
    Index k1start = 0, k1end = 0, k2start = 0, k2end = 0;
    auto known = [&](Frontier& v, Index k) { return k >= -reach && k <= reach && v[k] != -1; };
    for (Index d = 0; d < maxD; ++d) {
      if (d + 1 >= reach) return FurthestPoint(s, v1, v2, d);
      for (Index k1 = -d + k1start; k1 <= d - k1end; k1 += 2) {
        Index x1 = (k1 == -d || (k1 != d && v1[k1 - 1] < v1[k1 + 1])) ? v1[k1 + 1] : v1[k1 - 1] + 1;
        Index y1 = x1 - k1;
        const Index x0 = x1;
        while (x1 < n && y1 < m && a[x1] == b[y1]) ++x1, ++y1;
        work_ += 1 + std::size_t(x1 - x0);
        v1[k1] = x1;
        if (x1 > n) {
          k1end += 2;
        } else if (y1 > m) {
          k1start += 2;
        } else if (front && known(v2, delta - k1)) {
          if (x1 >= n - v2[delta - k1]) return std::pair{s.xoff + x1, s.yoff + y1};
        }
      }
      for (Index k2 = -d + k2start; k2 <= d - k2end; k2 += 2) {
        Index x2 = (k2 == -d || (k2 != d && v2[k2 - 1] < v2[k2 + 1])) ? v2[k2 + 1] : v2[k2 - 1] + 1;
        Index y2 = x2 - k2;
        const Index x0 = x2;
        while (x2 < n && y2 < m && a[n - x2 - 1] == b[m - y2 - 1]) ++x2, ++y2;
        work_ += 1 + std::size_t(x2 - x0);
        v2[k2] = x2;
        if (x2 > n) {
          k2end += 2;
        } else if (y2 > m) {
          k2start += 2;
        } else if (!front && known(v1, delta - k2)) {
          const Index x1 = v1[delta - k2];
          const Index y1 = x1 - (delta - k2);
          if (x1 >= n - x2) return std::pair{s.xoff + x1, s.yoff + y1};
        }
      }
      if (work_ > workLimit_) return FurthestPoint(s, v1, v2, d + 1);
    }
    return std::nullopt;
  }

  // Of the points both searches reached after `d` steps, the one furthest
  // from its own corner: a split that is not a shortest path's, but one
  // that keeps what each search found.
  std::pair<Index, Index> FurthestPoint(const Segment& s, Frontier& v1, Frontier& v2, Index d) {
    minimal_ = false;
    const Index n = s.xlim - s.xoff, m = s.ylim - s.yoff;
    Index bestForward = -1, forwardX = 0, bestBackward = -1, backwardX = 0;
    for (Index k = -d; k <= d; ++k) {
      if (k < -v1.offset || k > v1.offset) continue;
      if (const Index x = v1[k]; x >= 0 && x <= n && x - k >= 0 && x - k <= m && 2 * x - k > bestForward) {
        bestForward = 2 * x - k;
        forwardX = x;
      }
      if (const Index x = v2[k]; x >= 0 && x <= n && x - k >= 0 && x - k <= m && 2 * x - k > bestBackward) {
        bestBackward = 2 * x - k;
        backwardX = x;
      }
    }
    if (bestForward < 0 && bestBackward < 0) return {s.xoff, s.yoff};
    if (bestForward >= bestBackward)
      return {s.xoff + forwardX, s.yoff + (bestForward - forwardX)};
    // Counted from the bottom right corner.
    const Index x2 = backwardX, y2 = bestBackward - backwardX;
    return {s.xlim - x2, s.ylim - y2};
  }

  const std::vector<LineId>& a_;
  const std::vector<LineId>& b_;
  std::size_t workLimit_;
  std::size_t work_ = 0;
  bool minimal_ = true;
  std::vector<std::pair<Index, Index>> kept_;
};

// Numbers for distinct lines: an open-addressing table of line numbers,
// much faster on a million lines than a node-based map.
class LineNumbering {
 public:
  explicit LineNumbering(std::size_t lines) {
    std::size_t size = 16;
    while (size < 2 * lines) size *= 2;
    slots_.assign(size, kEmpty);
    mask_ = size - 1;
  }

  LineId IdOf(std::string_view line) {
    const std::size_t hash = std::hash<std::string_view>{}(line);
    for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
      const LineId id = slots_[at];
      if (id == kEmpty) {
        slots_[at] = LineId(lines_.size());
        lines_.push_back(line);
        hashes_.push_back(hash);
        return slots_[at];
      }
      if (hashes_[id] == hash && lines_[id] == line) return id;
    }
  }

  std::size_t size() const { return lines_.size(); }

 private:
  static constexpr LineId kEmpty = ~LineId{0};
  std::vector<LineId> slots_;
  std::size_t mask_ = 0;
  std::vector<std::string_view> lines_;  // the first line of each number
  std::vector<std::size_t> hashes_;
};

}  // namespace

std::vector<std::string_view> SplitLinesKeepingEnds(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  return lines;
}

LineDiffResult DiffLines(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after) {
  // Each distinct line gets a number; a line standing in only one text can
  // never be kept, so only the others are compared.
  LineNumbering numbering(before.size() + after.size());
  std::vector<LineId> beforeIds(before.size()), afterIds(after.size());
  for (std::size_t i = 0; i < before.size(); ++i) beforeIds[i] = numbering.IdOf(before[i]);
  const std::size_t idsInBefore = numbering.size();
  std::vector<bool> inAfter(idsInBefore, false);
  for (std::size_t i = 0; i < after.size(); ++i) {
    afterIds[i] = numbering.IdOf(after[i]);
    if (afterIds[i] < idsInBefore) inAfter[afterIds[i]] = true;
  }
  std::vector<LineId> a, b;
  std::vector<std::size_t> aAt, bAt;  // where each compared line stands in its text
  for (std::size_t i = 0; i < beforeIds.size(); ++i)
    if (inAfter[beforeIds[i]]) a.push_back(beforeIds[i]), aAt.push_back(i);
  for (std::size_t i = 0; i < afterIds.size(); ++i)
    if (afterIds[i] < idsInBefore) b.push_back(afterIds[i]), bAt.push_back(i);

  const std::size_t workLimit = kWorkPerLine * (before.size() + after.size()) + (std::size_t{1} << 20);
  Differ differ(a, b, workLimit);
  std::vector<std::pair<Index, Index>> kept = differ.Run();
  std::sort(kept.begin(), kept.end());

  LineDiffResult result;
  result.minimal = differ.minimal();
  for (const auto& [i, j] : kept) {
    const std::size_t x = aAt[std::size_t(i)], y = bAt[std::size_t(j)];
    if (!result.common.empty()) {
      CommonLines& last = result.common.back();
      if (last.before + last.length == x && last.after + last.length == y) {
        ++last.length;
        continue;
      }
    }
    result.common.push_back({x, y, 1});
  }
  return result;
}

namespace {

// "start,length" of a hunk's range as diff writes it: a range of one line
// is its number alone, an empty range is named by the line before it.
std::string Range(std::size_t start, std::size_t length) {
  if (length == 0) return std::to_string(start) + ",0";
  if (length == 1) return std::to_string(start + 1);
  return std::to_string(start + 1) + "," + std::to_string(length);
}

void AppendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out += line;
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

}  // namespace

std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view beforeName,
                        std::string_view afterName, std::size_t context, bool* minimal) {
  if (minimal) *minimal = true;
  if (before == after) return {};
  const std::vector<std::string_view> a = SplitLinesKeepingEnds(before), b = SplitLinesKeepingEnds(after);
  LineDiffResult diff = DiffLines(a, b);
  if (minimal) *minimal = diff.minimal;
  // The end of both texts as a last run of no lines, so that every change
  // stands before some run.
  diff.common.push_back({a.size(), b.size(), 0});

  std::string out;
  out.reserve(std::min<std::size_t>(before.size() + after.size(), std::size_t{1} << 30) + 64);
  out += "--- ";
  out += beforeName;
  out += "\n+++ ";
  out += afterName;
  out += '\n';
  // Changes: the lines between one run and the next. Changes whose runs in
  // between are short enough share a hunk.
  std::size_t x = 0, y = 0;  // the end of the previous run
  std::size_t run = 0;
  while (run < diff.common.size()) {
    if (diff.common[run].before == x && diff.common[run].after == y) {  // no change before this run
      x += diff.common[run].length;
      y += diff.common[run].length;
      ++run;
      continue;
    }
    // A hunk from the change before `run`, on while the next run is short.
    const std::size_t leading = std::min(context, x);
    const std::size_t hunkX = x - leading, hunkY = y - leading;
    std::size_t last = run;  // the run that ends the hunk's last change
    auto changeFollows = [&](std::size_t r) {
      const CommonLines& now = diff.common[r];
      const CommonLines& next = diff.common[r + 1];
      return now.before + now.length != next.before || now.after + now.length != next.after;
    };
    while (last + 1 < diff.common.size() && diff.common[last].length <= 2 * context && changeFollows(last)) ++last;
    const CommonLines& closing = diff.common[last];
    const std::size_t trailing = std::min(context, closing.length);
    const std::size_t endX = closing.before + trailing, endY = closing.after + trailing;
    out += "@@ -" + Range(hunkX, endX - hunkX) + " +" + Range(hunkY, endY - hunkY) + " @@\n";
    for (std::size_t i = hunkX; i < x; ++i) AppendLine(out, ' ', a[i]);
    for (std::size_t r = run; r <= last; ++r) {
      const CommonLines& common = diff.common[r];
      for (std::size_t i = x; i < common.before; ++i) AppendLine(out, '-', a[i]);
      for (std::size_t j = y; j < common.after; ++j) AppendLine(out, '+', b[j]);
      const std::size_t shown = r == last ? trailing : common.length;
      for (std::size_t i = 0; i < shown; ++i) AppendLine(out, ' ', a[common.before + i]);
      x = common.before + common.length;
      y = common.after + common.length;
    }
    run = last + 1;
  }
  return out;
}

}  // namespace zelm
