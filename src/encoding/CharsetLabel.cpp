#include "encoding/CharsetLabel.h"

#include <array>
#include <bitset>
#include <optional>
#include <string>

#include "encoding/ByteSearch.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

enum class Area { Head, Full };

struct LabelPattern {
  std::string_view pattern;  // lower case
  Area area;
  CharCodeIndex code;
};

// In order of rising preference: every pattern present sets the code, so
// the last one present decides.
constexpr std::array<LabelPattern, 20> kLabelPatterns{{
    {"charset=shift_jis\"", Area::Head, kCharCodeShiftJis},
    {"charset=shift-jis\"", Area::Head, kCharCodeShiftJis},
    {"charset=x-sjis\"", Area::Head, kCharCodeShiftJis},
    {"charset=euc-jp\"", Area::Head, kCharCodeEucJp},
    {"charset=utf-8\"", Area::Head, kCharCodeUtf8},
    {"charset=iso-2022", Area::Head, kCharCodeIso2022Jp},
    {"<meta charset=\"utf-8\"", Area::Head, kCharCodeUtf8},
    {"<meta charset=\"shift_jis\"", Area::Head, kCharCodeShiftJis},
    {"<meta charset=\"euc-jp\"", Area::Head, kCharCodeEucJp},
    {"<meta charset=\"utf-8\"", Area::Full, kCharCodeUtf8},
    {"<meta charset=\"shift_jis", Area::Full, kCharCodeShiftJis},
    {"<meta charset=\"euc-jp", Area::Full, kCharCodeEucJp},
    {"<meta charset=\"shift-jis\"", Area::Full, kCharCodeShiftJis},
    {"<meta charset='utf-8", Area::Full, kCharCodeUtf8},
    {"<meta charset='shift_jis", Area::Full, kCharCodeShiftJis},
    {"<meta charset='euc-jp", Area::Full, kCharCodeEucJp},
    {"<meta charset='shift-jis'", Area::Full, kCharCodeShiftJis},
    {"charset=utf-8'", Area::Head, kCharCodeUtf8},
    {"charset=shift_jis'", Area::Head, kCharCodeShiftJis},
    {"charset=euc-jp'", Area::Head, kCharCodeEucJp},
}};

// Every label that counts in the whole text starts with "<meta charset=":
// one search for that finds which of them the text holds.
std::bitset<kLabelPatterns.size()> FullTextLabels(std::string_view text) {
  constexpr std::string_view kMetaCharset = "<meta charset=";
  std::bitset<kLabelPatterns.size()> found;
  for (std::size_t at = FindLowerCaseBytes(text, kMetaCharset); at != std::string_view::npos;
       at = FindLowerCaseBytes(text, kMetaCharset, at + 1)) {
    for (std::size_t k = 0; k < kLabelPatterns.size(); ++k) {
      const std::string_view pattern = kLabelPatterns[k].pattern;
      if (kLabelPatterns[k].area != Area::Full || found[k] || text.size() - at < pattern.size()) continue;
      std::size_t i = kMetaCharset.size();
      while (i < pattern.size() && AsciiLower(text[at + i]) == pattern[i]) ++i;
      if (i == pattern.size()) found[k] = true;
    }
  }
  return found;
}

}  // namespace

namespace {

// The code of the most preferred label present: in the head, the text
// before "<body" (opening script tags removed, since a script tag may carry
// a charset of its own), or in the whole text, whose labels
// `wholeTextLabels()` gives when they are needed.
template <typename WholeTextLabels>
CharCodeIndex MostPreferredLabel(std::string_view beforeBody, WholeTextLabels wholeTextLabels) {
  // Only the head is lowered into a copy.
  const std::string head = DeleteBlocksBytewise(AsciiLowerBytes(beforeBody), "<script", ">");
  std::optional<std::bitset<kLabelPatterns.size()>> full;  // looked for once, when needed
  // The last pattern present wins, so look from the end of the list.
  for (std::size_t k = kLabelPatterns.size(); k-- > 0;) {
    const LabelPattern& label = kLabelPatterns[k];
    if (label.area == Area::Head) {
      if (head.find(label.pattern) != std::string::npos) return label.code;
      continue;
    }
    if (!full) full = wholeTextLabels();
    if ((*full)[k]) return label.code;
  }
  return kCharCodeAuto;
}

}  // namespace

CharCodeIndex GetCharCodeFromMeta(std::string_view text) {
  return MostPreferredLabel(text.substr(0, FindLowerCaseBytes(text, "<body")), [&] { return FullTextLabels(text); });
}

void WholeTextLabels::Add(std::string_view part) {
  static_assert(kLabelPatterns.size() <= 32);
  found_ |= static_cast<std::uint32_t>(FullTextLabels(part).to_ulong());
}

CharCodeIndex GetCharCodeFromMeta(std::string_view beforeBody, const WholeTextLabels& labels) {
  return MostPreferredLabel(beforeBody, [&] { return std::bitset<kLabelPatterns.size()>(labels.found_); });
}

}  // namespace zelm
