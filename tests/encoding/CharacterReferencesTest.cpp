// Shift_JIS characters to numeric character references and back.
#include "encoding/CharacterReferences.h"

#include <gtest/gtest.h>

#include "indent/Pipeline.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"
#include "text/HtmlEntities.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

// Every single byte that is no lead byte, and every lead byte with every
// byte that may follow it.
std::vector<std::string> EveryCode() {
  std::vector<std::string> codes;
  for (int b = 0; b <= 0xFF; ++b)
    if (!IsSjisLeadByte(static_cast<unsigned char>(b))) codes.emplace_back(1, static_cast<char>(b));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  }
  return codes;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Decoding gives every character back. The only exceptions are the codes
// that code page 932 holds twice (NEC's copies in rows 0x87, 0xED and 0xEE,
// and the IBM symbols in row 0xFA that JIS has already): a reference names
// the character, which reads back as its other code.
TEST(CharacterReferences, EveryShiftJisCharacterComesBack) {
  std::size_t characters = 0, twins = 0, noCharacter = 0;
  for (const std::string& code : EveryCode()) {
    const auto point = SjisCharToCodePoint(code);
    const ReferenceConversion converted = ConvertAllToCharacterReferences(code);
    if (!point) {
      ++noCharacter;
      EXPECT_EQ(converted.text, code);
      EXPECT_EQ(converted.keptAsIs.count, 1u);
      EXPECT_EQ(DecodeCharacterReferences(converted.text), code);
      continue;
    }
    ++characters;
    EXPECT_FALSE(converted.keptAsIs.any());
    if (code.size() == 1 && static_cast<unsigned char>(code[0]) < 0x80) {
      EXPECT_EQ(converted.text, code);
    } else {
      EXPECT_EQ(converted.text, std::string("&#").append(std::to_string(*point)).append(";"));
    }
    const std::string back = DecodeCharacterReferences(converted.text);
    if (back == code) continue;
    ++twins;
    EXPECT_EQ(SjisCharToCodePoint(back), point) << "the same character";
    const auto lead = static_cast<unsigned char>(code[0]);
    EXPECT_TRUE(code.size() == 2 && (lead == 0x87 || lead == 0xED || lead == 0xEE || lead == 0xFA))
        << std::hex << int(lead);
  }
  // ASCII and half-width katakana, the 7724 characters of code page 932 and
  // its 1880 user-defined ones.
  EXPECT_EQ(characters, 128u + 63u + 7724u + 1880u);
  EXPECT_EQ(twins, 398u);
  EXPECT_EQ(noCharacter, EveryCode().size() - characters);
}

TEST(CharacterReferences, ConvertsOnlyWhatIsNotAscii) {
  const std::string text = Sjis("<p class=\"a\">aあｱ髙①</p>\r\n");
  const ReferenceConversion converted = ConvertAllToCharacterReferences(text);
  EXPECT_EQ(converted.text, "<p class=\"a\">a&#12354;&#65393;&#39641;&#9312;</p>\r\n");
  EXPECT_EQ(DecodeCharacterReferences(converted.text), text);
}

TEST(CharacterReferences, KeepsBytesThatAreNoCharacterAndCountsThem) {
  // An unassigned pair, a byte that starts nothing, and a lead byte at the end.
  const std::string text = "a\x85\x40" "b\x80" "c\x82";
  const ReferenceConversion converted = ConvertAllToCharacterReferences(text);
  EXPECT_EQ(converted.text, text);
  EXPECT_EQ(converted.keptAsIs.count, 3u);
  EXPECT_EQ(converted.keptAsIs.firstPos, 2u);
}

TEST(DecodeCharacterReferences, DecodesReferencesToShiftJisCharactersOnly) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"&lt;&gt;&amp;&quot;&apos;&#92;", "<>&\"'\\"},
      {"&#x3042;&#X3042;&#12354;&#0012354;", Sjis("ああああ")},
      {"&alpha;&Omega;&hellip;&times;&#65509;", Sjis("αΩ…×￥")},
      // No Shift_JIS form, no character, no such entity, not ended by ";".
      {"&copy;&nbsp;&#xD800;&#0;&#1114112;&#99999999999;", "&copy;&nbsp;&#xD800;&#0;&#1114112;&#99999999999;"},
      {"&bogus;&NBSP;&amp &#; &#x; & ; &", "&bogus;&NBSP;&amp &#; &#x; & ; &"},
      {"&&lt;;", "&<;"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeCharacterReferences(c.text), c.expected) << c.text;
}

// With the special characters escaped first, every text of a page comes
// back whole, its own references included, and the conversion leaves no
// byte beyond ASCII.
TEST(CharacterReferences, RealPagesComeBackWhole) {
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages")) {
    if (!name.ends_with(".html")) continue;
    // The unlabelled EUC-JP page is read as EUC-JP, as its author would.
    PipelineOptions options;
    if (name.find("eucjp-nolabel") != std::string::npos) options.OpenCharset = OpenCharset::kEucJp;
    const std::string page =
        FileInputStage(LoadTextFile((test::TestDataDir() / "pages" / name).string()), options).Org;
    const ReferenceConversion converted = ConvertAllToCharacterReferences(EscapeHtmlSpecialChars(page));
    EXPECT_TRUE(DecodeCharacterReferences(converted.text) == page) << name;
    if (!converted.keptAsIs.any()) {
      EXPECT_TRUE(IsAscii(converted.text)) << name;
    }
  }
}

}  // namespace
}  // namespace zelm
