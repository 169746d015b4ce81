// The colour values written in the CSS of a page, with where each stands
// and the colour it gives, for the window's colour list and its swatches.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/StringUtil.h"

namespace zelm {

struct Rgb {
  std::uint8_t red = 0, green = 0, blue = 0;
  auto operator<=>(const Rgb&) const = default;
};

// "#RRGGBB" in capitals.
std::string RgbHex(Rgb colour);

struct CssColour {
  std::string_view text;  // as written: "#fff", "rgb(255, 0, 0)", "Red"
  Pos position = 0;       // 1-based byte position of its first byte in the page
  Rgb rgb;                // the colour; an alpha value is left out
};

// The colours of one CSS value form: "#rgb", "#rgba", "#rrggbb",
// "#rrggbbaa", "rgb(...)" and "rgba(...)" with numbers or percentages
// (commas or blanks between them, an alpha after "/" or a fourth comma),
// and the CSS named colours, letters compared without case. nullopt for
// anything else ("transparent", "currentColor", "hsl(...)").
std::optional<Rgb> ParseCssColour(std::string_view value);

// Every colour value in the CSS of a page: in the content of style elements
// and in style attributes, in text order. Only property values are looked
// at, so "#header" in a selector or "red" in a class name is no colour;
// comments, quoted strings and url(...) are passed over, as are HTML
// comments and script content. Views point into the page.
std::vector<CssColour> ListCssColours(std::string_view page);

// Each colour written once, the first place kept: writings that differ
// only in the case of letters or in blanks are one. Sorted ascending by the
// writing so compared ("#000" before "#fff" before "black" before "rgb(").
std::vector<CssColour> UniqueSortedColours(std::vector<CssColour> colours);

}  // namespace zelm
