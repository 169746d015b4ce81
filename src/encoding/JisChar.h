// One character at a time between JIS X 0208 (row and cell bytes, as in
// ISO-2022-JP and, with the top bits set, EUC-JP) and Shift_JIS.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "text/StringUtil.h"

namespace zelm {

// A JIS row and cell, or the two bytes of a Shift_JIS character.
using BytePair = std::array<unsigned char, 2>;

// The Shift_JIS bytes of JIS row j1, cell j2; nothing when the row is not
// 0x21-0x7E. The cell is not checked; the arithmetic wraps modulo 256.
std::optional<BytePair> JisPairToSjis(unsigned char j1, unsigned char j2);
// The same as a text: two bytes, or empty.
std::string JisToSjisChar(unsigned char j1, unsigned char j2);

// JIS row and cell of the Shift_JIS character s1 s2 (plain arithmetic; the
// bytes are not checked).
BytePair SjisPairToJis(unsigned char s1, unsigned char s2);
std::string SjisToJisChar(unsigned char s1, unsigned char s2);

inline bool IsHankakuKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// The full-width JIS form of the half-width katakana at 0-based index `i`,
// with a following sound mark merged into it ("ｶﾞ" is ガ). Advances `i` past
// the bytes it used. The byte at `i` must be half-width katakana.
BytePair HankakuKanaPairToJis(std::string_view text, std::size_t& i);
// The same with a 1-based position, as two bytes; a position that holds no
// half-width katakana gives the empty text and advances by one.
std::string HankakuKanaToJis(std::string_view text, Pos& position);

// Is this JIS row or cell a byte of the 94-character set (0x21-0x7E)?
inline bool IsJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

}  // namespace zelm
