#include "colour/zhnHTMLRTF.h"

#include <algorithm>
#include <cstring>
#include <functional>

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
      const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);  // as IsSjisLeadByte
      escapeClass[c] = lead ? 1 : (c == '\\' || c == '{' || c == '}') ? 2 : 0;
    }
  }
};
constexpr ByteTables kBytes;

constexpr std::array<std::string_view, 12> kKindNames{
    "Entity", "ServerScript", "Comment",      "AttributeName", "KnownTag",   "End",
    "Space",  "QuotedString", "Symbol",       "Text",          "UnknownTag", "AttributeValue",
};

constexpr std::array<int, 12> kKindStyles{11, 1, 2, 3, 4, 11, 5, 6, 7, 8, 9, 10};

// "\cfN " for the styles a token can have.
struct StylePrefix {
  char bytes[8];
  std::size_t length;
};
constexpr std::array<StylePrefix, 16> MakeStylePrefixes() {
  std::array<StylePrefix, 16> prefixes{};
  for (int style = 0; style < 16; ++style) {
    StylePrefix& p = prefixes[static_cast<std::size_t>(style)];
    std::size_t n = 0;
    p.bytes[n++] = '\\';
    p.bytes[n++] = 'c';
    p.bytes[n++] = 'f';
    if (style >= 10) p.bytes[n++] = static_cast<char>('0' + style / 10);
    p.bytes[n++] = static_cast<char>('0' + style % 10);
    p.bytes[n++] = ' ';
    p.length = n;
  }
  return prefixes;
}
constexpr std::array<StylePrefix, 16> kStylePrefixes = MakeStylePrefixes();

// Does the token end in a lead byte that has lost its second byte? The bytes
// in the lead range at the end of the token pair up from the last byte before
// them that cannot be a lead byte (a character always ends there) or from the
// token's start; an odd count leaves the last one alone.
bool EndsInCutLeadByte(std::string_view token) {
  std::size_t leads = 0;
  for (std::size_t i = token.size(); i > 0 && kBytes.escapeClass[static_cast<unsigned char>(token[i - 1])] == 1; --i)
    ++leads;
  return leads % 2 == 1;
}

// Does the token hold a "\", "{" or "}" anywhere? Whether one stands at a
// character boundary and must be escaped, the escaping walk tells.
bool HasSpecialByte(std::string_view token) {
  bool special = false;
  for (const char c : token) special |= kBytes.escapeClass[static_cast<unsigned char>(c)] == 2;
  return special;
}

// With more than one "\", "{" or "}" in this many bytes of text, listing
// them costs more than looking at every token.
constexpr std::size_t kBytesPerListedSpecial = 8;

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

TzhnHTMLRTF::TzhnHTMLRTF() : CharacterTable(BuildCharacterTable()) {
  KeywordBucketAt(0);  // builds the shared keyword table now rather than mid-scan
  SetColors(kDefaultColors, static_cast<int>(kDefaultColors.size()) - 1);
}

void TzhnHTMLRTF::WriteRTF(RtfSink& sink) { WriteDocument(*this, sink); }

void TzhnHTMLRTF::UseAlternateColors() {
  SetColors(kAlternateColors, static_cast<int>(kAlternateColors.size()) - 1);
}

void TzhnHTMLRTF::LoadSource(const std::string& text, int line) {
  source_ = text.c_str();
  sourceLength_ = text.size();
  sourceBytes_ = text.size();
  ListSpecials();
  position_ = 0;
  pendingEntity_ = -1;  // an entity found in an earlier text is not in this one
  // The empty entity step keeps the kind it finds: left at End from an
  // earlier text, a text that begins with "&" would end at once.
  tokenKind_ = TokenKind::Entity;
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
  const char* p = source_ + position_;
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
      const TagNameHash name = NameHash(Source(), position_);
      if (name.hash < kKeywordBuckets) {
        tokenKind_ = KeywordTable(name.hash, Source().substr(position_, name.length))
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
  const char* p = source_;
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
  const char* p = source_;
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
  const char* p = source_;
  while (true) {
    while (!kBytes.endsText[static_cast<unsigned char>(p[position_])]) ++position_;
    if (p[position_] != '&') return;
    const int entity = MatchEntity(Source(), position_);
    if (entity >= 0) {
      pendingEntity_ = entity;
      state_ = ScanState::EntityPending;
      return;
    }
    ++position_;  // a bare "&" is text
  }
}

// --- Output -----------------------------------------------------------------

void TzhnHTMLRTF::ListSpecials() {
  specials_.clear();
  nextSpecial_ = 0;
  specialsListed_ = true;
  const std::size_t limit = sourceLength_ / kBytesPerListedSpecial + 64;
  for (const char special : {'\\', '{', '}'}) {
    const char* end = source_ + sourceLength_;
    for (const char* p = source_; p < end; ++p) {
      p = static_cast<const char*>(std::memchr(p, special, static_cast<std::size_t>(end - p)));
      if (p == nullptr) break;
      if (specials_.size() == limit) {
        specialsListed_ = false;
        specials_.clear();
        return;
      }
      specials_.push_back(static_cast<std::size_t>(p - source_));
    }
  }
  std::sort(specials_.begin(), specials_.end());
}

bool TzhnHTMLRTF::MayHoldSpecial(std::string_view token) {
  const std::less<const char*> before;
  if (!specialsListed_ || before(token.data(), source_) || before(source_ + sourceLength_, token.data()) ||
      static_cast<std::size_t>(source_ + sourceLength_ - token.data()) < token.size()) {
    return HasSpecialByte(token);  // not a token of this text
  }
  const auto start = static_cast<std::size_t>(token.data() - source_);
  const std::size_t end = start + token.size();
  // Tokens come in order, so the cursor only moves forward; a token from
  // further back finds its place again.
  if (nextSpecial_ > 0 && specials_[nextSpecial_ - 1] >= start)
    nextSpecial_ = static_cast<std::size_t>(std::lower_bound(specials_.begin(), specials_.end(), start) - specials_.begin());
  while (nextSpecial_ < specials_.size() && specials_[nextSpecial_] < start) ++nextSpecial_;
  return nextSpecial_ < specials_.size() && specials_[nextSpecial_] < end;
}

void TzhnHTMLRTF::EscapeToken(std::string_view& token, std::string& scratch) {
  if (!MayHoldSpecial(token) && !EndsInCutLeadByte(token)) return;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string& escaped = scratch;
  escaped.clear();
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
          escaped.append(token.substr(i, 2));
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
  token = escaped;
}

void TzhnHTMLRTF::StyleToken(int style, std::string_view token, RtfSink& out) {
  if (style == kUnknownTagStyle) {
    out.Write("\\cf9 \\b ");
    out.Write(token);
    out.Write("\\b0 ");
    return;
  }
  int used = style;
  if (!token.empty()) {
    const auto first = static_cast<unsigned char>(token[0]);
    if (first <= 32 || first == '/') {
      const std::string_view trimmed = PlainTrimView(token);
      if (trimmed.size() >= 2 && trimmed[0] == '/' && trimmed[1] == '/') used = kCommentStyle;
    }
    if (style == kBareValueStyle && first == '"') used = kQuotedStyle;
  }
  if (used >= 0 && static_cast<std::size_t>(used) < kStylePrefixes.size()) {
    const StylePrefix& prefix = kStylePrefixes[static_cast<std::size_t>(used)];
    out.Write(std::string_view(prefix.bytes, prefix.length));
  } else {
    out.Write("\\cf" + std::to_string(used) + " ");
  }
  out.Write(token);
}

}  // namespace zelm
