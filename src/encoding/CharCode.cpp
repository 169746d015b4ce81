#include "encoding/CharCode.h"

#include <array>

namespace zelm {

std::string_view GetharCode(CharCodeIndex code) {
  static constexpr std::array<std::string_view, 6> kNames{"", "euc-jp", "utf-8", "Shift_JIS", "ISO-2022-JP", "UTF-8N"};
  if (code < 0 || code >= static_cast<CharCodeIndex>(kNames.size())) return "UnKnown";
  return kNames[static_cast<std::size_t>(code)];
}

}  // namespace zelm
