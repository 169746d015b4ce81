// The content-preservation check: the indent Result holds the Local text's
// lines in order, changed only in the blanks at their ends, apart from the
// documented changes of the level pass ("<td></td>" filled with "&nbsp;",
// the "■▽" prefix of tag lines between head and body, and the join of
// "</div>" with a following comment when asked).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zelm {

struct ContentDifference {
  std::size_t localLine = 0;   // 1-based line of the Local text, 0 past its end
  std::size_t resultLine = 0;  // 1-based line of the Result, 0 past its end
  std::string expected;        // the Local line, trimmed
  std::string actual;          // the Result line, trimmed

  bool operator==(const ContentDifference&) const = default;
};

// The first place where `result` does not hold `local`'s content, or nullopt.
std::optional<ContentDifference> FindContentDifference(std::string_view local, std::string_view result,
                                                       bool divCommentConcat);

// The same check on a Result that comes in pieces, each ending at a line
// end, so that no piece need be kept once it is checked.
class ContentComparison {
 public:
  ContentComparison(std::string_view local, bool divCommentConcat);
  ~ContentComparison();
  ContentComparison(const ContentComparison&) = delete;
  ContentComparison& operator=(const ContentComparison&) = delete;

  // Checks the next piece of the Result.
  void Feed(std::string_view resultPiece);
  // The first difference, once every piece has been fed.
  std::optional<ContentDifference> Finish();

 private:
  struct Lines;
  std::unique_ptr<Lines> expected_;
  bool divCommentConcat_;
  std::size_t resultLines_ = 0;  // the lines of the pieces fed so far
  std::optional<ContentDifference> difference_;
};

}  // namespace zelm
