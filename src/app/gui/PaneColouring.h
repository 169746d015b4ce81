// The colours of a pane's text: the HTML scanner writes the coloured RTF
// document of the text, the RTF reader reads it back into text and runs of
// colour and weight, and the runs are moved from the document's byte
// positions to the pane's character positions. The pane lays them over its
// lines as formatting when the lines are shown.
//
// Runs follow the text as it is edited: an edit shifts the runs after it,
// and inserted text takes the run of the character before it, as typing in
// a rich-edit control takes the format at the caret.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "app/gui/PaneText.h"

namespace zelm::gui {

// A colour and weight; colours as 0x00BBGGRR, as the RTF reader gives them.
struct ColourStyle {
  std::uint32_t rgb = 0;
  bool bold = false;
  bool operator==(const ColourStyle&) const = default;
};

class ColourRuns {
 public:
  // Run i covers the characters from starts()[i] up to starts()[i + 1] (the
  // last one up to the end of the text) in style palette()[styles()[i]].
  const std::vector<std::uint32_t>& starts() const { return starts_; }
  const std::vector<std::uint8_t>& styles() const { return styles_; }
  const std::vector<ColourStyle>& palette() const { return palette_; }
  bool empty() const { return starts_.empty(); }
  std::size_t size() const { return starts_.size(); }

  // The style of the character at `ch`.
  const ColourStyle& StyleAt(std::size_t ch) const;
  // The index of the run that holds the character at `ch`.
  std::size_t RunAt(std::size_t ch) const;

  // The text changed: `removed` characters at `from` were replaced by
  // `added` ones.
  void ApplyEdit(std::size_t from, std::size_t removed, std::size_t added);

  // Appends a run; runs come in order and a run in the style of the one
  // before it is merged with it.
  void Append(std::uint32_t start, const ColourStyle& style);

 private:
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint8_t> styles_;
  std::vector<ColourStyle> palette_;
};

// The runs of a Shift_JIS text whose character positions `map` gives (the
// map of that same text). Text that the document does not hold (after a NUL
// byte, which ends the scanner's tokens) is left in black.
ColourRuns ColourRunsOf(std::string_view sjis, const PositionMap& map);

}  // namespace zelm::gui
