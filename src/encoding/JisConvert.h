// Conversions between Shift_JIS and the JIS-based encodings ISO-2022-JP and
// EUC-JP, by arithmetic on the JIS row and cell of each character.
#pragma once

#include <string_view>

#include "encoding/Converted.h"

namespace zelm {

// ISO-2022-JP to Shift_JIS. ESC "$B" and ESC "$@" switch to double-byte
// mode, ESC "(B" and ESC "(J" back. In double-byte mode every two bytes are
// one character; a pair with a byte that is not 0x21-0x7E (a line break
// inside double-byte mode) and a single byte left at the end give nothing
// and are reported as lost.
Converted JisToSjis(std::string_view text);

// EUC-JP to Shift_JIS. Characters of the supplementary set (0x8F and two
// bytes) have no Shift_JIS form and become "?"; so does a lead byte
// (0xA1-0xFE) that is not followed by a second one, and the byte after it is
// read on its own. Other bytes are copied.
Converted EucToSjis(std::string_view text);

// Shift_JIS to ISO-2022-JP. Half-width katakana become full-width (sound
// marks merged). The switch back to single-byte mode (ESC "(J") is written
// only before a single-byte character, so a text may end in double-byte
// mode. Characters outside JIS X 0208 rows 0x21-0x7E (user-defined and IBM
// extension characters) and bytes that are not Shift_JIS become "?".
Converted SjisToJis(std::string_view text);

// ISO-2022-JP to EUC-JP: in double-byte mode the bytes 0x21-0x7E get their
// top bit set; the escapes are dropped. Loses nothing.
Converted JisToEuc(std::string_view text);

// Shift_JIS to EUC-JP, in one pass; the same as JisToEuc(SjisToJis(text))
// for every text without ESC bytes.
Converted SjisToEuc(std::string_view text);

}  // namespace zelm
