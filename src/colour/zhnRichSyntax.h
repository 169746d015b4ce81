// The base of the syntax colouring component: turns a sequence of classified
// tokens into one RTF document in which every token has the colour of its
// class. It owns the frame of the document (header, font table, colour
// table, paragraph defaults) and runs the token loop; a scanner subclass
// supplies the tokens by overriding the token operations.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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
      bytes.copy(buffer_.get() + used_, bytes.size());
      used_ += bytes.size();
    } else {
      WriteLarge(bytes);
    }
  }
  // Hands on everything written so far.
  void Flush();

 protected:
  virtual void Drain(std::string_view bytes) = 0;

 private:
  static constexpr std::size_t kCapacity = std::size_t{1} << 16;
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

  // Makes the token safe inside an RTF document; here it stays as it is.
  virtual void EscapeToken(std::string& token);
  // Wraps the escaped token in its colour word: "\cf" style " " token. The
  // result replaces the content of `out`, whose capacity is reused from
  // token to token.
  virtual void StyleToken(int style, std::string_view token, std::string& out);
  virtual void NextToken();
  virtual bool AtEnd() const;
  // The current token's bytes, valid until the next NextToken.
  virtual std::string_view GetToken() const;
  // The colour-table entry of the current token: 0 is the fixed black
  // entry, 1 the first colour handed to SetColors, and so on.
  virtual int GetTokenStyle() const;
  // "\redR\greenG\blueB;" of the colour's RGB value.
  virtual std::string ColorEntry(TColor color) const;
  virtual void LoadSource(std::string_view text, int line);
  // LoadSource with line number 1.
  virtual void SetSource(std::string_view text);
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
};

}  // namespace zelm
