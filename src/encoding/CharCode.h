// The numbers that name the encodings of an opened document, shared by the
// open-charset choice, the detection, the status display and saving.
#pragma once

#include <string_view>

namespace zelm {

// Equal to the item index of the open-charset choice; -1 means nothing chosen.
using CharCodeIndex = int;

inline constexpr CharCodeIndex kCharCodeAuto = 0;       // detect from the text
inline constexpr CharCodeIndex kCharCodeEucJp = 1;
inline constexpr CharCodeIndex kCharCodeUtf8 = 2;
inline constexpr CharCodeIndex kCharCodeShiftJis = 3;
inline constexpr CharCodeIndex kCharCodeIso2022Jp = 4;
inline constexpr CharCodeIndex kCharCodeUtf8N = 5;      // UTF-8 without byte-order mark

// Display name of a code: "" for 0, "euc-jp", "utf-8", "Shift_JIS",
// "ISO-2022-JP", "UTF-8N", and "UnKnown" for anything else.
std::string_view GetharCode(CharCodeIndex code);

}  // namespace zelm
