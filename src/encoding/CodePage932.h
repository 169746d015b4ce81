// Code page 932 (Shift_JIS with the Windows extensions) to and from UTF-16,
// and to UTF-8, through the system's iconv. Every other unit reaches code
// page 932 only through these functions.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// A code point no text holds, which a reader gives for bytes that were no
// character of their encoding: it becomes "?" and is reported as such.
inline constexpr wchar_t kInvalidSequence = 0x110000;

// Gives the next code points of a text: writes up to kCodePointChunk of them
// to its buffer and returns how many, 0 when none are left.
using CodePointSource = std::function<std::size_t(wchar_t* chunk)>;
inline constexpr std::size_t kCodePointChunk = std::size_t{1} << 16;

// The code points `next` gives, to code page 932 a chunk at a time. A code
// point without a Shift_JIS form becomes "?"; one whose Shift_JIS form reads
// back as another code point ("~" U+203E becomes "~", U+301C becomes
// U+FF5E) is written in that form and reported as changed. With
// Unmappable::Reference both are written as "&#N;" instead, and counted
// apart. kInvalidSequence becomes "?" either way. The result starts with
// room for `roomHint` bytes and grows when it needs more.
// Throws EncodingError when the system has no code page 932 converter.
Converted CodePointsToCp932(const CodePointSource& next, std::size_t roomHint,
                            Unmappable unmappable = Unmappable::Question);

// Whether a code point comes back unchanged from its way to Shift_JIS and
// back: it is one that code page 932 gives when it reads Shift_JIS.
bool SurvivesShiftJis(char32_t codePoint);

// The code points that have a code page 932 form which reads back as
// another code point ("¥" U+00A5 as "\\", "〜" U+301C as "～" U+FF5E, ...),
// in ascending order.
inline constexpr std::array<char32_t, 9> kReadBackAsOther{0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014,
                                                         0x2016, 0x203E, 0x2212, 0x301C};

// "&#N;" for a code point, appended.
void AppendCharacterReference(std::string& out, char32_t codePoint);

// Each character without a Shift_JIS form becomes "?" (a surrogate pair
// counts as one character, a lone surrogate as one).
// Throws EncodingError when the system has no code page 932 converter.
Converted Utf16ToCp932(std::u16string_view text, Unmappable unmappable = Unmappable::Question);

// Each byte sequence that is not a code page 932 character becomes "?": a
// lead byte with a valid second byte as one character, any other byte alone.
// Throws EncodingError when the system has no code page 932 converter.
WideConverted Cp932ToUtf16(std::string_view text);

// The same to UTF-8 in one step, without UTF-16 between: the same "?" for
// the same sequences, positions counted in bytes.
Converted Cp932ToUtf8(std::string_view text);

}  // namespace zelm
