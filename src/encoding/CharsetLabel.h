// Reads which encoding a document declares in its charset label.
#pragma once

#include <string_view>

#include "encoding/CharCode.h"

namespace zelm {

// The code (0-4) of the charset label the raw bytes declare, 0 when none is
// found. Labels are looked for without case in the head (the text before
// "<body", opening script tags removed) and, for the <meta charset=...>
// forms, in the whole text; when several are present a fixed order of
// preference decides. The bytes may be in any encoding and may hold NULs.
CharCodeIndex GetCharCodeFromMeta(std::string_view text);

}  // namespace zelm
