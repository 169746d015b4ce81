// The level pass over a text cut into parts that are passed side by side.
//
// Every part but the first starts from a guess: the flags the middle of a
// body usually has, and levels counted relative to the part's start. Once
// the part before it is done, JoinLevelPart checks the guess and fills the
// indentation in; when the guess was wrong the part is passed again from the
// state it really starts in (PassLevelPartAfter).
#pragma once

#include <algorithm>
#include <optional>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

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

// One part's Result text, its indentation left out unless it is passed for
// real (the first part, or one passed again).
struct LevelPart {
  LineRange range;
  // A line passed for real before the range once the parts before are
  // settled, for a part whose first line needs the line before it.
  std::optional<LineRange> leadingLine;
  std::string leadingOut;
  bool first = false;
  std::string out;
  std::vector<DeferredIndent> deferred;
  LevelState start;  // the guess, for a part after the first
  LevelState end;
  DeferredIndent deferredEnd{};  // where the levels stand at the end
  std::size_t indentBytes = 0;   // written, when passed for real
  bool guessSpoilt = false;  // its text changed after it was passed: pass it for real
  // Set once the parts before it are settled.
  int startLevel = 0;      // the real level the part starts at
  std::size_t size = 0;    // the bytes of its Result
};

// The state a part in the middle of a page is guessed to start in.
LevelState GuessedMiddleState();

// Passes the part's lines: the first part for real, any other one from the
// guess in `part.start`.
void PassLevelPart(LevelPart& part, int indentType);

// Where the pass stands after the parts settled so far.
struct LevelSettling {
  LevelState state;
  std::size_t indentBytes = 0;
  std::size_t limit = 0;  // IndentationLimitFor the whole text
  int indentType = 0;
};

// Settles the parts in order: checks each guess, passes a part whose guess
// was wrong again for real, and works out every part's size. The first part
// must have been passed already. A caller that let a part's text go once it
// was passed gets `restoreRange(k)` before part k is passed again, to give
// its range a text. Throws IndentationTooLarge.
void SettleLevelParts(std::vector<LevelPart>& parts, std::size_t wholeTextSize, int indentType,
                      const std::function<void(std::size_t)>& restoreRange = {});

// The Result of settled parts, written side by side on `threads` threads.
std::string JoinLevelParts(std::vector<LevelPart>& parts, int indentType, unsigned threads);

// The same as pieces that, joined, are the Result: each part's text gets
// its indentation where it stands, side by side, and no buffer for the
// whole Result is made.
std::vector<std::string> SettledResultPieces(std::vector<LevelPart>& parts, int indentType, unsigned threads);

}  // namespace zelm
