// A pane's text at the edge between the engine and the widget: the engine
// holds Shift_JIS bytes with CR LF, the widget holds Unicode characters with
// one break between lines. This unit converts between the two and maps byte
// positions to character positions and back, so that selections, hits and
// columns land on the right characters after double-byte ones.
//
// In the widget every Shift_JIS character is one UTF-16 unit (code page 932
// has no character beyond U+FFFF) and every line break (CR LF, a lone CR or
// a lone LF) is one character. A byte that starts no Shift_JIS character (a
// stray second byte, 0x80, 0xA0, 0xFD-0xFF, a lead byte whose second byte
// does not pair with it) is shown as a character of its own from the block
// U+F780-U+F7FF, which code page 932 does not use, so that it goes back out
// as the same byte: no byte of a page is lost by showing and editing it.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/Converted.h"

namespace zelm::gui {

// Where the character positions of a text fall behind its byte positions:
// every double-byte character and every CR LF is two bytes and one
// character. Positions are 0-based.
class PositionMap {
 public:
  PositionMap() = default;
  // The map of a Shift_JIS text read as the widget reads it.
  static PositionMap Of(std::string_view sjis);

  // The character at which the byte `byte` stands; a byte inside a two-byte
  // unit gives the character the unit is. `byte` may be the text's length.
  std::size_t CharOfByte(std::size_t byte) const;
  // The first byte of character `ch`; `ch` may be the number of characters.
  std::size_t ByteOfChar(std::size_t ch) const;
  // The first byte of every two-byte unit (double-byte characters and
  // CR LF), ascending.
  const std::vector<std::uint32_t>& PairStarts() const { return pairStarts_; }

 private:
  friend class PositionMapBuilder;
  std::vector<std::uint32_t> pairStarts_;  // first byte of every two-byte unit, ascending
};

// A character whose two bytes are not the ones the encoding unit writes for
// it: code page 932 has a few characters twice (the NEC selection of IBM
// extensions, some NEC special characters), and converting back to
// Shift_JIS gives the other pair of bytes. `ch` is its character position.
struct KeptBytes {
  std::uint32_t ch = 0;
  std::uint16_t bytes = 0;  // lead byte << 8 | second byte
  bool operator==(const KeptBytes&) const = default;
};

// A Shift_JIS text as the widget holds it. Line breaks become "\n".
struct WideText {
  QString text;
  PositionMap map;
  std::vector<KeptBytes> kept;  // ascending
};
WideText SjisToWide(std::string_view sjis);

// The widget's text back to Shift_JIS with CR LF after each line but the
// last; "\n", U+2029 (paragraph) and U+2028 (line separator) are line breaks.
// A character listed in `kept` (and still the character those bytes are)
// is written as the bytes kept for it. A character without a Shift_JIS form
// becomes "?", and the loss says how many and where the first one is (a
// byte position in the result).
Converted WideToSjis(QStringView text, const std::vector<KeptBytes>& kept = {});

// Moves kept bytes along with an edit of the widget's text: `removed`
// characters at `from` replaced by `added` ones. Those of removed
// characters go.
void ApplyEdit(std::vector<KeptBytes>& kept, std::size_t from, std::size_t removed, std::size_t added);

// A short Shift_JIS text, such as a search word, to Unicode and back, for
// the controls around the panes (the find box, labels).
QString SjisToQString(std::string_view sjis);
std::string QStringToSjis(QStringView text);

// The first code point of the block that stands for single undecodable bytes.
inline constexpr char16_t kRawByteBase = 0xF780;

}  // namespace zelm::gui
