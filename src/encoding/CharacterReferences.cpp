#include "encoding/CharacterReferences.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <memory>
#include <vector>

#include "encoding/CodePage932.h"
#include "text/ByteScan.h"
#include "text/HtmlEntities.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// The code of a character: a single byte, or lead byte * 256 + second byte.
std::uint16_t CodeOf(std::string_view character) {
  const auto first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first;
  return static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(character[1]));
}

// Both directions of code page 932 for single characters, read once from
// the system's converter: every character of the code page converted in one
// call each way, each followed by a line feed that keeps them apart. Every
// character of code page 932 lies in the Basic Multilingual Plane.
class CodePageTables {
 public:
  CodePageTables() {
    std::string characters;
    std::vector<std::uint16_t> codes;
    auto add = [&](std::uint16_t code) {
      if (code > 0xFF) characters += static_cast<char>(code >> 8);
      characters += static_cast<char>(code & 0xFF);
      characters += '\n';
      codes.push_back(code);
    };
    for (unsigned b = 0x80; b <= 0xFF; ++b)
      if (!IsSjisLeadByte(static_cast<unsigned char>(b))) add(static_cast<std::uint16_t>(b));
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
        if (trail != 0x7F) add(static_cast<std::uint16_t>(lead << 8 | trail));
    }
    const std::u16string wide = Cp932ToUtf16(characters).text;
    const std::vector<std::u16string_view> pieces = Pieces<char16_t>(wide, codes.size());
    std::u16string codePoints;
    std::vector<std::uint16_t> mapped;
    for (std::size_t k = 0; k < codes.size(); ++k) {
      // A sequence that is no character comes back as "?" (with the byte
      // after the lead byte when that is no second byte).
      if (pieces[k].size() != 1 || pieces[k][0] == u'?') continue;
      codeToPoint_[codes[k]] = pieces[k][0];
      codePoints += pieces[k][0];
      codePoints += u'\n';
      mapped.push_back(codes[k]);
    }
    const std::string back = Utf16ToCp932(codePoints).text;
    const std::vector<std::string_view> canonical = Pieces<char>(back, mapped.size());
    for (std::size_t k = 0; k < mapped.size(); ++k) {
      const std::string_view bytes = canonical[k];
      if (bytes.empty() || bytes.size() > 2) continue;
      const std::uint16_t code = CodeOf(bytes);
      if (code > 0x7F) pointToCode_[codeToPoint_[mapped[k]]] = code;
    }
  }

  char16_t PointOfCode(std::uint16_t code) const { return codeToPoint_[code]; }
  std::uint16_t CodeOfPoint(char16_t point) const { return pointToCode_[point]; }

 private:
  // The text cut at its line feeds, which must make `expected` pieces.
  template <typename Char>
  static std::vector<std::basic_string_view<Char>> Pieces(std::basic_string_view<Char> text, std::size_t expected) {
    std::vector<std::basic_string_view<Char>> pieces;
    std::size_t start = 0;
    for (std::size_t at = text.find(Char('\n')); at != npos; at = text.find(Char('\n'), start)) {
      pieces.push_back(text.substr(start, at - start));
      start = at + 1;
    }
    if (pieces.size() != expected) throw EncodingError("code page 932 tables: the converter split characters apart");
    return pieces;
  }

  // Indexed by the code, and by the code point; 0 where there is no
  // character (ASCII is read apart).
  std::array<char16_t, 0x10000> codeToPoint_{};
  std::array<std::uint16_t, 0x10000> pointToCode_{};
};

const CodePageTables& Tables() {
  static const auto tables = std::make_unique<CodePageTables>();
  return *tables;
}

void AppendCodeBytes(std::string& out, std::uint16_t code) {
  if (code > 0xFF) out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

bool IsAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The code point of the reference at `amp` and the index after its ";", or
// nullopt when no complete reference stands there.
struct Reference {
  char32_t codePoint;
  std::size_t end;
};
std::optional<Reference> ReadReference(std::string_view text, std::size_t amp) {
  constexpr std::size_t kLongestName = 8;  // "thetasym"
  constexpr std::size_t kLongestNumber = 8;
  std::size_t i = amp + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    int base = 10;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
      base = 16;
      ++i;
    }
    auto isDigit = [base](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return base == 16 ? std::isxdigit(byte) != 0 : std::isdigit(byte) != 0;
    };
    const std::size_t digits = i;
    while (i < text.size() && i - digits <= kLongestNumber && isDigit(text[i])) ++i;
    if (i == digits || i - digits > kLongestNumber || i >= text.size() || text[i] != ';') return std::nullopt;
    std::uint32_t value = 0;
    std::from_chars(text.data() + digits, text.data() + i, value, base);
    return Reference{value, i + 1};
  }
  const std::size_t name = i;
  while (i < text.size() && i - name <= kLongestName && IsAsciiAlphanumeric(text[i])) ++i;
  if (i == name || i >= text.size() || text[i] != ';') return std::nullopt;
  const auto codePoint = EntityCodePoint(text.substr(name, i - name));
  if (!codePoint) return std::nullopt;
  return Reference{*codePoint, i + 1};
}

}  // namespace

std::optional<char32_t> SjisCharToCodePoint(std::string_view character) {
  if (character.empty() || character.size() > 2) return std::nullopt;
  const std::uint16_t code = CodeOf(character);
  if (code < 0x80) return code;
  const char16_t point = Tables().PointOfCode(code);
  if (point == 0) return std::nullopt;
  return point;
}

std::optional<std::string> CodePointToSjisChar(char32_t codePoint) {
  if (codePoint < 0x80) return std::string(1, static_cast<char>(codePoint));
  if (codePoint > 0xFFFF) return std::nullopt;
  const std::uint16_t code = Tables().CodeOfPoint(static_cast<char16_t>(codePoint));
  if (code == 0) return std::nullopt;
  std::string bytes;
  AppendCodeBytes(bytes, code);
  return bytes;
}

ReferenceConversion ConvertAllToCharacterReferences(std::string_view text) {
  const CodePageTables& tables = Tables();
  ReferenceConversion result;
  std::string& out = result.text;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t ascii = i;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    out.append(text.substr(ascii, i - ascii));
    if (i == text.size()) break;
    const std::size_t length = SjisCharLength(text, i);
    const std::string_view character = text.substr(i, length);
    const char16_t point = length == 2 || !IsSjisLeadByte(static_cast<unsigned char>(text[i]))
                               ? tables.PointOfCode(CodeOf(character))
                               : char16_t{0};  // a lead byte at the end of the text
    if (point != 0) {
      char digits[8];
      const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<unsigned>(point)).ptr;
      ((out += "&#").append(digits, end)) += ';';
    } else {
      result.keptAsIs.Note(out.size());
      out.append(character);
    }
    i += length;
  }
  return result;
}

std::string DecodeCharacterReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  for (std::size_t amp = FindByte(text, 0, '&'); amp != npos; amp = FindByte(text, i, '&')) {
    out.append(text.substr(i, amp - i));
    i = amp + 1;
    const auto reference = ReadReference(text, amp);
    const auto character = reference ? CodePointToSjisChar(reference->codePoint) : std::nullopt;
    if (!character || (*character)[0] == '\0') {
      out += '&';
      continue;
    }
    out += *character;
    i = reference->end;
  }
  out.append(text.substr(i));
  return out;
}

}  // namespace zelm
