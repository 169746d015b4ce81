#include "colour/zhnHTMLRTF.h"

#include <charconv>

#include "colour/HtmlNameTables.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::array<TColor, 11> kDefaultColors{
    MakeColor(0, 128, 0),    // 1 server script
    MakeColor(128, 0, 0),    // 2 comment, "//" lines
    MakeColor(255, 0, 0),    // 3 attribute name
    MakeColor(255, 0, 0),    // 4 known tag
    MakeColor(0, 0, 255),    // 5 space
    MakeColor(0, 128, 0),    // 6 quoted string and quoted value
    MakeColor(255, 0, 255),  // 7 symbol
    MakeColor(0, 0, 255),    // 8 text
    MakeColor(0, 0, 0),      // 9 unknown tag, bold
    MakeColor(0, 0, 0),      // 10 bare attribute value
    MakeColor(0, 0, 0),      // 11 entity
};

constexpr std::array<TColor, 11> kAlternateColors{
    MakeColor(0, 128, 0), MakeColor(128, 0, 0), MakeColor(0, 0, 0),   MakeColor(0, 0, 255),
    MakeColor(0, 0, 0),   MakeColor(0, 128, 0), MakeColor(0, 0, 255), MakeColor(0, 0, 0),
    MakeColor(255, 0, 0), MakeColor(0, 0, 0),   MakeColor(0, 0, 0),
};

constexpr int kUnknownTagStyle = 9;
constexpr int kCommentStyle = 2;
constexpr int kQuotedStyle = 6;
constexpr int kBareValueStyle = 10;

// Byte classes of the hot loops, as tables.
struct ByteTables {
  std::array<bool, 256> continuesSpace{};  // 1-8, 11, 12, 14-32
  std::array<bool, 256> endsText{};        // below 32, "<", "&"
  std::array<bool, 256> endsQuoted{};      // NUL, LF, CR, double quote
  std::array<bool, 256> endsValue{};       // 32 and below, ">"
  std::array<bool, 256> endsName{};        // 32 and below, double quote, "=", ">"
  std::array<bool, 256> endsLine{};        // NUL, LF, CR, ">"
  std::array<unsigned char, 256> escapeClass{};  // 1 lead byte, 2 "\" "{" "}"
  constexpr ByteTables() {
    for (int c = 0; c < 256; ++c) {
      continuesSpace[c] = c >= 1 && c <= 32 && c != 9 && c != 10 && c != 13;
      endsText[c] = c < 32 || c == '<' || c == '&';
      endsQuoted[c] = c == 0 || c == '\n' || c == '\r' || c == '"';
      endsValue[c] = c <= 32 || c == '>';
      endsName[c] = c <= 32 || c == '"' || c == '=' || c == '>';
      endsLine[c] = c == 0 || c == '\n' || c == '\r' || c == '>';
      escapeClass[c] = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 1 : (c == '\\' || c == '{' || c == '}') ? 2 : 0;
    }
  }
};
constexpr ByteTables kBytes;

constexpr std::array<std::string_view, 12> kKindNames{
    "Entity", "ServerScript", "Comment",      "AttributeName", "KnownTag",   "End",
    "Space",  "QuotedString", "Symbol",       "Text",          "UnknownTag", "AttributeValue",
};

constexpr std::array<int, 12> kKindStyles{11, 1, 2, 3, 4, 11, 5, 6, 7, 8, 9, 10};

// "\cfN " for the styles a token can have, made once.
struct StylePrefixes {
  std::array<std::string, 16> prefix;
  StylePrefixes() {
    for (std::size_t i = 0; i < prefix.size(); ++i) prefix[i] = "\\cf" + std::to_string(i) + " ";
  }
};
const StylePrefixes& ThePrefixes() {
  static const StylePrefixes prefixes;
  return prefixes;
}

void AppendStylePrefix(std::string& out, int style) {
  if (style >= 0 && static_cast<std::size_t>(style) < ThePrefixes().prefix.size()) {
    out += ThePrefixes().prefix[static_cast<std::size_t>(style)];
  } else {
    out += "\\cf";
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, style).ptr);
    out += ' ';
  }
}

// Walks the token as Shift_JIS: does any "\", "{" or "}" stand at a character
// boundary, or does the token end in a lead byte without its second byte?
bool NeedsEscape(std::string_view token) {
  const std::size_t n = token.size();
  std::size_t i = 0;
  while (i < n) {
    switch (kBytes.escapeClass[static_cast<unsigned char>(token[i])]) {
      case 0: ++i; break;
      case 1:
        if (i + 1 == n) return true;
        i += 2;
        break;
      default: return true;
    }
  }
  return false;
}

}  // namespace

std::string_view TokenKindName(TokenKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < kKindNames.size() ? kKindNames[i] : "?";
}

int StyleOfKind(TokenKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < kKindStyles.size() ? kKindStyles[i] : 11;
}

const TzhnHTMLRTF::HandlerTable& TzhnHTMLRTF::BuildCharacterTable() {
  static const HandlerTable table = [] {
    HandlerTable t;
    t.fill(&TzhnHTMLRTF::TakeWord);
    t[0] = &TzhnHTMLRTF::TakeEnd;
    for (int c = 1; c <= 32; ++c) t[c] = &TzhnHTMLRTF::TakeSpace;
    t['\n'] = &TzhnHTMLRTF::TakeLineFeed;
    t['\r'] = &TzhnHTMLRTF::TakeCarriageReturn;
    t['"'] = &TzhnHTMLRTF::TakeQuoted;
    t['&'] = &TzhnHTMLRTF::TakeEntity;
    t['<'] = &TzhnHTMLRTF::TakeOpen;
    t['='] = &TzhnHTMLRTF::TakeEquals;
    t['>'] = &TzhnHTMLRTF::TakeClose;
    return t;
  }();
  return table;
}

TzhnHTMLRTF::TzhnHTMLRTF() : source_(), CharacterTable(BuildCharacterTable()) {
  KeywordBucketAt(0);  // builds the shared keyword table now rather than mid-scan
  SetColors(kDefaultColors, static_cast<int>(kDefaultColors.size()) - 1);
}

void TzhnHTMLRTF::UseAlternateColors() {
  SetColors(kAlternateColors, static_cast<int>(kAlternateColors.size()) - 1);
}

void TzhnHTMLRTF::LoadSource(std::string_view text, int line) {
  source_.assign(text);
  position_ = 0;
  pendingEntity_ = -1;  // an entity found in an earlier text is not in this one
  tokenStart_ = 0;
  lineNumber_ = line;
  NextToken();
}

void TzhnHTMLRTF::NextToken() {
  tokenStart_ = position_;
  switch (state_) {
    case ScanState::InServerScript: ScanServerScript(); break;
    case ScanState::InComment: ScanComment(); break;
    case ScanState::InText: ScanText(); break;
    default: Dispatch(); break;
  }
}

// --- Handlers ---------------------------------------------------------------

void TzhnHTMLRTF::TakeEnd() { tokenKind_ = TokenKind::End; }

void TzhnHTMLRTF::TakeSpace() {
  ++position_;
  while (kBytes.continuesSpace[Byte()]) ++position_;
  tokenKind_ = TokenKind::Space;
}

void TzhnHTMLRTF::TakeLineFeed() {
  ++position_;
  tokenKind_ = TokenKind::Space;
}

void TzhnHTMLRTF::TakeCarriageReturn() {
  ++position_;
  if (Byte() == '\n') ++position_;
  tokenKind_ = TokenKind::Space;
}

void TzhnHTMLRTF::TakeQuoted() {
  if (state_ == ScanState::ValueExpected) {
    state_ = ScanState::InTag;
    tokenKind_ = TokenKind::AttributeValue;
  } else {
    tokenKind_ = TokenKind::QuotedString;
  }
  ++position_;
  while (!kBytes.endsQuoted[Byte()]) ++position_;
  if (Byte() == '"') ++position_;
}

void TzhnHTMLRTF::TakeEntity() {
  if (pendingEntity_ >= 0) {
    tokenKind_ = TokenKind::Entity;
    position_ += EntityNames[static_cast<std::size_t>(pendingEntity_)].size();
  }
  pendingEntity_ = -1;
  state_ = ScanState::InText;
}

void TzhnHTMLRTF::TakeOpen() {
  ++position_;
  const char* p = source_.data() + position_;
  if (p[0] == '!' && p[1] == '-' && p[2] == '-') {  // stops at the terminating NUL
    position_ += 3;
    state_ = ScanState::InComment;
    tokenKind_ = TokenKind::Comment;
  } else if (p[0] == '%') {
    ++position_;
    state_ = ScanState::InServerScript;
    tokenKind_ = TokenKind::ServerScript;
  } else {
    state_ = ScanState::TagNameExpected;
    tokenKind_ = TokenKind::Symbol;
  }
}

void TzhnHTMLRTF::TakeEquals() {
  ++position_;
  state_ = ScanState::ValueExpected;
  tokenKind_ = TokenKind::Symbol;
}

void TzhnHTMLRTF::TakeClose() {
  ++position_;
  state_ = ScanState::InText;
  tokenKind_ = TokenKind::Symbol;
}

void TzhnHTMLRTF::TakeWord() {
  switch (state_) {
    case ScanState::TagNameExpected: {
      state_ = ScanState::InTag;
      const TagNameHash name = NameHash(source_, position_);
      if (name.hash < kKeywordBuckets) {
        tokenKind_ = KeywordTable(name.hash, std::string_view(source_).substr(position_, name.length))
                         ? TokenKind::KnownTag
                         : TokenKind::UnknownTag;
      } else {
        tokenKind_ = TokenKind::AttributeName;
      }
      position_ += name.length;
      break;
    }
    case ScanState::ValueExpected:
      state_ = ScanState::InTag;
      tokenKind_ = TokenKind::AttributeValue;
      ++position_;
      while (!kBytes.endsValue[Byte()]) ++position_;
      break;
    default:
      tokenKind_ = TokenKind::AttributeName;
      ++position_;
      while (!kBytes.endsName[Byte()]) ++position_;
      break;
  }
}

// --- Runs in comments, scripts and text -------------------------------------

void TzhnHTMLRTF::ScanServerScript() {
  const unsigned char first = Byte();
  if (first == 0 || first == '\n' || first == '\r') return Dispatch();
  tokenKind_ = TokenKind::ServerScript;
  const char* p = source_.data();
  while (true) {
    while (!kBytes.endsLine[static_cast<unsigned char>(p[position_])]) ++position_;
    if (p[position_] != '>') return;  // the line ends; the script goes on
    if (position_ >= 1 && p[position_ - 1] == '%') {
      ++position_;
      state_ = ScanState::InText;
      return;
    }
    ++position_;
  }
}

void TzhnHTMLRTF::ScanComment() {
  const unsigned char first = Byte();
  if (first == 0 || first == '\n' || first == '\r') return Dispatch();
  tokenKind_ = TokenKind::Comment;
  const char* p = source_.data();
  while (true) {
    while (!kBytes.endsLine[static_cast<unsigned char>(p[position_])]) ++position_;
    if (p[position_] != '>') return;
    // The dashes may be those of the opening "<!--": "<!-->" is a whole comment.
    if (position_ >= 2 && p[position_ - 1] == '-' && p[position_ - 2] == '-') {
      ++position_;
      state_ = ScanState::InText;
      return;
    }
    ++position_;
  }
}

void TzhnHTMLRTF::ScanText() {
  const unsigned char first = Byte();
  if (first < 32 || first == '<') return Dispatch();
  tokenKind_ = TokenKind::Text;
  const char* p = source_.data();
  while (true) {
    while (!kBytes.endsText[static_cast<unsigned char>(p[position_])]) ++position_;
    if (p[position_] != '&') return;
    const int entity = MatchEntity(source_, position_);
    if (entity >= 0) {
      pendingEntity_ = entity;
      state_ = ScanState::EntityPending;
      return;
    }
    ++position_;  // a bare "&" is text
  }
}

// --- Output -----------------------------------------------------------------

void TzhnHTMLRTF::EscapeToken(std::string& token) {
  if (!NeedsEscape(token)) return;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(token.size() + 8);
  const std::size_t n = token.size();
  for (std::size_t i = 0; i < n;) {
    const char c = token[i];
    switch (kBytes.escapeClass[static_cast<unsigned char>(c)]) {
      case 0:
        escaped += c;
        ++i;
        break;
      case 1:
        if (i + 1 < n) {
          escaped.append(token, i, 2);
          i += 2;
        } else {
          const auto byte = static_cast<unsigned char>(c);
          escaped += "\\'";
          escaped += kHex[byte >> 4];
          escaped += kHex[byte & 0xF];
          ++i;
        }
        break;
      default:
        escaped += '\\';
        escaped += c;
        ++i;
        break;
    }
  }
  token.swap(escaped);
}

void TzhnHTMLRTF::StyleToken(int style, std::string_view token, std::string& out) {
  out.clear();
  if (style == kUnknownTagStyle) {
    out += "\\cf9 \\b ";
    out += token;
    out += "\\b0 ";
    return;
  }
  int used = style;
  const std::string_view trimmed = PlainTrimView(token);
  if (trimmed.size() >= 2 && trimmed[0] == '/' && trimmed[1] == '/') used = kCommentStyle;
  if (style == kBareValueStyle && !token.empty() && token[0] == '"') used = kQuotedStyle;
  AppendStylePrefix(out, used);
  out += token;
}

}  // namespace zelm
