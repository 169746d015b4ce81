#include "encoding/JisChar.h"

namespace zelm {
namespace {

// Full-width JIS forms of the half-width katakana 0xA1-0xDF, in byte order:
// the punctuation and sound marks in row 0x21, the katakana in row 0x25.
struct KanaForm {
  unsigned char row, cell;
};
constexpr KanaForm kKanaForms[0xDF - 0xA1 + 1] = {
    {0x21, 0x23}, {0x21, 0x56}, {0x21, 0x57}, {0x21, 0x22}, {0x21, 0x26},  // ｡ ｢ ｣ ､ ･
    {0x25, 0x72},                                                          // ｦ
    {0x25, 0x21}, {0x25, 0x23}, {0x25, 0x25}, {0x25, 0x27}, {0x25, 0x29},  // ｧ ｨ ｩ ｪ ｫ
    {0x25, 0x63}, {0x25, 0x65}, {0x25, 0x67}, {0x25, 0x43},                // ｬ ｭ ｮ ｯ
    {0x21, 0x3C},                                                          // ｰ
    {0x25, 0x22}, {0x25, 0x24}, {0x25, 0x26}, {0x25, 0x28}, {0x25, 0x2A},  // ｱ ｲ ｳ ｴ ｵ
    {0x25, 0x2B}, {0x25, 0x2D}, {0x25, 0x2F}, {0x25, 0x31}, {0x25, 0x33},  // ｶ ｷ ｸ ｹ ｺ
    {0x25, 0x35}, {0x25, 0x37}, {0x25, 0x39}, {0x25, 0x3B}, {0x25, 0x3D},  // ｻ ｼ ｽ ｾ ｿ
    {0x25, 0x3F}, {0x25, 0x41}, {0x25, 0x44}, {0x25, 0x46}, {0x25, 0x48},  // ﾀ ﾁ ﾂ ﾃ ﾄ
    {0x25, 0x4A}, {0x25, 0x4B}, {0x25, 0x4C}, {0x25, 0x4D}, {0x25, 0x4E},  // ﾅ ﾆ ﾇ ﾈ ﾉ
    {0x25, 0x4F}, {0x25, 0x52}, {0x25, 0x55}, {0x25, 0x58}, {0x25, 0x5B},  // ﾊ ﾋ ﾌ ﾍ ﾎ
    {0x25, 0x5E}, {0x25, 0x5F}, {0x25, 0x60}, {0x25, 0x61}, {0x25, 0x62},  // ﾏ ﾐ ﾑ ﾒ ﾓ
    {0x25, 0x64}, {0x25, 0x66}, {0x25, 0x68},                              // ﾔ ﾕ ﾖ
    {0x25, 0x69}, {0x25, 0x6A}, {0x25, 0x6B}, {0x25, 0x6C}, {0x25, 0x6D},  // ﾗ ﾘ ﾙ ﾚ ﾛ
    {0x25, 0x6F}, {0x25, 0x73},                                            // ﾜ ﾝ
    {0x21, 0x2B}, {0x21, 0x2C},                                            // ﾞ ﾟ
};

constexpr unsigned char kKanaU = 0xB3;                 // ｳ
constexpr unsigned char kKanaKa = 0xB6, kKanaTo = 0xC4;  // ｶ … ﾄ
constexpr unsigned char kKanaHa = 0xCA, kKanaHo = 0xCE;  // ﾊ … ﾎ
constexpr unsigned char kVoicedMark = 0xDE;             // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;         // ﾟ
constexpr unsigned char kCellVu = 0x74;                 // ヴ

std::string AsText(BytePair pair) {
  return std::string{static_cast<char>(pair[0]), static_cast<char>(pair[1])};
}

}  // namespace

std::optional<BytePair> JisPairToSjis(unsigned char j1, unsigned char j2) {
  if (j1 < 0x21 || j1 > 0x7E) return std::nullopt;
  const unsigned char first = static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0));
  unsigned char second;
  if (j1 % 2 == 0) second = static_cast<unsigned char>(j2 + 0x7E);
  else second = static_cast<unsigned char>(j2 >= 0x60 ? j2 + 0x20 : j2 + 0x1F);
  return BytePair{first, second};
}

std::string JisToSjisChar(unsigned char j1, unsigned char j2) {
  const auto pair = JisPairToSjis(j1, j2);
  return pair ? AsText(*pair) : std::string();
}

BytePair SjisPairToJis(unsigned char s1, unsigned char s2) {
  unsigned char row = static_cast<unsigned char>((s1 < 0xA0 ? s1 - 0x70 : s1 - 0xB0) * 2);
  unsigned char cell;
  if (s2 < 0x9F) {
    --row;
    cell = static_cast<unsigned char>(s2 <= 0x7F ? s2 - 0x1F : s2 - 0x20);
  } else {
    cell = static_cast<unsigned char>(s2 - 0x7E);
  }
  return BytePair{row, cell};
}

std::string SjisToJisChar(unsigned char s1, unsigned char s2) { return AsText(SjisPairToJis(s1, s2)); }

BytePair HankakuKanaPairToJis(std::string_view text, std::size_t& i) {
  const unsigned char kana = static_cast<unsigned char>(text[i]);
  KanaForm form = kKanaForms[kana - 0xA1];
  ++i;
  const unsigned char mark = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
  if (mark == kVoicedMark) {
    if (kana == kKanaU) {
      form.cell = kCellVu;
      ++i;
    } else if ((kana >= kKanaKa && kana <= kKanaTo) || (kana >= kKanaHa && kana <= kKanaHo)) {
      form.cell += 1;
      ++i;
    }
  } else if (mark == kSemiVoicedMark && kana >= kKanaHa && kana <= kKanaHo) {
    form.cell += 2;
    ++i;
  }
  return BytePair{form.row, form.cell};
}

std::string HankakuKanaToJis(std::string_view text, Pos& position) {
  if (position == 0 || position > text.size() || !IsHankakuKana(static_cast<unsigned char>(text[position - 1]))) {
    ++position;
    return {};
  }
  std::size_t i = position - 1;
  const BytePair pair = HankakuKanaPairToJis(text, i);
  position = i + 1;
  return AsText(pair);
}

}  // namespace zelm
