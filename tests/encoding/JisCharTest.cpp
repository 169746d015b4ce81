#include "encoding/JisChar.h"

#include <gtest/gtest.h>

#include "EncodingTestSupport.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

struct CharCase {
  const char* name;
  unsigned char a, b;
  std::string expected;
};

TEST(JisToSjisChar, MapsRowAndCellToShiftJis) {
  const CharCase cases[] = {
      {"hiragana a (even row)", 0x24, 0x22, "\x82\xA0"},
      {"first character", 0x21, 0x21, "\x81\x40"},
      {"odd row, cell below 0x60", 0x25, 0x22, Sjis("ア")},
      {"odd row, cell 0x60 skips 0x7F", 0x21, 0x60, "\x81\x80"},
      {"last row before the second lead range", 0x5E, 0x7E, "\x9F\xFC"},
      {"first row of the second lead range", 0x5F, 0x21, "\xE0\x40"},
      {"kanji", 0x34, 0x41, Sjis("漢")},
      {"last row", 0x7E, 0x7E, "\xEF\xFC"},
      {"row below the set", 0x20, 0x21, ""},
      {"row above the set", 0x7F, 0x21, ""},
      {"line feed as row", 0x0A, 0x21, ""},
      // The cell is not checked: the arithmetic wraps.
      {"cell out of range wraps", 0x24, 0x90, std::string("\x82\x0E", 2)},
  };
  for (const auto& c : cases) EXPECT_EQ(JisToSjisChar(c.a, c.b), c.expected) << c.name;
}

TEST(SjisToJisChar, MapsShiftJisToRowAndCell) {
  const CharCase cases[] = {
      {"hiragana a", 0x82, 0xA0, "\x24\x22"},
      {"second byte below 0x7F", 0x81, 0x40, "\x21\x21"},
      {"second byte above 0x7F", 0x81, 0x80, "\x21\x60"},
      {"second byte 0x9F starts the even row", 0x81, 0x9F, "\x22\x21"},
      {"second lead range", 0xE0, 0x40, "\x5F\x21"},
      {"last character", 0xEF, 0xFC, "\x7E\x7E"},
  };
  for (const auto& c : cases) EXPECT_EQ(SjisToJisChar(c.a, c.b), c.expected) << c.name;
}

// Every character of the 94 x 94 set survives the way there and back.
TEST(JisChar, EveryRowAndCellSurvivesARoundTripThroughShiftJis) {
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      const std::string sjis = JisToSjisChar(static_cast<unsigned char>(row), static_cast<unsigned char>(cell));
      ASSERT_EQ(sjis.size(), 2u);
      ASSERT_TRUE(IsSjisLeadByte(static_cast<unsigned char>(sjis[0]))) << row << "," << cell;
      const std::string back = SjisToJisChar(static_cast<unsigned char>(sjis[0]), static_cast<unsigned char>(sjis[1]));
      ASSERT_EQ(back, std::string({static_cast<char>(row), static_cast<char>(cell)})) << row << "," << cell;
    }
  }
}

// Converts a whole text of half-width katakana with HankakuKanaToJis and
// returns it in Shift_JIS, so it can be compared with a full-width literal.
std::string WidenKana(const std::string& sjisKana) {
  std::string out;
  Pos position = 1;
  while (position <= sjisKana.size()) {
    const std::string jis = HankakuKanaToJis(sjisKana, position);
    EXPECT_EQ(jis.size(), 2u);
    if (jis.size() != 2) return out;
    out += JisToSjisChar(static_cast<unsigned char>(jis[0]), static_cast<unsigned char>(jis[1]));
  }
  return out;
}

TEST(HankakuKanaToJis, EveryHalfWidthKanaBecomesItsFullWidthForm) {
  // All 63 half-width characters in byte order, each alone (no merging
  // possible: no sound mark follows a character that takes one).
  EXPECT_EQ(WidenKana(Sjis("｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵ")), Sjis("。「」、・ヲァィゥェォャュョッーアイウエオ"));
  EXPECT_EQ(WidenKana(Sjis("ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉ")), Sjis("カキクケコサシスセソタチツテトナニヌネノ"));
  EXPECT_EQ(WidenKana(Sjis("ﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ")), Sjis("ハヒフヘホマミムメモヤユヨラリルレロワン"));
  EXPECT_EQ(WidenKana(Sjis("ﾞﾟ")), Sjis("゛゜"));
}

TEST(HankakuKanaToJis, MergesAFollowingSoundMark) {
  struct Case {
    const char* halfWidth;
    const char* fullWidth;
  };
  const Case cases[] = {
      {"ｶﾞｷﾞｸﾞｹﾞｺﾞ", "ガギグゲゴ"},
      {"ｻﾞｼﾞｽﾞｾﾞｿﾞ", "ザジズゼゾ"},
      {"ﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "ダヂヅデド"},
      {"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ", "バビブベボ"},
      {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ"},
      {"ｳﾞ", "ヴ"},
      // Characters that take no mark keep it as a character of its own.
      {"ｱﾞ", "ア゛"},
      {"ｶﾟ", "カ゜"},
      {"ﾅﾞ", "ナ゛"},
      {"ﾔﾟ", "ヤ゜"},
      {"ｯﾞ", "ッ゛"},
      {"ﾞﾞ", "゛゛"},
  };
  for (const auto& c : cases) EXPECT_EQ(WidenKana(Sjis(c.halfWidth)), Sjis(c.fullWidth)) << c.halfWidth;
}

TEST(HankakuKanaToJis, AdvancesThePositionPastWhatItUsed) {
  const std::string text = "a" + Sjis("ｶﾞｶ") + "b";
  Pos position = 2;
  EXPECT_EQ(HankakuKanaToJis(text, position), "\x25\x2C");  // ガ
  EXPECT_EQ(position, 4u);
  EXPECT_EQ(HankakuKanaToJis(text, position), "\x25\x2B");  // カ, no mark after it
  EXPECT_EQ(position, 5u);
  // Not half-width katakana: nothing, one byte on.
  EXPECT_EQ(HankakuKanaToJis(text, position), "");
  EXPECT_EQ(position, 6u);
}

}  // namespace
}  // namespace zelm
