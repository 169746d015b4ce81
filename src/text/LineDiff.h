// Line differences between two texts, and the unified diff that shows them.
//
//     LineDiffResult diff = DiffLines(before, after);  // the lines both keep
//     std::string patch = UnifiedDiff(before, after, "a/page.html", "b/page.html");
//
// Lines end after each '\n'; the '\n' (and a '\r' before it) belongs to the
// line, so that "x\r\n" and "x\n" differ and a last line without a line end
// is told apart ("\ No newline at end of file" in the diff).
//
// The differences are found with Myers' O(ND) algorithm in linear space
// (the middle snake, divided and conquered). Lines that stand in only one
// of the texts are set aside first: they can never be kept, so this changes
// nothing but the time. The result is a shortest edit script, unless the
// texts are so large and so widely changed that finding one would take too
// long: a search that goes on past kExpensiveSearch edit steps splits at
// the furthest point it reached, and once the work of the whole diff passes
// kWorkPerLine steps a line (about a second of work), the stretches still
// to compare are shown as removed and added whole. The diff is then still
// correct (applied to `before` it gives `after`) but may show more lines
// as changed than changed; `minimal` says so.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// Lines `length` lines long that stand at `before` in the first text and at
// `after` in the second (0-based line numbers).
struct CommonLines {
  std::size_t before = 0;
  std::size_t after = 0;
  std::size_t length = 0;

  bool operator==(const CommonLines&) const = default;
};

struct LineDiffResult {
  std::vector<CommonLines> common;  // in order, not touching one another
  bool minimal = true;              // false when a bound cut the search short
};

// The bounds on the search (see above).
inline constexpr std::size_t kExpensiveSearch = 4096;
inline constexpr std::size_t kWorkPerLine = 200;

// Splits a text into lines, each with its line end.
std::vector<std::string_view> SplitLinesKeepingEnds(std::string_view text);

// The lines the two texts have in common, in order.
LineDiffResult DiffLines(const std::vector<std::string_view>& before, const std::vector<std::string_view>& after);

// The unified diff of the two texts with `context` lines around each change
// and "--- beforeName" / "+++ afterName" headers; empty when they are equal.
// `minimal` (when given) tells whether the diff is a shortest one.
std::string UnifiedDiff(std::string_view before, std::string_view after, std::string_view beforeName,
                        std::string_view afterName, std::size_t context = 3, bool* minimal = nullptr);

}  // namespace zelm
