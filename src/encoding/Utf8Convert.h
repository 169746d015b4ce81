// UTF-8 readers and writers, and the conversions between UTF-8 and
// Shift_JIS.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// The lenient reader whose refusal tells the automatic detection that a
// text is not UTF-8. A byte below 0x80 is one character. A byte b from 0x80
// on needs a byte of the form 10xxxxxx after it; when b has the bit 0x20 set
// (0xA0-0xBF, 0xE0-0xFF) one more such byte stands between them. The
// character is built from the low six bits of each byte and kept to 16 bits.
// Any broken sequence makes the whole reading fail (nullopt), and so does a
// sequence of two or three bytes that comes out as NUL. Note that it
// reads a four-byte sequence as a three-byte one and then fails on the
// fourth byte, so it refuses every text holding a character beyond U+FFFF.
std::optional<std::u16string> Utf8ToWide(std::string_view text);

// The reading of Utf8ToWide, straight to Shift_JIS a chunk at a time:
// nullopt where Utf8ToWide refuses the text, else what WideToSjis makes of
// its reading, with the same choice for a leading byte-order mark.
std::optional<Converted> LenientUtf8ToSjis(std::string_view text, bool dropByteOrderMark = false,
                                           Unmappable unmappable = Unmappable::Question);

// Is the text well-formed UTF-8 (no overlong forms, surrogates or values
// beyond U+10FFFF)?
bool IsValidUtf8(std::string_view text);

// Reads well-formed UTF-8; characters beyond U+FFFF become surrogate pairs
// and every maximal subpart of an ill-formed sequence (the bytes that begin
// a sequence but do not complete it, or a byte that begins none) becomes one
// U+FFFD, as platform decoders do. NUL bytes are characters like any other.
std::u16string DecodeUtf8(std::string_view text);

// UTF-8 to Shift_JIS through the strict reader: each maximal subpart of an
// ill-formed sequence becomes one "?" (reported as an invalid sequence);
// characters without a Shift_JIS form (a byte-order mark among them) become
// "?" or references, as CodePointsToCp932 writes them. With
// `dropByteOrderMark` a leading byte-order mark is left out instead.
// Throws EncodingError with "UTF8の文字列変換に失敗しました." when the
// system cannot convert at all.
Converted Utf8ToSjis(std::string_view text, bool dropByteOrderMark = false,
                     Unmappable unmappable = Unmappable::Question);

// UTF-16 to Shift_JIS; the same choice for a leading byte-order mark.
Converted WideToSjis(std::u16string_view text, bool dropByteOrderMark = false,
                     Unmappable unmappable = Unmappable::Question);

// How much of a text is UTF-8: its well-formed sequences of two bytes or
// more, and the maximal subparts of ill-formed ones.
struct Utf8Census {
  std::size_t multiByte = 0;
  std::size_t invalid = 0;
};
Utf8Census CountUtf8Sequences(std::string_view text);

// Shift_JIS to UTF-8 without byte-order mark; byte sequences that are not
// Shift_JIS become "?".
Converted SjisToUtf8(std::string_view text);

inline constexpr char16_t kByteOrderMark = 0xFEFF;

}  // namespace zelm
