#include "colour/zhnHTMLRTF.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

#include "colour/ColourTestSupport.h"
#include "colour/HtmlNameTables.h"
#include "colour/RtfReader.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::DocumentBody;
using test::ScannedToken;
using test::ScanTokens;
using K = TokenKind;

// --- Tag names ----------------------------------------------------------------

const std::vector<std::string> kOpeningNames{
    "A",        "ABBR",     "ACRONYM",  "ADDRESS",  "APPLET",    "AREA",     "B",        "BASE",     "BASEFONT",
    "BGSOUND",  "BIG",      "BLINK",    "BLOCKQUOTE", "BODY",    "BR",       "BUTTON",   "CAPTION",  "CENTER",
    "CITE",     "CODE",     "COL",      "COLGROUP", "COMMENT",   "DD",       "DEL",      "DFN",      "DIR",
    "DIV",      "DL",       "DT",       "EM",       "EMBED",     "FIELDSET", "FONT",     "FORM",     "FRAME",
    "FRAMESET", "H1",       "H2",       "H3",       "H4",        "H5",       "H6",       "HEAD",     "HR",
    "HTML",     "I",        "IFRAME",   "ILAYER",   "IMG",       "INPUT",    "INS",      "ISINDEX",  "KBD",
    "KEYGEN",   "LABEL",    "LAYER",    "LEGEND",   "LI",        "LINK",     "LISTING",  "MAP",      "MARQUEE",
    "MENU",     "META",     "MULTICOL", "NEXTID",   "NOBR",      "NOEMBED",  "NOFRAMES", "NOLAYER",  "NOSCRIPT",
    "OBJECT",   "OL",       "OPTION",   "P",        "PARAM",     "PLAINTEXT", "PRE",     "Q",        "S",
    "SAMP",     "SCRIPT",   "SELECT",   "SERVER",   "SMALL",     "SPACER",   "SPAN",     "STRIKE",   "STRONG",
    "STYLE",    "SUB",      "SUP",      "TABLE",    "TBODY",     "TD",       "TEXTAREA", "TFOOT",    "TH",
    "THEAD",    "TITLE",    "TR",       "TT",       "U",         "UL",       "VAR",      "WBR",      "XMP",
};
const std::vector<std::string> kWithoutClosingForm{
    "AREA", "BASE",   "BASEFONT", "BGSOUND", "BR",     "COL",   "FRAME",     "HR",     "IMG", "INPUT",
    "ISINDEX", "KEYGEN", "LINK",  "META",    "NEXTID", "PARAM", "PLAINTEXT", "SPACER", "WBR",
};

bool HasClosingForm(const std::string& name) {
  return std::find(kWithoutClosingForm.begin(), kWithoutClosingForm.end(), name) == kWithoutClosingForm.end();
}

std::vector<std::string> LetterCases(const std::string& name) {
  std::string lower, mixed;
  for (std::size_t i = 0; i < name.size(); ++i) {
    lower += AsciiLower(name[i]);
    mixed += i % 2 ? AsciiLower(name[i]) : name[i];
  }
  std::string mixedOther = mixed;
  for (char& c : mixedOther) c = (c >= 'a' && c <= 'z') ? AsciiUpper(c) : AsciiLower(c);
  return {name, lower, mixed, mixedOther};
}

// The kind the scanner gives the first word after "<".
ScannedToken TagNameToken(const std::string& name) {
  const auto tokens = ScanTokens("<" + name + ">");
  if (tokens.size() < 2) return {K::End, ""};
  return tokens[1];
}

TEST(HtmlScanner, EveryKnownTagNameIsKnownInAnyLetterCase) {
  ASSERT_EQ(kOpeningNames.size(), 108u);
  ASSERT_EQ(kWithoutClosingForm.size(), 19u);
  int closing = 0;
  for (const std::string& name : kOpeningNames) {
    for (const std::string& spelling : LetterCases(name)) {
      EXPECT_EQ(TagNameToken(spelling), (ScannedToken{K::KnownTag, spelling})) << spelling;
      const std::string close = "/" + spelling;
      if (HasClosingForm(name)) {
        EXPECT_EQ(TagNameToken(close), (ScannedToken{K::KnownTag, close})) << close;
      } else {
        // Not in the table: every one of them hashes below the table's end,
        // so it is an unknown tag.
        EXPECT_EQ(TagNameToken(close), (ScannedToken{K::UnknownTag, close})) << close;
      }
    }
    closing += HasClosingForm(name);
  }
  EXPECT_EQ(closing, 89);
  for (const std::string& spelling : LetterCases("!DOCTYPE"))
    EXPECT_EQ(TagNameToken(spelling), (ScannedToken{K::KnownTag, spelling}));
}

TEST(HtmlScanner, KeywordBucketsFollowTheNameHash) {
  EXPECT_EQ(NameHash("A", 0).hash, 1u);
  EXPECT_EQ(NameHash("H1", 0).hash, 9u);
  EXPECT_EQ(NameHash("/BLOCKQUOTE", 0).hash, 243u);
  EXPECT_EQ(NameHash("<h1a>", 1).length, 2u);  // letters, then digits, then the name ends
  const KeywordBucket& doctype = KeywordBucketAt(NameHash("!DOCTYPE", 0).hash);
  EXPECT_EQ(doctype.count, 3u);
  std::vector<std::string_view> names(doctype.names.begin(), doctype.names.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string_view>{"!DOCTYPE", "/ACRONYM", "/OPTION"}));
  EXPECT_EQ(KeywordBucketAt(243).count, 1u);
  EXPECT_EQ(KeywordBucketAt(243).names[0], "/BLOCKQUOTE");
  EXPECT_EQ(KeywordBucketAt(244).count, 0u);
  // A digit stands for any digit, but the digits count in the hash.
  EXPECT_TRUE(KeywordTable(NameHash("h1", 0).hash, "h1"));
  EXPECT_FALSE(KeywordTable(NameHash("h7", 0).hash, "h7"));
}

TEST(HtmlScanner, TagNamesThatHashPastTheTableAreAttributeNames) {
  struct Case {
    std::string name;
    K kind;
  };
  const Case cases[] = {
      {"!zzzzp", K::UnknownTag},       // hash 243
      {"!zzzzq", K::AttributeName},    // hash 244
      {"/BLOCKQUOTEA", K::AttributeName},
      {"zzzzzzzzzz", K::AttributeName},
      {"Foo", K::UnknownTag},
      {"h7", K::UnknownTag},
  };
  for (const Case& c : cases) EXPECT_EQ(TagNameToken(c.name), (ScannedToken{c.kind, c.name})) << c.name;
  EXPECT_EQ(DocumentBody("<zzzzzzzzzz>"), "\\cf7 <\\cf3 zzzzzzzzzz\\cf7 >");
  EXPECT_EQ(DocumentBody("<!zzzzp>"), "\\cf7 <\\cf9 \\b !zzzzp\\b0 \\cf7 >");
}

TEST(HtmlScanner, NamesInAKnownNamesBucketMustMatchItLetterForLetter) {
  // Each near miss has the hash and length of its known name and differs
  // from it in the first eight bytes, past them, or in a digit.
  const std::pair<std::string, std::string> pairs[] = {
      {"/BLOCKQUOTE", "/BLOCKQUPTD"}, {"/blockquote", "/BLOCKQVOTD"}, {"/FIELDSET", "/FIELDSDU"},
      {"h1", "G2"},                   {"PLAINTEXT", "PLAINTFXS"},
  };
  for (const auto& [known, nearMiss] : pairs) {
    ASSERT_EQ(NameHash(known, 0).hash, NameHash(nearMiss, 0).hash) << nearMiss;
    ASSERT_EQ(known.size(), nearMiss.size()) << nearMiss;
    EXPECT_EQ(TagNameToken(known), (ScannedToken{K::KnownTag, known}));
    EXPECT_EQ(TagNameToken(nearMiss), (ScannedToken{K::UnknownTag, nearMiss}));
  }
}

TEST(HtmlScanner, AHugeTagNameNeverWrapsIntoTheTable) {
  // 18 million "!" sum past the range of a 32-bit integer.
  const std::string name(18'000'000, '!');
  const auto tokens = ScanTokens("<" + name);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[1].kind, K::AttributeName);
  EXPECT_EQ(tokens[1].text.size(), name.size());
}

// --- Token sequences ------------------------------------------------------------

struct SequenceCase {
  const char* name;
  std::string text;
  std::vector<ScannedToken> tokens;
};

TEST(HtmlScanner, SplitsMarkupIntoClassifiedTokens) {
  const SequenceCase cases[] = {
      {"upper-case tag", "<P>", {{K::Symbol, "<"}, {K::KnownTag, "P"}, {K::Symbol, ">"}}},
      {"closing tag", "</p>", {{K::Symbol, "<"}, {K::KnownTag, "/p"}, {K::Symbol, ">"}}},
      {"digits end the name", "<h1a>", {{K::Symbol, "<"}, {K::KnownTag, "h1"}, {K::AttributeName, "a"}, {K::Symbol, ">"}}},
      {"blank before the name", "< p>", {{K::Symbol, "<"}, {K::Space, " "}, {K::KnownTag, "p"}, {K::Symbol, ">"}}},
      {"empty tag name", "<\x83\x41>",
       {{K::Symbol, "<"}, {K::UnknownTag, ""}, {K::AttributeName, "\x83\x41"}, {K::Symbol, ">"}}},
      {"quoted value",
       "<a href=\"x.html\">",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " "}, {K::AttributeName, "href"}, {K::Symbol, "="},
        {K::AttributeValue, "\"x.html\""}, {K::Symbol, ">"}}},
      {"bare value runs to a blank or >", "<a href=x\"y\" b>",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " "}, {K::AttributeName, "href"}, {K::Symbol, "="},
        {K::AttributeValue, "x\"y\""}, {K::Space, " "}, {K::AttributeName, "b"}, {K::Symbol, ">"}}},
      {"quote outside a value", "<a \"q\">",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " "}, {K::QuotedString, "\"q\""}, {K::Symbol, ">"}}},
      {"unclosed quote stops at the line end", "<a \"q\r\n>",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " "}, {K::QuotedString, "\"q"}, {K::Space, "\r\n"},
        {K::Symbol, ">"}}},
      {"space runs stop at tab and line breaks", "<a \x01 \t\t\r\r\n\n>",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " \x01 "}, {K::Space, "\t"}, {K::Space, "\t"},
        {K::Space, "\r"}, {K::Space, "\r\n"}, {K::Space, "\n"}, {K::Symbol, ">"}}},
      {"text before the first tag is attribute names", "ab cd<p>",
       {{K::AttributeName, "ab"}, {K::Space, " "}, {K::AttributeName, "cd<p"}, {K::Symbol, ">"}}},
      {"entities in text", "<p>a &amp; b",
       {{K::Symbol, "<"}, {K::KnownTag, "p"}, {K::Symbol, ">"}, {K::Text, "a "}, {K::Entity, "&amp;"},
        {K::Text, " b"}}},
      {"entity without case", ">&AMP;x", {{K::Symbol, ">"}, {K::Text, ""}, {K::Entity, "&AMP;"}, {K::Text, "x"}}},
      {"divide without its semicolon", ">&divide;", {{K::Symbol, ">"}, {K::Text, ""}, {K::Entity, "&divide"}, {K::Text, ";"}}},
      {"divide at the very end", ">x&divide", {{K::Symbol, ">"}, {K::Text, "x"}, {K::Entity, "&divide"}}},
      {"unknown entity is text", ">&foo; &am", {{K::Symbol, ">"}, {K::Text, "&foo; &am"}}},
      {"numeric entity", ">&#9;&#91;", {{K::Symbol, ">"}, {K::Text, ""}, {K::Entity, "&#9;"}, {K::Text, "&#91;"}}},
      {"ampersand in a tag switches to text", "<a &amp;",
       {{K::Symbol, "<"}, {K::KnownTag, "a"}, {K::Space, " "}, {K::Space, ""}, {K::Text, ""}, {K::Entity, "&amp;"}}},
      {"comment", "<!-- a -->b", {{K::Comment, "<!--"}, {K::Comment, " a -->"}, {K::Text, "b"}}},
      {"shortest comment", "<!-->b", {{K::Comment, "<!--"}, {K::Comment, ">"}, {K::Text, "b"}}},
      {"comment over three lines", "<!-- a\r\nb\r\nc -->",
       {{K::Comment, "<!--"}, {K::Comment, " a"}, {K::Space, "\r\n"}, {K::Comment, "b"}, {K::Space, "\r\n"},
        {K::Comment, "c -->"}}},
      {"comment ends only after two dashes", "<!-- a -> b --> c",
       {{K::Comment, "<!--"}, {K::Comment, " a -> b -->"}, {K::Text, " c"}}},
      {"server script", "<% x > y %>z", {{K::ServerScript, "<%"}, {K::ServerScript, " x > y %>"}, {K::Text, "z"}}},
      {"shortest server script", "<%>z", {{K::ServerScript, "<%"}, {K::ServerScript, ">"}, {K::Text, "z"}}},
      {"text keeps > = and quotes", "<p>a>b=\"c\"", {{K::Symbol, "<"}, {K::KnownTag, "p"}, {K::Symbol, ">"}, {K::Text, "a>b=\"c\""}}},
      {"control bytes in text are spaces", "<p>a\tb",
       {{K::Symbol, "<"}, {K::KnownTag, "p"}, {K::Symbol, ">"}, {K::Text, "a"}, {K::Space, "\t"}, {K::Text, "b"}}},
      {"a NUL ends the text", std::string("<p>a\0b<i>", 9), {{K::Symbol, "<"}, {K::KnownTag, "p"}, {K::Symbol, ">"}, {K::Text, "a"}}},
      {"empty text", "", {}},
  };
  for (const SequenceCase& c : cases) EXPECT_EQ(ScanTokens(c.text), c.tokens) << c.name;
}

TEST(HtmlScanner, EntitiesMatchTheFirstSpellingInListOrderWithoutCase) {
  ASSERT_EQ(EntityNames.size(), 151u);
  EXPECT_EQ(EntityNames.front(), "&amp;");
  EXPECT_EQ(EntityNames[98], "&divide");
  EXPECT_EQ(EntityNames.back(), "&#215;");
  for (std::size_t i = 0; i < EntityNames.size(); ++i) {
    const int found = MatchEntity(std::string(EntityNames[i]) + "x", 0);
    ASSERT_GE(found, 0) << EntityNames[i];
    // Only a spelling that differs in case alone may come first.
    EXPECT_EQ(SjisUpperCase(EntityNames[static_cast<std::size_t>(found)]), SjisUpperCase(EntityNames[i]));
    EXPECT_LE(static_cast<std::size_t>(found), i);
  }
  EXPECT_EQ(MatchEntity("&eth;", 0), 24);  // "&ETH;" comes first
  EXPECT_EQ(MatchEntity("&Eth;", 0), 24);
  EXPECT_EQ(MatchEntity("&euml;", 0), 19);  // "&Euml;" comes first
  EXPECT_EQ(MatchEntity("x&NBSP;", 1), 5);
  EXPECT_EQ(MatchEntity("&nbsp", 0), -1);   // runs out before the semicolon
  EXPECT_EQ(MatchEntity("&", 0), -1);
}

// --- Documents ------------------------------------------------------------------

struct DocumentCase {
  const char* name;
  std::string text;
  std::string body;
};

TEST(HtmlScanner, WritesEachTokenInTheColourOfItsKind) {
  using test::Sjis;
  const DocumentCase cases[] = {
      {"known tag", "<P>", "\\cf7 <\\cf4 P\\cf7 >"},
      {"unknown tag in bold", "<Foo>", "\\cf7 <\\cf9 \\b Foo\\b0 \\cf7 >"},
      {"quoted value green", "<a href=\"x.html\">", "\\cf7 <\\cf4 a\\cf5  \\cf3 href\\cf7 =\\cf6 \"x.html\"\\cf7 >"},
      {"bare value black", "<a href=x.html>", "\\cf7 <\\cf4 a\\cf5  \\cf3 href\\cf7 =\\cf10 x.html\\cf7 >"},
      {"quoted string", "<a \"s\">", "\\cf7 <\\cf4 a\\cf5  \\cf6 \"s\"\\cf7 >"},
      {"entity", "<b>a &amp; b", "\\cf7 <\\cf4 b\\cf7 >\\cf8 a \\cf11 &amp;\\cf8  b"},
      {"slash-slash line", "<p>\r\n  // note\r\n</p>",
       "\\cf7 <\\cf4 p\\cf7 >\\par\\cf5 \r\n\\cf2   // note\\par\\cf5 \r\n\\cf7 <\\cf4 /p\\cf7 >"},
      {"slash-slash value", "<a b=//x>", "\\cf7 <\\cf4 a\\cf5  \\cf3 b\\cf7 =\\cf2 //x\\cf7 >"},
      {"comment over three lines", "<!-- a\r\nb\r\nc -->",
       "\\cf2 <!--\\cf2  a\\par\\cf5 \r\n\\cf2 b\\par\\cf5 \r\n\\cf2 c -->"},
      {"server script", "<%= x %>", "\\cf1 <%\\cf1 = x %>"},
      {"lone CR and lone LF are paragraphs too", ">a\rb\nc", "\\cf7 >\\cf8 a\\par\\cf5 \r\\cf8 b\\par\\cf5 \n\\cf8 c"},
      {"RTF specials escaped", ">a\\b{c}", "\\cf7 >\\cf8 a\\\\b\\{c\\}"},
      {"specials in an unknown tag", "<x{}>", "\\cf7 <\\cf9 \\b x\\b0 \\cf3 \\{\\}\\cf7 >"},
      {"second bytes left as they are", ">" + Sjis("ソ表{") + "\\", "\\cf7 >\\cf8 \x83\x5c\x95\x5c\\{\\\\"},
      {"second byte that is a brace", ">\x81\x7b}", "\\cf7 >\\cf8 \x81\x7b\\}"},
      {"lead byte cut off by a tag", ">a\x83<b>", "\\cf7 >\\cf8 a\\'83\\cf7 <\\cf4 b\\cf7 >"},
      {"lead byte cut off by a line end", "<!-- \x9f\r\n-->", "\\cf2 <!--\\cf2  \\'9f\\par\\cf5 \r\n\\cf2 -->"},
      {"lead byte at the very end", ">\xe0", "\\cf7 >\\cf8 \\'e0"},
      {"lead byte in an unknown tag's attribute", "<x \xfc", "\\cf7 <\\cf9 \\b x\\b0 \\cf5  \\cf3 \\'fc"},
      {"NUL ends the document", std::string(">a\0<b>", 6), "\\cf7 >\\cf8 a"},
      {"empty text", "", ""},
  };
  for (const DocumentCase& c : cases) EXPECT_EQ(DocumentBody(c.text), c.body) << c.name;
}

TEST(HtmlScanner, EscapesTextsFullOfBracesAndBackslashes) {
  // Far more specials than other bytes.
  std::string escaped;
  for (int i = 0; i < 5000; ++i) escaped += "\\{";
  EXPECT_EQ(DocumentBody(">" + std::string(5000, '{') + "\\}"), "\\cf7 >\\cf8 " + escaped + "\\\\\\}");
}

TEST(HtmlScanner, EscapesAnyTokenInAnyOrder) {
  // Tokens handed back out of order, and text that is no token at all.
  const std::string text = "<a b=\"{x}\">\\t<p>plain</p>{\x83";
  TzhnHTMLRTF scanner;
  scanner.SetSource(text);
  std::vector<std::string_view> tokens;
  while (!scanner.AtEnd()) {
    tokens.push_back(scanner.GetToken());
    scanner.NextToken();
  }
  std::vector<std::string> forward;
  std::string scratch;
  for (std::string_view token : tokens) {
    scanner.EscapeToken(token, scratch);
    forward.emplace_back(token);
  }
  for (std::size_t i = tokens.size(); i-- > 0;) {
    std::string_view token = tokens[i];
    scanner.EscapeToken(token, scratch);
    EXPECT_EQ(token, forward[i]) << i;
  }
  EXPECT_EQ(forward[5], "\"\\{x\\}\"");
  EXPECT_EQ(forward.back(), "\\{\\'83");
  const std::string elsewhere = "a{b\\c}";
  std::string_view other = elsewhere;
  scanner.EscapeToken(other, scratch);
  EXPECT_EQ(other, "a\\{b\\\\c\\}");
}

TEST(HtmlScanner, EmptyTextGivesTheFrameAlone) {
  const std::string document = test::ColourDocument("");
  EXPECT_TRUE(document.ends_with("\\deflang1033\\pard\\plain\\f0\\fs20\\f0 \\par }")) << document;
}

TEST(HtmlScanner, ASecondTextThatBeginsWithAnAmpersandIsScannedWhole) {
  // The first text ends at End; the second one's empty entity step must not
  // keep that kind.
  const std::string first = "a", second = "&b<p>";
  TzhnHTMLRTF scanner;
  scanner.SetSource(first);
  const std::string firstDocument = scanner.GetRTF();
  scanner.SetSource(second);
  EXPECT_EQ(ReadRTF(scanner.GetRTF()).text, second);
  scanner.SetSource(second);
  std::string joined;
  for (; !scanner.AtEnd(); scanner.NextToken()) joined += scanner.GetToken();
  EXPECT_EQ(joined, second);
  EXPECT_EQ(ReadRTF(firstDocument).text, first);
}

TEST(HtmlScanner, AlternateColoursReplaceTheColourTable) {
  const std::string document = test::ColourDocument("<p>", true);
  EXPECT_NE(document.find("{\\colortbl\\red0\\green0\\blue0;"
                          "\\red0\\green128\\blue0;\\red128\\green0\\blue0;\\red0\\green0\\blue0;"
                          "\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red0\\green128\\blue0;"
                          "\\red0\\green0\\blue255;\\red0\\green0\\blue0;\\red255\\green0\\blue0;"
                          "\\red0\\green0\\blue0;\\red0\\green0\\blue0;}\r\n"),
            std::string::npos);
}

// --- Progress -------------------------------------------------------------------

// Walks a text token by token: the tokens lie end to end within the text,
// together they are the text up to its first NUL, and the position moves at
// least once in every four steps.
void ExpectScansWholeText(const std::string& text) {
  TzhnHTMLRTF scanner;
  ScanState stateBefore = scanner.State();
  scanner.SetSource(text);
  const std::size_t stop = std::min(text.find('\0'), text.size());
  std::string joined;
  std::size_t steps = 0, stalled = 0;
  while (!scanner.AtEnd()) {
    ASSERT_EQ(scanner.TokenStart(), joined.size());
    joined += scanner.GetToken();
    ASSERT_LE(joined.size(), stop);
    if (scanner.GetToken().empty()) {
      // A token that takes no bytes always moves the scanner to another state.
      ASSERT_NE(scanner.State(), stateBefore) << "empty " << TokenKindName(scanner.Kind()) << " at " << joined.size();
      ASSERT_LT(++stalled, 4u) << "no progress at " << joined.size();
    } else {
      stalled = 0;
    }
    ASSERT_LT(++steps, 4 * (text.size() + 1));
    stateBefore = scanner.State();
    scanner.NextToken();
  }
  EXPECT_EQ(joined, text.substr(0, stop));
}

TEST(HtmlScanner, AlwaysMakesProgressAndCoversTheText) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> alphabet{
      "<", ">", "=", "\"", "&", "&amp;", "&divide", "<!--", "-->", "--", "<%", "%>", "%", "\r", "\n", "\r\n", "\t",
      " ", "\x01", "a", "P", "div", "h1", "/", "!", "9", "\x83", "\x5c", "{", "}", "\xff", "\x81\x40", ";", "#",
  };
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    ExpectScansWholeText(test::RandomText(rng, alphabet, round % 60));
    std::string bytes(round % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    ExpectScansWholeText(bytes);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace zelm
