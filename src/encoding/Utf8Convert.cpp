#include "encoding/Utf8Convert.h"

#include <cstdint>

#include "encoding/CodePage932.h"

namespace zelm {
namespace {

unsigned char Byte(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at i and its code point, or 0
// when the bytes at i do not start one.
std::size_t WellFormedSequenceAt(std::string_view text, std::size_t i, char32_t& codePoint) {
  const unsigned char b = Byte(text, i);
  if (b < 0x80) {
    codePoint = b;
    return 1;
  }
  std::size_t length;
  char32_t value;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
    value = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    value = b & 0x0F;
    if (b == 0xE0) low = 0xA0;       // no overlong forms
    else if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    value = b & 0x07;
    if (b == 0xF0) low = 0x90;
    else if (b == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char c = Byte(text, i + k);
    if (k == 1 ? (c < low || c > high) : !IsContinuation(c)) return 0;
    value = (value << 6) | (c & 0x3F);
  }
  codePoint = value;
  return length;
}

// Length of the maximal subpart of an ill-formed sequence at i: the bytes
// that begin a well-formed sequence but do not complete one, or the byte
// alone when it begins none. Each such subpart is one replaced character,
// as the Unicode standard recommends and as platform decoders do.
std::size_t MaximalSubpartAt(std::string_view text, std::size_t i) {
  const unsigned char b = Byte(text, i);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    if (b == 0xE0) low = 0xA0;
    else if (b == 0xED) high = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    if (b == 0xF0) low = 0x90;
    else if (b == 0xF4) high = 0x8F;
  } else {
    return 1;
  }
  std::size_t k = 1;
  for (; k < length && i + k < text.size(); ++k) {
    const unsigned char c = Byte(text, i + k);
    if (k == 1 ? (c < low || c > high) : !IsContinuation(c)) break;
  }
  return k;
}

// The lenient reader's sequence at i (see Utf8ToWide): its length and its
// 16-bit unit, or 0 where the reading fails.
std::size_t LenientSequenceAt(std::string_view text, std::size_t i, char16_t& unit) {
  const unsigned char b = Byte(text, i);
  if (b < 0x80) {
    unit = b;
    return 1;
  }
  const std::size_t n = text.size();
  if (i + 1 >= n) return 0;
  std::uint32_t value = b & 0x3F;
  std::size_t j = i + 1;
  if (b & 0x20) {
    const unsigned char middle = Byte(text, j);
    if (!IsContinuation(middle) || j + 1 >= n) return 0;
    value = value * 64 + (middle & 0x3F);
    ++j;
  }
  const unsigned char final = Byte(text, j);
  if (!IsContinuation(final)) return 0;
  unit = static_cast<char16_t>((value * 64 + (final & 0x3F)) & 0xFFFF);
  // A sequence read as NUL (0x80 0x80, the overlong 0xC0 0x80) would put a
  // NUL byte into a text that had none.
  if (unit == 0) return 0;
  return j + 1 - i;
}


void AppendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
  } else {
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  }
}

constexpr std::string_view kConversionFailed = "UTF8の文字列変換に失敗しました.";

}  // namespace

std::optional<std::u16string> Utf8ToWide(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  char16_t unit;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = LenientSequenceAt(text, i, unit);
    if (length == 0) return std::nullopt;
    out += unit;
    i += length;
  }
  return out;
}

std::optional<Converted> LenientUtf8ToSjis(std::string_view text, bool dropByteOrderMark, Unmappable unmappable) {
  char16_t unit;
  for (std::size_t i = 0; i < text.size();) {  // the reading must hold for the whole text
    const std::size_t length = LenientSequenceAt(text, i, unit);
    if (length == 0) return std::nullopt;
    i += length;
  }
  std::size_t next = 0;  // the byte to read next
  if (dropByteOrderMark && !text.empty()) {
    const std::size_t length = LenientSequenceAt(text, 0, unit);
    if (unit == kByteOrderMark) next = length;
  }
  // The units read become code points as Utf16ToCp932 makes them: a high
  // surrogate and a low one after it are one, a surrogate alone is none.
  const auto fill = [&](wchar_t* chunk) {
    std::size_t i = next, count = 0;
    char16_t low = 0;
    for (; i < text.size() && count < kCodePointChunk; ++count) {
      i += LenientSequenceAt(text, i, unit);  // the whole text reads: every sequence has a length
      if (IsHighSurrogate(unit) && i < text.size()) {
        const std::size_t length = LenientSequenceAt(text, i, low);
        if (IsLowSurrogate(low)) {
          chunk[count] = static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
          i += length;
          continue;
        }
      }
      chunk[count] = IsHighSurrogate(unit) || IsLowSurrogate(unit) ? wchar_t{0xFFFD} : static_cast<wchar_t>(unit);
    }
    next = i;
    return count;
  };
  // A sequence of one byte makes at most one byte, of two or three bytes at
  // most two.
  return CodePointsToCp932(fill, text.size(), unmappable);
}

bool IsValidUtf8(std::string_view text) {
  char32_t ignored;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = WellFormedSequenceAt(text, i, ignored);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::u16string DecodeUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  char32_t codePoint;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = WellFormedSequenceAt(text, i, codePoint);
    if (length == 0) {
      out += u'\uFFFD';
      i += MaximalSubpartAt(text, i);
    } else {
      AppendUtf16(out, codePoint);
      i += length;
    }
  }
  return out;
}

Converted WideToSjis(std::u16string_view text, bool dropByteOrderMark, Unmappable unmappable) {
  if (dropByteOrderMark && !text.empty() && text.front() == kByteOrderMark) text.remove_prefix(1);
  return Utf16ToCp932(text, unmappable);
}

Utf8Census CountUtf8Sequences(std::string_view text) {
  Utf8Census census;
  char32_t codePoint;
  for (std::size_t i = 0; i < text.size();) {
    if (Byte(text, i) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = WellFormedSequenceAt(text, i, codePoint);
    if (length == 0) {
      ++census.invalid;
      i += MaximalSubpartAt(text, i);
    } else {
      ++census.multiByte;
      i += length;
    }
  }
  return census;
}

Converted Utf8ToSjis(std::string_view text, bool dropByteOrderMark, Unmappable unmappable) {
  // Read as DecodeUtf8 reads, a chunk at a time, straight to code points.
  std::size_t next = dropByteOrderMark && text.starts_with("\xEF\xBB\xBF") ? 3 : 0;  // the byte to read next
  const auto fill = [&](wchar_t* chunk) {
    std::size_t i = next, count = 0;
    char32_t codePoint;
    for (; i < text.size() && count < kCodePointChunk; ++count) {
      const std::size_t length = WellFormedSequenceAt(text, i, codePoint);
      chunk[count] = length == 0 ? kInvalidSequence : static_cast<wchar_t>(codePoint);
      i += length == 0 ? MaximalSubpartAt(text, i) : length;
    }
    next = i;
    return count;
  };
  try {
    // No character takes more bytes in Shift_JIS than in UTF-8.
    return CodePointsToCp932(fill, text.size(), unmappable);
  } catch (const EncodingError&) {
    throw EncodingError(std::string(kConversionFailed));
  }
}

Converted SjisToUtf8(std::string_view text) { return Cp932ToUtf8(text); }

}  // namespace zelm
