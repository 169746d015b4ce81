// The line classifier of the level pass: every line of a one-tag-per-line
// text is classified, the running indentation level is kept, and the line
// is written behind its level marker (the Work text) and indented without
// it (the Result). A range of lines can be passed on its own, from a given
// state, with its indentation noted instead of written while the level it
// starts at is unknown (see LevelParts.h).
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// How a level is drawn: 0 two spaces, 1 four spaces, 2 a tab, 3 flush left.
enum IndentTypeValue : int { kIndentTwoSpaces = 0, kIndentFourSpaces = 1, kIndentTab = 2, kIndentFlushLeft = 3 };

// The bytes of one indentation unit: 2, 4, 1, or 0 for flush left (and any
// unknown type).
std::size_t IndentUnitBytes(int indentType);

// Appends the indentation unit `level` times (nothing for a level below 1).
void AppendIndent(std::string& out, int level, int indentType);

// Where the level pass stands between two lines.
struct LevelState {
  int level = 1;
  bool inHead = true;  // also everything before "<head>"
  bool inBody = false;
  bool afterBody = false;
  bool inComment = false;
  bool inScript = false;

  bool SameFlags(const LevelState& other) const {
    return inHead == other.inHead && inBody == other.inBody && afterBody == other.afterBody &&
           inComment == other.inComment && inScript == other.inScript;
  }
};

// The state a part in the middle of a page is guessed to start in: the
// flags the middle of a body has.
LevelState GuessedMiddleState();

// The lines of a text from `begin` up to `end`; the pass may look at the
// line before them and the line after them.
struct LineRange {
  std::string_view text;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t firstLineNumber = 1;
  // The line before the range when it is not the one in `text` before
  // `begin` (the range starts another text than the one before it).
  std::optional<std::string_view> previousLine = std::nullopt;
};

// Where a part's indentation goes while the level it starts at is unknown:
// at `offset` of the part's output. Levels never fall below 0, so with
// `level` the sum of the steps up and down since the start and `lowest` the
// lowest that sum has been, a part started at level L is at
// level + max(L, -lowest) there.
struct DeferredIndent {
  std::size_t offset;
  int level;
  int lowest;

  int LevelFrom(int start) const { return level + std::max(start, -lowest); }
};

// The most indentation the level pass writes for a text of this size; a
// more deeply nested text throws IndentationTooLarge (flush left never does).
std::size_t IndentationLimitFor(std::size_t textSize);

class IndentationTooLarge : public std::length_error {
 public:
  explicit IndentationTooLarge(std::size_t limit);
  std::size_t limit() const { return limit_; }

 private:
  std::size_t limit_;
};

// What one run of the pass writes, and how it counts.
struct LevelPassOutput {
  int indentType = kIndentTwoSpaces;
  std::string* work = nullptr;    // the marked Work text, when given
  std::string* result = nullptr;  // the Result, when given
  // Result only: the indentation is noted here instead of written, levels
  // counted from the start of the range (the start state's level unused).
  std::vector<DeferredIndent>* deferred = nullptr;
  // Indentation written before the range, counted towards the limit, and
  // the limit (IndentationLimitFor the range's text when not given).
  std::size_t indentBytes = 0;
  std::optional<std::size_t> limit;
};

// Where a run of the pass ends.
struct LevelPassEnd {
  LevelState state;
  DeferredIndent deferredEnd{0, 0, 0};  // with deferred indentation: where the levels stand, relative to the start
  std::size_t indentBytes = 0;          // written, with those before the range
};

// Passes the lines of `range` from `start`, appending to the texts of
// `output`. Throws IndentationTooLarge.
LevelPassEnd PassLevels(const LineRange& range, const LevelState& start, const LevelPassOutput& output);

}  // namespace zelm
