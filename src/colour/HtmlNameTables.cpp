#include "colour/HtmlNameTables.h"

#include <vector>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::array<std::int32_t, 256> MakeLetterValues() {
  std::array<std::int32_t, 256> values{};
  for (int i = 0; i < 26; ++i) {
    values['A' + i] = i + 1;
    values['a' + i] = i + 1;
  }
  values['!'] = 123;
  values['/'] = 122;
  return values;
}

// Tag names that close nothing: they have no "/" form among the known names.
constexpr std::array<std::string_view, 19> kEmptyElements{
    "AREA", "BASE",    "BASEFONT", "BGSOUND", "BR",  "COL",       "FRAME",  "HR",     "IMG", "INPUT",
    "ISINDEX", "KEYGEN", "LINK",   "META",    "NEXTID", "PARAM", "PLAINTEXT", "SPACER", "WBR",
};

constexpr std::array<std::string_view, 108> kOpeningNames{
    "A",        "ABBR",     "ACRONYM",  "ADDRESS",  "APPLET",   "AREA",     "B",          "BASE",
    "BASEFONT", "BGSOUND",  "BIG",      "BLINK",    "BLOCKQUOTE", "BODY",   "BR",         "BUTTON",
    "CAPTION",  "CENTER",   "CITE",     "CODE",     "COL",      "COLGROUP", "COMMENT",    "DD",
    "DEL",      "DFN",      "DIR",      "DIV",      "DL",       "DT",       "EM",         "EMBED",
    "FIELDSET", "FONT",     "FORM",     "FRAME",    "FRAMESET", "H1",       "H2",         "H3",
    "H4",       "H5",       "H6",       "HEAD",     "HR",       "HTML",     "I",          "IFRAME",
    "ILAYER",   "IMG",      "INPUT",    "INS",      "ISINDEX",  "KBD",      "KEYGEN",     "LABEL",
    "LAYER",    "LEGEND",   "LI",       "LINK",     "LISTING",  "MAP",      "MARQUEE",    "MENU",
    "META",     "MULTICOL", "NEXTID",   "NOBR",     "NOEMBED",  "NOFRAMES", "NOLAYER",    "NOSCRIPT",
    "OBJECT",   "OL",       "OPTION",   "P",        "PARAM",    "PLAINTEXT", "PRE",       "Q",
    "S",        "SAMP",     "SCRIPT",   "SELECT",   "SERVER",   "SMALL",    "SPACER",     "SPAN",
    "STRIKE",   "STRONG",   "STYLE",    "SUB",      "SUP",      "TABLE",    "TBODY",      "TD",
    "TEXTAREA", "TFOOT",    "TH",       "THEAD",    "TITLE",    "TR",       "TT",         "U",
    "UL",       "VAR",      "WBR",      "XMP",
};

// The closing forms are "/" + name; they are kept as whole spellings so that
// the buckets can hold views of them.
std::vector<std::string> ClosingNames() {
  std::vector<std::string> names;
  for (std::string_view name : kOpeningNames) {
    bool empty = false;
    for (std::string_view e : kEmptyElements) empty = empty || e == name;
    if (!empty) names.push_back("/" + std::string(name));
  }
  return names;
}

struct Keywords {
  std::vector<std::string> closing = ClosingNames();
  std::array<KeywordBucket, kKeywordBuckets> buckets{};

  Keywords() {
    auto add = [this](std::string_view name) {
      const TagNameHash h = NameHash(name, 0);
      KeywordBucket& bucket = buckets.at(h.hash);  // every known name hashes below the bucket count
      bucket.names.at(bucket.count++) = name;      // and no bucket holds more than three
    };
    for (std::string_view name : kOpeningNames) add(name);
    for (const std::string& name : closing) add(name);
    add("!DOCTYPE");
  }
};

const Keywords& TheKeywords() {
  static const Keywords keywords;
  return keywords;
}

bool SameLetterValues(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LetterValue[static_cast<unsigned char>(a[i])] != LetterValue[static_cast<unsigned char>(b[i])]) return false;
  }
  return true;
}

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Entities grouped by the lower-cased byte after "&", each group in list
// order: the first match within the group is the first match in the list.
struct EntityIndex {
  std::array<std::vector<std::uint8_t>, 256> bySecondByte;
  EntityIndex() {
    for (std::size_t i = 0; i < EntityNames.size(); ++i) {
      const auto second = static_cast<unsigned char>(AsciiLower(EntityNames[i][1]));
      bySecondByte[second].push_back(static_cast<std::uint8_t>(i));
    }
  }
};

const EntityIndex& TheEntityIndex() {
  static const EntityIndex index;
  return index;
}

}  // namespace

const std::array<std::int32_t, 256> LetterValue = MakeLetterValues();

TagNameHash NameHash(std::string_view text, std::size_t pos) {
  TagNameHash result;
  std::size_t i = pos;
  while (i < text.size() && LetterValue[static_cast<unsigned char>(text[i])] != 0) {
    result.hash += static_cast<std::uint64_t>(LetterValue[static_cast<unsigned char>(text[i])]);
    ++i;
  }
  while (i < text.size() && IsDigit(static_cast<unsigned char>(text[i]))) {
    result.hash += static_cast<std::uint64_t>(text[i] - '0');
    ++i;
  }
  result.length = i - pos;
  return result;
}

const KeywordBucket& KeywordBucketAt(std::uint64_t hash) {
  static const KeywordBucket empty;
  return hash < kKeywordBuckets ? TheKeywords().buckets[hash] : empty;
}

bool KeywordTable(std::uint64_t hash, std::string_view name) {
  const KeywordBucket& bucket = KeywordBucketAt(hash);
  for (std::size_t i = 0; i < bucket.count; ++i) {
    if (SameLetterValues(bucket.names[i], name)) return true;
  }
  return false;
}

const std::array<std::string_view, kEntityCount> EntityNames{
    "&amp;", "&lt;", "&gt;", "&quot;", "&trade;", "&nbsp;", "&copy;", "&reg;", "&Agrave;", "&Aacute;",
    "&Acirc;", "&Atilde;", "&Auml;", "&Aring;", "&AElig;", "&Ccedil;", "&Egrave;", "&Eacute;", "&Ecirc;", "&Euml;",
    "&Igrave;", "&Iacute;", "&Icirc;", "&Iuml;", "&ETH;", "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;", "&Otilde;",
    "&Ouml;", "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;", "&Uuml;", "&Yacute;", "&THORN;", "&szlig;", "&agrave;",
    "&aacute;", "&acirc;", "&atilde;", "&auml;", "&aring;", "&aelig;", "&ccedil;", "&egrave;", "&eacute;", "&ecirc;",
    "&euml;", "&igrave;", "&iacute;", "&icirc;", "&iuml;", "&eth;", "&ntilde;", "&ograve;", "&oacute;", "&ocirc;",
    "&otilde;", "&ouml;", "&oslash;", "&ugrave;", "&uacute;", "&ucirc;", "&uuml;", "&yacute;", "&thorn;", "&yuml;",
    "&iexcl;", "&cent;", "&pound;", "&curren;", "&yen;", "&brvbar;", "&sect;", "&uml;", "&ordf;", "&laquo;",
    "&shy;", "&macr;", "&deg;", "&plusmn;", "&sup2;", "&sup3;", "&acute;", "&micro;", "&middot;", "&cedil;",
    "&sup1;", "&ordm;", "&raquo;", "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&times;", "&divide", "&euro;",
    "&#9;", "&#127;", "&#128;", "&#129;", "&#130;", "&#131;", "&#132;", "&ldots;", "&#134;", "&#135;",
    "&#136;", "&#137;", "&#138;", "&#139;", "&#140;", "&#141;", "&#142;", "&#143;", "&#144;", "&#152;",
    "&#153;", "&#154;", "&#155;", "&#156;", "&#157;", "&#158;", "&#159;", "&#161;", "&#162;", "&#163;",
    "&#164;", "&#165;", "&#166;", "&#167;", "&#168;", "&#170;", "&#175;", "&#176;", "&#177;", "&#178;",
    "&#180;", "&#181;", "&#183;", "&#184;", "&#185;", "&#186;", "&#188;", "&#189;", "&#190;", "&#191;",
    "&#215;",
};

int MatchEntity(std::string_view text, std::size_t pos) {
  if (pos + 1 >= text.size() || text[pos] != '&') return -1;
  const std::string_view rest = text.substr(pos);
  const auto second = static_cast<unsigned char>(AsciiLower(rest[1]));
  for (const std::uint8_t index : TheEntityIndex().bySecondByte[second]) {
    const std::string_view spelling = EntityNames[index];
    if (rest.size() < spelling.size()) continue;
    std::size_t i = 2;
    while (i < spelling.size() && AsciiLower(rest[i]) == AsciiLower(spelling[i])) ++i;
    if (i == spelling.size()) return index;
  }
  return -1;
}

}  // namespace zelm
