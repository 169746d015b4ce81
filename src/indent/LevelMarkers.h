// The level pass on a whole text: every non-blank line written back behind
// its 30-byte level marker and indented by its level (the Work text), or
// indented without the markers (the Result); and the reverse steps that
// cut the markers away.
#pragma once

#include <string>
#include <string_view>

#include "indent/LevelPass.h"

namespace zelm {

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

// Cuts the markers MarkIndentLevels wrote at the start of lines and drops
// blank lines; every other line is kept as it is.
std::string StripLevelMarkers(std::string_view text);

// Deletes "◎●", "◎○", "◎＄", "◎□" and "■◇" everywhere (letters without case).
std::string RemoveMarkerSymbols(std::string_view text);

}  // namespace zelm
