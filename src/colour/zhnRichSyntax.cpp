#include "colour/zhnRichSyntax.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>

namespace zelm {

// --- Colours ----------------------------------------------------------------

namespace {

// The system colours of a default desktop, by index.
constexpr std::array<std::uint32_t, 31> kSystemPalette{
    MakeColor(200, 200, 200),  // scroll bar
    MakeColor(0, 0, 0),        // desktop
    MakeColor(153, 180, 209),  // active caption
    MakeColor(191, 205, 219),  // inactive caption
    MakeColor(240, 240, 240),  // menu
    MakeColor(255, 255, 255),  // window
    MakeColor(100, 100, 100),  // window frame
    MakeColor(0, 0, 0),        // menu text
    MakeColor(0, 0, 0),        // window text
    MakeColor(0, 0, 0),        // caption text
    MakeColor(180, 180, 180),  // active border
    MakeColor(244, 247, 252),  // inactive border
    MakeColor(171, 171, 171),  // application workspace
    MakeColor(0, 120, 215),    // highlight
    MakeColor(255, 255, 255),  // highlight text
    MakeColor(240, 240, 240),  // button face
    MakeColor(160, 160, 160),  // button shadow
    MakeColor(109, 109, 109),  // grey text
    MakeColor(0, 0, 0),        // button text
    MakeColor(0, 0, 0),        // inactive caption text
    MakeColor(255, 255, 255),  // button highlight
    MakeColor(105, 105, 105),  // 3D dark shadow
    MakeColor(227, 227, 227),  // 3D light
    MakeColor(0, 0, 0),        // tooltip text
    MakeColor(255, 255, 225),  // tooltip background
    MakeColor(0, 0, 0),        // (unused)
    MakeColor(0, 102, 204),    // hot-tracked item
    MakeColor(185, 209, 234),  // gradient of the active caption
    MakeColor(215, 228, 242),  // gradient of the inactive caption
    MakeColor(51, 153, 255),   // menu highlight
    MakeColor(240, 240, 240),  // menu bar
};

std::string_view FamilyWord(std::uint8_t pitchAndFamily) {
  switch (pitchAndFamily & 0xF0) {
    case 0x00: return "fdontcare";
    case 0x10: return "froman";
    case 0x20: return "fswiss";
    case 0x30: return "fmodern";
    case 0x40: return "fscript";
    case 0x50: return "fdecorative";
    default: return "froman";
  }
}

std::string_view CharSetWord(std::uint8_t charSet) {
  switch (charSet) {
    case 0: return "fcharset0";
    case 1: return "fcharset1";
    case 2: return "fcharset2";
    case 128: return "fcharset128";
    case 255: return "fcharset255";
    default: return "";
  }
}

void AppendDecimal(std::string& out, long long value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

}  // namespace

std::uint32_t ColorToRGB(TColor color) {
  if (color >= 0) return static_cast<std::uint32_t>(color) & 0xFFFFFF;
  const std::uint32_t index = static_cast<std::uint32_t>(color) & 0xFF;
  return index < kSystemPalette.size() ? kSystemPalette[index] : 0;
}

RtfFont RealiseFont(std::string_view faceName) {
  constexpr std::uint8_t kFixedPitchModern = 0x31;
  constexpr std::uint8_t kDontCare = 0x00;
  constexpr std::uint8_t kShiftJis = 128;
  return RtfFont{std::string(faceName), faceName == "Courier New" ? kFixedPitchModern : kDontCare, kShiftJis};
}

// --- Output -----------------------------------------------------------------

RtfSink::RtfSink() : buffer_(new char[kCapacity]) {}
RtfSink::~RtfSink() = default;

void RtfSink::Flush() {
  if (used_ == 0) return;
  const std::size_t used = used_;
  used_ = 0;
  Drain(std::string_view(buffer_.get(), used));
}

void RtfSink::WriteLarge(std::string_view bytes) {
  Flush();
  if (bytes.size() >= kCapacity) {
    Drain(bytes);
  } else {
    bytes.copy(buffer_.get(), bytes.size());
    used_ = bytes.size();
  }
}

void OstreamSink::Drain(std::string_view bytes) { out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); }

// --- The writer -------------------------------------------------------------

TzhnRTFSyntax::TzhnRTFSyntax() {
  CodePage = 1252;
  const RtfFont courier = RealiseFont("Courier New");
  SetFonts(std::span<const RtfFont>(&courier, 1), 0);
  Header = "{\\rtf1\\ansi\\ansicpg";
  AppendDecimal(Header, CodePage);
  Header += "\\deff0\\deftab720{\\fonttbl";
  FontTableClose = "}\r\n";
  ParagraphDefaults = "\\deflang1033\\pard\\plain\\f0\\fs20";
  ColorTable.clear();
}

TzhnRTFSyntax::~TzhnRTFSyntax() = default;

void TzhnRTFSyntax::EscapeToken(std::string_view&, std::string&) {}

void TzhnRTFSyntax::StyleToken(int style, std::string_view token, RtfSink& out) {
  std::string prefix = "\\cf";
  AppendDecimal(prefix, style);
  prefix += ' ';
  out.Write(prefix);
  out.Write(token);
}

void TzhnRTFSyntax::NextToken() {}
bool TzhnRTFSyntax::AtEnd() const { return true; }
std::string_view TzhnRTFSyntax::GetToken() const { return {}; }
int TzhnRTFSyntax::GetTokenStyle() const { return 0; }

std::string TzhnRTFSyntax::ColorEntry(TColor color) const {
  const std::uint32_t rgb = ColorToRGB(color);
  std::string entry = "\\red";
  AppendDecimal(entry, RedOf(rgb));
  entry += "\\green";
  AppendDecimal(entry, GreenOf(rgb));
  entry += "\\blue";
  AppendDecimal(entry, BlueOf(rgb));
  entry += ';';
  return entry;
}

void TzhnRTFSyntax::LoadSource(const std::string&, int) {}

void TzhnRTFSyntax::SetSource(const std::string& text) {
  sourceBytes_ = text.size();
  LoadSource(text, 1);
}

void TzhnRTFSyntax::SetFonts(std::span<const RtfFont> fonts, int last) {
  FontTable.clear();
  // A last index beyond the array ends at the array's end.
  const long long end = std::min<long long>(last, static_cast<long long>(fonts.size()) - 1);
  for (long long i = 0; i <= end; ++i) {
    const RtfFont& font = fonts[static_cast<std::size_t>(i)];
    FontTable += "{\\f";
    AppendDecimal(FontTable, i);
    FontTable += '\\';
    FontTable += FamilyWord(font.pitchAndFamily);
    FontTable += '\\';
    FontTable += CharSetWord(font.charSet);
    FontTable += ' ';
    FontTable += font.faceName;
    FontTable += ";}";
  }
}

void TzhnRTFSyntax::SetColors(std::span<const TColor> colors, int last) {
  ColorTable = "{\\colortbl\\red0\\green0\\blue0;";
  const long long end = std::min<long long>(last, static_cast<long long>(colors.size()) - 1);
  for (long long i = 0; i <= end; ++i) ColorTable += ColorEntry(colors[static_cast<std::size_t>(i)]);
  ColorTable += "}\r\n";
}

void TzhnRTFSyntax::WriteRTF(RtfSink& sink) { WriteDocument(*this, sink); }

void TzhnRTFSyntax::WriteRTF(std::ostream& out) {
  OstreamSink sink(out);
  WriteRTF(sink);
}

std::string TzhnRTFSyntax::GetRTF() {
  std::string document;
  // A coloured page is about three times its text; room for four saves the
  // copies of a growing string, and pages never written cost nothing.
  document.reserve(Header.size() + FontTable.size() + ColorTable.size() + 256 + 4 * sourceBytes_);
  StringSink sink(document);
  WriteRTF(sink);
  return document;
}

void TzhnRTFSyntax::UseAlternateColors() {}

}  // namespace zelm
