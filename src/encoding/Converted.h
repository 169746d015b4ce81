// The result of every conversion between encodings: the converted text and
// a report of the characters that could not be carried over. A character
// with no form in the target encoding becomes "?"; the report lets callers
// warn the user instead of losing characters silently.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "text/StringUtil.h"

namespace zelm {

// The halves of a UTF-16 surrogate pair.
inline bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters a conversion could not carry over. Each became "?", except the
// broken double-byte sequences of ISO-2022-JP input, which leave nothing.
struct ConversionLoss {
  std::size_t count = 0;  // how many characters were replaced or dropped
  Pos firstPos = 0;       // 1-based position in the result of the first one, 0 when none

  bool any() const { return count != 0; }

  // Records a lost character at 0-based index `at` of the result being built.
  void Note(std::size_t at) {
    if (count++ == 0) firstPos = at + 1;
  }
};

// `text` in the target encoding and what was lost on the way. For UTF-16
// results positions count 16-bit units, for byte strings bytes.
template <typename Text>
struct BasicConverted {
  Text text;
  ConversionLoss loss;
};

using Converted = BasicConverted<std::string>;
using WideConverted = BasicConverted<std::u16string>;

// The system cannot convert at all (its code page 932 converter is missing).
class EncodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zelm
