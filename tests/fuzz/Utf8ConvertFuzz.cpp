// The UTF-8 readers and the code page 932 conversions over arbitrary bytes:
// no NUL byte appears that the input did not hold, a well-formed text reads
// back to its own bytes, Shift_JIS always becomes well-formed UTF-8, every
// lost character is reported where its "?" stands (a changed one where its
// other form stands), each broken sequence is one "?", and written as
// references nothing but broken sequences is lost.
//
// Input: one option byte (bit 0: drop a byte-order mark), then the text.
#include <string>

#include "FuzzSupport.h"
#include "encoding/CodePage932.h"
#include "encoding/Utf8Convert.h"

namespace zelm::fuzz {
namespace {

std::string EncodeUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t k = 0; k < text.size(); ++k) {
    char32_t c = text[k];
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < text.size() && text[k + 1] >= 0xDC00 && text[k + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++k] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

template <typename Text>
void CheckLossMarked(const BasicConverted<Text>& converted, const char* what, std::string_view input) {
  const ConversionLoss& loss = converted.loss;
  if (!loss.any()) {
    ZELM_CHECK(loss.firstPos == 0, std::string(what) + ": a position without a loss");
    return;
  }
  std::size_t marks = 0;
  for (auto c : converted.text) marks += c == '?';
  ZELM_CHECK(loss.firstPos >= 1 && loss.firstPos <= converted.text.size() &&
                 (loss.firstKind == LossKind::Changed || converted.text[loss.firstPos - 1] == '?'),
             std::string(what) + ": first loss at " + std::to_string(loss.firstPos) + " from " + Show(input));
  ZELM_CHECK(marks >= loss.count - loss.of(LossKind::Changed), std::string(what) + ": more losses than \"?\"");
}

bool HasNul16(std::u16string_view text) { return text.find(u'\0') != std::u16string_view::npos; }

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const bool dropMark = input.Byte() & 1;
  const std::string_view bytes = input.Rest();
  const bool nul = HasNul(bytes);

  if (const auto wide = Utf8ToWide(bytes)) {
    ZELM_CHECK(wide->size() <= bytes.size(), "Utf8ToWide made more characters than bytes");
    ZELM_CHECK(nul || !HasNul16(*wide), "Utf8ToWide made a NUL character from " + Show(bytes));
    const Converted sjis = WideToSjis(*wide, dropMark);
    ZELM_CHECK(nul || !HasNul(sjis.text), "WideToSjis made a NUL byte from " + Show(bytes));
    ZELM_CHECK(sjis.text.size() <= 2 * wide->size(), "WideToSjis out of bounds");
    CheckLossMarked(sjis, "WideToSjis", bytes);
  }

  const std::u16string decoded = DecodeUtf8(bytes);
  ZELM_CHECK(decoded.size() <= bytes.size(), "DecodeUtf8 made more units than bytes");
  ZELM_CHECK(nul || !HasNul16(decoded), "DecodeUtf8 made a NUL character");
  if (IsValidUtf8(bytes)) {
    ZELM_CHECK(EncodeUtf8(decoded) == bytes, "a well-formed text does not read back: " + Show(bytes));
    ZELM_CHECK(decoded.find(u'\uFFFD') == std::u16string::npos || bytes.find("\xEF\xBF\xBD") != std::string_view::npos,
               "a well-formed text read with a replacement character");
  } else {
    ZELM_CHECK(decoded.find(u'\uFFFD') != std::u16string::npos, "a broken text read without a replacement character");
  }

  const Converted fromUtf8 = Utf8ToSjis(bytes, dropMark);
  ZELM_CHECK(nul || !HasNul(fromUtf8.text), "Utf8ToSjis made a NUL byte from " + Show(bytes));
  ZELM_CHECK(fromUtf8.text.size() <= bytes.size(), "Utf8ToSjis grew the text");
  CheckLossMarked(fromUtf8, "Utf8ToSjis", bytes);
  const std::size_t broken = CountUtf8Sequences(bytes).invalid;
  ZELM_CHECK(fromUtf8.loss.of(LossKind::InvalidSequence) == broken,
             "Utf8ToSjis: not one \"?\" for each broken sequence of " + Show(bytes));
  const Converted referenced = Utf8ToSjis(bytes, dropMark, Unmappable::Reference);
  ZELM_CHECK(referenced.loss.count == broken, "references lost more than the broken sequences of " + Show(bytes));
  ZELM_CHECK(referenced.loss.referenced == fromUtf8.loss.count - broken,
             "not every character without an exact form became a reference: " + Show(bytes));

  const Converted toUtf8 = SjisToUtf8(bytes);
  ZELM_CHECK(nul || !HasNul(toUtf8.text), "SjisToUtf8 made a NUL byte from " + Show(bytes));
  ZELM_CHECK(IsValidUtf8(toUtf8.text), "SjisToUtf8 wrote broken UTF-8 for " + Show(bytes));
  ZELM_CHECK(toUtf8.text.size() <= 3 * bytes.size(), "SjisToUtf8 out of bounds");
  CheckLossMarked(toUtf8, "SjisToUtf8", bytes);
  // The Shift_JIS text of that UTF-8 converts back without a loss beyond
  // the "?" already there, and to the same number of characters.
  const Converted back = Utf8ToSjis(toUtf8.text);
  ZELM_CHECK(!back.loss.any(), "UTF-8 of Shift_JIS text has characters without a Shift_JIS form: " + Show(bytes));

  const WideConverted wide = Cp932ToUtf16(bytes);
  ZELM_CHECK(wide.text.size() <= bytes.size(), "Cp932ToUtf16 made more units than bytes");
  ZELM_CHECK(nul || !HasNul16(wide.text), "Cp932ToUtf16 made a NUL character");
  CheckLossMarked(wide, "Cp932ToUtf16", bytes);

  // Arbitrary UTF-16, lone surrogates included, from the byte pairs.
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  const Converted narrow = Utf16ToCp932(units);
  ZELM_CHECK(HasNul16(units) || !HasNul(narrow.text), "Utf16ToCp932 made a NUL byte");
  ZELM_CHECK(narrow.text.size() <= 2 * units.size(), "Utf16ToCp932 out of bounds");
  CheckLossMarked(narrow, "Utf16ToCp932", bytes);
  return 0;
}
