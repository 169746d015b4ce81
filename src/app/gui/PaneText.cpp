#include "app/gui/PaneText.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "encoding/CodePage932.h"
#include "text/StringUtil.h"

namespace zelm::gui {
namespace {

constexpr char16_t kNoChar = 0xFFFF;        // in the tables: no character
constexpr std::uint16_t kNoBytes = 0xFFFF;  // in the reverse table: no Shift_JIS form

bool IsRawByteChar(char16_t c) { return c >= kRawByteBase && c < kRawByteBase + 0x80; }

// Code page 932 one character at a time, in both directions. The tables are
// filled once, from the encoding unit's own conversions of every single
// byte, every two-byte pair and every UTF-16 unit, so that a pane shows and
// writes exactly what the encoding unit would, while a page of megabytes is
// converted by table lookups with its positions counted on the way.
struct Cp932Tables {
  std::array<char16_t, 256> single{};                 // kNoChar: not a character alone
  std::vector<char16_t> pair = std::vector<char16_t>(65536, kNoChar);  // lead << 8 | trail
  std::vector<std::uint16_t> reverse = std::vector<std::uint16_t>(65536, kNoBytes);

  Cp932Tables() {
    FillSingles();
    FillPairs();
    FillReverse();
  }

  void FillSingles() {
    single.fill(kNoChar);
    std::string bytes;
    for (int b = 0; b < 256; ++b)
      if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) bytes += static_cast<char>(b);
    const WideConverted wide = Cp932ToUtf16(bytes);
    if (wide.text.size() != bytes.size()) throw std::logic_error("code page 932: single bytes do not convert one to one");
    for (std::size_t i = 0; i < bytes.size(); ++i) single[static_cast<unsigned char>(bytes[i])] = wide.text[i];
  }

  // Every lead byte with every trail byte, each pair on a line of its own:
  // a pair that is one character comes back as one unit on its line, while
  // a pair that is not gives the lead byte's "?" and at least one unit more.
  void FillPairs() {
    std::string bytes;
    std::vector<std::uint16_t> codes;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        bytes += static_cast<char>(lead);
        bytes += static_cast<char>(trail);
        bytes += '\n';
        codes.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
      }
    }
    const WideConverted wide = Cp932ToUtf16(bytes);
    std::size_t line = 0, start = 0;
    for (std::size_t i = 0; i < wide.text.size() && line < codes.size(); ++i) {
      if (wide.text[i] != u'\n') continue;
      if (i - start == 1 && wide.text[start] != u'?' && !IsRawByteChar(wide.text[start]))
        pair[codes[line]] = wide.text[start];
      ++line;
      start = i + 1;
    }
    if (line != codes.size()) throw std::logic_error("code page 932: pairs did not convert line by line");
  }

  // Every UTF-16 unit but the surrogates: each comes back as one Shift_JIS
  // character, "?" when it has no form.
  void FillReverse() {
    std::u16string units;
    for (std::uint32_t u = 1; u < 0x10000; ++u)
      if (u < 0xD800 || u > 0xDFFF) units += static_cast<char16_t>(u);
    const Converted sjis = Utf16ToCp932(units);
    const std::string& out = sjis.text;
    std::size_t at = 0;
    for (char16_t u : units) {
      if (at >= out.size()) throw std::logic_error("code page 932: reverse conversion ended early");
      const auto b = static_cast<unsigned char>(out[at]);
      if (IsSjisLeadByte(b) && at + 1 < out.size()) {
        reverse[u] = static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(out[at + 1]));
        at += 2;
      } else {
        if (b != '?' || u == u'?') reverse[u] = b;
        at += 1;
      }
    }
    if (at != out.size()) throw std::logic_error("code page 932: reverse conversion out of step");
    reverse[0] = 0;
  }
};

const Cp932Tables& Tables() {
  static const auto tables = std::make_unique<Cp932Tables>();
  return *tables;
}

// Walks a Shift_JIS text the way the widget reads it, calling
// put(character) for each character, pairAt(byte) for each two-byte unit
// and keep(bytes) for each double-byte character that converting back would
// write with other bytes.
template <typename Put, typename PairAt, typename Keep>
void WalkSjis(std::string_view sjis, Put put, PairAt pairAt, Keep keep) {
  const Cp932Tables& t = Tables();
  const auto* s = reinterpret_cast<const unsigned char*>(sjis.data());
  const std::size_t n = sjis.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      if (b == '\r') {
        put(u'\n');
        if (i + 1 < n && s[i + 1] == '\n') {
          pairAt(i);
          i += 2;
        } else {
          ++i;
        }
      } else {
        put(b == '\n' ? u'\n' : t.single[b]);
        ++i;
      }
      continue;
    }
    if (IsSjisLeadByte(b) && i + 1 < n) {
      const std::uint16_t code = static_cast<std::uint16_t>(b << 8 | s[i + 1]);
      const char16_t c = t.pair[code];
      if (c != kNoChar) {
        if (t.reverse[c] != code) keep(code);
        put(c);
        pairAt(i);
        i += 2;
        continue;
      }
    }
    const char16_t c = t.single[b];
    put(c != kNoChar ? c : static_cast<char16_t>(kRawByteBase + (b - 0x80)));
    ++i;
  }
}

}  // namespace

class PositionMapBuilder {
 public:
  static std::vector<std::uint32_t>& Starts(PositionMap& map) { return map.pairStarts_; }
};

PositionMap PositionMap::Of(std::string_view sjis) {
  PositionMap map;
  auto& starts = PositionMapBuilder::Starts(map);
  WalkSjis(sjis, [](char16_t) {}, [&](std::size_t at) { starts.push_back(static_cast<std::uint32_t>(at)); },
           [](std::uint16_t) {});
  return map;
}

std::size_t PositionMap::CharOfByte(std::size_t byte) const {
  const auto before = std::lower_bound(pairStarts_.begin(), pairStarts_.end(), byte) - pairStarts_.begin();
  return byte - static_cast<std::size_t>(before);
}

std::size_t PositionMap::ByteOfChar(std::size_t ch) const {
  // The pair with index i stands at character pairStarts_[i] - i, which grows
  // with i: the pairs before character ch are those that stand before it.
  std::size_t lo = 0, hi = pairStarts_.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (pairStarts_[mid] - mid < ch)
      lo = mid + 1;
    else
      hi = mid;
  }
  return ch + lo;
}

WideText SjisToWide(std::string_view sjis) {
  WideText result;
  result.text.resize(static_cast<qsizetype>(sjis.size()));
  char16_t* out = reinterpret_cast<char16_t*>(result.text.data());
  char16_t* const begin = out;
  auto& starts = PositionMapBuilder::Starts(result.map);
  WalkSjis(
      sjis, [&](char16_t c) { *out++ = c; }, [&](std::size_t at) { starts.push_back(static_cast<std::uint32_t>(at)); },
      [&](std::uint16_t code) { result.kept.push_back({static_cast<std::uint32_t>(out - begin), code}); });
  result.text.resize(out - begin);
  return result;
}

Converted WideToSjis(QStringView text, const std::vector<KeptBytes>& kept) {
  const Cp932Tables& t = Tables();
  auto nextKept = kept.begin();
  Converted result;
  std::string& out = result.text;
  out.resize(static_cast<std::size_t>(text.size()) * 2 + 2);
  char* o = out.data();
  const char16_t* s = text.utf16();
  const std::size_t n = static_cast<std::size_t>(text.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = s[i];
    if (c == u'\n' || c == u'\u2029' || c == u'\u2028') {
      *o++ = '\r';
      *o++ = '\n';
      continue;
    }
    if (IsRawByteChar(c)) {
      *o++ = static_cast<char>(0x80 + (c - kRawByteBase));
      continue;
    }
    std::uint16_t code = t.reverse[c];
    while (nextKept != kept.end() && nextKept->ch < i) ++nextKept;
    if (nextKept != kept.end() && nextKept->ch == i && t.pair[nextKept->bytes] == c) code = nextKept->bytes;
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
      ++i;  // a character beyond U+FFFF: one "?"
      code = kNoBytes;
    }
    if (code == kNoBytes) {
      result.loss.Note(static_cast<std::size_t>(o - out.data()));
      *o++ = '?';
    } else if (code > 0xFF) {
      *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
    } else {
      *o++ = static_cast<char>(code);
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return result;
}

void ApplyEdit(std::vector<KeptBytes>& kept, std::size_t from, std::size_t removed, std::size_t added) {
  auto first = std::lower_bound(kept.begin(), kept.end(), from, [](const KeptBytes& k, std::size_t p) { return k.ch < p; });
  auto last = std::lower_bound(first, kept.end(), from + removed, [](const KeptBytes& k, std::size_t p) { return k.ch < p; });
  for (auto it = last; it != kept.end(); ++it) it->ch = static_cast<std::uint32_t>(it->ch + added - removed);
  kept.erase(first, last);
}

QString SjisToQString(std::string_view sjis) { return SjisToWide(sjis).text; }

std::string QStringToSjis(QStringView text) { return WideToSjis(text).text; }

}  // namespace zelm::gui
