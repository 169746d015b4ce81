// The named character references of HTML (the entities an author writes as
// "&copy;"), the escaping of the four characters that markup reserves, and
// the page that lists the entities for the window's browser.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelm {

struct HtmlEntity {
  std::string_view name;  // without "&" and ";", case-sensitive
  char32_t codePoint;
};

// The 252 entities of HTML 4 (Latin-1, symbols and Greek letters, special
// characters, in the order of its three lists), then "apos" of XHTML.
std::span<const HtmlEntity> HtmlEntities();

// The code point of an entity name, compared with case ("Alpha" is not
// "alpha").
std::optional<char32_t> EntityCodePoint(std::string_view name);

// Only "<", ">", "&" and the double quote become "&lt;", "&gt;", "&amp;" and
// "&quot;"; every other byte stays. None of them is ever the second byte of
// a Shift_JIS character.
std::string EscapeHtmlSpecialChars(std::string_view text);

// The words of the entity list page, in the page's encoding.
struct EntityPageLabels {
  std::string_view charset;  // the charset the page declares, e.g. "Shift_JIS"
  std::string_view title, name, character, reference, codePoint;
};

// An HTML page with one row per entity: the entity as written, the
// character it stands for, its numeric reference and its code point. The
// characters are written as references, so the page shows them whatever
// its encoding. Lines end in CR LF.
std::string EntityListPage(const EntityPageLabels& labels);

}  // namespace zelm
