#include "colour/HtmlNameTables.h"

#include <vector>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::array<std::int32_t, 256> MakeLetterValues() {
  std::array<std::int32_t, 256> values{};
  for (int c = 0; c < 256; ++c) values[static_cast<std::size_t>(c)] = LetterValueOf(static_cast<unsigned char>(c));
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

constexpr bool IsEmptyElement(std::string_view name) {
  for (std::string_view e : kEmptyElements) {
    if (e == name) return true;
  }
  return false;
}

constexpr std::size_t kClosingCount = kOpeningNames.size() - kEmptyElements.size();
constexpr std::size_t kLongestName = 16;

// The closing forms are "/" + name, spelled out at compile time so that the
// buckets can hold views of them.
using Spelling = std::array<char, kLongestName>;
constexpr std::array<Spelling, kClosingCount> MakeClosingNames() {
  std::array<Spelling, kClosingCount> names{};
  std::size_t k = 0;
  for (std::string_view name : kOpeningNames) {
    if (IsEmptyElement(name)) continue;
    names[k][0] = '/';
    for (std::size_t i = 0; i < name.size(); ++i) names[k][i + 1] = name[i];
    ++k;
  }
  return names;
}
constexpr std::array<Spelling, kClosingCount> kClosingSpellings = MakeClosingNames();

constexpr std::string_view ClosingName(std::size_t k) {
  std::size_t n = 0;
  while (n < kLongestName && kClosingSpellings[k][n] != '\0') ++n;
  return std::string_view(kClosingSpellings[k].data(), n);
}

constexpr std::array<std::int32_t, 256> kLetterValues = MakeLetterValues();

// The hash of a whole known name: they are letters, "!" and "/" followed
// by digits, so this is NameHash over the name.
constexpr std::uint64_t HashOfName(std::string_view name) {
  std::uint64_t hash = 0;
  for (const char c : name) {
    hash += static_cast<std::uint64_t>(c >= '0' && c <= '9' ? c - '0' : kLetterValues[static_cast<unsigned char>(c)]);
  }
  return hash;
}

using KeywordBuckets = std::array<KeywordBucket, kKeywordBuckets>;

constexpr KeywordBuckets MakeKeywordBuckets() {
  KeywordBuckets buckets{};
  auto add = [&buckets](std::string_view name) {
    KeywordBucket& bucket = buckets.at(HashOfName(name));  // every known name hashes below the bucket count
    bucket.names.at(bucket.count++) = name;                 // and no bucket holds more than three
  };
  for (std::string_view name : kOpeningNames) add(name);
  for (std::size_t k = 0; k < kClosingCount; ++k) add(ClosingName(k));
  add("!DOCTYPE");
  return buckets;
}
// Built by the compiler: a name that hashes outside the table, or a bucket
// that overflows, fails the build.
constexpr KeywordBuckets kKeywordTable = MakeKeywordBuckets();

// The known names as the scanner compares them: length, and the letter
// values of the first eight bytes packed into one word, so that most names
// are told apart without a look at their bytes.
struct KnownName {
  std::size_t length = 0;
  std::uint64_t firstValues = 0;
};
using KnownNameBucket = std::array<KnownName, 3>;

constexpr std::array<KnownNameBucket, kKeywordBuckets> MakeKnownNames() {
  std::array<KnownNameBucket, kKeywordBuckets> table{};
  for (std::size_t hash = 0; hash < kKeywordBuckets; ++hash) {
    const KeywordBucket& bucket = kKeywordTable[hash];
    for (std::size_t k = 0; k < bucket.count; ++k) {
      table[hash][k].length = bucket.names[k].size();
      table[hash][k].firstValues = FirstLetterValues(bucket.names[k].data(), bucket.names[k].size());
    }
  }
  return table;
}
constexpr std::array<KnownNameBucket, kKeywordBuckets> kKnownNames = MakeKnownNames();

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

const std::array<std::int32_t, 256> LetterValue = kLetterValues;

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
  static constexpr KeywordBucket kEmpty;
  return hash < kKeywordBuckets ? kKeywordTable[hash] : kEmpty;
}

bool IsKnownTagName(std::uint64_t hash, std::uint64_t firstValues, std::string_view name) {
  if (hash >= kKeywordBuckets) return false;
  const KnownNameBucket& known = kKnownNames[hash];
  const KeywordBucket& bucket = kKeywordTable[hash];
  for (std::size_t k = 0; k < bucket.count; ++k) {
    if (known[k].length != name.size() || known[k].firstValues != firstValues) continue;
    if (name.size() <= 8 || SameLetterValues(bucket.names[k].substr(8), name.substr(8))) return true;
  }
  return false;
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
