// Colour values in the CSS of a page.
#include "text/CssColours.h"

#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

struct Found {
  std::string text;
  std::string rgb;
  bool operator==(const Found&) const = default;
};
void PrintTo(const Found& f, std::ostream* os) { *os << f.text << "=" << f.rgb; }

std::vector<Found> Colours(const std::vector<CssColour>& colours) {
  std::vector<Found> found;
  for (const CssColour& colour : colours) found.push_back({std::string(colour.text), RgbHex(colour.rgb)});
  return found;
}

TEST(ParseCssColour, ReadsEachForm) {
  const struct {
    std::string_view value;
    std::optional<std::string> rgb;
  } cases[] = {
      {"#f0a", "#FF00AA"},
      {"#F0A8", "#FF00AA"},
      {"#1a2B3c", "#1A2B3C"},
      {"#1a2b3c80", "#1A2B3C"},
      {"rgb(255, 0, 16)", "#FF0010"},
      {"RGB(255 0 16)", "#FF0010"},
      {"rgba(0,0,255,0.5)", "#0000FF"},
      {"rgb(0 0 255 / 50%)", "#0000FF"},
      {"rgb(100%, 50%, 0%)", "#FF8000"},
      {"rgb(300, -5, 127.6)", "#FF0080"},
      {"Red", "#FF0000"},
      {"rebeccapurple", "#663399"},
      {"LightGoldenrodYellow", "#FAFAD2"},
      {" grey ", "#808080"},
      {"#ff", std::nullopt},
      {"#ggg", std::nullopt},
      {"rgb(1, 2)", std::nullopt},
      {"rgb(1, 2, 3, 4, 5)", std::nullopt},
      {"rgb(a, b, c)", std::nullopt},
      {"hsl(0, 100%, 50%)", std::nullopt},
      {"transparent", std::nullopt},
      {"reddish", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto rgb = ParseCssColour(c.value);
    EXPECT_EQ(rgb ? std::optional(RgbHex(*rgb)) : std::nullopt, c.rgb) << c.value;
  }
}

TEST(ListCssColours, FindsColourValuesInStyleElementsAndAttributes) {
  const struct {
    const char* name;
    std::string page;
    std::vector<Found> expected;
  } cases[] = {
      {"style element",
       "<style>\r\nbody { color: #333; background: White }\r\n.a{border:1px solid rgb(0,128,0)}\r\n</style>",
       {{"#333", "#333333"}, {"White", "#FFFFFF"}, {"rgb(0,128,0)", "#008000"}}},
      {"style attribute", "<p style=\"color:red;background-color: #00f\">x</p><td STYLE='color: rgba(1,2,3,.5)'>",
       {{"red", "#FF0000"}, {"#00f", "#0000FF"}, {"rgba(1,2,3,.5)", "#010203"}}},
      {"selectors are no values",
       "<style>#fff, .red, a:hover, div.navy > p { color: teal } @media print { #red { color: #000 } }</style>",
       {{"teal", "#008080"}, {"#000", "#000000"}}},
      {"names within names", "<p style=\"font-family: redhat, sans-red; border-color: darkred\">",
       {{"darkred", "#8B0000"}}},
      {"comments, strings and urls",
       "<style>/* color: red */ p { content: \"blue\"; background: url(red.png) #abc; }</style>",
       {{"#abc", "#AABBCC"}}},
      {"gradients", "<div style=\"background: linear-gradient(to right, #fff 0%, black 100%)\">",
       {{"#fff", "#FFFFFF"}, {"black", "#000000"}}},
      {"not CSS", "<!-- <p style=\"color:red\"> --><script>s='<p style=\"color:red\">'</script><font color=red>", {}},
      {"last declaration without ;", "<p style=\"margin:0;color:olive\">", {{"olive", "#808000"}}},
      {"units and numbers", "<p style=\"width:10em; z-index:1; color:#12345g; line-height:1.5\">", {}},
      {"old comment marks", "<style><!--\r\np{color:navy}\r\n--></style>", {{"navy", "#000080"}}},
      // "マ" ends in the byte of "}" and "表" in that of a backslash.
      {"Shift_JIS text", Sjis("<style>p{font-family:\"表\";content:マ;color:lime}</style>"), {{"lime", "#00FF00"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Colours(ListCssColours(c.page)), c.expected) << c.name;
}

TEST(ListCssColours, GivesThePositionOfEachValue) {
  const std::string page = "<p style=\"color:#f00\">\r\n<style>a{color: Navy}</style>";
  const auto colours = ListCssColours(page);
  ASSERT_EQ(colours.size(), 2u);
  for (const CssColour& colour : colours) EXPECT_EQ(page.substr(colour.position - 1, colour.text.size()), colour.text);
  EXPECT_EQ(colours[0].position, 17u);
}

TEST(ListCssColours, PointsAtEachValueInRandomTexts) {
  const std::vector<std::string> css{"a", "{", "}", ":", ";", ": ", "; ", "#", "#fff", "#A0b1C2", "red", "Navy",
                                     "rgb(", "1,2,3", "50%", ")", "url(", "/*", "*/", "\\", "\"", "'", ",",
                                     "\x83\x7d", "\x95\x5c", "\x81", " ", "-", "<!--", "-->", "</style>", ">"};
  std::mt19937 rng(5);
  std::size_t found = 0;
  for (int round = 0; round < 400; ++round) {
    const std::string page = "<style>" + test::RandomText(rng, css, 1 + round % 60) + "</style><p style=\"" +
                             test::RandomText(rng, css, 1 + round % 20) + "\">";
    for (const CssColour& colour : ListCssColours(page)) {
      ++found;
      ASSERT_GE(colour.position, 1u);
      ASSERT_EQ(page.substr(colour.position - 1, colour.text.size()), colour.text) << page;
      ASSERT_TRUE(ParseCssColour(colour.text).has_value()) << colour.text;
    }
  }
  EXPECT_GT(found, 50u);
}

TEST(UniqueSortedColours, KeepsTheFirstOfEachWritingInOrder) {
  const std::string page =
      "<style>a{color:red} b{color:#FFF} i{color:RED} u{color:rgb(0, 0, 0)} s{color:#fff; background:rgb(0,0,0)}"
      "</style>";
  const auto unique = UniqueSortedColours(ListCssColours(page));
  EXPECT_EQ(Colours(unique), (std::vector<Found>{{"#FFF", "#FFFFFF"}, {"red", "#FF0000"}, {"rgb(0, 0, 0)", "#000000"}}));
  EXPECT_EQ(unique[1].position, page.find("red") + 1);
}

}  // namespace
}  // namespace zelm
