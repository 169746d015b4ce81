#include "colour/zhnRichSyntax.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

namespace zelm {
namespace {

const std::string kBaseFrame =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern\\fcharset128 Courier New;}}\r\n"
    "\\deflang1033\\pard\\plain\\f0\\fs20\\f0 ";

// A writer fed from a fixed list of (style, token) pairs.
class ListedTokens : public TzhnRTFSyntax {
 public:
  explicit ListedTokens(std::vector<std::pair<int, std::string>> tokens) : tokens_(std::move(tokens)) {}
  void NextToken() override { ++index_; }
  bool AtEnd() const override { return index_ >= tokens_.size(); }
  std::string_view GetToken() const override { return tokens_[index_].second; }
  int GetTokenStyle() const override { return tokens_[index_].first; }

 private:
  std::vector<std::pair<int, std::string>> tokens_;
  std::size_t index_ = 0;
};

TEST(TzhnRTFSyntax, BaseObjectWritesTheFrameWithNoTokens) {
  TzhnRTFSyntax writer;
  EXPECT_EQ(writer.CodePage, 1252);
  EXPECT_EQ(writer.Header, "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl");
  EXPECT_EQ(writer.FontTable, "{\\f0\\fmodern\\fcharset128 Courier New;}");
  EXPECT_EQ(writer.ColorTable, "");
  const std::string page = "<p>ignored</p>";
  writer.SetSource(page);
  EXPECT_EQ(writer.GetRTF(), kBaseFrame + "\\par }");
}

TEST(TzhnRTFSyntax, SetColorsAlwaysStartsWithBlack) {
  TzhnRTFSyntax writer;
  writer.SetColors({}, -1);
  EXPECT_EQ(writer.ColorTable, "{\\colortbl\\red0\\green0\\blue0;}\r\n");
  const std::vector<TColor> colors{MakeColor(1, 2, 3), MakeColor(255, 0, 128), MakeColor(9, 9, 9)};
  writer.SetColors(colors, 1);  // the last index counts, not the array's size
  EXPECT_EQ(writer.ColorTable,
            "{\\colortbl\\red0\\green0\\blue0;\\red1\\green2\\blue3;\\red255\\green0\\blue128;}\r\n");
  writer.SetColors(colors, 7);  // an index past the array ends at the array's end
  EXPECT_EQ(writer.ColorTable,
            "{\\colortbl\\red0\\green0\\blue0;\\red1\\green2\\blue3;\\red255\\green0\\blue128;"
            "\\red9\\green9\\blue9;}\r\n");
}

TEST(TzhnRTFSyntax, SystemColoursAreWrittenAsTheirRgbValue) {
  TzhnRTFSyntax writer;
  const std::uint32_t face = ColorToRGB(SystemColor(15));
  EXPECT_EQ(writer.ColorEntry(SystemColor(15)), writer.ColorEntry(static_cast<TColor>(face)));
  EXPECT_EQ(writer.ColorEntry(SystemColor(5)), "\\red255\\green255\\blue255;");  // window background
  EXPECT_EQ(writer.ColorEntry(MakeColor(0, 128, 255)), "\\red0\\green128\\blue255;");
}

TEST(TzhnRTFSyntax, SetFontsWritesFamilyAndCharacterSetWords) {
  TzhnRTFSyntax writer;
  const std::vector<RtfFont> fonts{
      {"Courier New", 0x31, 77},  // a character set without a word
      {"Serif", 0x60, 0},         // an unknown family is roman
      {"Sans", 0x22, 255},
  };
  writer.SetFonts(fonts, 2);
  EXPECT_EQ(writer.FontTable,
            "{\\f0\\fmodern\\ Courier New;}{\\f1\\froman\\fcharset0 Serif;}{\\f2\\fswiss\\fcharset255 Sans;}");
  writer.SetFonts(fonts, -1);
  EXPECT_EQ(writer.FontTable, "");
  EXPECT_NE(writer.GetRTF().find("{\\fonttbl}\r\n"), std::string::npos);
}

TEST(TzhnRTFSyntax, EveryLineBreakTokenGetsAParagraphMark) {
  ListedTokens writer({{8, "a"}, {5, "\r\n"}, {8, "b"}, {5, "\r"}, {8, "c"}, {5, "\n"}, {5, "\n\r"}, {5, " \r\n"}});
  EXPECT_EQ(writer.GetRTF(), kBaseFrame +
                                 "\\cf8 a\\par\\cf5 \r\n\\cf8 b\\par\\cf5 \r\\cf8 c\\par\\cf5 \n"
                                 "\\cf5 \n\r\\cf5  \r\n\\par }");
}

TEST(TzhnRTFSyntax, WritesFromTheStreamsPositionAndCarriesLargeTokens) {
  const std::string big(200000, 'x');
  ListedTokens writer({{3, "a"}, {12, big}, {0, ""}});
  std::ostringstream out;
  out << "lead-in:";
  writer.WriteRTF(out);
  EXPECT_EQ(out.str(), "lead-in:" + kBaseFrame + "\\cf3 a\\cf12 " + big + "\\cf0 \\par }");
}

}  // namespace
}  // namespace zelm
