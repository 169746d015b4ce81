#include "encoding/JisConvert.h"

#include "encoding/JisChar.h"

#include <optional>

#include "encoding/CharacterReferences.h"
#include "encoding/CodePage932.h"

namespace zelm {
namespace {

constexpr char kEsc = '\x1B';
constexpr std::string_view kToDoubleByte = "\x1B$B";  // JIS X 0208-1983
constexpr std::string_view kToAscii = "\x1B(B";

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

// The character sets an ISO-2022-JP text switches between.
enum class JisMode { Single, DoubleByte, Supplementary, Katakana };

constexpr unsigned char kShiftOut = 0x0E;  // SO: JIS X 0201 katakana follow
constexpr unsigned char kShiftIn = 0x0F;   // SI: back to single bytes

struct JisEscape {
  JisMode mode;
  std::size_t length;
};

// The escape sequence at i, when it is one this reader knows: ESC "$B",
// "$@" and "$(B" (JIS X 0208), "$(D" (JIS X 0212), "(B" and "(J" (single
// bytes) and "(I" (JIS X 0201 katakana).
std::optional<JisEscape> JisEscapeAt(std::string_view text, std::size_t i) {
  static constexpr struct {
    std::string_view bytes;
    JisMode mode;
  } kEscapes[] = {
      {"\x1B$B", JisMode::DoubleByte},     {"\x1B$@", JisMode::DoubleByte},    {"\x1B$(B", JisMode::DoubleByte},
      {"\x1B$(D", JisMode::Supplementary}, {"\x1B(B", JisMode::Single},        {"\x1B(J", JisMode::Single},
      {"\x1B(I", JisMode::Katakana},
  };
  const std::string_view rest = text.substr(i);
  for (const auto& escape : kEscapes)
    if (rest.starts_with(escape.bytes)) return JisEscape{escape.mode, escape.bytes.size()};
  return std::nullopt;
}

bool IsKatakanaByte(unsigned char c) { return c >= 0x21 && c <= 0x5F; }

// Writes a Shift_JIS character that has no form in a JIS-based target: as
// a numeric character reference when asked and when it is a character at
// all, else as "?".
void WriteUnmappable(std::string_view character, Unmappable unmappable, Converted& result) {
  std::string& out = result.text;
  if (unmappable == Unmappable::Reference && character.size() == 2) {
    if (const std::optional<char32_t> codePoint = SjisCharToCodePoint(character)) {
      result.loss.NoteReference(out.size());
      AppendCharacterReference(out, *codePoint);
      return;
    }
  }
  result.loss.Note(out.size(), character.size() == 2 ? LossKind::NoForm : LossKind::InvalidSequence);
  out += '?';
}

// A run of half-width katakana at i written as references, each on its own.
void WriteKatakanaReferences(std::string_view text, std::size_t& i, Converted& result) {
  while (i < text.size() && IsHankakuKana(Byte(text, i))) {
    result.loss.NoteReference(result.text.size());
    AppendCharacterReference(result.text, 0xFF61 + (Byte(text, i) - 0xA1));
    ++i;
  }
}

}  // namespace

Converted JisToSjis(std::string_view text) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size());
  JisMode mode = JisMode::Single;
  bool shiftedOut = false;  // SO read in single-byte mode: katakana until SI
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == kEsc) {
      if (const std::optional<JisEscape> escape = JisEscapeAt(text, i)) {
        mode = escape->mode;
        i += escape->length;
        continue;
      }
    }
    const unsigned char c = Byte(text, i);
    if (c == kShiftOut || c == kShiftIn) {
      shiftedOut = c == kShiftOut;
      ++i;
      continue;
    }
    if (mode == JisMode::Katakana || (mode == JisMode::Single && shiftedOut)) {
      // JIS X 0201 katakana: 0x21-0x5F are the half-width katakana of
      // Shift_JIS less 0x80; line breaks and other controls stay as they are.
      if (IsKatakanaByte(c)) {
        out += static_cast<char>(c + 0x80);
      } else if (c > 0x20) {
        result.loss.Note(out.size(), LossKind::InvalidSequence);
        out += '?';
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    if (mode == JisMode::Single) {
      out += text[i++];
      continue;
    }
    // Both bytes of a character are 0x21-0x7E; a cell byte outside that
    // range would give no Shift_JIS character, or even a NUL byte.
    const bool whole = i + 1 < text.size() && IsJisByte(Byte(text, i + 1));
    if (mode == JisMode::Supplementary) {
      if (whole && IsJisByte(c)) {
        result.loss.Note(out.size(), LossKind::JisX0212);  // JIS X 0212 has no Shift_JIS form
        out += '?';
      } else {
        result.loss.Note(out.size(), LossKind::InvalidSequence);
      }
      i += 2;
      continue;
    }
    const auto pair = whole ? JisPairToSjis(c, Byte(text, i + 1)) : std::nullopt;
    if (pair) AppendPair(out, *pair);
    else result.loss.Note(out.size(), LossKind::InvalidSequence);
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
        result.loss.Note(out.size(), LossKind::InvalidSequence);
        out += '?';
        ++i;
      }
    } else if (c == 0x8E && i + 1 < text.size() && IsHankakuKana(Byte(text, i + 1))) {
      out += text[i + 1];
      i += 2;
    } else if (c == 0x8F && i + 2 < text.size() && IsEucByte(Byte(text, i + 1)) && IsEucByte(Byte(text, i + 2))) {
      // JIS X 0212: no Shift_JIS form. Copying the 0x8F would make it the
      // lead byte of a garbled character and shift every character after.
      result.loss.Note(out.size(), LossKind::JisX0212);
      out += '?';
      i += 3;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return result;
}

Converted SjisToJis(std::string_view text, Unmappable unmappable) {
  Converted result;
  std::string& out = result.text;
  out.reserve(text.size() + text.size() / 4);
  bool doubleByte = false;
  auto toSingleByte = [&] {
    if (doubleByte) out += kToAscii;
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
      // ISO-2022-JP has no half-width katakana: they are written full-width,
      // a sound mark merged, and each one counts as changed.
      if (unmappable == Unmappable::Reference) {
        toSingleByte();
        WriteKatakanaReferences(text, i, result);
        continue;
      }
      toDoubleByte();
      const std::size_t at = out.size(), from = i;
      AppendPair(out, HankakuKanaPairToJis(text, i));
      for (std::size_t k = from; k < i; ++k) result.loss.Note(at, LossKind::Changed);
    } else {
      std::size_t length;
      const auto jis = DoubleByteAt(text, i, length);
      if (jis) {
        toDoubleByte();
        AppendPair(out, *jis);
      } else {
        toSingleByte();
        WriteUnmappable(text.substr(i, length), unmappable, result);
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
  JisMode mode = JisMode::Single;
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = Byte(text, i);
    if (c == static_cast<unsigned char>(kEsc)) {
      if (const std::optional<JisEscape> escape = JisEscapeAt(text, i)) {
        mode = escape->mode;
        i += escape->length;
        continue;
      }
      // Another escape: the byte after it tells double from single bytes.
      if (i + 1 < text.size()) {
        if (text[i + 1] == '$') mode = JisMode::DoubleByte;
        else if (text[i + 1] == '(') mode = JisMode::Single;
      }
      i += 3;
      continue;
    }
    if (mode == JisMode::Katakana && IsKatakanaByte(c)) {
      out += '\x8E';  // EUC-JP's single shift for half-width katakana
      out += static_cast<char>(c | 0x80);
    } else if (mode == JisMode::Supplementary && IsJisByte(c) && i + 1 < text.size() &&
               IsJisByte(Byte(text, i + 1))) {
      out += '\x8F';  // EUC-JP's single shift for JIS X 0212
      out += static_cast<char>(c | 0x80);
      out += static_cast<char>(Byte(text, ++i) | 0x80);
    } else {
      out += static_cast<char>(mode == JisMode::DoubleByte && IsJisByte(c) ? (c | 0x80) : c);
    }
    ++i;
  }
  return result;
}

Converted SjisToEuc(std::string_view text, Unmappable unmappable) {
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
      out += '\x8E';  // EUC-JP holds half-width katakana behind its single shift
      out += static_cast<char>(c);
      ++i;
    } else {
      std::size_t length;
      const auto jis = DoubleByteAt(text, i, length);
      if (jis) AppendPair(out, *jis, 0x80);
      else WriteUnmappable(text.substr(i, length), unmappable, result);
      i += length;
    }
  }
  return result;
}

}  // namespace zelm
