// The JIS-based conversions over arbitrary bytes: no NUL byte appears that
// the input did not hold, sizes stay within what one character can become,
// lost characters are reported where they stand, ISO-2022-JP output is
// seven-bit, and clean Shift_JIS text survives the round trips.
#include <string>

#include "FuzzSupport.h"
#include "encoding/JisChar.h"
#include "encoding/JisConvert.h"

namespace zelm::fuzz {
namespace {

bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The input cut down to what both JIS-based encodings carry: ASCII without
// ESC, SO, SI and NUL, and double-byte characters of JIS X 0208 rows and cells.
std::string CleanShiftJis(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      if (c != 0 && c != 0x1B && c != 0x0E && c != 0x0F) out += static_cast<char>(c);  // no NUL, ESC, SO, SI
    } else if (IsSjisLeadByte(c) && i + 1 < bytes.size() && IsTrail(static_cast<unsigned char>(bytes[i + 1]))) {
      const auto t = static_cast<unsigned char>(bytes[i + 1]);
      const BytePair jis = SjisPairToJis(c, t);
      if (IsJisByte(jis[0]) && IsJisByte(jis[1])) {
        out += static_cast<char>(c);
        out += static_cast<char>(t);
      }
      ++i;
    }
  }
  return out;
}

std::size_t CountQuestionMarks(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += c == '?';
  return n;
}

// A lost character becomes "?" where the report says; a changed one is
// written in its other form there.
void CheckLossMarked(const Converted& converted, std::string_view input, const char* what) {
  const ConversionLoss& loss = converted.loss;
  if (!loss.any()) {
    ZELM_CHECK(loss.firstPos == 0, std::string(what) + ": a position without a loss");
    return;
  }
  std::size_t kinds = 0;
  for (std::size_t count : loss.byKind) kinds += count;
  ZELM_CHECK(kinds == loss.count, std::string(what) + ": the kinds do not add up to the count");
  ZELM_CHECK(loss.firstPos >= 1 && loss.firstPos <= converted.text.size() &&
                 (loss.firstKind == LossKind::Changed || converted.text[loss.firstPos - 1] == '?'),
             std::string(what) + ": first loss at " + std::to_string(loss.firstPos) + " of " + Show(converted.text) +
                 " from " + Show(input));
  ZELM_CHECK(CountQuestionMarks(converted.text) >= loss.count - loss.of(LossKind::Changed),
             std::string(what) + ": more losses than \"?\"");
}

void CheckNoNewNul(std::string_view input, std::string_view output, const char* what) {
  ZELM_CHECK(HasNul(input) || !HasNul(output), std::string(what) + " made a NUL byte: " + Show(output) + " from " + Show(input));
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const Converted fromJis = JisToSjis(bytes);
  CheckNoNewNul(bytes, fromJis.text, "JisToSjis");
  ZELM_CHECK(fromJis.text.size() <= bytes.size(), "JisToSjis grew the text");
  ZELM_CHECK(fromJis.loss.firstPos <= fromJis.text.size() + 1, "JisToSjis loss beyond the text");

  const Converted fromEuc = EucToSjis(bytes);
  CheckNoNewNul(bytes, fromEuc.text, "EucToSjis");
  ZELM_CHECK(fromEuc.text.size() <= bytes.size(), "EucToSjis grew the text");
  CheckLossMarked(fromEuc, bytes, "EucToSjis");

  const Converted toJis = SjisToJis(bytes);
  CheckNoNewNul(bytes, toJis.text, "SjisToJis");
  // One byte or character at most: its two bytes and an escape of three.
  ZELM_CHECK(toJis.text.size() <= 5 * bytes.size(), "SjisToJis out of bounds");
  for (char c : toJis.text) ZELM_CHECK(static_cast<unsigned char>(c) < 0x80, "SjisToJis wrote an eight-bit byte");
  CheckLossMarked(toJis, bytes, "SjisToJis");

  const Converted jisToEuc = JisToEuc(bytes);
  CheckNoNewNul(bytes, jisToEuc.text, "JisToEuc");
  // A katakana byte takes EUC-JP's single shift before it.
  ZELM_CHECK(jisToEuc.text.size() <= 2 * bytes.size() && !jisToEuc.loss.any(), "JisToEuc out of bounds or lost");

  const Converted toEuc = SjisToEuc(bytes);
  CheckNoNewNul(bytes, toEuc.text, "SjisToEuc");
  ZELM_CHECK(toEuc.text.size() <= 2 * bytes.size(), "SjisToEuc out of bounds");
  CheckLossMarked(toEuc, bytes, "SjisToEuc");
  // ISO-2022-JP widens half-width katakana, which EUC-JP keeps.
  if (bytes.find('\x1B') == std::string_view::npos && !toJis.loss.of(LossKind::Changed)) {
    ZELM_CHECK(toEuc.text == JisToEuc(toJis.text).text, "SjisToEuc differs from JisToEuc(SjisToJis) for " + Show(bytes));
  }
  // EUC-JP keeps every half-width katakana.
  ZELM_CHECK(!toEuc.loss.of(LossKind::Changed), "SjisToEuc changed a character of " + Show(bytes));

  const std::string clean = CleanShiftJis(bytes);
  ZELM_CHECK(JisToSjis(SjisToJis(clean).text).text == clean, "ISO-2022-JP round trip of " + Show(clean));
  ZELM_CHECK(EucToSjis(SjisToEuc(clean).text).text == clean, "EUC-JP round trip of " + Show(clean));

  // The one-character helpers at the first bytes.
  if (size >= 2) {
    const std::string sjis = JisToSjisChar(data[0], data[1]);
    ZELM_CHECK(sjis.empty() == !IsJisByte(data[0]), "JisToSjisChar answers for a row it has no character in");
    if (IsJisByte(data[0]) && IsJisByte(data[1])) {
      ZELM_CHECK(sjis.size() == 2 && IsSjisLeadByte(static_cast<unsigned char>(sjis[0])) &&
                     IsTrail(static_cast<unsigned char>(sjis[1])),
                 "JisToSjisChar of a JIS character is no Shift_JIS character");
      const std::string jis(reinterpret_cast<const char*>(data), 2);
      ZELM_CHECK(SjisToJisChar(static_cast<unsigned char>(sjis[0]), static_cast<unsigned char>(sjis[1])) == jis,
                 "SjisToJisChar does not undo JisToSjisChar");
    }
  }
  for (Pos position = 1; position <= bytes.size() && position <= 64;) {
    const Pos before = position;
    const std::string full = HankakuKanaToJis(bytes, position);
    ZELM_CHECK(position > before && position <= before + 2, "HankakuKanaToJis moved by " + std::to_string(position - before));
    ZELM_CHECK(full.empty() || (IsJisByte(static_cast<unsigned char>(full[0])) && IsJisByte(static_cast<unsigned char>(full[1]))),
               "HankakuKanaToJis gave no JIS character");
  }
  return 0;
}
