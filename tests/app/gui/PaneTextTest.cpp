// The pane's text at the edge to the widget: Shift_JIS in and out byte for
// byte, and byte positions mapped to the characters the widget counts.
#include <gtest/gtest.h>

#include <QTest>

#include "PaneTestSupport.h"
#include "app/gui/PaneText.h"

namespace zelm::test {
namespace {

using gui::PositionMap;
using gui::SjisToWide;
using gui::WideToSjis;

struct RoundTripCase {
  const char* name;
  std::string sjis;
  QString wide;  // what the widget holds
  friend void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }
};

class PaneTextRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PaneTextRoundTrip, ConvertsBothWaysByteForByte) {
  const RoundTripCase& c = GetParam();
  EXPECT_EQ(SjisToWide(c.sjis).text, c.wide);
  const Converted back = WideToSjis(c.wide);
  EXPECT_EQ(back.text, c.sjis);
  EXPECT_FALSE(back.loss.any());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PaneTextRoundTrip,
    ::testing::Values(
        RoundTripCase{"Ascii", "<p>a\tb</p>\r\n<br>\r\n", QStringLiteral("<p>a\tb</p>\n<br>\n")},
        RoundTripCase{"HalfWidthKatakana", Sjis("ｶﾀｶﾅ ｰ｡\r\n"), QStringLiteral("ｶﾀｶﾅ ｰ｡\n")},
        RoundTripCase{"DoubleByte", Sjis("日本語の<b>テキスト</b>　表示\r\n"), QStringLiteral("日本語の<b>テキスト</b>　表示\n")},
        // Second bytes that are "\", "@", "[" and "|" in ASCII.
        RoundTripCase{"SecondBytesLikeAscii", Sjis("表ソ＠ポ\\"), QStringLiteral("表ソ＠ポ\\")},
        // Bytes that start no character come back as the same bytes.
        RoundTripCase{"StrayBytes", std::string("a\x80 \xA0 \xFD\xFF b\x81", 10),
                      QString::fromUtf16(u"a\uF780 \uF7A0 \uF7FD\uF7FF b\uF781")},
        RoundTripCase{"Empty", "", QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PaneText, KeepsTheBytesOfCharactersThatCodePage932HasTwice) {
  // 0xEEC0 (NEC's copy of an IBM extension) and 0x8790 ("≒" among NEC's
  // special characters) convert back as 0xFBDC and 0x81E0 unless kept.
  const std::string text("a\xEE\xC0\x87\x90\xFB\xDC\x81\xE0", 9);
  const gui::WideText wide = SjisToWide(text);
  EXPECT_EQ(wide.kept, (std::vector<gui::KeptBytes>{{1, 0xEEC0}, {2, 0x8790}}));
  EXPECT_EQ(WideToSjis(wide.text).text, std::string("a\xFB\xDC\x81\xE0\xFB\xDC\x81\xE0", 9));
  EXPECT_EQ(WideToSjis(wide.text, wide.kept).text, text);
  // An edit before them moves them along; one over them drops them.
  std::vector<gui::KeptBytes> kept = wide.kept;
  gui::ApplyEdit(kept, 0, 1, 3);
  EXPECT_EQ(kept, (std::vector<gui::KeptBytes>{{3, 0xEEC0}, {4, 0x8790}}));
  gui::ApplyEdit(kept, 3, 1, 0);
  EXPECT_EQ(kept, (std::vector<gui::KeptBytes>{{3, 0x8790}}));
}

TEST(PaneText, LoneLineBreaksComeBackAsCrLf) {
  EXPECT_EQ(SjisToWide("a\rb\nc").text, QStringLiteral("a\nb\nc"));
  EXPECT_EQ(WideToSjis(QStringLiteral("a\nb\u2029c")).text, "a\r\nb\r\nc");
}

TEST(PaneText, CharactersWithoutShiftJisFormAreReported) {
  const Converted back = WideToSjis(QStringLiteral("ab\u00A0c\U0001F600"));
  EXPECT_EQ(back.text, "ab?c?");
  EXPECT_EQ(back.loss.count, 2u);
  EXPECT_EQ(back.loss.firstPos, 3u);
}

TEST(PositionMap, MapsBytesToCharactersAfterDoubleByteCharactersAndLineBreaks) {
  // Bytes: 日(0,1) 本(2,3) a(4) CR LF(5,6) ｶ(7) 語(8,9) b(10)
  const std::string text = Sjis("日本a\r\nｶ語b");
  const PositionMap map = PositionMap::Of(text);
  const std::vector<std::pair<std::size_t, std::size_t>> byteToChar = {
      {0, 0}, {2, 1}, {4, 2}, {5, 3}, {7, 4}, {8, 5}, {10, 6}, {11, 7}};
  for (const auto& [byte, ch] : byteToChar) {
    EXPECT_EQ(map.CharOfByte(byte), ch) << "byte " << byte;
    EXPECT_EQ(map.ByteOfChar(ch), byte) << "character " << ch;
  }
  EXPECT_EQ(map.CharOfByte(1), 0u);  // inside a character: that character
  EXPECT_EQ(SjisToWide(text).text.size(), 7);
}

TEST(PaneTextInWidget, RoundTripsAfterAnEditByteForByte) {
  auto pane = ShownPane();
  const std::string text = Sjis("<p class=\"x\">ｶﾀｶﾅと漢字</p>\r\n<!-- 注 -->\r\n") + "\xEE\xC0\x87\x90";
  pane->SetSjisText(text);
  EXPECT_EQ(pane->SjisText(), text);
  // Typing and taking it back again: the text now comes from the widget.
  pane->SetCaretPos(3);
  QTest::keyClick(pane.get(), Qt::Key_Z);
  EXPECT_EQ(pane->SjisText(), text.substr(0, 3) + "z" + text.substr(3));
  QTest::keyClick(pane.get(), Qt::Key_Backspace);
  EXPECT_EQ(pane->SjisText(), text);
  EXPECT_TRUE(pane->toPlainText().startsWith(QStringLiteral("<p class=\"x\">ｶﾀｶﾅと漢字</p>\n<!-- 注 -->\n")));
}

}  // namespace
}  // namespace zelm::test
