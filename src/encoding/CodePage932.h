// Code page 932 (Shift_JIS with the Windows extensions) to and from UTF-16,
// and to UTF-8, through the system's iconv. Every other unit reaches code
// page 932 only through these functions.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// Gives the next code points of a text: writes up to kCodePointChunk of them
// to its buffer and returns how many, 0 when none are left.
using CodePointSource = std::function<std::size_t(wchar_t* chunk)>;
inline constexpr std::size_t kCodePointChunk = std::size_t{1} << 16;

// The code points `next` gives, to code page 932 a chunk at a time: each
// without a Shift_JIS form becomes "?". The result starts with room for
// `roomHint` bytes and grows when it needs more.
// Throws EncodingError when the system has no code page 932 converter.
Converted CodePointsToCp932(const CodePointSource& next, std::size_t roomHint);

// Each character without a Shift_JIS form becomes "?" (a surrogate pair
// counts as one character, a lone surrogate as one).
// Throws EncodingError when the system has no code page 932 converter.
Converted Utf16ToCp932(std::u16string_view text);

// Each byte sequence that is not a code page 932 character becomes "?": a
// lead byte with a valid second byte as one character, any other byte alone.
// Throws EncodingError when the system has no code page 932 converter.
WideConverted Cp932ToUtf16(std::string_view text);

// The same to UTF-8 in one step, without UTF-16 between: the same "?" for
// the same sequences, positions counted in bytes.
Converted Cp932ToUtf8(std::string_view text);

}  // namespace zelm
