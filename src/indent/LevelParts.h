// The level pass over a text cut into parts that are passed side by side.
//
// Every part but the first starts from a guess: the flags the middle of a
// body usually has, and levels counted relative to the part's start. Once
// the parts before it are settled, SettleLevelParts checks the guess and
// works out where the part's indentation stands; when the guess was wrong
// the part is passed again from the state it really starts in.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "indent/LevelPass.h"

namespace zelm {

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
  DeferredIndent deferredEnd{0, 0, 0};  // where the levels stand at the end
  std::size_t indentBytes = 0;           // written, when passed for real
  bool guessSpoilt = false;  // its text changed after it was passed: pass it for real
  // Set once the parts before it are settled.
  int startLevel = 0;    // the real level the part starts at
  std::size_t size = 0;  // the bytes of its Result
};

// Passes the part's lines: the first part for real, any other one from the
// guess in `part.start`.
void PassLevelPart(LevelPart& part, int indentType);

// Settles the parts in order: checks each guess, passes a part whose guess
// was wrong again for real, and works out every part's size. The first part
// must have been passed already. A caller that let a part's text go once it
// was passed gets `restoreRange(k)` before part k is passed again, to give
// its range a text. Throws IndentationTooLarge.
void SettleLevelParts(std::vector<LevelPart>& parts, std::size_t wholeTextSize, int indentType,
                      const std::function<void(std::size_t)>& restoreRange = {});

// Writes a settled part's Result to `to` (part.size bytes), filling its
// indentation in.
void WriteSettledPart(const LevelPart& part, int indentType, char* to);

// Turns a settled part's output into its Result text where it stands (the
// part's output and notes are taken).
std::string ExpandSettledPart(LevelPart& part, int indentType);

}  // namespace zelm
