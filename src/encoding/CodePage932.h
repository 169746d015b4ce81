// Code page 932 (Shift_JIS with the Windows extensions) to and from UTF-16,
// and to UTF-8, through the system's iconv. Every other unit reaches code
// page 932 only through these functions.
#pragma once

#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

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
