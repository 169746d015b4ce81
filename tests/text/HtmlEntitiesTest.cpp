// The entity table, the escaping of markup's four characters and the
// entity list page.
#include "text/HtmlEntities.h"

#include <gtest/gtest.h>

#include <set>

namespace zelm {
namespace {

TEST(HtmlEntities, HoldsTheEntitiesOfHtml4AndApos) {
  const auto entities = HtmlEntities();
  EXPECT_EQ(entities.size(), 253u);
  std::set<std::string_view> names;
  for (const HtmlEntity& entity : entities) names.insert(entity.name);
  EXPECT_EQ(names.size(), entities.size()) << "names are unique";
  const struct {
    std::string_view name;
    std::optional<char32_t> codePoint;
  } cases[] = {
      {"nbsp", 160},   {"yuml", 255},    {"fnof", 402},    {"Omega", 937}, {"omega", 969},
      {"thetasym", 977}, {"alefsym", 8501}, {"diams", 9830}, {"quot", 34},   {"euro", 8364},
      {"apos", 39},    {"NBSP", std::nullopt}, {"", std::nullopt}, {"nbs", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(EntityCodePoint(c.name), c.codePoint) << c.name;
  // The three lists of HTML 4: Latin-1 is U+00A0-U+00FF in order.
  for (char32_t i = 0; i < 96; ++i) EXPECT_EQ(entities[i].codePoint, 160 + i);
}

TEST(EscapeHtmlSpecialChars, EscapesTheFourCharactersOnly) {
  EXPECT_EQ(EscapeHtmlSpecialChars("<a href=\"x?a=1&b=2\">'it'</a>"),
            "&lt;a href=&quot;x?a=1&amp;b=2&quot;&gt;'it'&lt;/a&gt;");
  EXPECT_EQ(EscapeHtmlSpecialChars("&amp;"), "&amp;amp;");
  const std::string sjis = "\x83\x7d\x95\x5c";  // the second bytes are "}" and "\"
  EXPECT_EQ(EscapeHtmlSpecialChars(sjis), sjis);
}

TEST(EntityListPage, ListsEveryEntityWithItsCharacter) {
  const std::string page =
      EntityListPage({.charset = "Shift_JIS", .title = "T", .name = "N", .character = "C", .reference = "R",
                      .codePoint = "P"});
  EXPECT_NE(page.find("<meta charset=\"Shift_JIS\">\r\n"), std::string::npos);
  EXPECT_NE(page.find("<tr><th>N</th><th>C</th><th>R</th><th>P</th></tr>"), std::string::npos);
  for (const HtmlEntity& entity : HtmlEntities()) {
    const std::string number = std::to_string(entity.codePoint);
    EXPECT_NE(page.find("<tr><td>&amp;" + std::string(entity.name) + ";</td><td class=\"character\">&#" + number +
                        ";</td><td>&amp;#" + number + ";</td>"),
              std::string::npos)
        << entity.name;
  }
  EXPECT_NE(page.find("<td>U+2665</td>"), std::string::npos);  // hearts
  EXPECT_NE(page.find("<td>U+0022</td>"), std::string::npos);  // quot
}

}  // namespace
}  // namespace zelm
