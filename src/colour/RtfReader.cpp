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
constexpr bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

#if defined(__GNUC__)
#define ZELM_COLD [[gnu::noinline]]
#else
#define ZELM_COLD
#endif

// --- Finding the end of a run of text ---------------------------------------

// Bit k set where byte k of the sixteen at `p` stops a run of literal text:
// "\", "{", "}", CR or LF.
#if defined(__SSE2__)
inline std::uint32_t StopsOf16(const char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i stops = _mm_or_si128(
      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('{'))),
      _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('}')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(stops));
}
#else
inline std::uint32_t StopsOf16(const char* p) {
  std::uint32_t stops = 0;
  for (int k = 0; k < 16; ++k) {
    if (kByteClass[U(p[k])] > kLeadByte) stops |= 1u << k;
  }
  return stops;
}
#endif

// Where the bytes that end a run of literal text stand, as bit masks over
// blocks of 64 bytes of the document. Asked about positions that mostly move
// forward, it looks at each block once, and the end of a run is found by bit
// arithmetic on the block's mask rather than by reading the run's bytes.
class StopIndex {
 public:
  explicit StopIndex(std::string_view in) : p_(in.data()), n_(in.size()) {}

  // The first byte at or after `from` that stops a run of text, or the
  // document's size.
  std::size_t NextStop(std::size_t from) {
    std::size_t x = from;
    while (x < n_) {
      const std::size_t base = x & ~std::size_t{63};
      if (base != base_) Load(base);
      const std::uint64_t ahead = stops_ >> (x - base);
      if (ahead != 0) return std::min(x + static_cast<std::size_t>(std::countr_zero(ahead)), n_);
      x = base + 64;
    }
    return n_;
  }

  // The end of the literal text that begins at `from`. In a Shift_JIS font a
  // lead byte takes the byte after it along, so a stopping byte that is the
  // second byte of a character is passed: the lead-range bytes just before
  // it pair up from the last byte that cannot be a lead byte (a character
  // ends there) or from the start of the text, which is a character
  // boundary, and an odd count leaves the stopping byte to the last of them.
  // `stop` is NextStop of `from` or of any place before it from which no
  // stopping byte comes first.
  std::size_t EndOfLiteral(std::size_t from, std::size_t stop, bool shiftJis) {
    if (!shiftJis) return stop;
    std::size_t segment = from;
    // Mostly the byte before the stop is no lead byte, which settles it.
    while (stop < n_ && stop > segment && kByteClass[U(p_[stop - 1])] == kLeadByte &&
           LeadRunBefore(stop, segment) % 2 == 1) {
      segment = stop + 1;  // the stopping byte was a second byte
      stop = NextStop(segment);
    }
    return stop;
  }

 private:
  // Lead-range bytes right before `stop`, not counting any before `segment`.
  std::size_t LeadRunBefore(std::size_t stop, std::size_t segment) const {
    std::size_t run = 0;
    for (std::size_t k = stop; k > segment && kByteClass[U(p_[k - 1])] == kLeadByte; --k) ++run;
    return run;
  }

  ZELM_COLD void Load(std::size_t base) {
    std::uint64_t stops = 0;
    if (n_ - base >= 64) {
      stops = std::uint64_t{StopsOf16(p_ + base)} | std::uint64_t{StopsOf16(p_ + base + 16)} << 16 |
              std::uint64_t{StopsOf16(p_ + base + 32)} << 32 | std::uint64_t{StopsOf16(p_ + base + 48)} << 48;
    } else {
      for (std::size_t k = 0; k < 64; ++k) {  // the last block: past the end counts as a stop
        if (base + k >= n_ || kByteClass[U(p_[base + k])] > kLeadByte) stops |= std::uint64_t{1} << k;
      }
    }
    base_ = base;
    stops_ = stops;
  }

  const char* p_;
  std::size_t n_;
  std::size_t base_ = static_cast<std::size_t>(-1);
  std::uint64_t stops_ = 0;
};

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
    const char* p = in_.data();
    const std::size_t n = in_.size();
    while (i_ < n) {
      const std::uint8_t kind = kByteClass[U(p[i_])];
      if (kind == kBackslash) {
        if (!ReadColouredTokens()) ControlWord();
      } else if (kind <= kLeadByte) {
        Literal();
      } else if (kind == kLayout) {
        ++i_;
      } else if (kind == kOpenGroup) {
        stack_.push_back(current_);
        ++i_;
      } else {
        ++i_;
        if (current_.destination == Destination::FontTable) CommitFont();
        if (stack_.empty()) return Finish();
        current_ = stack_.back();
        stack_.pop_back();
        UpdateFontMode();
        if (stack_.empty()) return Finish();  // the document's own group is closed
      }
    }
    return Finish();
  }

 private:
  // --- Text and runs --------------------------------------------------------

  RtfText Finish() {
    EndRun();
    FlushRuns();
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
    PushRun(runStart_, runLength_, runStyle_);
    runLength_ = 0;
  }

  // Runs are put together in a small block and appended to the result a
  // block at a time. Built in the result's new slot, a run's bit-fields would
  // first be read from there, from memory not yet in the cache (or, in a
  // fresh vector, not yet mapped); and copied from a run stored just before,
  // the wider load would wait on the narrower stores. From the block they go
  // as one copy that only writes.
  void PushRun(std::uint32_t start, std::uint32_t length, Style style) {
    RtfRun& run = runBlock_[runBlockUsed_];
    run.start = start;
    run.length = length;
    run.color = style & 0xFFFFFF;
    run.bold = (style & kBoldBit) != 0;
    if (++runBlockUsed_ == runBlock_.size()) FlushRuns();
  }

  void FlushRuns() {
    out_.runs.insert(out_.runs.end(), runBlock_.begin(), runBlock_.begin() + static_cast<std::ptrdiff_t>(runBlockUsed_));
    runBlockUsed_ = 0;
  }

  // `readable` is how many bytes from `bytes` on may be read, `length` or
  // more: a run read from the document may be copied in a block that goes
  // past its end.
  void AppendWith(const char* bytes, std::size_t length, std::size_t readable, Style style) {
    if (length == 0) return;
    if (style != runStyle_ || runLength_ == 0) {
      EndRun();
      runStart_ = static_cast<std::uint32_t>(textUsed_);
      runStyle_ = style;
    }
    runLength_ += static_cast<std::uint32_t>(length);
    // Room for sixteen bytes more than the run, so that a short run can be
    // copied as one block of sixteen when the document goes on that far.
    if (out_.text.size() - textUsed_ < length + 16) GrowText(textUsed_, length + 16);
    char* to = out_.text.data() + textUsed_;
    if (length <= 16 && readable >= 16) {
      std::memcpy(to, bytes, 16);
    } else {
      CopyBytes(to, bytes, length);
    }
    textUsed_ += length;
  }

  // The text is lengthened a chunk at a time and cut to what was read at the
  // end, so that appending is a copy into room already there.
  void GrowText(std::size_t used, std::size_t length) {
    out_.text.resize(std::max(out_.text.size() + kTextChunk, used + length));
  }

  void AppendText(const char* bytes, std::size_t length, std::size_t readable) {
    if (paragraphPending_ && length > 0) FlushParagraph();
    AppendWith(bytes, length, readable, current_.style());
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
    AppendWith("\r\n", 2, 2, paragraphStyle_);
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
    i_ = stops_.EndOfLiteral(start, stops_.NextStop(start), shiftJisFont_);
    Characters(in_.data() + start, i_ - start, in_.size() - start);
  }

  // Characters read in the current destination.
  void Characters(const char* bytes, std::size_t length) { Characters(bytes, length, length); }
  void Characters(const char* bytes, std::size_t length, std::size_t readable) {
    switch (current_.destination) {
      case Destination::Text: AppendText(bytes, length, readable); break;
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

  // Colour words with the text after each, paragraph marks and the line
  // ends between them: the shape of almost all of a coloured page, read in
  // one loop. It stops at anything else ("\b", groups, escapes), and near the
  // end of the document, and leaves that to the general parse, which reads
  // these words of any shape the same way. False when it read nothing.
  bool ReadColouredTokens() {
    if (current_.destination != Destination::Text) return false;
    const char* p = in_.data();
    const std::size_t n = in_.size();
    const std::size_t first = i_;
    while (n - i_ >= 8) {
      const char* word = p + i_;
      if (word[0] == '\r' || word[0] == '\n') {  // layout
        ++i_;
        continue;
      }
      if (word[0] != '\\') break;
      if (word[1] == 'p') {  // "\par" without a parameter
        const auto after = U(word[4]);
        if (word[2] != 'a' || word[3] != 'r' || IsLetter(after) || IsDigit(after) || after == '-') break;
        i_ += after == ' ' ? 5 : 4;
        Paragraph();
        continue;
      }
      if (word[1] != 'c' || word[2] != 'f') break;
      const unsigned d0 = U(word[3]) - unsigned{'0'};
      if (d0 > 9) break;
      const unsigned d1 = U(word[4]) - unsigned{'0'};
      unsigned index = d0;
      std::size_t end = 4;
      if (d1 <= 9) {
        if (IsDigit(U(word[5]))) break;
        index = d0 * 10 + d1;
        end = 5;
      }
      const auto after = U(word[end]);
      if (IsLetter(after) || after == '-') break;
      if (after == ' ') ++end;  // the delimiter belongs to the word
      // The text ends at the first stopping byte after the backslash, as the
      // word holds none: found from the backslash, it does not wait for the
      // word to be read.
      const std::size_t stop = stops_.EndOfLiteral(i_ + end, stops_.NextStop(i_ + 1), shiftJisFont_);
      i_ += end;
      SetColor(static_cast<int>(index));
      AppendText(p + i_, stop - i_, n - i_);
      i_ = stop;
    }
    return i_ != first;
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
  StopIndex stops_{in_};
  RtfText out_;
  std::size_t textUsed_ = 0;  // bytes of out_.text read so far; the rest is room
  std::array<RtfRun, 1024> runBlock_;  // runs not yet in out_.runs
  std::size_t runBlockUsed_ = 0;
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
