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

// What happened to a character a conversion could not carry over as it was.
enum class LossKind : unsigned char {
  NoForm,           // no form in the target encoding: became "?"
  Changed,          // written as another character (its round trip gives another one)
  InvalidSequence,  // bytes that are no character of the source encoding: "?" or nothing
  JisX0212,         // a JIS X 0212 character, which Shift_JIS lacks: "?"
};
inline constexpr std::size_t kLossKinds = 4;

// How a conversion writes a character that has no exact form in its target:
// as "?" (reported as lost), or as an HTML numeric character reference
// ("&#165;"), which shows the same character in a page.
enum class Unmappable : unsigned char { Question, Reference };

// Characters a conversion could not carry over. Each became "?" or another
// character, except the broken double-byte sequences of ISO-2022-JP input,
// which leave nothing. Characters written as references are no loss; they
// are counted apart.
struct ConversionLoss {
  std::size_t count = 0;  // how many characters were replaced, changed or dropped
  Pos firstPos = 0;       // 1-based position in the result of the first one, 0 when none
  LossKind firstKind = LossKind::NoForm;
  std::size_t byKind[kLossKinds] = {};  // the count, by kind
  std::size_t referenced = 0;           // written as numeric character references instead
  Pos firstReferencedPos = 0;

  bool any() const { return count != 0; }
  std::size_t of(LossKind kind) const { return byKind[static_cast<std::size_t>(kind)]; }

  // Records a lost character at 0-based index `at` of the result being built.
  void Note(std::size_t at, LossKind kind = LossKind::NoForm) {
    if (count++ == 0) {
      firstPos = at + 1;
      firstKind = kind;
    }
    ++byKind[static_cast<std::size_t>(kind)];
  }

  // Records a character written as a reference at 0-based index `at`.
  void NoteReference(std::size_t at) {
    if (referenced++ == 0) firstReferencedPos = at + 1;
  }

  // Adds the report of a text that follows this one's at 0-based `offset`.
  void Add(const ConversionLoss& later, std::size_t offset) {
    if (later.count != 0 && count == 0) {
      firstPos = later.firstPos + offset;
      firstKind = later.firstKind;
    }
    if (later.referenced != 0 && referenced == 0) firstReferencedPos = later.firstReferencedPos + offset;
    count += later.count;
    referenced += later.referenced;
    for (std::size_t k = 0; k < kLossKinds; ++k) byKind[k] += later.byKind[k];
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
