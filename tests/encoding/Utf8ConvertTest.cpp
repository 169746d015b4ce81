#include "encoding/Utf8Convert.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <optional>
#include <filesystem>
#include <random>
#include <vector>

#include "EncodingTestSupport.h"
#include "encoding/CodePage932.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

struct WideCase {
  const char* name;
  std::string input;
  std::optional<std::u16string> expected;
};

TEST(Utf8ToWide, IsLenientButRefusesBrokenSequences) {
  const WideCase cases[] = {
      {"empty text reads as empty", "", u""},
      {"ascii", "a<b>", u"a<b>"},
      {"two-byte sequence", "\xC3\xA9", u"\u00E9"},
      {"three-byte sequence", "\xE3\x81\x82", u"\u3042"},
      {"byte-order mark", "\xEF\xBB\xBF" "a", u"\uFEFFa"},
      {"Shift_JIS a reads as a no-break space", "\x82\xA0", u"\u00A0"},
      {"Shift_JIS katakana a is refused", "\x83\x41", std::nullopt},
      {"a lead byte at the end is refused", "ab\xC3", std::nullopt},
      {"a three-byte lead with only its middle byte", "\xE3\x81", std::nullopt},
      {"middle byte not a continuation", "\xE3\x41\x82", std::nullopt},
      {"a continuation byte is read as a lead", "\x80\xBC", u"<"},
      // NUL only ever comes from a NUL byte, never from a sequence.
      {"a sequence read as NUL is refused", "a\x80\x80", std::nullopt},
      {"the overlong NUL is refused", "\xC0\x80", std::nullopt},
      {"a value that wraps to NUL in 16 bits is refused", "\xF0\x80\x80", std::nullopt},
      {"a four-byte character is refused", "\xF0\x9F\x98\x80" "a", std::nullopt},
      {"overlong forms are read, not refused", "\xC0\xBC", u"<"},
      {"NUL is a character", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"values are kept to 16 bits", "\xFF\xBF\xBF", u"\uFFFF"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.input), c.expected) << c.name;
}

TEST(IsValidUtf8, AcceptsOnlyWellFormedUtf8) {
  struct Case {
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"abc", true},
      {"\xE3\x81\x82\xC3\xA9", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"\xC0\xBC", false},          // overlong
      {"\xE0\x80\xBC", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xE3\x81", false},          // cut off
      {"\x80", false},
      {"\x82\xA0", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

TEST(DecodeUtf8, ReplacesEachMaximalSubpartAndKeepsNul) {
  EXPECT_EQ(DecodeUtf8(std::string("a\0\xE3\x81\x82", 5)), std::u16string(u"a\0\u3042", 3));
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(DecodeUtf8("a\x83\x41" "b"), u"a\uFFFDAb");
  EXPECT_EQ(DecodeUtf8("\xE3\x81"), u"\uFFFD");
}

// One "?" for each maximal subpart of an ill-formed sequence, as the Unicode
// standard recommends and platform decoders do; each reported as invalid.
TEST(Utf8ToSjis, ReplacesEachMaximalSubpartOnce) {
  struct Case {
    const char* name;
    std::string input, expected;
  };
  const Case cases[] = {
      {"a sequence cut off before its end", "a\xE3\x81" "b", "a?b"},
      {"a sequence cut off at the text's end", "a\xF0\x9F\x98", "a?"},
      {"a stray continuation byte", "a\x80" "b", "a?b"},
      {"two stray continuation bytes", "\x80\xBF", "??"},
      {"a lead byte that starts nothing", "\xC0\xAF", "??"},
      {"an overlong second byte ends the subpart at the lead", "\xE0\x80\xAF", "???"},
      {"a surrogate's second byte ends the subpart at the lead", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"a Shift_JIS character", Sjis("あ"), "??"},
  };
  for (const auto& c : cases) {
    const Converted result = Utf8ToSjis(c.input);
    EXPECT_EQ(result.text, c.expected) << c.name;
    EXPECT_EQ(result.loss.of(LossKind::InvalidSequence), result.loss.count) << c.name;
    EXPECT_EQ(result.loss.count, static_cast<std::size_t>(std::count(c.expected.begin(), c.expected.end(), '?')))
        << c.name;
  }
}

// The engine's list of code points whose Shift_JIS form reads back as
// another is the system converter's: every code point is sent there and back.
TEST(CodePage932, TheCodePointsThatReadBackAsOthersAreTheSystemsOwn) {
  const iconv_t there = ::iconv_open("CP932", "UTF-32LE"), back = ::iconv_open("UTF-32LE", "CP932");
  ASSERT_NE(there, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(back, reinterpret_cast<iconv_t>(-1));
  auto convert = [](iconv_t cd, std::string in) -> std::optional<std::string> {
    std::string out(16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size(), outLeft = out.size();
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
  };
  std::vector<char32_t> readBackAsOther;
  for (char32_t c = 0x80; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::string utf32{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), '\0', '\0'};
    const auto sjis = convert(there, utf32);
    const auto again = sjis ? convert(back, *sjis) : std::nullopt;
    const bool survives = again && *again == utf32;
    if (sjis && !survives) readBackAsOther.push_back(c);
    ASSERT_EQ(SurvivesShiftJis(c), survives) << std::hex << static_cast<unsigned>(c);
  }
  ::iconv_close(there);
  ::iconv_close(back);
  EXPECT_EQ(readBackAsOther, std::vector<char32_t>(kReadBackAsOther.begin(), kReadBackAsOther.end()));
}

// Characters whose Shift_JIS form reads back as another character: each is
// written in that form and reported as changed, or, when asked, written as
// a numeric character reference, which shows the same character.
TEST(Utf8ToSjis, ReportsCharactersThatComeBackAsOthers) {
  struct Case {
    const char* name;
    std::string utf8, reference;
  };
  const Case cases[] = {
      {"yen sign", "\xC2\xA5", "&#165;"},       {"overline", "\xE2\x80\xBE", "&#8254;"},
      {"em dash", "\xE2\x80\x94", "&#8212;"},  {"wave dash", "\xE3\x80\x9C", "&#12316;"},
      {"minus sign", "\xE2\x88\x92", "&#8722;"}, {"double vertical line", "\xE2\x80\x96", "&#8214;"},
      {"cent sign", "\xC2\xA2", "&#162;"},      {"pound sign", "\xC2\xA3", "&#163;"},
      {"not sign", "\xC2\xAC", "&#172;"},
  };
  for (const auto& c : cases) {
    const Converted sjis = Utf8ToSjis("a" + c.utf8);
    EXPECT_EQ(sjis.loss.count, 1u) << c.name;
    EXPECT_EQ(sjis.loss.of(LossKind::Changed), 1u) << c.name;
    EXPECT_EQ(sjis.loss.firstPos, 2u) << c.name;
    EXPECT_NE(SjisToUtf8(sjis.text).text, "a" + c.utf8) << c.name << ": the round trip changes it";
    const Converted referenced = Utf8ToSjis("a" + c.utf8, false, Unmappable::Reference);
    EXPECT_EQ(referenced.text, "a" + c.reference) << c.name;
    EXPECT_FALSE(referenced.loss.any()) << c.name;
    EXPECT_EQ(referenced.loss.referenced, 1u) << c.name;
  }
  // Their full-width forms come back as they are.
  EXPECT_FALSE(Utf8ToSjis("\xEF\xBD\x9E\xE2\x80\x95\xE2\x88\xA5\xEF\xBF\xA5").loss.any());
  // What has no form at all becomes a reference too; broken bytes stay "?".
  EXPECT_EQ(Utf8ToSjis("\xEA\xB0\x80\x80", false, Unmappable::Reference).text, "&#44032;?");
}

struct SjisCase {
  const char* name;
  std::string input, expected;
  std::size_t lost;
  Pos firstPos;
};

TEST(Utf8ToSjis, ConvertsAndReportsCharactersWithoutShiftJisForm) {
  const SjisCase cases[] = {
      {"japanese", "\xE6\x97\xA5\xE6\x9C\xAC", Sjis("日本"), 0, 0},
      {"NUL bytes do not end the text", std::string("a\0b\xE3\x81\x82", 6), std::string("a\0b", 3) + Sjis("あ"), 0, 0},
      {"unmappable letters", "a\xC3\xA9\xE2\x82\xAC" "b", "a??b", 2, 2},
      {"first loss after double-byte characters", "\xE3\x81\x82\xC2\xA0", Sjis("あ") + "?", 1, 3},
      {"a character beyond U+FFFF is one ?", "\xF0\x9F\x98\x80" "x", "?x", 1, 1},
      {"broken bytes become ?", "a\x83\x41", "a?A", 1, 2},
      {"byte-order mark becomes ?", "\xEF\xBB\xBF" "a", "?a", 1, 1},
      {"wave dash and friends have forms that read back as others", "\xE3\x80\x9C\xE2\x80\x96\xE2\x88\x92",
       "\x81\x60\x81\x61\x81\x7C", 3, 1},
  };
  for (const auto& c : cases) {
    const Converted result = Utf8ToSjis(c.input);
    EXPECT_EQ(result.text, c.expected) << c.name;
    EXPECT_EQ(result.loss.count, c.lost) << c.name;
    EXPECT_EQ(result.loss.firstPos, c.firstPos) << c.name;
  }
}

TEST(Utf8ToSjis, CanDropTheByteOrderMark) {
  const Converted result = Utf8ToSjis("\xEF\xBB\xBF" "a\xC2\xA0", true);
  EXPECT_EQ(result.text, "a?");
  EXPECT_EQ(result.loss.count, 1u);
  EXPECT_EQ(result.loss.firstPos, 2u);
  // Only a leading mark goes.
  EXPECT_EQ(WideToSjis(u"a\uFEFF", true).text, "a?");
}

TEST(SjisToUtf8, ConvertsAndReportsBytesThatAreNotShiftJis) {
  const SjisCase cases[] = {
      {"japanese and ascii", Sjis("日本語") + "<b>", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E<b>", 0, 0},
      {"half-width katakana", Sjis("ｱ"), "\xEF\xBD\xB1", 0, 0},
      {"yen sign and overline bytes stay ascii", "\\~", "\\~", 0, 0},
      {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3), 0, 0},
      {"a byte that is no Shift_JIS, position in the UTF-8 text", Sjis("あ") + "\x80" + Sjis("い"),
       "\xE3\x81\x82?\xE3\x81\x84", 1, 4},
      {"an undefined double-byte code is one ?", "a\x85\x40" "b", "a?b", 1, 2},
      {"a lead byte before a line break keeps the break", "\x81\r\n", "?\r\n", 1, 1},
      {"lead byte at the end", "ab\x82", "ab?", 1, 3},
  };
  for (const auto& c : cases) {
    const Converted result = SjisToUtf8(c.input);
    EXPECT_EQ(result.text, c.expected) << c.name;
    EXPECT_EQ(result.loss.count, c.lost) << c.name;
    EXPECT_EQ(result.loss.firstPos, c.firstPos) << c.name;
  }
}

// Every double-byte code that code page 932 defines goes to UTF-8 and comes
// back, except the duplicates that have one Unicode form between them.
TEST(SjisToUtf8, EveryShiftJisCharacterComesBack) {
  std::size_t characters = 0, duplicates = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
      const Converted utf8 = SjisToUtf8(sjis);
      if (utf8.loss.any()) continue;  // undefined code
      ++characters;
      const Converted back = Utf8ToSjis(utf8.text);
      ASSERT_FALSE(back.loss.any()) << std::hex << lead << trail;
      if (back.text != sjis) ++duplicates;
    }
  }
  EXPECT_GT(characters, 7000u);
  // NEC-selected IBM extensions and a few NEC symbols share their Unicode
  // form with another code.
  EXPECT_LT(duplicates, 420u);
}

TEST(CodePage932, ConvertsLargeTextsInOneGo) {
  std::string big;
  for (int i = 0; i < 100000; ++i) big += Sjis("漢字") + "ab" + (i % 1000 == 0 ? "\x80" : "");
  const WideConverted wide = Cp932ToUtf16(big);
  EXPECT_EQ(wide.loss.count, 100u);
  EXPECT_EQ(wide.loss.firstPos, 5u);
  const Converted back = Utf16ToCp932(wide.text);
  EXPECT_EQ(back.loss.count, 0u);
  EXPECT_EQ(back.text.size(), big.size());
}

// The two-step conversion SjisToUtf8 once made, kept as the reference: code
// page 932 to UTF-16, then each unit written as UTF-8.
Converted SjisToUtf8ThroughUtf16(std::string_view text) {
  const WideConverted wide = Cp932ToUtf16(text);
  Converted result;
  for (std::size_t k = 0; k < wide.text.size(); ++k) {
    if (k + 1 == wide.loss.firstPos) result.loss = {wide.loss.count, result.text.size() + 1};
    const char16_t c = wide.text[k];
    if (c < 0x80) {
      result.text += static_cast<char>(c);
    } else if (c < 0x800) {
      result.text += static_cast<char>(0xC0 | (c >> 6));
      result.text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      result.text += static_cast<char>(0xE0 | (c >> 12));
      result.text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      result.text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return result;
}

// Straight to UTF-8, the conversion gives what the way through UTF-16 gives:
// random texts of every kind of byte, long ones that outgrow the room made
// at first (half-width katakana take three bytes for one), and real pages.
TEST(SjisToUtf8, GivesWhatTheWayThroughUtf16Gives) {
  std::mt19937 random(932);
  const std::string pieces[] = {"a", "<p>", "\r\n", Sjis("漢字"), Sjis("ｱｲｳ"), "\x80", "\xA0", "\x85\x40",
                                "\xFD", "\x81", "\x81\x7F", "\xFA\x40", "\xF0\x40", std::string(1, '\0')};
  std::vector<std::string> texts;
  for (int n = 0; n < 300; ++n) {
    std::string text;
    const int length = n < 290 ? static_cast<int>(random() % 80) : 40000;
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    texts.push_back(text);
  }
  texts.push_back(std::string(300000, '\xB1'));  // half-width katakana only: three times the bytes
  for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "pages"))
    texts.push_back(test::ReadFile(entry.path()));
  for (const std::string& text : texts) {
    const Converted direct = SjisToUtf8(text);
    const Converted reference = SjisToUtf8ThroughUtf16(text);
    ASSERT_TRUE(direct.text == reference.text) << text.size() << " bytes";
    EXPECT_EQ(direct.loss.count, reference.loss.count);
    EXPECT_EQ(direct.loss.firstPos, reference.loss.firstPos);
  }
}

// Read a chunk at a time, UTF-8 becomes what reading it whole to UTF-16
// first gives: texts with every kind of sequence (four-byte characters,
// encoded surrogates, overlong forms, stray and cut-off bytes, characters
// without a Shift_JIS form, byte-order marks), long ones that span many
// chunks, and the real pages.
TEST(Utf8ToSjis, GivesWhatReadingToUtf16FirstGives) {
  std::mt19937 random(65001);
  const std::string pieces[] = {"a", "<p>", "\r\n", "\xE6\x97\xA5", "\xEF\xBD\xB1", "\xC3\xA9", "\xC2\xA7",
                                "\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xC0\x80", "\x80", "\xE6\x97",
                                "\xEF\xBB\xBF", "\xFF", std::string(1, '\0')};
  std::vector<std::string> texts;
  for (int n = 0; n < 300; ++n) {
    std::string text = n % 3 == 0 ? "\xEF\xBB\xBF" : "";
    const int length = n < 290 ? static_cast<int>(random() % 80) : 30000;
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    texts.push_back(text);
  }
  texts.push_back("\xE6\x97");  // cut off at the end
  for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "pages"))
    texts.push_back(SjisToUtf8(test::ReadFile(entry.path())).text);
  for (const std::string& text : texts) {
    for (const bool dropMark : {false, true}) {
      const Converted chunked = Utf8ToSjis(text, dropMark);
      const Converted whole = WideToSjis(DecodeUtf8(text), dropMark);
      ASSERT_TRUE(chunked.text == whole.text) << text.size() << " bytes";
      EXPECT_EQ(chunked.loss.count, whole.loss.count);
      EXPECT_EQ(chunked.loss.firstPos, whole.loss.firstPos);
    }
  }
}

// The lenient reading straight to Shift_JIS gives what reading to UTF-16
// first gives, and refuses the texts Utf8ToWide refuses: forms only the
// lenient reader takes (lead bytes up to 0xFF, surrogates written one by
// one, as a pair or alone), sequences it refuses, byte-order marks, long
// texts and the real pages.
TEST(LenientUtf8ToSjis, GivesWhatReadingToUtf16FirstGives) {
  std::mt19937 random(20932);
  const std::string pieces[] = {"a", "\r\n", "\xE6\x97\xA5", "\xEF\xBD\xB1", "\xC3\xA9", "\xEF\xBB\xBF",
                                "\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\xBD", "\xED\xB8\x80", "\xFF\xBB\xBF",
                                "\xF7\x80\x81", "\xC1\xBF", "\xE2\x82\xAC"};
  const std::string refused[] = {"\x80", "\xC0\x80", "\xE6\x97", "\xE6"};
  std::vector<std::string> texts{"", "\xEF\xBB\xBF", "\xFF\xBB\xBF" "a"};
  for (int n = 0; n < 400; ++n) {
    std::string text;
    const int length = n < 390 ? static_cast<int>(random() % 60) : 30000;
    for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
    if (n % 5 == 0) text.insert(random() % (text.size() + 1), refused[random() % std::size(refused)]);
    texts.push_back(text);
  }
  for (const auto& entry : std::filesystem::directory_iterator(test::TestDataDir() / "pages"))
    texts.push_back(SjisToUtf8(test::ReadFile(entry.path())).text);
  for (const std::string& text : texts) {
    const std::optional<std::u16string> wide = Utf8ToWide(text);
    for (const bool dropMark : {false, true}) {
      const std::optional<Converted> direct = LenientUtf8ToSjis(text, dropMark);
      ASSERT_EQ(direct.has_value(), wide.has_value()) << text.size() << " bytes";
      if (!wide) continue;
      const Converted reference = WideToSjis(*wide, dropMark);
      ASSERT_TRUE(direct->text == reference.text) << text.size() << " bytes";
      EXPECT_EQ(direct->loss.count, reference.loss.count);
      EXPECT_EQ(direct->loss.firstPos, reference.loss.firstPos);
    }
  }
}

}  // namespace
}  // namespace zelm
