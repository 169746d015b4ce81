#include "encoding/JisConvert.h"

#include "encoding/JisChar.h"

namespace zelm {
namespace {

constexpr char kEsc = '\x1B';
constexpr std::string_view kToDoubleByte = "\x1B$B";  // JIS X 0208-1983
constexpr std::string_view kToDoubleByteOld = "\x1B$@";  // JIS C 6226-1978, read as the same set
constexpr std::string_view kToAscii = "\x1B(B";
constexpr std::string_view kToRoman = "\x1B(J";

unsigned char Byte(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

void AppendPair(std::string& out, BytePair pair, unsigned char topBits = 0) {
  out += static_cast<char>(pair[0] | topBits);
  out += static_cast<char>(pair[1] | topBits);
}

bool IsEucByte(unsigned char c) { return c >= 0xA1 && c <= 0xFE; }

bool IsSjisTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The JIS row and cell of the Shift_JIS character at i, when it is one of
// JIS X 0208 rows 0x21-0x7E; `length` is the number of bytes it takes (or,
// without a result, the bytes that stand for nothing convertible).
std::optional<BytePair> DoubleByteAt(std::string_view text, std::size_t i, std::size_t& length) {
  const unsigned char lead = Byte(text, i);
  if (!IsSjisLeadByte(lead) || i + 1 >= text.size() || !IsSjisTrail(Byte(text, i + 1))) {
    length = 1;
    return std::nullopt;
  }
  length = 2;
  const BytePair jis = SjisPairToJis(lead, Byte(text, i + 1));
  if (!IsJisByte(jis[0]) || !IsJisByte(jis[1])) return std::nullopt;
  return jis;
}

}  // namespace

Converted JisToSjis(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size());
  bool doubleByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == kEsc) {
      const std::string_view escape = text.substr(i, 3);
      if (escape == kToDoubleByte || escape == kToDoubleByteOld) {
        doubleByte = true;
        i += 3;
        continue;
      }
      if (escape == kToAscii || escape == kToRoman) {
        doubleByte = false;
        i += 3;
        continue;
      }
    }
    if (!doubleByte) {
      out += text[i++];
      continue;
    }
    // Both bytes of a character are 0x21-0x7E; a cell byte outside that
    // range would give no Shift_JIS character, or even a NUL byte.
    const bool whole = i + 1 < text.size() && IsJisByte(Byte(text, i + 1));
    const auto pair = whole ? JisPairToSjis(Byte(text, i), Byte(text, i + 1)) : std::nullopt;
    if (pair) AppendPair(out, *pair);
    else result.loss.Note(out.size());
    i += 2;
  }
  return result;
}

Converted EucToSjis(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = Byte(text, i);
    if (IsEucByte(c)) {
      if (i + 1 < text.size() && IsEucByte(Byte(text, i + 1))) {
        AppendPair(out, *JisPairToSjis(c - 0x80, static_cast<unsigned char>(Byte(text, i + 1) - 0x80)));
        i += 2;
      } else {
        // A lead byte without its second byte: paired with the byte after
        // it, it would swallow that byte (a "<" or a line break) and could
        // give a NUL byte.
        result.loss.Note(out.size());
        out += '?';
        ++i;
      }
    } else if (c == 0x8E && i + 1 < text.size() && IsHankakuKana(Byte(text, i + 1))) {
      out += text[i + 1];
      i += 2;
    } else if (c == 0x8F && i + 2 < text.size() && IsEucByte(Byte(text, i + 1)) && IsEucByte(Byte(text, i + 2))) {
      // JIS X 0212: no Shift_JIS form. Copying the 0x8F would make it the
      // lead byte of a garbled character and shift every character after.
      result.loss.Note(out.size());
      out += '?';
      i += 3;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return result;
}

Converted SjisToJis(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size() + text.size() / 4);
  bool doubleByte = false;
  auto toSingleByte = [&] {
    if (doubleByte) out += kToRoman;
    doubleByte = false;
  };
  auto toDoubleByte = [&] {
    if (!doubleByte) out += kToDoubleByte;
    doubleByte = true;
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = Byte(text, i);
    if (c < 0x80) {
      toSingleByte();
      out += static_cast<char>(c);
      ++i;
    } else if (IsHankakuKana(c)) {
      toDoubleByte();
      AppendPair(out, HankakuKanaPairToJis(text, i));
    } else {
      std::size_t length;
      const auto jis = DoubleByteAt(text, i, length);
      if (jis) {
        toDoubleByte();
        AppendPair(out, *jis);
      } else {
        toSingleByte();
        result.loss.Note(out.size());
        out += '?';
      }
      i += length;
    }
  }
  return result;
}

Converted JisToEuc(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size());
  bool doubleByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = Byte(text, i);
    if (c == static_cast<unsigned char>(kEsc)) {
      if (i + 1 < text.size()) {
        if (text[i + 1] == '$') doubleByte = true;
        else if (text[i + 1] == '(') doubleByte = false;
      }
      i += 3;
      continue;
    }
    out += static_cast<char>(doubleByte && IsJisByte(c) ? (c | 0x80) : c);
    ++i;
  }
  return result;
}

Converted SjisToEuc(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = Byte(text, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (IsHankakuKana(c)) {
      AppendPair(out, HankakuKanaPairToJis(text, i), 0x80);
    } else {
      std::size_t length;
      const auto jis = DoubleByteAt(text, i, length);
      if (jis) {
        AppendPair(out, *jis, 0x80);
      } else {
        result.loss.Note(out.size());
        out += '?';
      }
      i += length;
    }
  }
  return result;
}

}  // namespace zelm
