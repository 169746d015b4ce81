// Finding the next byte of a small set (one to eight values) in a text, 16
// bytes at a time where the processor offers it. Made for bytes that occur
// every few dozen bytes (tag brackets, line ends), where a library call per
// occurrence costs more than the search itself.
#pragma once

#include <algorithm>
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
  static_assert(N >= 1 && N <= 8);
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
  // The last bytes of a text of 16 or more: the last 16 bytes once more,
  // without those already looked at.
  if (i < size && size >= 16) {
    const std::size_t start = size - 16;
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + start));
    __m128i hit = _mm_cmpeq_epi8(chunk, wanted[0]);
    for (std::size_t k = 1; k < N; ++k) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(chunk, wanted[k]));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)) & (~0u << (i - start));
    return mask != 0 ? start + static_cast<std::size_t>(__builtin_ctz(mask)) : std::string_view::npos;
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

// Index of the first i >= from where text[i, i + N) equals `bytes`, or
// npos: a search for two or three neighbouring bytes that jumps over the
// many places where only some of them stand (">" without "<" after it).
template <std::size_t N>
inline std::size_t FindRun(std::string_view text, std::size_t from, const std::array<char, N>& bytes) {
  static_assert(N >= 2 && N <= 3);
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = from;
  if (size < N || i > size - N) return std::string_view::npos;
#if defined(__SSE2__)
  if (size >= 16 + N - 1) {
    __m128i wanted[N];
    for (std::size_t k = 0; k < N; ++k) wanted[k] = _mm_set1_epi8(bytes[k]);
    auto maskAt = [&](std::size_t at) {
      __m128i hit = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), wanted[0]);
      for (std::size_t k = 1; k < N; ++k)
        hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + k)),
                                                wanted[k]));
      return static_cast<unsigned>(_mm_movemask_epi8(hit));
    };
    for (; i + 16 + N - 1 <= size; i += 16) {
      const unsigned mask = maskAt(i);
      if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    if (i > size - N) return std::string_view::npos;
    // The last block reaches back over places already seen.
    const std::size_t last = size - (16 + N - 1);
    const unsigned mask = maskAt(last) >> (i - last);
    return mask != 0 ? i + static_cast<std::size_t>(__builtin_ctz(mask)) : std::string_view::npos;
  }
#endif
  for (; i + N <= size; ++i) {
    std::size_t k = 0;
    while (k < N && data[i + k] == bytes[k]) ++k;
    if (k == N) return i;
  }
  return std::string_view::npos;
}

inline std::size_t FindPair(std::string_view text, std::size_t from, char first, char second) {
  return FindRun<2>(text, from, {first, second});
}

// Every position of the bytes of a small set, from left to right: each block
// of 16 bytes is looked at once, however many of the bytes it holds. The
// text may change while it is read, as long as no byte of the set is
// written or removed.
template <std::size_t N>
class BytePositions {
 public:
  static constexpr std::size_t npos = std::string_view::npos;

  BytePositions(std::string_view text, const std::array<char, N>& bytes, std::size_t from = 0)
      : text_(text), bytes_(bytes) {
    static_assert(N >= 1 && N <= 4);
#if defined(__SSE2__)
    for (std::size_t k = 0; k < N; ++k) wanted_[k] = _mm_set1_epi8(bytes[k]);
#endif
    Load(from);
  }

  // The next position, or npos at the end of the text.
  std::size_t Next() {
    while (mask_ == 0) {
      if (base_ + kBlock >= text_.size()) return npos;
      Load(base_ + kBlock);
    }
    const std::size_t at = base_ + static_cast<std::size_t>(__builtin_ctz(mask_));
    mask_ &= mask_ - 1;
    return at;
  }

  // Passes over the positions before `from`.
  void SkipTo(std::size_t from) {
    if (from >= base_ + kBlock) {
      Load(from);
    } else if (from > base_) {
      mask_ &= ~((1u << (from - base_)) - 1);
    }
  }

 private:
  static constexpr std::size_t kBlock = 16;

  void Load(std::size_t at) {
    base_ = at;
    mask_ = 0;
    if (at >= text_.size()) return;
    const char* data = text_.data() + at;
#if defined(__SSE2__)
    if (text_.size() - at >= kBlock) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
      __m128i hit = _mm_cmpeq_epi8(chunk, wanted_[0]);
      for (std::size_t k = 1; k < N; ++k) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(chunk, wanted_[k]));
      mask_ = static_cast<unsigned>(_mm_movemask_epi8(hit));
      return;
    }
#endif
    const std::size_t count = std::min(kBlock, text_.size() - at);
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t k = 0; k < N; ++k)
        if (data[i] == bytes_[k]) mask_ |= 1u << i;
    }
  }

  std::string_view text_;
  std::array<char, N> bytes_;
#if defined(__SSE2__)
  __m128i wanted_[N];
#endif
  std::size_t base_ = 0;  // the block starts here
  unsigned mask_ = 0;     // bit i: the byte at base_ + i is one of the set, not yet given out
};

// Index of the first ASCII capital letter (A-Z) at or after `from`, or npos.
inline std::size_t FindAsciiUpper(std::string_view text, std::size_t from) {
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = from;
#if defined(__SSE2__)
  // Signed bytes: 'A'..'Z' moved to the bottom of the range, so that one
  // comparison finds them.
  const __m128i shift = _mm_set1_epi8(static_cast<char>(-128 - 'A'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), shift);
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(chunk, limit)));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  for (; i < size; ++i)
    if (data[i] >= 'A' && data[i] <= 'Z') return i;
  return std::string_view::npos;
}

// Does the text hold an ASCII capital letter (A-Z)?
inline bool HasAsciiUpperCase(std::string_view text) {
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t i = 0;
#if defined(__SSE2__)
  // Signed bytes: 'A'..'Z' moved to the bottom of the range, so that one
  // comparison finds them.
  const __m128i shift = _mm_set1_epi8(static_cast<char>(-128 - 'A'));
  const __m128i limit = _mm_set1_epi8(static_cast<char>(-128 + 26));
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), shift);
    if (_mm_movemask_epi8(_mm_cmplt_epi8(chunk, limit)) != 0) return true;
  }
#endif
  for (; i < size; ++i)
    if (data[i] >= 'A' && data[i] <= 'Z') return true;
  return false;
}

// Finds the places where a short pattern may stand by four of its bytes
// (its first and last and two rare ones in between), 16 places at a time.
// With `anyCase`, letters are compared without case: a byte is folded by
// setting its 0x20 bit, which pairs a few other bytes as well, so callers
// check each place found.
class PatternProbe {
 public:
  PatternProbe(std::string_view pattern, bool anyCase);

  // The first place at or after `from` where the probed bytes fit and the
  // whole pattern would fit in the text, or npos.
  std::size_t Next(std::string_view text, std::size_t from) const {
    const std::size_t size = text.size();
    if (length_ > size || from > size - length_) return std::string_view::npos;
    const std::size_t last = size - length_;  // the last place the pattern can start
    const char* data = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    // The last probe is the pattern's last byte, so a block whose loads stay
    // in the text holds no place beyond `last`.
    const __m128i value0 = _mm_set1_epi8(probes_[0].value), fold0 = _mm_set1_epi8(probes_[0].fold);
    const __m128i value1 = _mm_set1_epi8(probes_[1].value), fold1 = _mm_set1_epi8(probes_[1].fold);
    const __m128i value2 = _mm_set1_epi8(probes_[2].value), fold2 = _mm_set1_epi8(probes_[2].fold);
    const __m128i value3 = _mm_set1_epi8(probes_[3].value), fold3 = _mm_set1_epi8(probes_[3].fold);
    auto hits = [&](std::size_t at, const Probe& probe, __m128i value, __m128i fold) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + probe.offset));
      return _mm_cmpeq_epi8(_mm_or_si128(chunk, fold), value);
    };
    for (; i + length_ + 15 <= size; i += 16) {
      const __m128i both = _mm_and_si128(hits(i, probes_[0], value0, fold0), hits(i, probes_[3], value3, fold3));
      if (_mm_movemask_epi8(both) == 0) continue;
      const __m128i all =
          _mm_and_si128(both, _mm_and_si128(hits(i, probes_[1], value1, fold1), hits(i, probes_[2], value2, fold2)));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(all));
      if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; i <= last; ++i) {
      std::size_t k = 0;
      while (k < probes_.size() && static_cast<char>(data[i + probes_[k].offset] | probes_[k].fold) == probes_[k].value)
        ++k;
      if (k == probes_.size()) return i;
    }
    return std::string_view::npos;
  }

 private:
  struct Probe {
    std::size_t offset = 0;
    char value = 0;  // folded when fold is set
    char fold = 0;   // 0x20 for a letter compared without case, else 0
  };
  // The first byte, two in between and the last byte; a short pattern
  // repeats a probe.
  std::array<Probe, 4> probes_{};
  std::size_t length_ = 0;
};

// Index of the first byte-wise occurrence of `needle` at or after `from`, or
// npos. The search jumps between occurrences of the run of (up to three)
// neighbouring bytes of the needle that is likely rarest in markup, so that
// a needle such as ">\r\n</a>" is not tried at every ">".
std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from);

}  // namespace zelm
