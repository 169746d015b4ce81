// The base of the syntax colouring component: turns a sequence of classified
// tokens into one RTF document in which every token has the colour of its
// class. It owns the frame of the document (header, font table, colour
// table, paragraph defaults) and runs the token loop; a scanner subclass
// supplies the tokens by overriding the token operations.
#pragma once

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "colour/ByteCopy.h"

namespace zelm {

// --- Colours ----------------------------------------------------------------

// A colour as the platform gives it: red in the lowest byte, then green,
// then blue (0x00BBGGRR). Negative values name system colours by the index
// in their lowest byte.
using TColor = std::int32_t;

constexpr TColor MakeColor(int red, int green, int blue) {
  return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
// The system colour with the given index (0 scroll bar ... 30 menu bar).
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | std::uint32_t(index & 0xFF)); }

// The RGB value (0x00BBGGRR) of a colour. System colours are looked up in the
// palette of a default desktop; an unknown system colour is black.
std::uint32_t ColorToRGB(TColor color);
constexpr int RedOf(std::uint32_t rgb) { return int(rgb & 0xFF); }
constexpr int GreenOf(std::uint32_t rgb) { return int((rgb >> 8) & 0xFF); }
constexpr int BlueOf(std::uint32_t rgb) { return int((rgb >> 16) & 0xFF); }

// --- Fonts ------------------------------------------------------------------

// A font as the screen realises it: its face name and the two metrics bytes
// the font table is made from.
struct RtfFont {
  std::string faceName;
  std::uint8_t pitchAndFamily = 0;  // family in the high four bits
  std::uint8_t charSet = 0;         // 128 is Shift_JIS
};

// The metrics a face has on this system. There is no screen device to ask,
// so every face is realised with the Shift_JIS character set, "Courier New"
// as a fixed-pitch modern face: a reader of the document then shows the
// double-byte characters of the text as such.
RtfFont RealiseFont(std::string_view faceName);

// --- Output -----------------------------------------------------------------

// Where a document goes. Writes collect in a small buffer that is handed on
// whenever it fills and at Flush, so that writing a token costs a copy, not
// a call into a stream.
class RtfSink {
 public:
  RtfSink();
  virtual ~RtfSink();
  RtfSink(const RtfSink&) = delete;
  RtfSink& operator=(const RtfSink&) = delete;

  void Write(std::string_view bytes) {
    if (bytes.size() <= kCapacity - used_) {
      CopyBytes(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      WriteLarge(bytes);
    }
  }
  // Hands on everything written so far.
  void Flush();

  // The most a writer may ask Room for.
  static constexpr std::size_t kMaxRoom = std::size_t{1} << 16;
  // A place where `bytes` bytes (kMaxRoom at most) may be stored directly;
  // Commit then takes what was stored, up to `end`. For writers that put a
  // token together piece by piece without a call per piece.
  char* Room(std::size_t bytes) {
    if (kCapacity - used_ < bytes) Flush();
    return buffer_.get() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

 protected:
  virtual void Drain(std::string_view bytes) = 0;

 private:
  static constexpr std::size_t kCapacity = kMaxRoom;
  void WriteLarge(std::string_view bytes);
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
};

// Appends the document to a string.
class StringSink final : public RtfSink {
 public:
  explicit StringSink(std::string& target) : target_(target) {}

 protected:
  void Drain(std::string_view bytes) override { target_.append(bytes); }

 private:
  std::string& target_;
};

// Writes the document to an output stream from its current position.
class OstreamSink final : public RtfSink {
 public:
  explicit OstreamSink(std::ostream& out) : out_(out) {}

 protected:
  void Drain(std::string_view bytes) override;

 private:
  std::ostream& out_;
};

// --- The writer -------------------------------------------------------------

class TzhnRTFSyntax {
 public:
  TzhnRTFSyntax();
  TzhnRTFSyntax(const TzhnRTFSyntax&) = delete;
  TzhnRTFSyntax& operator=(const TzhnRTFSyntax&) = delete;

  // The token operations, in the order of their slots. A subclass that
  // scans a language overrides them; on its own this class has no tokens.

  // Makes the token safe inside an RTF document: when its bytes must change,
  // the escaped bytes are built in `scratch` (whose capacity is reused from
  // token to token) and `token` is set to them. Here it stays as it is.
  virtual void EscapeToken(std::string_view& token, std::string& scratch);
  // Writes the escaped token wrapped in its colour word, "\cf" style " "
  // token, straight to the output.
  virtual void StyleToken(int style, std::string_view token, RtfSink& out);
  virtual void NextToken();
  virtual bool AtEnd() const;
  // The current token's bytes, valid until the next NextToken.
  virtual std::string_view GetToken() const;
  // The colour-table entry of the current token: 0 is the fixed black
  // entry, 1 the first colour handed to SetColors, and so on.
  virtual int GetTokenStyle() const;
  // "\redR\greenG\blueB;" of the colour's RGB value.
  virtual std::string ColorEntry(TColor color) const;
  // Takes the text to colour. The text is read where it is, not copied: it
  // must stay alive and unchanged until the document is written, which is
  // why a temporary cannot be given.
  virtual void LoadSource(const std::string& text, int line);
  void LoadSource(std::string&&, int) = delete;
  // LoadSource with line number 1.
  virtual void SetSource(const std::string& text);
  void SetSource(std::string&&) = delete;
  // Builds FontTable from fonts[0..last]; a negative last leaves it empty.
  virtual void SetFonts(std::span<const RtfFont> fonts, int last);
  // Builds ColorTable: black, then colors[0..last] as entries 1, 2, ...
  virtual void SetColors(std::span<const TColor> colors, int last);
  // Writes the whole document, each piece as it is produced.
  virtual void WriteRTF(RtfSink& sink);
  // The whole document as one string.
  virtual std::string GetRTF();
  virtual void UseAlternateColors();
  virtual ~TzhnRTFSyntax();

  void WriteRTF(std::ostream& out);

  // The frame of the document.
  std::string Header;             // "{\rtf1\ansi\ansicpg1252\deff0\deftab720{\fonttbl"
  std::string FontTableClose;     // "}" CR LF
  std::string ParagraphDefaults;  // "\deflang1033\pard\plain\f0\fs20"
  std::string ColorTable;         // the whole colour table group, empty until SetColors
  std::string FontTable;          // the font entries, without the group's braces
  std::int32_t CodePage = 1252;

 protected:
  // The whole document with the token operations of `syntax`. WriteRTF runs
  // it through the virtual operations; a final subclass may run it with its
  // own type, so that the six operations of every token are direct calls.
  template <typename Syntax>
  static void WriteDocument(Syntax& syntax, RtfSink& sink);

  // Size of the text last given, from which GetRTF guesses the document's.
  std::size_t sourceBytes_ = 0;
};

namespace detail {
inline bool IsLineBreak(std::string_view token) {
  switch (token.size()) {
    case 1: return token[0] == '\r' || token[0] == '\n';
    case 2: return token[0] == '\r' && token[1] == '\n';
    default: return false;
  }
}
}  // namespace detail

template <typename Syntax>
void TzhnRTFSyntax::WriteDocument(Syntax& syntax, RtfSink& sink) {
  sink.Write(syntax.Header);
  sink.Write(syntax.FontTable);
  sink.Write(syntax.FontTableClose);
  sink.Write(syntax.ColorTable);
  sink.Write(syntax.ParagraphDefaults);
  sink.Write("\\f0 ");
  std::string scratch;  // keeps its capacity from token to token
  while (!syntax.AtEnd()) {
    std::string_view token = syntax.GetToken();
    const int style = syntax.GetTokenStyle();
    syntax.EscapeToken(token, scratch);
    // Every line break, a lone LF included, becomes a paragraph mark; the
    // break's own bytes follow inside the styled token, where readers
    // ignore them.
    if (detail::IsLineBreak(token)) sink.Write("\\par");
    syntax.StyleToken(style, token, sink);
    syntax.NextToken();
  }
  sink.Write("\\par }");
  sink.Flush();
}

}  // namespace zelm
