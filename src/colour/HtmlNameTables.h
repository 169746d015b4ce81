// The vocabulary of the HTML colouring scanner: letter values, the tag-name
// hash, the table of known tag names and the character entities it colours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zelm {

// Value of each byte in a tag-name hash: A-Z and a-z are 1-26 (a letter and
// its capital alike), "!" is 123, "/" is 122, every other byte 0.
constexpr std::int32_t LetterValueOf(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  if (c == '!') return 123;
  if (c == '/') return 122;
  return 0;
}
// The same as a table.
extern const std::array<std::int32_t, 256> LetterValue;

// The hash of the tag name that starts at `pos`: the letter values of a run
// of letters, "!" and "/", then the digit values (0-9) of the digits after
// it. `length` is the number of bytes both runs take. The sum is kept in 64
// bits, so however long the run, a hash never wraps back into the table.
struct TagNameHash {
  std::uint64_t hash = 0;
  std::size_t length = 0;
};
TagNameHash NameHash(std::string_view text, std::size_t pos);

// Number of hash buckets of known tag names; a hash at or above this is
// never a known name.
inline constexpr std::uint64_t kKeywordBuckets = 244;

// Is `name` (whose NameHash is `hash`) one of the known tag names? Names
// compare equal when they have the same length and, position by position,
// the same letter value: letters match without case and any digit matches
// any digit. Answers false for every hash of kKeywordBuckets or more.
bool KeywordTable(std::uint64_t hash, std::string_view name);

// The letter values of the first eight bytes of a name (fewer when it is
// shorter), one byte each, the first in the lowest byte: two names whose
// letter values agree over these bytes have the same word.
constexpr std::uint64_t FirstLetterValues(const char* name, std::size_t length) {
  std::uint64_t values = 0;
  for (std::size_t i = 0; i < length && i < 8; ++i) {
    const auto value = static_cast<std::uint64_t>(LetterValueOf(static_cast<unsigned char>(name[i])));
    values |= value << (8 * i);
  }
  return values;
}

// KeywordTable for a name whose FirstLetterValues the caller has already
// gathered while hashing it.
bool IsKnownTagName(std::uint64_t hash, std::uint64_t firstValues, std::string_view name);

// The known names that live in one bucket (at most three).
struct KeywordBucket {
  std::array<std::string_view, 3> names{};
  std::size_t count = 0;
};
const KeywordBucket& KeywordBucketAt(std::uint64_t hash);

// The character entities coloured in text, in the order they are tried.
inline constexpr std::size_t kEntityCount = 151;
extern const std::array<std::string_view, kEntityCount> EntityNames;

// Index of the first spelling in EntityNames that the bytes at `pos` match
// over the spelling's length with letters compared without case, or -1.
int MatchEntity(std::string_view text, std::size_t pos);

}  // namespace zelm
