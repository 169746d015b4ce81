// Conversions between Shift_JIS and the JIS-based encodings ISO-2022-JP and
// EUC-JP, by arithmetic on the JIS row and cell of each character.
#pragma once

#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// ISO-2022-JP to Shift_JIS. ESC "$B", ESC "$@" and ESC "$(B" switch to
// JIS X 0208, ESC "(B" and ESC "(J" back to single bytes. In double-byte
// mode every two bytes are one character; a pair with a byte that is not
// 0x21-0x7E (a line break inside double-byte mode) and a single byte left
// at the end give nothing and are reported as invalid. JIS X 0201 katakana
// (after ESC "(I", or between SO and SI) become Shift_JIS half-width
// katakana; JIS X 0212 characters (after ESC "$(D") have no Shift_JIS form,
// become "?" and are reported as such. Other escapes are copied as data.
Converted JisToSjis(std::string_view text);

// EUC-JP to Shift_JIS. Characters of the supplementary set (0x8F and two
// bytes) have no Shift_JIS form and become "?"; so does a lead byte
// (0xA1-0xFE) that is not followed by a second one, and the byte after it is
// read on its own. Other bytes are copied.
Converted EucToSjis(std::string_view text);

// Shift_JIS to ISO-2022-JP. The switch back to single bytes is ESC "(B"
// (ASCII), so that "~" and "\\" stay themselves; it is written only before a
// single-byte character, so a text may end in double-byte mode. Half-width
// katakana, which ISO-2022-JP lacks, become full-width (sound marks merged)
// and are reported as changed. Characters outside JIS X 0208 rows 0x21-0x7E
// (user-defined and IBM extension characters) become "?", and so do bytes
// that are not Shift_JIS. With Unmappable::Reference the characters become
// numeric character references instead.
Converted SjisToJis(std::string_view text, Unmappable unmappable = Unmappable::Question);

// ISO-2022-JP to EUC-JP: in double-byte mode the bytes 0x21-0x7E get their
// top bit set; JIS X 0201 katakana and JIS X 0212 characters get EUC-JP's
// single shifts (0x8E, 0x8F); the escapes are dropped. Loses nothing.
Converted JisToEuc(std::string_view text);

// Shift_JIS to EUC-JP, in one pass; for every text without ESC bytes and
// half-width katakana the same as JisToEuc(SjisToJis(text)). Half-width
// katakana are kept (0x8E and the byte); what has no form becomes "?" or a
// reference, as in SjisToJis.
Converted SjisToEuc(std::string_view text, Unmappable unmappable = Unmappable::Question);

}  // namespace zelm
