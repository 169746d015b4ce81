// The HTML scanner of the colouring component: splits a Shift_JIS HTML text
// into classified tokens so that the inherited writer produces the coloured
// RTF document of a pane. One handler per leading byte, one keyword test per
// hash bucket of tag names, and a small state that remembers whether the
// scanner is inside a tag, a comment, a server script or text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "colour/zhnRichSyntax.h"

namespace zelm {

enum class TokenKind : std::uint8_t {
  Entity = 0,          // a character entity met in text
  ServerScript = 1,    // "<%" ... "%>", one token per line
  Comment = 2,         // "<!--" ... "-->", one token per line
  AttributeName = 3,   // a word inside a tag; a tag name hashed past the table
  KnownTag = 4,        // a tag name the keyword table knows
  End = 5,             // the end of the text
  Space = 6,           // blanks and control characters, or one line break
  QuotedString = 7,    // a double-quoted string outside an attribute value
  Symbol = 8,          // "<", ">" or "="
  Text = 9,            // text between tags
  UnknownTag = 10,     // a tag name the keyword table does not know
  AttributeValue = 11  // the value after "=", quoted or not
};

enum class ScanState : std::uint8_t {
  EntityPending = 0,  // an entity was recognised in text and is taken next
  InServerScript = 1,
  InComment = 2,
  TagNameExpected = 3,  // just after "<"
  InTag = 4,
  InText = 5,
  ValueExpected = 7  // just after "="
};

std::string_view TokenKindName(TokenKind kind);

// The colour-table entry each kind is written with.
int StyleOfKind(TokenKind kind);

// Where the scanner stands in its text. Kept together so that the writing
// loop can work on a copy of its own, whose fields stay in registers while
// the document's bytes are stored.
struct HtmlScanPosition {
  const char* source = "";  // the given text, followed by its terminating NUL
  std::size_t length = 0;   // bytes of the text, the terminating NUL not counted
  std::size_t position = 0;    // index of the next unread byte
  std::size_t tokenStart = 0;  // index of the current token's first byte
  int pendingEntity = -1;      // index into EntityNames of the recognised entity
  ScanState state = ScanState::EntityPending;
  TokenKind kind = TokenKind::Entity;
};

class TzhnHTMLRTF final : public TzhnRTFSyntax {
 public:
  TzhnHTMLRTF();

  // "\" becomes "\\", "{" becomes "\{" and "}" becomes "\}", walking the token
  // as Shift_JIS so that the second byte of a double-byte character is never
  // taken for one of them. A lead byte that ends the token without its second
  // byte is written as "\'hh": left bare, a Shift_JIS reader would pair it
  // with the backslash of the next control word.
  void EscapeToken(std::string_view& token, std::string& scratch) override;
  // Unknown tag names bold in entry 9; tokens that begin with "//" after a
  // trim in entry 2; quoted attribute values in entry 6.
  void StyleToken(int style, std::string_view token, RtfSink& out) override;
  void NextToken() override;
  bool AtEnd() const override { return scan_.kind == TokenKind::End; }
  std::string_view GetToken() const override {
    return std::string_view(scan_.source + scan_.tokenStart, scan_.position - scan_.tokenStart);
  }
  int GetTokenStyle() const override { return StyleOfKind(scan_.kind); }
  // Reads the first token of the text, which a NUL byte ends.
  using TzhnRTFSyntax::LoadSource;
  void LoadSource(const std::string& text, int line) override;
  void UseAlternateColors() override;
  // The inherited document, written by one loop that scans each token and
  // stores its styled, escaped bytes straight into the sink.
  using TzhnRTFSyntax::WriteRTF;
  void WriteRTF(RtfSink& sink) override;

  TokenKind Kind() const { return scan_.kind; }
  ScanState State() const { return scan_.state; }
  // 0-based index of the current token's first byte.
  std::size_t TokenStart() const { return scan_.tokenStart; }

 private:
  HtmlScanPosition scan_;
  int lineNumber_ = 0;  // kept, not used
};

}  // namespace zelm
