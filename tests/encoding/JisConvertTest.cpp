#include "encoding/JisConvert.h"

#include <gtest/gtest.h>

#include <random>

#include "EncodingTestSupport.h"
#include "encoding/JisChar.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

const std::string kEsc = "\x1B";
const std::string kIn = kEsc + "$B";   // to double-byte mode
const std::string kOld = kEsc + "$@";  // the same, older set
const std::string kOut = kEsc + "(B";
const std::string kRoman = kEsc + "(J";
const std::string kKana = kEsc + "(I";      // JIS X 0201 katakana
const std::string kSupplementary = kEsc + "$(D";  // JIS X 0212
const std::string kSo = "\x0E", kSi = "\x0F";
const std::string kA = "a";

struct ConvertCase {
  const char* name;
  std::string input, expected;
  std::size_t lost = 0;
  Pos firstPos = 0;
};

template <typename Convert>
void ExpectConversions(Convert convert, const std::vector<ConvertCase>& cases) {
  for (const auto& c : cases) {
    const Converted result = convert(c.input);
    EXPECT_EQ(result.text, c.expected) << c.name;
    EXPECT_EQ(result.loss.count, c.lost) << c.name;
    EXPECT_EQ(result.loss.firstPos, c.firstPos) << c.name;
  }
}

TEST(JisToSjis, ReadsIso2022Jp) {
  ExpectConversions(JisToSjis, {
      {"no escapes: unchanged", "plain <b>text</b>\r\n", "plain <b>text</b>\r\n"},
      {"double-byte run", "a" + kIn + "\x24\x22\x24\x24" + kOut + "b", "a" + Sjis("あい") + "b"},
      {"ESC (J switches back too", kIn + "\x25\x22" + kRoman + "x", Sjis("ア") + "x"},
      {"ESC $@ reads the same set", kOld + "\x34\x41" + kOut, Sjis("漢")},
      {"text may end in double-byte mode", "x" + kIn + "\x24\x22", "x" + Sjis("あ")},
      {"half a character at the end is lost", kIn + "\x24\x22\x24", Sjis("あ"), 1, 3},
      {"a line break inside double-byte mode is lost with the byte after it",
       kIn + "\x24\x22\r\n\x24\x24" + kOut, Sjis("あい"), 1, 3},
      {"unknown escape is data: in single-byte mode copied", kEsc + "(Kx", kEsc + "(Kx"},
      // "~" and "\\" after ESC (J are JIS Roman; Shift_JIS holds them as the same bytes.
      {"a tilde after kanji and ESC (J", kIn + "\x34\x41" + kRoman + "/~user/", Sjis("漢") + "/~user/"},
      {"ESC (I reads half-width katakana", kA + kKana + "\x31\x32\x33\x5E" + kOut + "b", kA + Sjis("ｱｲｳﾞ") + "b"},
      {"SO and SI read half-width katakana", kA + kSo + "\x31\x32" + kSi + "\x31", kA + Sjis("ｱｲ") + "1"},
      {"line breaks stay line breaks in katakana mode", kKana + "\x31\r\n\x32" + kOut, Sjis("ｱ") + "\r\n" + Sjis("ｲ")},
      {"a byte beyond the katakana set is invalid", kKana + "\x31\x70" + kOut, Sjis("ｱ") + "?", 1, 2},
      {"JIS X 0212 characters have no Shift_JIS form", kSupplementary + "\x30\x21\x30\x22" + kOut + "x", "??x", 2, 1},
      {"ESC $(B reads JIS X 0208", kEsc + "$(B" + "\x24\x22" + kOut, Sjis("あ")},
      {"every loss counted, the first one's position kept", kIn + "\r\n\x24\x22\n\n" + kOut, Sjis("あ"), 2, 1},
      // Cells outside 0x21-0x7E are no characters: 0x82 in an even row and
      // 0xE0 in an odd one would come out as a NUL byte.
      {"a cell byte beyond 0x7E is lost", kIn + "\x24\x82\x21\xE0\x24\x22" + kOut + "a", Sjis("あ") + "a", 2, 1},
  });
}

TEST(EucToSjis, ReadsEucJp) {
  ExpectConversions(EucToSjis, {
      {"ascii unchanged", "<p>abc</p>\r\n", "<p>abc</p>\r\n"},
      {"double-byte characters", "\xA4\xA2\xB4\xC1", Sjis("あ漢")},
      {"half-width katakana after 0x8E", "\x8E\xB6\x8E\xDE", Sjis("ｶﾞ")},
      {"lone 0x8E copied", "\x8E" "a", "\x8E" "a"},
      {"supplementary character becomes ? and is reported", "a\x8F\xB0\xA1" "b", "a?b", 1, 2},
      {"lead byte cut off at the end becomes ?", "a\xA4\xA2\xA4", "a" + Sjis("あ") + "?", 1, 4},
      {"0x8F without two bytes after it is copied", "\x8F" "a", "\x8F" "a"},
      // A lead byte whose second byte is missing must not take the byte
      // after it along: that byte is read on its own.
      {"a lead byte before ASCII becomes ? and keeps the byte", "\xA4<p>", "?<p>", 1, 1},
      {"a lead byte before a line break", "a\xB4\r\n", "a?\r\n", 1, 2},
      {"no NUL byte from a lead byte and a control byte", "\xBA\x02\xA1`", "?\x02?`", 2, 1},
  });
}

TEST(SjisToJis, WritesIso2022Jp) {
  ExpectConversions([](std::string_view text) { return SjisToJis(text); }, {
      {"ascii unchanged", "abc\r\n", "abc\r\n"},
      // ISO-2022-JP has no half-width katakana: written full-width, reported as changed.
      {"half-width ga merges and a later letter switches back", Sjis("ｶﾞ") + "a", kIn + "\x25\x2C" + kOut + "a", 2, 4},
      {"a line break switches back to ASCII", Sjis("あ") + "\r\n" + Sjis("い"),
       kIn + "\x24\x22" + kOut + "\r\n" + kIn + "\x24\x24"},
      {"a tilde and a backslash after kanji stay themselves", Sjis("漢") + "/~u\\", kIn + "\x34\x41" + kOut + "/~u\\"},
      {"ends in double-byte mode", "x" + Sjis("漢字"), "x" + kIn + "\x34\x41\x3B\x7A"},
      {"NEC special row is kept", Sjis("①"), kIn + "\x2D\x21"},
      {"user-defined character becomes ?", Sjis("あ") + "\xF0\x40" + Sjis("い"),
       kIn + "\x24\x22" + kOut + "?" + kIn + "\x24\x24", 1, 9},
      {"IBM extension character becomes ?", "\xFA\x40", "?", 1, 1},
      {"bytes that are no Shift_JIS become ?", std::string("\x80\xA0\xFD", 3), "???", 3, 1},
      {"a stray lead byte does not swallow the line break", "\x81\r\n", "?\r\n", 1, 1},
      {"a lead byte at the end", "a\x82", "a?", 1, 2},
  });
}

TEST(JisToEuc, SetsTheTopBitInDoubleByteMode) {
  ExpectConversions(JisToEuc, {
      {"no escapes: unchanged", "abc\r\n", "abc\r\n"},
      {"double-byte run", "a" + kIn + "\x24\x22" + kRoman + "b", "a\xA4\xA2" "b"},
      {"bytes outside 0x21-0x7E copied in double-byte mode", kIn + "\x24\x22\r\n", "\xA4\xA2\r\n"},
      {"ESC $@ too", kOld + "\x34\x41", "\xB4\xC1"},
      {"katakana get the single shift", kKana + "\x31" + kOut + "a", "\x8E\xB1" "a"},
      {"JIS X 0212 gets its single shift", kSupplementary + "\x30\x21" + kOut, "\x8F\xB0\xA1"},
  });
}

// What has no form in the target becomes "?" or, when asked, a numeric
// character reference that shows the same character.
TEST(SjisToJis, WritesReferencesWhenAsked) {
  const auto toJis = [](std::string_view text) { return SjisToJis(text, Unmappable::Reference); };
  const auto toEuc = [](std::string_view text) { return SjisToEuc(text, Unmappable::Reference); };
  ExpectConversions(toJis, {
      {"half-width katakana", kA + Sjis("ｶﾞ"), "a&#65398;&#65438;"},
      {"an IBM extension character", Sjis("あ") + "\xFA\x40", kIn + "\x24\x22" + kOut + "&#8560;"},
      {"bytes that are no character stay ?", "\x80", "?", 1, 1},
  });
  ExpectConversions(toEuc, {
      {"half-width katakana are kept", Sjis("ｶﾞ"), "\x8E\xB6\x8E\xDE"},
      {"a user-defined character", "\xF0\x40", "&#57344;"},
  });
  EXPECT_EQ(SjisToJis(Sjis("ｱｲ"), Unmappable::Reference).loss.referenced, 2u);
}

// A page read as EUC-JP and written back as EUC-JP keeps every character,
// half-width katakana among them.
TEST(SjisToEuc, KeepsHalfWidthKatakana) {
  const std::string euc = "\x8E\xB1\x8E\xB2\x8E\xB3 \xA4\xA2 \x8E\xB6\x8E\xDE";  // ｱｲｳ あ ｶﾞ
  const Converted sjis = EucToSjis(euc);
  EXPECT_EQ(sjis.text, Sjis("ｱｲｳ あ ｶﾞ"));
  const Converted back = SjisToEuc(sjis.text);
  EXPECT_EQ(back.text, euc);
  EXPECT_FALSE(back.loss.any());
}

bool HoldsHalfWidthKatakana(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += SjisCharLength(text, i))
    if (IsHankakuKana(static_cast<unsigned char>(text[i]))) return true;
  return false;
}

// Shift_JIS texts of ASCII, full-width characters of every kind the JIS
// set holds, and line breaks, in random order.
std::string RandomJisCompatibleText(std::mt19937& rng, std::size_t pieces) {
  static const std::vector<std::string> alphabet = {
      "a", "<", ">", "\\", "~", " ", "\r\n", "\n", Sjis("あ"), Sjis("ア"), Sjis("漢"), Sjis("表"), Sjis("ソ"),
      Sjis("能"), Sjis("―"), Sjis("〜"), Sjis("①"), Sjis("Ⅰ"), Sjis("　"), Sjis("＠"),
      Sjis("熙"),  // EA A4, the last character of the set
  };
  return test::RandomText(rng, alphabet, pieces);
}

TEST(JisConvert, ShiftJisSurvivesTheWayThroughIso2022JpAndEucJp) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 300; ++round) {
    const std::string text = RandomJisCompatibleText(rng, 1 + round % 40);
    const Converted jis = SjisToJis(text);
    EXPECT_FALSE(jis.loss.any());
    EXPECT_EQ(JisToSjis(jis.text).text, text);
    const Converted euc = SjisToEuc(text);
    EXPECT_FALSE(euc.loss.any());
    EXPECT_EQ(EucToSjis(euc.text).text, text);
  }
}

TEST(JisConvert, HalfWidthKatakanaComeBackFullWidthFromIso2022JpOnly) {
  const std::string text = Sjis("ｱｲｳ ｶﾞｷﾞ ﾊﾟ｡");
  const Converted jis = SjisToJis(text);
  EXPECT_EQ(JisToSjis(jis.text).text, Sjis("アイウ ガギ パ。"));
  EXPECT_EQ(jis.loss.of(LossKind::Changed), 10u);  // every half-width character
  EXPECT_EQ(EucToSjis(SjisToEuc(text).text).text, text);
}

TEST(SjisToEuc, IsIso2022JpThenEucJpInOnePass) {
  std::mt19937 rng(7);
  // Without half-width katakana, which EUC-JP keeps and ISO-2022-JP widens.
  const std::vector<std::string> alphabet = {"a", "\r\n", Sjis("あ"), "\xF0\x40", "\x80", "\x81", "\xFC\xFC", Sjis("漢")};
  for (int round = 0; round < 300; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 30);
    if (HoldsHalfWidthKatakana(text)) continue;  // stray lead bytes can make some
    const Converted direct = SjisToEuc(text);
    const Converted jis = SjisToJis(text);
    const Converted twoSteps = JisToEuc(jis.text);
    ASSERT_EQ(direct.text, twoSteps.text) << text;
    EXPECT_EQ(direct.loss.count, jis.loss.count) << text;
    if (direct.loss.any()) {
      EXPECT_EQ(direct.text[direct.loss.firstPos - 1], '?') << text;
    }
  }
}

TEST(JisConvert, AgreesWithTheSystemConverter) {
  const std::string text = Sjis("日本語のテキスト、表示と能力。〜―①");
  EXPECT_EQ(EucToSjis(test::Iconv(test::Iconv(text, "CP932", "UTF-8"), "UTF-8", "EUC-JP-MS")).text, text);
  EXPECT_EQ(test::Iconv(SjisToEuc(text).text, "EUC-JP-MS", "CP932"), text);
}

}  // namespace
}  // namespace zelm
