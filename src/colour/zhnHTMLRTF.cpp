#include "colour/zhnHTMLRTF.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "colour/HtmlNameTables.h"
#include "text/StringUtil.h"

// The scanning and writing steps below run once per token of a page of
// megabytes: the compiler is asked to fold them into their loop.
#if defined(__GNUC__)
#define ZELM_HOT_INLINE [[gnu::always_inline]] inline
#else
#define ZELM_HOT_INLINE inline
#endif

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

// What the scanner does with a token that begins with a given byte.
enum class Handler : std::uint8_t { End, Space, LineFeed, CarriageReturn, Quoted, Entity, Open, Equals, Close, Word };

constexpr std::array<Handler, 256> MakeCharacterTable() {
  std::array<Handler, 256> table{};
  table.fill(Handler::Word);
  table[0] = Handler::End;
  for (int c = 1; c <= 32; ++c) table[c] = Handler::Space;
  table['\n'] = Handler::LineFeed;
  table['\r'] = Handler::CarriageReturn;
  table['"'] = Handler::Quoted;
  table['&'] = Handler::Entity;
  table['<'] = Handler::Open;
  table['='] = Handler::Equals;
  table['>'] = Handler::Close;
  return table;
}
// The handler for each leading byte value.
constexpr std::array<Handler, 256> CharacterTable = MakeCharacterTable();

// Byte classes of the hot loops, as tables.
struct ByteTables {
  std::array<bool, 256> continuesSpace{};  // 1-8, 11, 12, 14-32
  std::array<bool, 256> endsText{};        // below 32, "<", "&"
  std::array<bool, 256> endsQuoted{};      // NUL, LF, CR, double quote
  std::array<bool, 256> endsValue{};       // 32 and below, ">"
  std::array<bool, 256> endsName{};        // 32 and below, double quote, "=", ">"
  std::array<bool, 256> endsLine{};        // NUL, LF, CR, ">"
  std::array<bool, 256> isDigit{};
  std::array<unsigned char, 256> escapeClass{};  // 1 lead byte, 2 "\" "{" "}"
  constexpr ByteTables() {
    for (int c = 0; c < 256; ++c) {
      continuesSpace[c] = c >= 1 && c <= 32 && c != 9 && c != 10 && c != 13;
      endsText[c] = c < 32 || c == '<' || c == '&';
      endsQuoted[c] = c == 0 || c == '\n' || c == '\r' || c == '"';
      endsValue[c] = c <= 32 || c == '>';
      endsName[c] = c <= 32 || c == '"' || c == '=' || c == '>';
      endsLine[c] = c == 0 || c == '\n' || c == '\r' || c == '>';
      isDigit[c] = c >= '0' && c <= '9';
      const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);  // as IsSjisLeadByte
      escapeClass[c] = lead ? 1 : (c == '\\' || c == '{' || c == '}') ? 2 : 0;
    }
  }
};
constexpr ByteTables kBytes;

constexpr unsigned char U(char c) { return static_cast<unsigned char>(c); }

constexpr std::array<std::string_view, 12> kKindNames{
    "Entity", "ServerScript", "Comment",      "AttributeName", "KnownTag",   "End",
    "Space",  "QuotedString", "Symbol",       "Text",          "UnknownTag", "AttributeValue",
};

constexpr std::array<int, 12> kKindStyles{11, 1, 2, 3, 4, 11, 5, 6, 7, 8, 9, 10};

// "\cfN " for the styles a token can have, padded to eight bytes so that it
// can be stored in one piece.
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

// --- Escaping -------------------------------------------------------------------

// Does the token end in a lead byte that has lost its second byte? The bytes
// in the lead range at the end of the token pair up from the last byte before
// them that cannot be a lead byte (a character always ends there) or from the
// token's start; an odd count leaves the last one alone.
bool EndsInCutLeadByte(const char* token, std::size_t n) {
  std::size_t leads = 0;
  for (std::size_t i = n; i > 0 && kBytes.escapeClass[U(token[i - 1])] == 1; --i) ++leads;
  return leads % 2 == 1;
}

ZELM_HOT_INLINE bool MayEndInCutLeadByte(const char* token, std::size_t n) {
  return n > 0 && kBytes.escapeClass[U(token[n - 1])] == 1 && EndsInCutLeadByte(token, n);
}

bool HasSpecialByte(std::string_view token) {
  bool special = false;
  for (const char c : token) special |= kBytes.escapeClass[U(c)] == 2;
  return special;
}

// The most bytes the escaped form of n bytes takes: each "\", "{" and "}"
// doubles, and a cut lead byte at the end becomes "\'hh".
constexpr std::size_t EscapedBound(std::size_t n) { return 2 * n + 2; }

// Stores the escaped token at `out` and returns the end of what it stored.
char* EscapeInto(char* out, const char* token, std::size_t n) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < n;) {
    const char c = token[i];
    switch (kBytes.escapeClass[U(c)]) {
      case 0:
        *out++ = c;
        ++i;
        break;
      case 1:
        if (i + 1 < n) {
          *out++ = c;
          *out++ = token[i + 1];
          i += 2;
        } else {
          *out++ = '\\';
          *out++ = '\'';
          *out++ = kHex[U(c) >> 4];
          *out++ = kHex[U(c) & 0xF];
          ++i;
        }
        break;
      default:
        *out++ = '\\';
        *out++ = c;
        ++i;
        break;
    }
  }
  return out;
}

// Where "\", "{" and "}" stand in a text, found one kind at a time with
// memchr as the tokens pass them: asked about tokens in text order, it reads
// the text at most once for each of the three bytes.
class SpecialBytes {
 public:
  SpecialBytes(const char* text, std::size_t length) : text_(text), length_(length) {
    for (std::size_t k = 0; k < kSpecials.size(); ++k) next_[k] = Find(k, 0);
    nearest_ = *std::min_element(next_.begin(), next_.end());
  }

  // Does [start, end) hold one of them? `start` never goes back.
  bool Within(std::size_t start, std::size_t end) {
    if (nearest_ < start) Advance(start);
    return nearest_ < end;
  }

 private:
  static constexpr std::array<char, 3> kSpecials{'\\', '{', '}'};
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::size_t Find(std::size_t k, std::size_t from) const {
    if (from >= length_) return kNone;
    const void* found = std::memchr(text_ + from, kSpecials[k], length_ - from);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_) : kNone;
  }

  void Advance(std::size_t start) {
    for (std::size_t k = 0; k < kSpecials.size(); ++k) {
      if (next_[k] < start) next_[k] = Find(k, start);
    }
    nearest_ = *std::min_element(next_.begin(), next_.end());
  }

  const char* text_;
  std::size_t length_;
  std::array<std::size_t, 3> next_{};
  std::size_t nearest_ = kNone;
};

// --- Styling --------------------------------------------------------------------

// Does the token, with the bytes of 32 and less at its ends left out, begin
// with "//"?
ZELM_HOT_INLINE bool IsCommentLine(const char* token, std::size_t n) {
  std::size_t i = 0;
  while (i < n && U(token[i]) <= 32) ++i;
  return n - i >= 2 && token[i] == '/' && token[i + 1] == '/';
}

// The style a token is written in: "//" after a trim makes a comment line,
// a bare value that begins with a double quote is a quoted one. Escaping
// changes neither the blanks at the ends nor a leading "/" or double quote,
// so the raw token answers as its escaped form would.
ZELM_HOT_INLINE int StyleFor(int style, const char* token, std::size_t n) {
  if (n == 0) return style;
  int used = style;
  const unsigned char first = U(token[0]);
  if ((first <= 32 || first == '/') && IsCommentLine(token, n)) used = kCommentStyle;
  if (style == kBareValueStyle && first == '"') used = kQuotedStyle;
  return used;
}

void WriteStylePrefix(RtfSink& out, int style) {
  if (style >= 0 && static_cast<std::size_t>(style) < kStylePrefixes.size()) {
    const StylePrefix& prefix = kStylePrefixes[static_cast<std::size_t>(style)];
    out.Write(std::string_view(prefix.bytes, prefix.length));
  } else {
    out.Write("\\cf" + std::to_string(style) + " ");
  }
}

constexpr int StyleOf(TokenKind kind) { return kKindStyles[static_cast<std::size_t>(kind)]; }

// --- Writing --------------------------------------------------------------------

// Tokens up to this size are stored straight into the sink's buffer; longer
// ones are written piece by piece.
constexpr std::size_t kDirectTokenBytes = 8192;
// "\par", the colour word (stored as eight bytes), "\b0 ", and the bytes a
// copy in blocks of sixteen may store past the token.
constexpr std::size_t kTokenFrameBytes = 48;
static_assert(EscapedBound(kDirectTokenBytes) + kTokenFrameBytes <= RtfSink::kMaxRoom);

// The fixed tokens below carry the colour words of their kinds.
static_assert(StyleOf(TokenKind::Symbol) == 7 && StyleOf(TokenKind::Space) == 5 &&
              StyleOf(TokenKind::Comment) == 2 && StyleOf(TokenKind::ServerScript) == 1 &&
              StyleOf(TokenKind::UnknownTag) == kUnknownTagStyle);

// Writes each token the scanner finds, the moment it finds it, into the
// sink: the scanner knows what a token can hold, so symbols and line breaks
// are fixed bytes, tag names, entities and blanks need no escaping, and only
// the remaining tokens have their bytes looked at.
class TokenWriter {
 public:
  TokenWriter(RtfSink& sink, const HtmlScanPosition& scan)
      : sink_(sink), source_(scan.source), length_(scan.length), specials_(scan.source, scan.length) {}

  // A token of fixed bytes, its colour word included.
  template <std::size_t N>
  ZELM_HOT_INLINE void Fixed(const char (&bytes)[N]) {
    char* out = sink_.Room(N);
    std::memcpy(out, bytes, N - 1);
    sink_.Commit(out + N - 1);
  }

  // A token that is no line break, needs no escaping and cannot begin with
  // "//": blanks, known tag names and entities.
  ZELM_HOT_INLINE void Plain(int style, std::size_t start, std::size_t end) {
    Store(false, kStylePrefixes[static_cast<std::size_t>(style)], start, end, false, false);
  }

  // An unknown tag name, bold; its bytes need no escaping.
  ZELM_HOT_INLINE void Bold(std::size_t start, std::size_t end) {
    Store(false, kStylePrefixes[kUnknownTagStyle], start, end, false, true);
  }

  // Any token, by its kind and its bytes.
  ZELM_HOT_INLINE void Any(TokenKind kind, std::size_t start, std::size_t end) {
    const char* token = source_ + start;
    const std::size_t n = end - start;
    const bool escape = specials_.Within(start, end) || MayEndInCutLeadByte(token, n);
    const int style = StyleOf(kind);
    if (style == kUnknownTagStyle) {
      Store(detail::IsLineBreak(std::string_view(token, n)), kStylePrefixes[kUnknownTagStyle], start, end, escape, true);
    } else {
      Store(detail::IsLineBreak(std::string_view(token, n)), kStylePrefixes[StyleFor(style, token, n)], start, end,
            escape, false);
    }
  }

 private:
  ZELM_HOT_INLINE void Store(bool lineBreak, const StylePrefix& prefix, std::size_t start, std::size_t end, bool escape,
                             bool bold) {
    const char* token = source_ + start;
    const std::size_t n = end - start;
    if (n > kDirectTokenBytes) return StoreLong(lineBreak, prefix, token, n, escape, bold);
    char* out = sink_.Room(EscapedBound(n) + kTokenFrameBytes);
    if (lineBreak) {
      std::memcpy(out, "\\par", 4);
      out += 4;
    }
    if (bold) {
      std::memcpy(out, "\\cf9 \\b ", 8);
      out += 8;
    } else {
      std::memcpy(out, prefix.bytes, sizeof prefix.bytes);
      out += prefix.length;
    }
    if (escape) {
      out = EscapeInto(out, token, n);
    } else if (n <= 32 && end + 32 <= length_) {
      // Whole blocks of sixteen: the text goes on well past the token, and
      // the room asked for covers what is stored past its end.
      std::memcpy(out, token, 16);
      if (n > 16) std::memcpy(out + 16, token + 16, 16);
      out += n;
    } else {
      CopyBytes(out, token, n);
      out += n;
    }
    if (bold) {
      std::memcpy(out, "\\b0 ", 4);
      out += 4;
    }
    sink_.Commit(out);
  }

  void StoreLong(bool lineBreak, const StylePrefix& prefix, const char* token, std::size_t n, bool escape, bool bold) {
    std::string_view text(token, n);
    if (escape) {
      scratch_.resize(EscapedBound(n));
      scratch_.resize(static_cast<std::size_t>(EscapeInto(scratch_.data(), token, n) - scratch_.data()));
      text = scratch_;
    }
    if (lineBreak) sink_.Write("\\par");
    if (bold) {
      sink_.Write("\\cf9 \\b ");
      sink_.Write(text);
      sink_.Write("\\b0 ");
    } else {
      sink_.Write(std::string_view(prefix.bytes, prefix.length));
      sink_.Write(text);
    }
  }

  RtfSink& sink_;
  const char* source_;
  std::size_t length_;
  SpecialBytes specials_;
  std::string scratch_;
};

// Scanning without writing, for the token operations.
struct NoWriter {
  template <std::size_t N>
  void Fixed(const char (&)[N]) {}
  void Plain(int, std::size_t, std::size_t) {}
  void Bold(std::size_t, std::size_t) {}
  void Any(TokenKind, std::size_t, std::size_t) {}
};

// --- Scanning -----------------------------------------------------------------

// The steps of the scanner, on a position of its own, each handing the
// token it found to `out`. The text is read up to its terminating NUL, which
// stops every run.

ZELM_HOT_INLINE unsigned char ByteAt(const HtmlScanPosition& s) { return U(s.source[s.position]); }

template <typename Out>
ZELM_HOT_INLINE void TakeQuoted(HtmlScanPosition& s, Out& out) {
  if (s.state == ScanState::ValueExpected) {
    s.state = ScanState::InTag;
    s.kind = TokenKind::AttributeValue;
  } else {
    s.kind = TokenKind::QuotedString;
  }
  const char* p = s.source;
  std::size_t i = s.position + 1;
  while (!kBytes.endsQuoted[U(p[i])]) ++i;
  if (p[i] == '"') ++i;
  s.position = i;
  out.Any(s.kind, s.tokenStart, i);
}

template <typename Out>
ZELM_HOT_INLINE void TakeEntity(HtmlScanPosition& s, Out& out) {
  const int pending = s.pendingEntity;
  s.pendingEntity = -1;
  s.state = ScanState::InText;
  if (pending >= 0) {
    s.kind = TokenKind::Entity;
    s.position += EntityNames[static_cast<std::size_t>(pending)].size();
    out.Plain(StyleOf(TokenKind::Entity), s.tokenStart, s.position);
  } else {
    out.Any(s.kind, s.tokenStart, s.position);  // empty, in the kind of the token before
  }
}

template <typename Out>
ZELM_HOT_INLINE void TakeOpen(HtmlScanPosition& s, Out& out) {
  const char* p = s.source + s.position + 1;
  if (p[0] == '!' && p[1] == '-' && p[2] == '-') {  // stops at the terminating NUL
    s.position += 4;
    s.state = ScanState::InComment;
    s.kind = TokenKind::Comment;
    out.Fixed("\\cf2 <!--");
  } else if (p[0] == '%') {
    s.position += 2;
    s.state = ScanState::InServerScript;
    s.kind = TokenKind::ServerScript;
    out.Fixed("\\cf1 <%");
  } else {
    s.position += 1;
    s.state = ScanState::TagNameExpected;
    s.kind = TokenKind::Symbol;
    out.Fixed("\\cf7 <");
  }
}

// A tag name: the letter values of its letters, "!" and "/", then the
// values of the digits after them, summed into the hash that picks its
// keyword bucket.
template <typename Out>
ZELM_HOT_INLINE void TakeTagName(HtmlScanPosition& s, Out& out) {
  const char* p = s.source;
  const std::size_t start = s.position;
  std::size_t i = start;
  std::uint64_t hash = 0;
  std::uint64_t firstValues = 0;  // as FirstLetterValues; digits add nothing to it
  while (const std::int32_t value = LetterValue[U(p[i])]) {
    hash += static_cast<std::uint64_t>(value);
    if (i - start < 8) firstValues |= static_cast<std::uint64_t>(value) << (8 * (i - start));
    ++i;
  }
  while (kBytes.isDigit[U(p[i])]) {
    hash += static_cast<std::uint64_t>(p[i] - '0');
    ++i;
  }
  s.state = ScanState::InTag;
  s.position = i;
  if (hash >= kKeywordBuckets) {
    s.kind = TokenKind::AttributeName;
    out.Any(s.kind, start, i);
  } else if (IsKnownTagName(hash, firstValues, std::string_view(p + start, i - start))) {
    s.kind = TokenKind::KnownTag;
    out.Plain(StyleOf(TokenKind::KnownTag), start, i);
  } else {
    s.kind = TokenKind::UnknownTag;
    out.Bold(start, i);
  }
}

template <typename Out>
ZELM_HOT_INLINE void TakeWord(HtmlScanPosition& s, Out& out) {
  const char* p = s.source;
  std::size_t i = s.position + 1;
  switch (s.state) {
    case ScanState::TagNameExpected: return TakeTagName(s, out);
    case ScanState::ValueExpected:
      s.state = ScanState::InTag;
      s.kind = TokenKind::AttributeValue;
      while (!kBytes.endsValue[U(p[i])]) ++i;
      break;
    default:
      s.kind = TokenKind::AttributeName;
      while (!kBytes.endsName[U(p[i])]) ++i;
      break;
  }
  s.position = i;
  out.Any(s.kind, s.tokenStart, i);
}

template <typename Out>
ZELM_HOT_INLINE void Dispatch(HtmlScanPosition& s, Out& out) {
  const char* p = s.source;
  switch (CharacterTable[ByteAt(s)]) {
    case Handler::End: s.kind = TokenKind::End; return;
    case Handler::Space: {
      // Bytes 1 to 32 but LF and CR: no line break, nothing to escape.
      std::size_t i = s.position + 1;
      while (kBytes.continuesSpace[U(p[i])]) ++i;
      s.position = i;
      s.kind = TokenKind::Space;
      out.Plain(StyleOf(TokenKind::Space), s.tokenStart, i);
      return;
    }
    case Handler::LineFeed:
      s.position += 1;
      s.kind = TokenKind::Space;
      out.Fixed("\\par\\cf5 \n");
      return;
    case Handler::CarriageReturn:
      s.kind = TokenKind::Space;
      if (p[s.position + 1] == '\n') {
        s.position += 2;
        out.Fixed("\\par\\cf5 \r\n");
      } else {
        s.position += 1;
        out.Fixed("\\par\\cf5 \r");
      }
      return;
    case Handler::Quoted: return TakeQuoted(s, out);
    case Handler::Entity: return TakeEntity(s, out);
    case Handler::Open: return TakeOpen(s, out);
    case Handler::Equals:
      s.position += 1;
      s.state = ScanState::ValueExpected;
      s.kind = TokenKind::Symbol;
      out.Fixed("\\cf7 =");
      return;
    case Handler::Close:
      s.position += 1;
      s.state = ScanState::InText;
      s.kind = TokenKind::Symbol;
      out.Fixed("\\cf7 >");
      return;
    case Handler::Word: return TakeWord(s, out);
  }
}

// The ">" that closes a server script follows "%"; the one that closes a
// comment follows two dashes, which may be those of its opening "<!--", so
// "<!-->" is a whole comment.
struct ServerScriptBlock {
  static constexpr TokenKind kKind = TokenKind::ServerScript;
  static bool ClosesAt(const char* p, std::size_t i) { return i >= 1 && p[i - 1] == '%'; }
};
struct CommentBlock {
  static constexpr TokenKind kKind = TokenKind::Comment;
  static bool ClosesAt(const char* p, std::size_t i) { return i >= 2 && p[i - 1] == '-' && p[i - 2] == '-'; }
};

// A line of a server script or a comment: up to a line break, or up to and
// including the ">" that closes the block.
template <typename Block, typename Out>
ZELM_HOT_INLINE void ScanBlockLine(HtmlScanPosition& s, Out& out) {
  const unsigned char first = ByteAt(s);
  if (first == 0 || first == '\n' || first == '\r') return Dispatch(s, out);
  s.kind = Block::kKind;
  const char* p = s.source;
  std::size_t i = s.position;
  while (true) {
    while (!kBytes.endsLine[U(p[i])]) ++i;
    if (p[i] != '>') break;  // the line ends; the block goes on
    ++i;
    if (Block::ClosesAt(p, i - 1)) {
      s.state = ScanState::InText;
      break;
    }
  }
  s.position = i;
  out.Any(s.kind, s.tokenStart, i);
}

// The first byte at or after `i` that ends a run of text: below 32, "<" or
// "&". Runs of Japanese text are long, so where sixteen bytes can be read
// they are looked at together.
ZELM_HOT_INLINE std::size_t EndOfTextRun(const HtmlScanPosition& s, std::size_t i) {
  const char* p = s.source;
#if defined(__SSE2__)
  while (s.length - i >= 16) {  // i never passes the terminating NUL
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(31)), bytes);
    const __m128i ends = _mm_or_si128(
        control, _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'))));
    const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(ends));
    if (mask != 0) return i + static_cast<std::size_t>(std::countr_zero(mask));
    i += 16;
  }
#endif
  while (!kBytes.endsText[U(p[i])]) ++i;
  return i;
}

template <typename Out>
ZELM_HOT_INLINE void ScanText(HtmlScanPosition& s, Out& out) {
  const unsigned char first = ByteAt(s);
  if (first < 32 || first == '<') return Dispatch(s, out);
  s.kind = TokenKind::Text;
  const char* p = s.source;
  std::size_t i = s.position;
  while (true) {
    i = EndOfTextRun(s, i);
    if (p[i] != '&') break;
    const int entity = MatchEntity(std::string_view(p, s.length), i);
    if (entity >= 0) {
      s.pendingEntity = entity;
      s.state = ScanState::EntityPending;
      break;
    }
    ++i;  // a bare "&" is text
  }
  s.position = i;
  out.Any(s.kind, s.tokenStart, i);
}

template <typename Out>
ZELM_HOT_INLINE void ScanToken(HtmlScanPosition& s, Out& out) {
  s.tokenStart = s.position;
  switch (s.state) {
    case ScanState::InServerScript: return ScanBlockLine<ServerScriptBlock>(s, out);
    case ScanState::InComment: return ScanBlockLine<CommentBlock>(s, out);
    case ScanState::InText: return ScanText(s, out);
    default: return Dispatch(s, out);
  }
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

TzhnHTMLRTF::TzhnHTMLRTF() {
  SetColors(kDefaultColors, static_cast<int>(kDefaultColors.size()) - 1);
}

void TzhnHTMLRTF::UseAlternateColors() {
  SetColors(kAlternateColors, static_cast<int>(kAlternateColors.size()) - 1);
}

void TzhnHTMLRTF::LoadSource(const std::string& text, int line) {
  scan_.source = text.c_str();
  scan_.length = text.size();
  sourceBytes_ = text.size();
  scan_.position = 0;
  scan_.pendingEntity = -1;  // an entity found in an earlier text is not in this one
  // The empty entity step keeps the kind it finds: left at End from an
  // earlier text, a text that begins with "&" would end at once.
  scan_.kind = TokenKind::Entity;
  scan_.tokenStart = 0;
  lineNumber_ = line;
  NextToken();
}

void TzhnHTMLRTF::NextToken() {
  NoWriter none;
  ScanToken(scan_, none);
}

void TzhnHTMLRTF::EscapeToken(std::string_view& token, std::string& scratch) {
  if (!HasSpecialByte(token) && !MayEndInCutLeadByte(token.data(), token.size())) return;
  scratch.resize(EscapedBound(token.size()));
  const char* end = EscapeInto(scratch.data(), token.data(), token.size());
  scratch.resize(static_cast<std::size_t>(end - scratch.data()));
  token = scratch;
}

void TzhnHTMLRTF::StyleToken(int style, std::string_view token, RtfSink& out) {
  if (style == kUnknownTagStyle) {
    out.Write("\\cf9 \\b ");
    out.Write(token);
    out.Write("\\b0 ");
    return;
  }
  WriteStylePrefix(out, StyleFor(style, token.data(), token.size()));
  out.Write(token);
}

void TzhnHTMLRTF::WriteRTF(RtfSink& sink) {
  sink.Write(Header);
  sink.Write(FontTable);
  sink.Write(FontTableClose);
  sink.Write(ColorTable);
  sink.Write(ParagraphDefaults);
  sink.Write("\\f0 ");
  // A copy of the position, which no store into the sink's bytes can touch.
  HtmlScanPosition scan = scan_;
  TokenWriter writer(sink, scan);
  if (scan.kind != TokenKind::End) {
    writer.Any(scan.kind, scan.tokenStart, scan.position);  // read before writing began
    do {
      ScanToken(scan, writer);
    } while (scan.kind != TokenKind::End);
  }
  scan_ = scan;
  sink.Write("\\par }");
  sink.Flush();
}

}  // namespace zelm
