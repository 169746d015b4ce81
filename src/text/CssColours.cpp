#include "text/CssColours.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "text/HtmlTags.h"

namespace zelm {
namespace {

struct NamedColour {
  std::string_view name;
  std::uint32_t rgb;  // 0xRRGGBB
};

// The named colours of CSS, sorted by name.
constexpr std::array<NamedColour, 148> kNamedColours{{
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF}, {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4}, {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF}, {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887}, {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC}, {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B}, {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400}, {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B}, {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC}, {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B}, {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1}, {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493}, {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969}, {"dimgrey", 0x696969}, {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0}, {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF}, {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080},
    {"green", 0x008000}, {"greenyellow", 0xADFF2F}, {"grey", 0x808080}, {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C}, {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5}, {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6}, {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2}, {"lightgray", 0xD3D3D3}, {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3}, {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00}, {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000}, {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3}, {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE}, {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC}, {"mediumvioletred", 0xC71585}, {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA}, {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6}, {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE}, {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9}, {"peru", 0xCD853F}, {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6}, {"purple", 0x800080}, {"rebeccapurple", 0x663399},
    {"red", 0xFF0000}, {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072}, {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57}, {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D}, {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB}, {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090}, {"slategrey", 0x708090}, {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4}, {"tan", 0xD2B48C}, {"teal", 0x008080}, {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347}, {"turquoise", 0x40E0D0}, {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5}, {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
}};

Rgb FromValue(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value)};
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// Letters, digits, "-", "_" and every byte of a character beyond ASCII
// continue a CSS name.
bool ContinuesName(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '-' || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool StartsName(char c) { return ContinuesName(c) && !IsDigit(c); }

int HexValue(char c) {
  if (c <= '9') return c - '0';
  return AsciiLower(c) - 'a' + 10;
}

std::optional<Rgb> ParseHexColour(std::string_view digits) {
  if (!std::all_of(digits.begin(), digits.end(), IsHexDigit)) return std::nullopt;
  auto channel = [&](std::size_t at, bool doubled) {
    const int high = HexValue(digits[at]);
    return static_cast<std::uint8_t>(doubled ? high * 17 : high * 16 + HexValue(digits[at + 1]));
  };
  switch (digits.size()) {
    case 3:
    case 4:
      return Rgb{channel(0, true), channel(1, true), channel(2, true)};
    case 6:
    case 8:
      return Rgb{channel(0, false), channel(2, false), channel(4, false)};
    default:
      return std::nullopt;
  }
}

// The arguments of rgb() or rgba(): three channels as numbers (0-255) or
// percentages, then at most an alpha; commas, blanks and "/" between them.
std::optional<Rgb> ParseRgbArguments(std::string_view arguments) {
  std::array<std::uint8_t, 3> channels{};
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < arguments.size()) {
    const char c = arguments[i];
    if (IsBlank(c) || c == ',' || c == '/') {
      ++i;
      continue;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(arguments.data() + i, arguments.data() + arguments.size(), value);
    if (error != std::errc()) return std::nullopt;
    i = static_cast<std::size_t>(end - arguments.data());
    const bool percent = i < arguments.size() && arguments[i] == '%';
    if (percent) ++i;
    if (count < 3) {
      const double scaled = std::clamp(percent ? value * 255 / 100 : value, 0.0, 255.0);
      channels[count] = static_cast<std::uint8_t>(std::lround(scaled));
    }
    if (++count > 4) return std::nullopt;
  }
  if (count < 3) return std::nullopt;
  return Rgb{channels[0], channels[1], channels[2]};
}

std::optional<Rgb> NamedColourValue(std::string_view name) {
  if (name.size() > 20) return std::nullopt;
  std::array<char, 20> lower{};
  for (std::size_t k = 0; k < name.size(); ++k) lower[k] = AsciiLower(name[k]);
  const std::string_view key(lower.data(), name.size());
  const auto it = std::lower_bound(kNamedColours.begin(), kNamedColours.end(), key,
                                   [](const NamedColour& colour, std::string_view k) { return colour.name < k; });
  if (it == kNamedColours.end() || it->name != key) return std::nullopt;
  return FromValue(it->rgb);
}

// The colours of the CSS in page[begin, end): a style element's rules or a
// style attribute's declarations. A declaration's colours are kept when it
// ends (at ";", "}" or the end); text that turns out to be a selector (it
// ends at "{", as "a:hover {" does) gives none.
class CssColourScanner {
 public:
  CssColourScanner(std::string_view page, std::vector<CssColour>& out) : page_(page), out_(out) {}

  void Scan(std::size_t begin, std::size_t end) {
    end_ = end;
    region_ = page_.substr(0, end);
    pending_.clear();
    inValue_ = false;
    for (std::size_t i = begin; i < end_;) i = Step(i);
    Keep();
  }

 private:
  // Reads what starts at i; returns where to go on.
  std::size_t Step(std::size_t i) {
    const char c = page_[i];
    if (c == '/' && i + 1 < end_ && page_[i + 1] == '*') return PastComment(i + 2);
    if (c == '"' || c == '\'') return PastString(i + 1, c);
    if (c == '{') {
      pending_.clear();
      inValue_ = false;
      return i + 1;
    }
    if (c == ';' || c == '}') {
      Keep();
      return i + 1;
    }
    if (!inValue_) {
      if (c == ':') inValue_ = true;
      return i + Length(i);
    }
    if (c == '#') return PastHash(i);
    if (IsDigit(c) || c == '.') return PastName(PastNumber(i));  // a number and its unit
    if (StartsName(c)) return PastWord(i);
    return i + 1;
  }

  // The length of the character at i, not reaching past the region.
  std::size_t Length(std::size_t i) const { return SjisCharLength(region_, i); }

  void Keep() {
    if (inValue_) out_.insert(out_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    inValue_ = false;
  }

  void Note(std::size_t begin, std::size_t end, Rgb rgb) {
    pending_.push_back({page_.substr(begin, end - begin), begin + 1, rgb});
  }

  std::size_t PastComment(std::size_t i) const {
    for (; i + 1 < end_; ++i)
      if (page_[i] == '*' && page_[i + 1] == '/') return i + 2;
    return end_;
  }

  // A backslash escapes the character after it; the second byte of a
  // Shift_JIS character may be 0x5C but escapes nothing.
  std::size_t PastString(std::size_t i, char quote) const {
    while (i < end_) {
      const char c = page_[i];
      if (c == quote) return i + 1;
      if (c == '\\') {
        i += 1 + (i + 1 < end_ ? Length(i + 1) : 0);
        continue;
      }
      i += Length(i);
    }
    return end_;
  }

  std::size_t PastName(std::size_t i) const {
    while (i < end_ && ContinuesName(page_[i])) i += Length(i);
    return std::min(i, end_);
  }

  std::size_t PastNumber(std::size_t i) const {
    while (i < end_ && (IsDigit(page_[i]) || page_[i] == '.')) ++i;
    return i;
  }

  std::size_t PastHash(std::size_t hash) {
    const std::size_t end = PastName(hash + 1);
    if (const auto rgb = ParseHexColour(page_.substr(hash + 1, end - hash - 1))) Note(hash, end, *rgb);
    return std::max(end, hash + 1);
  }

  // A name: a named colour, or a function. rgb() and rgba() give a colour,
  // url() is passed over whole, any other function is read into (the
  // colours of a gradient count).
  std::size_t PastWord(std::size_t begin) {
    const std::size_t end = PastName(begin);
    const std::string_view name = page_.substr(begin, end - begin);
    if (end < end_ && page_[end] == '(') {
      if (EqualsLowerNoCase(name, "url")) {
        const std::size_t close = region_.find(')', end);
        return close == std::string_view::npos ? end_ : close + 1;
      }
      if (EqualsLowerNoCase(name, "rgb") || EqualsLowerNoCase(name, "rgba")) {
        // The arguments are short: a missing ")" is not looked for further,
        // so that a broken style sheet is still read in one pass.
        constexpr std::size_t kLongestArguments = 100;
        const std::size_t close = region_.substr(end, kLongestArguments).find(')');
        if (close != std::string_view::npos) {
          if (const auto rgb = ParseRgbArguments(page_.substr(end + 1, close - 1))) {
            Note(begin, end + close + 1, *rgb);
            return end + close + 1;
          }
        }
      }
      return end + 1;
    }
    if (const auto rgb = NamedColourValue(name)) Note(begin, end, *rgb);
    return end;
  }

  std::string_view page_;
  std::vector<CssColour>& out_;
  std::string_view region_;  // the page up to the end of the CSS being read
  std::size_t end_ = 0;
  std::vector<CssColour> pending_;  // the colours of the declaration being read
  bool inValue_ = false;            // after the ":" of a declaration
};

// The writing a duplicate is recognised by: lower case, without blanks.
std::string ComparisonKey(std::string_view text) {
  std::string key;
  for (char c : text)
    if (!IsBlank(c)) key += AsciiLower(c);
  return key;
}

}  // namespace

std::string RgbHex(Rgb colour) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string text = "#";
  for (std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
    text += kHex[channel >> 4];
    text += kHex[channel & 0xF];
  }
  return text;
}

std::optional<Rgb> ParseCssColour(std::string_view value) {
  value = PlainTrimView(value);
  if (value.starts_with('#')) return ParseHexColour(value.substr(1));
  const std::size_t open = value.find('(');
  if (open != std::string_view::npos) {
    const std::string_view name = value.substr(0, open);
    if (!value.ends_with(')') || !(EqualsLowerNoCase(name, "rgb") || EqualsLowerNoCase(name, "rgba"))) return std::nullopt;
    return ParseRgbArguments(value.substr(open + 1, value.size() - open - 2));
  }
  return NamedColourValue(value);
}

std::vector<CssColour> ListCssColours(std::string_view page) {
  std::vector<CssColour> colours;
  CssColourScanner scanner(page, colours);
  HtmlTagReader reader(page);
  HtmlTag tag;
  while (reader.Next(tag)) {
    if (tag.closing) continue;
    if (const auto style = FindAttribute(page, tag, "style"))
      scanner.Scan(style->begin, style->begin + style->value.size());
    if (IsTagName(tag.name, "style") && tag.contentEnd > tag.end) scanner.Scan(tag.end, tag.contentEnd);
  }
  return colours;
}

std::vector<CssColour> UniqueSortedColours(std::vector<CssColour> colours) {
  std::vector<std::pair<std::string, CssColour>> keyed;
  keyed.reserve(colours.size());
  for (const CssColour& colour : colours) keyed.emplace_back(ComparisonKey(colour.text), colour);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CssColour> unique;
  for (std::size_t i = 0; i < keyed.size(); ++i)
    if (i == 0 || keyed[i].first != keyed[i - 1].first) unique.push_back(keyed[i].second);
  return unique;
}

}  // namespace zelm
