#include "encoding/CodePage932.h"

#include <iconv.h>

#include <bit>
#include <bitset>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cerrno>
#include <cstring>
#include <vector>

namespace zelm {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
// iconv's name for the wchar_t encoding: UCS-4 in the machine's byte order.
constexpr const char* kCodePoints = "WCHAR_T";
static_assert(sizeof(wchar_t) == 4, "wchar_t must hold a whole code point");
constexpr wchar_t kReplacementCharacter = 0xFFFD;

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw EncodingError(std::string("no converter from ") + from + " to " + to + ": " + std::strerror(errno));
  }
  ~Iconv() { ::iconv_close(cd_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // Converts as much of [in, in + inLeft) as it can into `out` from index
  // `written` on, growing `out` as needed. Stops at the end of the input or
  // at a sequence it cannot convert; returns the errno of that stop, 0 at
  // the end.
  int Run(const char*& in, std::size_t& inLeft, std::string& out, std::size_t& written) {
    while (inLeft > 0) {
      if (out.size() - written < 16) out.resize(out.size() * 2 + 64);
      char* inPtr = const_cast<char*>(in);
      char* outPtr = out.data() + written;
      std::size_t outLeft = out.size() - written;
      const std::size_t rc = ::iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
      written = static_cast<std::size_t>(outPtr - out.data());
      in = inPtr;
      if (error == E2BIG) continue;
      if (error != 0) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        return error;
      }
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

// Conversion failures other than an unconvertible or incomplete sequence
// mean the converter itself is broken.
void ThrowUnlessSequenceError(int error) {
  if (error != EILSEQ && error != EINVAL)
    throw EncodingError(std::string("code page 932 conversion failed: ") + std::strerror(error));
}


bool IsSjisTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

}  // namespace

namespace {

// The code points code page 932 gives for Shift_JIS: every byte that is no
// lead byte, and every lead byte with every trail byte, read at once. A
// code point among them survives the way to Shift_JIS and back.
std::bitset<0x10000> ReadableCodePoints() {
  std::string bytes;
  for (int c = 0; c < 0x100; ++c)
    if (!IsSjisLeadByte(static_cast<unsigned char>(c))) bytes += static_cast<char>(c);
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsSjisTrailByte(static_cast<unsigned char>(trail))) continue;
      bytes += static_cast<char>(lead);
      bytes += static_cast<char>(trail);
    }
  }
  std::bitset<0x10000> readable;
  for (const char16_t unit : Cp932ToUtf16(bytes).text) readable.set(unit);
  return readable;
}

const std::bitset<0x10000>& Readable() {
  static const std::bitset<0x10000> readable = ReadableCodePoints();
  return readable;
}

// Whether a code point's code page 932 form reads back as another code
// point: the few whose forms code page 932 reads as its own characters
// (a test checks this list against the system's converter). Code points
// without any form need no look beforehand: the converter stops at them.
constexpr char32_t kFirstReadBack = kReadBackAsOther.front(), kLastReadBack = kReadBackAsOther.back();

// One bit for each code point from the first of them to the last.
const std::bitset<kLastReadBack - kFirstReadBack + 1>& ReadBackBits() {
  static const auto bits = [] {
    std::bitset<kLastReadBack - kFirstReadBack + 1> set;
    for (char32_t c : kReadBackAsOther) set.set(c - kFirstReadBack);
    return set;
  }();
  return bits;
}

inline bool ReadsBackAsOther(wchar_t c, const std::bitset<kLastReadBack - kFirstReadBack + 1>& bits) {
  const auto codePoint = static_cast<char32_t>(c);
  return codePoint >= kFirstReadBack && codePoint <= kLastReadBack && bits[codePoint - kFirstReadBack];
}

// The index of the first code point from `from` on whose form reads back as
// another, or `count`. Four at a time are tested against the range those
// lie in; CJK punctuation lies there too and is looked at one by one.
std::size_t NextReadingBackAsOther(const wchar_t* chunk, std::size_t from, std::size_t count) {
  const auto& bits = ReadBackBits();
  std::size_t i = from;
#if defined(__SSE2__)
  static_assert(sizeof(wchar_t) == 4);
  const __m128i below = _mm_set1_epi32(static_cast<int>(kFirstReadBack) - 1);
  const __m128i above = _mm_set1_epi32(static_cast<int>(kLastReadBack) + 1);
  for (; i + 4 <= count; i += 4) {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + i));
    const __m128i inRange = _mm_and_si128(_mm_cmpgt_epi32(four, below), _mm_cmplt_epi32(four, above));
    for (int mask = _mm_movemask_ps(_mm_castsi128_ps(inRange)); mask != 0; mask &= mask - 1) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      if (ReadsBackAsOther(chunk[at], bits)) return at;
    }
  }
#endif
  for (; i < count; ++i)
    if (ReadsBackAsOther(chunk[i], bits)) return i;
  return count;
}

}  // namespace

bool SurvivesShiftJis(char32_t codePoint) { return codePoint < 0x10000 && Readable().test(codePoint); }

void AppendCharacterReference(std::string& out, char32_t codePoint) {
  char digits[16];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + codePoint % 10);
    codePoint /= 10;
  } while (codePoint != 0);
  out += "&#";
  while (n > 0) out += digits[--n];
  out += ';';
}

Converted CodePointsToCp932(const CodePointSource& next, std::size_t roomHint, Unmappable unmappable) {
  Converted result;
  // Whole code points go to iconv, so that the conversion is a single step
  // and an unconvertible character costs no more than any other (in a
  // chain of steps iconv converts a large piece again after every error).
  // They come in chunks, which stay in the processor's cache on their way.
  // A code point that has no form, or whose form reads back as another,
  // goes on its own.
  Iconv converter(kCp932, kCodePoints);
  std::string& out = result.text;
  out.resize(roomHint + 16);
  std::size_t written = 0;
  auto room = [&](std::size_t bytes) {
    if (out.size() - written < bytes) out.resize(out.size() * 2 + bytes + 64);
  };
  auto writeReference = [&](wchar_t c) {
    room(16);
    std::string reference;
    AppendCharacterReference(reference, static_cast<char32_t>(c));
    result.loss.NoteReference(written);
    std::memcpy(out.data() + written, reference.data(), reference.size());
    written += reference.size();
  };
  auto writeQuestion = [&](LossKind kind) {
    room(1);
    result.loss.Note(written, kind);
    out[written++] = '?';
  };
  // One code point that has no form, or whose form reads back as another.
  auto writeOne = [&](wchar_t c) {
    if (c == kInvalidSequence) return writeQuestion(LossKind::InvalidSequence);
    const char* in = reinterpret_cast<const char*>(&c);
    std::size_t inLeft = sizeof c;
    const std::size_t before = written;
    const int error = converter.Run(in, inLeft, out, written);
    if (error != 0) {
      ThrowUnlessSequenceError(error);
      written = before;
      if (unmappable == Unmappable::Reference) return writeReference(c);
      return writeQuestion(LossKind::NoForm);
    }
    if (unmappable == Unmappable::Reference) {
      written = before;
      return writeReference(c);
    }
    result.loss.Note(before, LossKind::Changed);
  };
  std::vector<wchar_t> chunk(kCodePointChunk);
  for (std::size_t count = next(chunk.data()); count != 0; count = next(chunk.data())) {
    std::size_t i = 0;
    while (i < count) {
      std::size_t end = NextReadingBackAsOther(chunk.data(), i, count);
      const char* in = reinterpret_cast<const char*>(chunk.data() + i);
      std::size_t inLeft = (end - i) * sizeof(wchar_t);
      while (inLeft > 0) {
        const int error = converter.Run(in, inLeft, out, written);
        if (error == 0) break;
        ThrowUnlessSequenceError(error);
        // The code point at `in` has no Shift_JIS form after all.
        writeOne(*reinterpret_cast<const wchar_t*>(in));
        in += sizeof(wchar_t);
        inLeft -= sizeof(wchar_t);
      }
      if (end < count) writeOne(chunk[end++]);
      i = end;
    }
  }
  out.resize(written);
  return result;
}

Converted Utf16ToCp932(std::u16string_view text, Unmappable unmappable) {
  std::size_t next = 0;  // the unit to read next
  const auto fill = [&](wchar_t* chunk) {
    std::size_t unit = next, count = 0;
    for (; unit < text.size() && count < kCodePointChunk; ++count) {
      const char16_t c = text[unit++];
      if (IsHighSurrogate(c) && unit < text.size() && IsLowSurrogate(text[unit])) {
        chunk[count] = static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (text[unit++] - 0xDC00));
      } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
        chunk[count] = kReplacementCharacter;  // a lone surrogate: no character at all
      } else {
        chunk[count] = static_cast<wchar_t>(c);
      }
    }
    next = unit;
    return count;
  };
  // A unit becomes at most two bytes.
  return CodePointsToCp932(fill, text.size() * 2, unmappable);
}

namespace {

// Converts code page 932 `text` into `out` in the encoding `to`, writing
// `question` (that encoding's "?") for each byte sequence that is not a
// code page 932 character: a lead byte with a valid second byte as one
// character, any other byte alone. `out` starts with room for `room` bytes;
// loss positions count units of `question`'s size.
ConversionLoss FromCp932(std::string_view text, const char* to, std::string_view question, std::size_t room,
                         std::string& out) {
  ConversionLoss loss;
  Iconv converter(to, kCp932);
  out.resize(room);
  std::size_t written = 0;
  const char* in = text.data();
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    const int error = converter.Run(in, inLeft, out, written);
    if (error == 0) break;
    ThrowUnlessSequenceError(error);
    const std::size_t at = static_cast<std::size_t>(in - text.data());
    std::size_t skip = 1;
    if (IsSjisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
        IsSjisTrailByte(static_cast<unsigned char>(text[at + 1])))
      skip = 2;
    if (out.size() - written < question.size()) out.resize(out.size() * 2 + 64);
    std::memcpy(out.data() + written, question.data(), question.size());
    loss.Note(written / question.size(), LossKind::InvalidSequence);  // bytes that are no Shift_JIS
    written += question.size();
    in += skip;
    inLeft -= skip;
  }
  out.resize(written);
  return loss;
}

}  // namespace

WideConverted Cp932ToUtf16(std::string_view text) {
  WideConverted result;
  if (text.empty()) return result;
  // iconv writes bytes; they are gathered here and moved into the UTF-16
  // text once at the end. A character of one or two bytes is one unit.
  const char16_t question = u'?';
  std::string bytes;
  result.loss = FromCp932(text, kUtf16, std::string_view(reinterpret_cast<const char*>(&question), sizeof question),
                          text.size() * sizeof(char16_t) + 16, bytes);
  result.text.resize(bytes.size() / sizeof(char16_t));
  std::memcpy(result.text.data(), bytes.data(), result.text.size() * sizeof(char16_t));
  return result;
}

Converted Cp932ToUtf8(std::string_view text) {
  Converted result;
  if (text.empty()) return result;
  // Japanese text takes about half as much again in UTF-8; more room is
  // made when it takes more.
  result.loss = FromCp932(text, "UTF-8", "?", text.size() + text.size() / 2 + 16, result.text);
  return result;
}

}  // namespace zelm
