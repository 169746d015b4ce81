#include "colour/RtfReader.h"

#include <array>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr int kShiftJisCharSet = 128;
// Font numbers beyond this are taken as unknown fonts.
constexpr int kMaxFontNumber = 4096;

enum class Destination : std::uint8_t { Text, FontTable, ColorTable, Skip };

struct GroupState {
  Destination destination = Destination::Text;
  bool bold = false;
  int color = 0;
  std::uint32_t rgb = 0;  // of `color`, looked up when it was set
  int font = 0;
};

// How a byte of literal text is read: on its own, as a Shift_JIS lead byte
// (in a Shift_JIS font), or not as text at all ("\", "{", "}", CR, LF).
enum : std::uint8_t { kPlainByte = 0, kLeadByte = 1, kSpecialByte = 2 };
constexpr std::array<std::uint8_t, 256> MakeByteClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) classes[c] = kLeadByte;
  }
  classes['\\'] = classes['{'] = classes['}'] = classes['\r'] = classes['\n'] = kSpecialByte;
  return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClass = MakeByteClasses();

constexpr bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  RtfText Read() {
    out_.text.reserve(in_.size() / 2);
    // Runs are about one per token; a token is a few bytes of text and its
    // colour word, so this is rarely exceeded.
    out_.runs.reserve(in_.size() / 8);
    const std::size_t n = in_.size();
    while (i_ < n) {
      const auto c = static_cast<unsigned char>(in_[i_]);
      if (c == '\\') {
        ControlWord();
      } else if (c == '{') {
        stack_.push_back(current_);
        ++i_;
      } else if (c == '}') {
        ++i_;
        if (current_.destination == Destination::FontTable) CommitFont();
        if (stack_.empty()) break;
        current_ = stack_.back();
        stack_.pop_back();
        UpdateFontMode();
        if (stack_.empty()) break;  // the document's own group is closed
      } else if (c == '\r' || c == '\n') {
        ++i_;
      } else {
        Literal();
      }
    }
    return std::move(out_);
  }

 private:
  // --- Text and runs --------------------------------------------------------

  void SetColor(int index) {
    current_.color = index;
    current_.rgb = ColorOf(index);
  }

  std::uint32_t ColorOf(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < out_.colorTable.size()
               ? out_.colorTable[static_cast<std::size_t>(index)]
               : 0;
  }

  void AppendWith(std::string_view bytes, std::uint32_t color, bool bold) {
    if (bytes.empty()) return;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (!out_.runs.empty() && out_.runs.back().color == color && out_.runs.back().bold == bold) {
      out_.runs.back().length += length;
    } else {
      out_.runs.push_back(RtfRun{static_cast<std::uint32_t>(out_.text.size()), length, color, bold});
    }
    out_.text.append(bytes);
  }

  void AppendText(std::string_view bytes) {
    if (bytes.empty()) return;
    FlushParagraph();
    AppendWith(bytes, current_.rgb, current_.bold);
  }

  // A paragraph mark is held back until text follows it, so that the
  // document's closing mark adds nothing.
  void Paragraph() {
    FlushParagraph();
    paragraphPending_ = true;
    paragraphColor_ = current_.rgb;
    paragraphBold_ = current_.bold;
  }

  void FlushParagraph() {
    if (!paragraphPending_) return;
    paragraphPending_ = false;
    AppendWith("\r\n", paragraphColor_, paragraphBold_);
  }

  // Whether the current font reads Shift_JIS; kept up to date whenever the
  // font or the font table changes.
  void UpdateFontMode() {
    shiftJisFont_ = current_.font >= 0 && static_cast<std::size_t>(current_.font) < charSetByFont_.size() &&
                    charSetByFont_[static_cast<std::size_t>(current_.font)] == kShiftJisCharSet;
  }

  // A run of bytes without control words or groups. In a Shift_JIS font a
  // lead byte takes the byte after it along, whatever that byte is.
  void Literal() {
    const std::size_t n = in_.size();
    const std::size_t start = i_;
    std::size_t j = i_;
    if (shiftJisFont_) {
      while (j < n) {
        const std::uint8_t kind = kByteClass[static_cast<unsigned char>(in_[j])];
        if (kind == kPlainByte) {
          ++j;
        } else if (kind == kLeadByte) {
          j += (j + 1 < n) ? 2 : 1;
        } else {
          break;
        }
      }
    } else {
      while (j < n && kByteClass[static_cast<unsigned char>(in_[j])] != kSpecialByte) ++j;
    }
    i_ = j;
    Characters(in_.substr(start, j - start));
  }

  // Characters read in the current destination.
  void Characters(std::string_view bytes) {
    switch (current_.destination) {
      case Destination::Text: AppendText(bytes); break;
      case Destination::FontTable:
        for (const char c : bytes) {
          if (c == ';') {
            CommitFont();
          } else if (fontOpen_) {
            font_.faceName += c;
          }
        }
        break;
      case Destination::ColorTable:
        for (const char c : bytes) {
          if (c == ';') CommitColor();
        }
        break;
      case Destination::Skip: break;
    }
  }

  // --- Tables ---------------------------------------------------------------

  void StartFont(int number) {
    CommitFont();
    fontOpen_ = true;
    font_ = RtfFontEntry{number, {}, -1};
  }

  void CommitFont() {
    if (!fontOpen_) return;
    fontOpen_ = false;
    font_.faceName = std::string(PlainTrimView(font_.faceName));
    if (font_.number >= 0 && font_.number < kMaxFontNumber) {
      if (charSetByFont_.size() <= static_cast<std::size_t>(font_.number))
        charSetByFont_.resize(static_cast<std::size_t>(font_.number) + 1, -1);
      charSetByFont_[static_cast<std::size_t>(font_.number)] = font_.charSet;
    }
    UpdateFontMode();
    out_.fonts.push_back(std::move(font_));
    font_ = {};
  }

  void CommitColor() {
    out_.colorTable.push_back(static_cast<std::uint32_t>(red_ | (green_ << 8) | (blue_ << 16)));
    red_ = green_ = blue_ = 0;
  }

  // --- Control words ----------------------------------------------------------

  void ControlWord() {
    const std::size_t n = in_.size();
    ++i_;  // the backslash
    if (i_ >= n) return;
    const auto c = static_cast<unsigned char>(in_[i_]);
    if (!IsLetter(c)) return ControlSymbol(c);
    if (ColourWord()) return;

    const std::size_t wordStart = i_;
    while (i_ < n && IsLetter(static_cast<unsigned char>(in_[i_]))) ++i_;
    const std::string_view word = in_.substr(wordStart, i_ - wordStart);
    bool hasParameter = false;
    bool negative = false;
    long long parameter = 0;
    if (i_ < n && in_[i_] == '-' && i_ + 1 < n && IsDigit(static_cast<unsigned char>(in_[i_ + 1]))) {
      negative = true;
      ++i_;
    }
    while (i_ < n && IsDigit(static_cast<unsigned char>(in_[i_]))) {
      hasParameter = true;
      if (parameter < 1'000'000'000) parameter = parameter * 10 + (in_[i_] - '0');
      ++i_;
    }
    if (i_ < n && in_[i_] == ' ') ++i_;  // the delimiter belongs to the word
    const int value = static_cast<int>(negative ? -parameter : parameter);
    Apply(word, hasParameter, value);
  }

  // "\cfN" with its delimiter, the word in front of every token, read
  // without the general parse. False, having read nothing, for anything else.
  bool ColourWord() {
    const std::size_t n = in_.size();
    std::size_t j = i_;
    if (j + 2 >= n || in_[j] != 'c' || in_[j + 1] != 'f') return false;
    j += 2;
    int value = 0;
    std::size_t digits = 0;
    while (j < n && digits < 6 && IsDigit(static_cast<unsigned char>(in_[j]))) {
      value = value * 10 + (in_[j] - '0');
      ++j;
      ++digits;
    }
    if (digits == 0 || digits == 6 || (j < n && (IsLetter(static_cast<unsigned char>(in_[j])) || in_[j] == '-'))) return false;
    if (j < n && in_[j] == ' ') ++j;
    i_ = j;
    SetColor(value);
    // Text almost always follows the colour word: read it straight away.
    if (i_ < n && kByteClass[static_cast<unsigned char>(in_[i_])] != kSpecialByte) Literal();
    return true;
  }

  void Apply(std::string_view word, bool hasParameter, int value) {
    // The words of every token first.
    if (word.size() == 2 && word[0] == 'c' && word[1] == 'f') {
      SetColor(hasParameter ? value : 0);
      return;
    }
    if (word.size() == 1 && word[0] == 'b') {
      current_.bold = !hasParameter || value != 0;
      return;
    }
    const Destination destination = current_.destination;
    if (word == "par") {
      if (destination == Destination::Text) Paragraph();
    } else if (word == "f") {
      if (destination == Destination::FontTable) {
        StartFont(value);
      } else {
        current_.font = value;
        UpdateFontMode();
      }
    } else if (word == "plain") {
      current_.bold = false;
      SetColor(0);
      current_.font = defaultFont_;
      UpdateFontMode();
    } else if (word == "tab") {
      Characters("\t");
    } else if (word == "fcharset") {
      if (destination == Destination::FontTable && fontOpen_) font_.charSet = value;
    } else if (word == "red" || word == "green" || word == "blue") {
      if (destination == Destination::ColorTable) {
        const int component = value < 0 ? 0 : value > 255 ? 255 : value;
        (word == "red" ? red_ : word == "green" ? green_ : blue_) = static_cast<std::uint32_t>(component);
      }
    } else if (word == "fonttbl") {
      current_.destination = Destination::FontTable;
    } else if (word == "colortbl") {
      current_.destination = Destination::ColorTable;
      red_ = green_ = blue_ = 0;
    } else if (word == "deff") {
      defaultFont_ = value;
      current_.font = value;
      UpdateFontMode();
    } else if (word == "stylesheet" || word == "info" || word == "pict" || word == "header" || word == "footer") {
      current_.destination = Destination::Skip;
    }
  }

  void ControlSymbol(unsigned char c) {
    const std::size_t n = in_.size();
    ++i_;
    switch (c) {
      case '\\':
      case '{':
      case '}': {
        const char literal = static_cast<char>(c);
        Characters(std::string_view(&literal, 1));
        break;
      }
      case '\'': {
        if (i_ + 1 < n) {
          const int high = HexValue(static_cast<unsigned char>(in_[i_]));
          const int low = HexValue(static_cast<unsigned char>(in_[i_ + 1]));
          if (high >= 0 && low >= 0) {
            i_ += 2;
            const char byte = static_cast<char>(high * 16 + low);
            Characters(std::string_view(&byte, 1));
          }
        }
        break;
      }
      case '*': current_.destination = Destination::Skip; break;
      case '\r':
      case '\n':
        if (current_.destination == Destination::Text) Paragraph();
        break;
      default: break;  // other control symbols show nothing here
    }
  }

  std::string_view in_;
  std::size_t i_ = 0;
  RtfText out_;
  std::vector<GroupState> stack_;
  GroupState current_;
  int defaultFont_ = 0;
  std::vector<int> charSetByFont_;
  bool shiftJisFont_ = false;
  bool fontOpen_ = false;
  RtfFontEntry font_;
  std::uint32_t red_ = 0, green_ = 0, blue_ = 0;
  bool paragraphPending_ = false;
  std::uint32_t paragraphColor_ = 0;
  bool paragraphBold_ = false;
};

}  // namespace

RtfText ReadRTF(std::string_view document) {
  if (!document.starts_with("{\\rtf")) {
    RtfText plain;
    plain.text = std::string(document);
    if (!plain.text.empty()) plain.runs.push_back(RtfRun{0, static_cast<std::uint32_t>(plain.text.size()), 0, false});
    return plain;
  }
  return Reader(document).Read();
}

}  // namespace zelm
