// Reads which encoding a document declares in its charset label.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "encoding/CharCode.h"

namespace zelm {

// The code (0-4) of the charset label the raw bytes declare, 0 when none is
// found. Labels are looked for without case in the head (the text before
// "<body", opening script tags removed) and, for the <meta charset=...>
// forms, in the whole text; when several are present a fixed order of
// preference decides. The bytes may be in any encoding and may hold NULs.
CharCodeIndex GetCharCodeFromMeta(std::string_view text);

// The same for a text given in parts cut at line starts, whose head ends in
// the first part. nullopt when the first part holds no "<body", which then
// cannot tell.
std::optional<CharCodeIndex> GetCharCodeFromMeta(std::span<const std::string_view> parts);

}  // namespace zelm
