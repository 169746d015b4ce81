// Byte-wise text operations for documents whose encoding is not known yet:
// no character boundaries are assumed, and a NUL byte is an ordinary byte.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

// Copy of the bytes with every ASCII letter A-Z lower-cased, whatever the
// bytes around it.
std::string AsciiLowerBytes(std::string_view bytes);

// Index of the first occurrence of a lower-case pattern in the bytes with
// their letters compared without case, at or after `from`: what find gives
// on AsciiLowerBytes(bytes), without the copy. npos when there is none. The
// pattern must not be empty nor start with a letter.
std::size_t FindLowerCaseBytes(std::string_view bytes, std::string_view lowerPattern, std::size_t from = 0);

// Deletes every block from a start marker through the first end marker at
// or after the start marker's last byte, working from the left: the text
// that closes up after a deletion is searched again, so a start marker
// formed across the gap counts. Stops at a start marker with no end marker
// after it. Markers are compared byte for byte.
std::string DeleteBlocksBytewise(std::string_view text, std::string_view start, std::string_view end);

}  // namespace zelm
