// Line adjustment and the level pass: one tag per line, then every line
// gets an indentation level and a fixed-width level marker.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "text/Parallel.h"

namespace zelm {

// How a level is drawn: 0 two spaces, 1 four spaces, 2 a tab, 3 flush left.
enum IndentTypeValue : int { kIndentTwoSpaces = 0, kIndentFourSpaces = 1, kIndentTab = 2, kIndentFlushLeft = 3 };

// Trims lines, splits a body line once at a structural tag that is not at
// its start, and joins a tag line with a following line that only closes it.
std::string AdjustLines(std::string_view text);

// Where line adjustment stands between two lines.
struct AdjustState {
  bool inHead = false;
  bool inBody = false;
  bool afterBody = false;
  bool inComment = false;

  bool operator==(const AdjustState&) const = default;
};

// The same on a part of a text, starting in `state`, which is left as the
// part ends.
std::string AdjustLines(std::string_view text, AdjustState& state);

// The indentation unit repeated `level` times.
std::string IndentString(int level, int indentType);

// Writes every non-blank line back behind a 30-byte level marker comment
// ("<!-- (   12 ) ▽▼%di[  3]%-->"), indented by its level. Throws
// IndentationTooLarge when the indentation would exceed IndentationLimitFor.
std::string MarkIndentLevels(std::string_view text, int indentType);

// The marked Work text and, beside it, every line without the marker this
// pass put in front of it: StripLevelMarkers(work), except that a line the
// pass left unmarked keeps its text even when it starts like a marker.
struct MarkedText {
  std::string work;
  std::string result;
};
MarkedText MarkIndentLevelsWithResult(std::string_view text, int indentType);

// The result of MarkIndentLevelsWithResult alone, without writing any marker.
std::string IndentWithoutMarkers(std::string_view text, int indentType);

// The same, with a large text cut into parts at line starts that are passed
// on several threads at once; the result is the same bytes.
std::string IndentWithoutMarkers(std::string_view text, int indentType, const PassSharing& sharing);

// The same Result in pieces, one for each part of about `partBytes` of the
// text (more when the sharing asks for more), handed to `take` in order and
// dropped after: the whole Result is never held at once. Each piece ends
// at a line end.
void IndentWithoutMarkersInPieces(std::string_view text, int indentType, const PassSharing& sharing,
                                  std::size_t partBytes, const std::function<void(std::string_view)>& take);

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

// Cuts the markers MarkIndentLevels wrote at the start of lines and drops
// blank lines; every other line is kept as it is.
std::string StripLevelMarkers(std::string_view text);

// Deletes "◎●", "◎○", "◎＄", "◎□" and "■◇" everywhere (letters without case).
std::string RemoveMarkerSymbols(std::string_view text);

}  // namespace zelm
