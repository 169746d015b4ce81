#include "colour/RtfReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "colour/ByteCopy.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr int kShiftJisCharSet = 128;
// Font numbers beyond this are taken as unknown fonts.
constexpr int kMaxFontNumber = 4096;

enum class Destination : std::uint8_t { Text, FontTable, ColorTable, Skip };

// Colour and weight as one value, the way runs are told apart: the RGB value
// in the low 24 bits, bold above it.
using Style = std::uint32_t;
constexpr Style kBoldBit = Style{1} << 24;
constexpr Style StyleOf(std::uint32_t rgb, bool bold) { return (rgb & 0xFFFFFF) | (bold ? kBoldBit : 0); }

struct GroupState {
  Destination destination = Destination::Text;
  bool bold = false;
  std::uint32_t rgb = 0;  // of the colour in force, looked up when it was set
  int font = 0;
  Style style() const { return StyleOf(rgb, bold); }
};

// How a byte of the document is read: as text on its own, as a Shift_JIS lead
// byte (in a Shift_JIS font), or not as text at all: "\", "{", "}", and CR and
// LF, which are layout.
enum : std::uint8_t { kPlainByte = 0, kLeadByte = 1, kBackslash = 2, kOpenGroup = 3, kCloseGroup = 4, kLayout = 5 };
constexpr std::array<std::uint8_t, 256> MakeByteClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) classes[c] = kLeadByte;
  }
  classes['\\'] = kBackslash;
  classes['{'] = kOpenGroup;
  classes['}'] = kCloseGroup;
  classes['\r'] = classes['\n'] = kLayout;
  return classes;
}
constexpr std::array<std::uint8_t, 256> kByteClass = MakeByteClasses();

constexpr unsigned char U(char c) { return static_cast<unsigned char>(c); }
constexpr bool IsText(char c) { return kByteClass[U(c)] <= kLeadByte; }
constexpr bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// --- Finding the end of a run of text ---------------------------------------

// Bytes at which a run of literal text stops ("\\", "{", "}", CR, LF) and
// Shift_JIS lead bytes, for sixteen bytes at once: bit k of each mask stands
// for byte k.
struct BlockMasks {
  std::uint32_t stops = 0;
  std::uint32_t leads = 0;
};

#if defined(__SSE2__)
inline BlockMasks MasksOf16(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i stops = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('{'))),
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('}')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
  // Lead bytes are 0x81-0x9F and 0xE0-0xFC: an unsigned x - low <= high - low,
  // tested as min(x - low, high - low) == x - low.
  const __m128i low = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x81)));
  const __m128i high = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0)));
  const __m128i leads =
      _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8(0x1E)), low),
                   _mm_cmpeq_epi8(_mm_min_epu8(high, _mm_set1_epi8(0x1C)), high));
  return {static_cast<std::uint32_t>(_mm_movemask_epi8(stops)), static_cast<std::uint32_t>(_mm_movemask_epi8(leads))};
}
#else
inline BlockMasks MasksOf16(const char* p) {
  BlockMasks masks;
  for (int k = 0; k < 16; ++k) {
    const std::uint8_t kind = kByteClass[U(p[k])];
    if (kind == kLeadByte) masks.leads |= 1u << k;
    if (kind > kLeadByte) masks.stops |= 1u << k;
  }
  return masks;
}
#endif

// Index of the first byte at or after `from` that stops a run of literal
// text, or the text's size. In a Shift_JIS font a lead byte takes the byte
// after it along, so a stopping byte that is the second byte of a character
// is passed: the lead-range bytes just before it pair up from the last byte
// that cannot be a lead byte (a character ends there) or from `from`, which
// is a character boundary, and an odd count leaves the stopping byte to the
// last of them.
std::size_t EndOfLiteral(std::string_view in, std::size_t from, bool shiftJis) {
  const char* p = in.data();
  const std::size_t n = in.size();
  std::size_t segment = from;  // a character boundary
  std::size_t j = from;
  while (true) {
    std::size_t stop = n;
    std::size_t leadRun = 0;
    bool runKnown = false;
    while (j + 16 <= n) {
      const BlockMasks masks = MasksOf16(p + j);
      if (masks.stops != 0) {
        const int at = std::countr_zero(masks.stops);
        stop = j + static_cast<std::size_t>(at);
        // Lead-range bytes right before the stop within this block.
        const std::uint32_t below = (1u << at) - 1;
        const std::uint32_t others = ~masks.leads & below;
        const int lastOther = others == 0 ? -1 : 31 - std::countl_zero(others);
        leadRun = static_cast<std::size_t>(at - 1 - lastOther);
        runKnown = lastOther >= 0 || j == segment;
        break;
      }
      j += 16;
    }
    if (stop == n) {
      while (j < n && IsText(p[j])) ++j;
      stop = j;
      if (stop == n) return n;
    }
    if (!shiftJis) return stop;
    if (!runKnown) {
      leadRun = 0;
      for (std::size_t k = stop; k > segment && kByteClass[U(p[k - 1])] == kLeadByte; --k) ++leadRun;
    }
    if (leadRun % 2 == 0) return stop;
    // The stopping byte is the second byte of a character; go on after it.
    segment = j = stop + 1;
    if (j >= n) return n;
  }
}

// Bytes the text grows by when it runs out of room: written while they are
// still in the cache, and few enough that the final cut is cheap.
constexpr std::size_t kTextChunk = std::size_t{1} << 18;

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  RtfText Read() {
    // The text is never longer than the document: every byte of it comes
    // from at least one byte there. Pages written by the colouring scanner
    // hold about one byte of text in three.
    out_.text.reserve(in_.size() / 2);
    // Runs are about one per token; a token is a few bytes of text and its
    // colour word, so this is rarely exceeded.
    out_.runs.reserve(in_.size() / 8);
    const std::size_t n = in_.size();
    while (i_ < n) {
      switch (kByteClass[U(in_[i_])]) {
        case kBackslash: ControlWord(); break;
        case kOpenGroup:
          stack_.push_back(current_);
          ++i_;
          break;
        case kCloseGroup:
          ++i_;
          if (current_.destination == Destination::FontTable) CommitFont();
          if (stack_.empty()) return Finish();
          current_ = stack_.back();
          stack_.pop_back();
          UpdateFontMode();
          if (stack_.empty()) return Finish();  // the document's own group is closed
          break;
        case kLayout: ++i_; break;
        default: Literal(); break;
      }
    }
    return Finish();
  }

 private:
  // --- Text and runs --------------------------------------------------------

  RtfText Finish() {
    EndRun();
    out_.text.resize(textUsed_);
    return std::move(out_);
  }

  void SetColor(int index) { current_.rgb = ColorOf(index); }

  std::uint32_t ColorOf(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < out_.colorTable.size()
               ? out_.colorTable[static_cast<std::size_t>(index)]
               : 0;
  }

  // The run being read is held here until text of another style follows, so
  // that neighbouring runs always differ.
  void EndRun() {
    if (runLength_ == 0) return;
    const RtfRun run{runStart_, runLength_, runStyle_ & 0xFFFFFF, (runStyle_ & kBoldBit) != 0};
    // Copied whole: built in place, its bit-fields would first be read from
    // the new slot, and every page of a fresh vector would fault twice, once
    // for that read and again for the write.
    std::memcpy(&out_.runs.emplace_back(), &run, sizeof run);
    runLength_ = 0;
  }

  void AppendWith(const char* bytes, std::size_t length, Style style) {
    if (length == 0) return;
    if (style != runStyle_ || runLength_ == 0) {
      EndRun();
      runStart_ = static_cast<std::uint32_t>(textUsed_);
      runStyle_ = style;
    }
    runLength_ += static_cast<std::uint32_t>(length);
    if (out_.text.size() - textUsed_ < length) GrowText(length);
    CopyBytes(out_.text.data() + textUsed_, bytes, length);
    textUsed_ += length;
  }

  // The text is lengthened a chunk at a time and cut to what was read at the
  // end, so that appending is a copy into room already there.
  void GrowText(std::size_t length) {
    out_.text.resize(std::max(out_.text.size() + kTextChunk, textUsed_ + length));
  }

  void AppendText(const char* bytes, std::size_t length) {
    if (paragraphPending_ && length > 0) FlushParagraph();
    AppendWith(bytes, length, current_.style());
  }

  // A paragraph mark is held back until text follows it, so that the
  // document's closing mark adds nothing.
  void Paragraph() {
    FlushParagraph();
    paragraphPending_ = true;
    paragraphStyle_ = current_.style();
  }

  void FlushParagraph() {
    if (!paragraphPending_) return;
    paragraphPending_ = false;
    AppendWith("\r\n", 2, paragraphStyle_);
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
    const std::size_t start = i_;
    i_ = EndOfLiteral(in_, start, shiftJisFont_);
    Characters(in_.data() + start, i_ - start);
  }

  // Characters read in the current destination.
  void Characters(const char* bytes, std::size_t length) {
    switch (current_.destination) {
      case Destination::Text: AppendText(bytes, length); break;
      case Destination::FontTable:
        for (std::size_t k = 0; k < length; ++k) {
          if (bytes[k] == ';') {
            CommitFont();
          } else if (fontOpen_) {
            font_.faceName += bytes[k];
          }
        }
        break;
      case Destination::ColorTable:
        for (std::size_t k = 0; k < length; ++k) {
          if (bytes[k] == ';') CommitColor();
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
    const char* p = in_.data();
    const std::size_t n = in_.size();
    ++i_;  // the backslash
    if (i_ >= n) return;
    const auto c = U(p[i_]);
    if (!IsLetter(c)) return ControlSymbol(c);
    if (c == 'c' && ColourWord()) return;

    const std::size_t wordStart = i_;
    while (i_ < n && IsLetter(U(p[i_]))) ++i_;
    const std::string_view word(p + wordStart, i_ - wordStart);
    bool hasParameter = false;
    bool negative = false;
    long long parameter = 0;
    if (i_ < n && p[i_] == '-' && i_ + 1 < n && IsDigit(U(p[i_ + 1]))) {
      negative = true;
      ++i_;
    }
    while (i_ < n && IsDigit(U(p[i_]))) {
      hasParameter = true;
      if (parameter < 1'000'000'000) parameter = parameter * 10 + (p[i_] - '0');
      ++i_;
    }
    if (i_ < n && p[i_] == ' ') ++i_;  // the delimiter belongs to the word
    const int value = static_cast<int>(negative ? -parameter : parameter);
    Apply(word, hasParameter, value);
  }

  // "\cfN" with its delimiter, the word in front of every token, read
  // without the general parse; the text that almost always follows it is
  // read straight away. False, having read nothing, for anything else.
  bool ColourWord() {
    const char* p = in_.data();
    const std::size_t n = in_.size();
    std::size_t j = i_;
    if (j + 2 >= n || p[j + 1] != 'f') return false;
    j += 2;
    int value = 0;
    std::size_t digits = 0;
    while (j < n && digits < 6 && IsDigit(U(p[j]))) {
      value = value * 10 + (p[j] - '0');
      ++j;
      ++digits;
    }
    if (digits == 0 || digits == 6 || (j < n && (IsLetter(U(p[j])) || p[j] == '-'))) return false;
    if (j < n && p[j] == ' ') ++j;
    i_ = j;
    SetColor(value);
    if (i_ < n && IsText(p[i_])) Literal();
    return true;
  }

  void Apply(std::string_view word, bool hasParameter, int value) {
    const Destination destination = current_.destination;
    switch (word[0]) {
      case 'b':
        if (word == "b") {
          current_.bold = !hasParameter || value != 0;
        } else if (word == "blue") {
          SetComponent(blue_, value);
        }
        break;
      case 'c':
        if (word == "cf") {
          SetColor(hasParameter ? value : 0);
        } else if (word == "colortbl") {
          current_.destination = Destination::ColorTable;
          red_ = green_ = blue_ = 0;
        }
        break;
      case 'd':
        if (word == "deff") {
          defaultFont_ = value;
          current_.font = value;
          UpdateFontMode();
        }
        break;
      case 'f':
        if (word == "f") {
          if (destination == Destination::FontTable) {
            StartFont(value);
          } else {
            current_.font = value;
            UpdateFontMode();
          }
        } else if (word == "fcharset") {
          if (destination == Destination::FontTable && fontOpen_) font_.charSet = value;
        } else if (word == "fonttbl") {
          current_.destination = Destination::FontTable;
        } else if (word == "footer") {
          current_.destination = Destination::Skip;
        }
        break;
      case 'g':
        if (word == "green") SetComponent(green_, value);
        break;
      case 'h':
        if (word == "header") current_.destination = Destination::Skip;
        break;
      case 'i':
        if (word == "info") current_.destination = Destination::Skip;
        break;
      case 'p':
        if (word == "par") {
          if (destination == Destination::Text) Paragraph();
        } else if (word == "plain") {
          current_.bold = false;
          SetColor(0);
          current_.font = defaultFont_;
          UpdateFontMode();
        } else if (word == "pict") {
          current_.destination = Destination::Skip;
        }
        break;
      case 'r':
        if (word == "red") SetComponent(red_, value);
        break;
      case 's':
        if (word == "stylesheet") current_.destination = Destination::Skip;
        break;
      case 't':
        if (word == "tab") Characters("\t", 1);
        break;
      default: break;  // other control words show nothing here
    }
  }

  void SetComponent(std::uint32_t& component, int value) {
    if (current_.destination != Destination::ColorTable) return;
    component = static_cast<std::uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
  }

  void ControlSymbol(unsigned char c) {
    const std::size_t n = in_.size();
    ++i_;
    switch (c) {
      case '\\':
      case '{':
      case '}': {
        const char literal = static_cast<char>(c);
        Characters(&literal, 1);
        break;
      }
      case '\'': {
        if (i_ + 1 < n) {
          const int high = HexValue(U(in_[i_]));
          const int low = HexValue(U(in_[i_ + 1]));
          if (high >= 0 && low >= 0) {
            i_ += 2;
            const char byte = static_cast<char>(high * 16 + low);
            Characters(&byte, 1);
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
  std::size_t textUsed_ = 0;  // bytes of out_.text read so far; the rest is room
  std::uint32_t runStart_ = 0;
  std::uint32_t runLength_ = 0;
  Style runStyle_ = 0;
  std::vector<GroupState> stack_;
  GroupState current_;
  int defaultFont_ = 0;
  std::vector<int> charSetByFont_;
  bool shiftJisFont_ = false;
  bool fontOpen_ = false;
  RtfFontEntry font_;
  std::uint32_t red_ = 0, green_ = 0, blue_ = 0;
  bool paragraphPending_ = false;
  Style paragraphStyle_ = 0;
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
