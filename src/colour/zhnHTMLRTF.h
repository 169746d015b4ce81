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
#include <vector>

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
  bool AtEnd() const override { return tokenKind_ == TokenKind::End; }
  std::string_view GetToken() const override {
    return std::string_view(source_ + tokenStart_, position_ - tokenStart_);
  }
  int GetTokenStyle() const override { return StyleOfKind(tokenKind_); }
  // Reads the first token of the text, which a NUL byte ends.
  using TzhnRTFSyntax::LoadSource;
  void LoadSource(const std::string& text, int line) override;
  void UseAlternateColors() override;
  // The inherited document, with this class's operations called directly.
  using TzhnRTFSyntax::WriteRTF;
  void WriteRTF(RtfSink& sink) override;

  TokenKind Kind() const { return tokenKind_; }
  ScanState State() const { return state_; }
  // 0-based index of the current token's first byte.
  std::size_t TokenStart() const { return tokenStart_; }

 private:
  using Handler = void (TzhnHTMLRTF::*)();
  using HandlerTable = std::array<Handler, 256>;
  static const HandlerTable& BuildCharacterTable();

  std::string_view Source() const { return std::string_view(source_, sourceLength_); }
  unsigned char Byte() const { return static_cast<unsigned char>(source_[position_]); }
  void Dispatch() { (this->*CharacterTable[Byte()])(); }

  // CharacterTable handlers.
  void TakeEnd();
  void TakeSpace();
  void TakeLineFeed();
  void TakeCarriageReturn();
  void TakeQuoted();
  void TakeEntity();
  void TakeOpen();
  void TakeEquals();
  void TakeClose();
  void TakeWord();

  // Where the text holds "\", "{" and "}": most tokens are then known to
  // need no escaping without a look at their bytes.
  void ListSpecials();
  bool MayHoldSpecial(std::string_view token);

  void ScanServerScript();
  void ScanComment();
  void ScanText();

  int pendingEntity_ = -1;
  ScanState state_ = ScanState::EntityPending;
  const char* source_ = "";  // the given text, followed by its terminating NUL
  std::size_t sourceLength_ = 0;
  const HandlerTable& CharacterTable;
  std::size_t position_ = 0;
  std::size_t tokenStart_ = 0;
  TokenKind tokenKind_ = TokenKind::Entity;
  int lineNumber_ = 0;  // kept, not used
  std::vector<std::size_t> specials_;  // positions, in order
  std::size_t nextSpecial_ = 0;
  bool specialsListed_ = false;
};

}  // namespace zelm
