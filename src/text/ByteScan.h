// Finding the next byte of a small set (one to four values) in a text, 16
// bytes at a time where the processor offers it. Made for bytes that occur
// every few dozen bytes (tag brackets, line ends), where a library call per
// occurrence costs more than the search itself.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelm {

// Index of the first byte at or after `from` that equals one of `bytes`, or
// npos.
template <std::size_t N>
inline std::size_t FindAnyOf(std::string_view text, std::size_t from, const std::array<char, N>& bytes) {
  static_assert(N >= 1 && N <= 4);
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = from;
#if defined(__SSE2__)
  __m128i wanted[N];
  for (std::size_t k = 0; k < N; ++k) wanted[k] = _mm_set1_epi8(bytes[k]);
  while (i + 16 <= size) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    __m128i hit = _mm_cmpeq_epi8(chunk, wanted[0]);
    for (std::size_t k = 1; k < N; ++k) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(chunk, wanted[k]));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    i += 16;
  }
#endif
  for (; i < size; ++i) {
    for (std::size_t k = 0; k < N; ++k)
      if (data[i] == bytes[k]) return i;
  }
  return std::string_view::npos;
}

inline std::size_t FindByte(std::string_view text, std::size_t from, char byte) {
  return FindAnyOf<1>(text, from, {byte});
}

// Index of the first byte-wise occurrence of `needle` at or after `from`, or
// npos. The search jumps between occurrences of the needle's byte that is
// likely rarest in markup, so that a needle such as "></" is not tried at
// every ">".
std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from);

}  // namespace zelm
