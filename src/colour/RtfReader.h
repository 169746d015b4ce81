// Reads a coloured RTF document back into its plain text and the runs of
// colour and weight laid over it, the way a rich-edit control does when it
// loads the document.
//
// What it understands: groups, the font table (with each font's character
// set), the colour table, "\cfN", "\b", "\b0", "\plain", "\par", "\tab", the
// escaped "\\", "\{" and "\}", "\'hh", and "\*" destinations, which it skips.
// Other control words are passed over.
//
// Like the control, it reads text in a font with the Shift_JIS character set
// (128) character by character: a lead byte and the byte after it are one
// character, even when that byte is "\", "{" or "}". In other fonts every
// byte is a character of its own. A byte written as "\'hh" is a character of
// its own in every font.
//
// Line ends: every "\par" gives CR LF, and bare CR and LF bytes in the
// document are layout and give nothing. The last "\par" of a document, after
// which no text follows, is the closing paragraph mark every document ends
// with and gives nothing either. So the writer's document of a text reads
// back as that text with each CR LF, lone CR and lone LF written as CR LF:
// a text with CR LF line ends comes back byte for byte.
//
// A document that does not begin with "{\rtf" is read as plain text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// A stretch of the text in one colour and weight. Positions are 0-based byte
// offsets into the text; they are 32 bits wide, as a coloured page has about
// one run for every three of its bytes and texts stay far below 4 GB.
struct RtfRun {
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t color : 24 = 0;  // 0x00BBGGRR
  bool bold : 1 = false;
  bool operator==(const RtfRun&) const = default;
};

struct RtfFontEntry {
  int number = 0;
  std::string faceName;
  int charSet = -1;  // -1 when the entry names none
};

struct RtfText {
  std::string text;
  // Cover the whole text in order; neighbouring runs differ in colour or weight.
  std::vector<RtfRun> runs;
  std::vector<std::uint32_t> colorTable;
  std::vector<RtfFontEntry> fonts;
};

RtfText ReadRTF(std::string_view document);

}  // namespace zelm
