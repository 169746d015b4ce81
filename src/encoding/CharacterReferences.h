// Shift_JIS characters as HTML numeric character references ("&#12354;"),
// and back: what a page's characters are in Unicode, so that the page reads
// the same whatever encoding it is later served in.
//
// Code page 932 gives some characters two codes (NEC's and IBM's copies of
// the same kanji and symbols, 398 codes in all). A reference names the
// character, not the code, so it reads back as the code the system's
// conversion from Unicode gives (IBM's kanji, the JIS symbols): the same
// character, as a browser shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// The Unicode code point of the Shift_JIS character `character` (one byte,
// or a lead byte and the byte after it); nullopt for bytes code page 932
// gives no character (0x80, 0xA0, 0xFD-0xFF, unassigned pairs).
std::optional<char32_t> SjisCharToCodePoint(std::string_view character);

// The Shift_JIS bytes of a code point, as the system's conversion from
// Unicode writes them; nullopt when it has no Shift_JIS form.
std::optional<std::string> CodePointToSjisChar(char32_t codePoint);

struct ReferenceConversion {
  std::string text;
  // Characters that are no code page 932 character and so have no code
  // point: they stay as they were, and are counted here.
  ConversionLoss keptAsIs;
};

// Every character that is not ASCII becomes a decimal numeric character
// reference; ASCII stays as it is. Characters are taken as everywhere in the
// system: a lead byte and the byte after it are one.
ReferenceConversion ConvertAllToCharacterReferences(std::string_view text);

// Decimal ("&#12354;") and hexadecimal ("&#x3042;") numeric references and
// the named entities of HTML, each ended by ";", become the Shift_JIS
// character they stand for. A reference to a character without a Shift_JIS
// form (such as "&copy;"), to no character, or not ended by ";", stays as
// written.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace zelm
