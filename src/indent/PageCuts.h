// Where a text is cut into parts that go through the passes side by side.
//
// A cut falls at the start of a line. The parts of a text cut for the
// input passes give, passed one by one and joined, the bytes the passes
// give on the whole text, as long as no rule of a pass matches across a
// cut: each pass reports the rules that can span a line break
// (LineBreakReach), and a cut is refused where one could apply. Line
// adjustment and the level pass keep state from line to line: a part after
// the first starts from a guess that the plan's executor settles, so cuts
// are steered out of comments and scripts, where the guess would be wrong.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "indent/LineBreakReach.h"

namespace zelm {

// How a job over one text may share its work: the threads it may use, the
// smallest text worth sharing, and the parts it is cut into.
struct PassSharing {
  unsigned threads = 1;
  std::size_t minimumText = std::size_t{2} << 20;
  std::size_t minimumPiece = std::size_t{256} << 10;
  // Parts per thread: parts that take longer than others even out.
  unsigned piecesPerThread = 4;

  // How many parts a text of `size` bytes is cut into; 1 keeps it whole.
  std::size_t PiecesFor(std::size_t size) const {
    if (threads < 2 || size < minimumText || size < 2 * minimumPiece) return 1;
    return std::min<std::size_t>(std::size_t{threads} * std::max(piecesPerThread, 1u),
                                 size / std::max<std::size_t>(minimumPiece, 1));
  }
};

// How many parts a text of `size` bytes is cut into: as many as the sharing
// asks for, and at least one for every `partBytes` (no such floor for 0).
// A floor cuts a small text too, with one thread: for tests and fuzzing,
// and for a job that hands its Result out in pieces of about that size.
std::size_t PartsFor(std::size_t size, const PassSharing& sharing, std::size_t partBytes);

// Whether the line at `at` starts alone: blanks, then printable ASCII other
// than ">", and not "</". Lines that start so are never taken together with
// the line before them by the passes of today (see the reaches of each), and
// a part that starts with one starts with a whole character.
bool StartsLineAlone(std::string_view text, std::size_t at);

// Whether none of `reaches` applies across the line break in front of `at`.
bool NoReachAcross(std::string_view text, std::size_t at, const std::vector<LineBreakReach>& reaches);

// Where the comment or script that `at` seems to stand in ends (looked for
// within `text`), or npos. A part that starts inside one is guessed wrong
// and passed twice, so cuts are steered past them.
std::size_t EndOfCommentOrScriptAround(std::string_view text, std::size_t at);

// How far past the next aimed-at place the end of a comment or script is
// looked for.
constexpr std::size_t kBlockReach = std::size_t{64} << 10;

// Starts of parts of about equal size (the first at 0) for the input
// passes: each right after a CR LF that ends a line that is not blank, in
// front of a line that starts alone, where none of `reaches` applies, and
// out of comments and scripts. Up to `parts` parts; one keeps the text
// whole.
std::vector<std::size_t> InputPassCuts(std::string_view text, const std::vector<LineBreakReach>& reaches,
                                       std::size_t parts);

// Starts of up to `pieces` parts of `text` of about equal size, each right
// after a line feed (the first at 0): for the level pass alone, which
// settles a cut at any line start.
std::vector<std::size_t> LineAlignedCuts(std::string_view text, std::size_t pieces);

}  // namespace zelm
