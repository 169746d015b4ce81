// Copying the short pieces a coloured document is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zelm {

// Copies bytes that do not overlap. Tokens are mostly a handful of bytes:
// up to 16 are moved with two loads and two stores of a fixed width, which
// may overlap each other, instead of a loop or a call.
inline void CopyBytes(char* to, const char* from, std::size_t n) {
  if (n >= 8) {
    if (n > 16) {
      std::memcpy(to, from, n);
      return;
    }
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + n - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + n - 8, &tail, 8);
  } else if (n >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + n - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + n - 4, &tail, 4);
  } else if (n > 0) {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

}  // namespace zelm
