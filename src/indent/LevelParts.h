// The level pass over a text cut into parts that are passed side by side.
//
// Every part but the first starts from a guess: the flags the middle of a
// body usually has, and levels counted relative to the part's start. Once
// the part before it is done, JoinLevelPart checks the guess and fills the
// indentation in; when the guess was wrong the part is passed again from the
// state it really starts in (PassLevelPartAfter).
#pragma once

#include <algorithm>
#include <cstddef>
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

// One part's Result text, its indentation left out unless it is the first.
struct LevelPart {
  LineRange range;
  bool first = false;
  std::string out;
  std::vector<DeferredIndent> deferred;
  LevelState start;  // the guess, for a part after the first
  LevelState end;
  DeferredIndent deferredEnd{};  // where the levels stand at the end
  std::size_t indentBytes = 0;   // written by the first part
};

// The state a part in the middle of a page is guessed to start in.
LevelState GuessedMiddleState();

// Passes the part's lines: the first part for real, any other one from the
// guess in `part.start`.
void PassLevelPart(LevelPart& part, int indentType);

// The parts before this one joined: the Result so far and where the pass stands.
struct LevelJoin {
  std::string result;
  LevelState state;
  std::size_t indentBytes = 0;
  std::size_t limit = 0;  // IndentationLimitFor the whole text
  int indentType = 0;
};

// Starts the join with the first part.
LevelJoin StartLevelJoin(LevelPart&& first, std::size_t wholeTextSize, int indentType);

// Appends a later part with its indentation filled in, when its guess holds;
// false, with nothing appended, when it does not. Throws IndentationTooLarge.
bool JoinLevelPart(LevelPart& part, LevelJoin& join);

// Passes the lines of `range` for real from the join's state, appending.
void PassLevelPartAfter(const LineRange& range, LevelJoin& join);

}  // namespace zelm
