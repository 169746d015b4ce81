#include "encoding/CharsetLabel.h"

#include <array>
#include <string>

#include "encoding/ByteSearch.h"

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

}  // namespace

CharCodeIndex GetCharCodeFromMeta(std::string_view text) {
  const std::string full = AsciiLowerBytes(text);
  const std::string_view beforeBody = std::string_view(full).substr(0, full.find("<body"));
  // A script tag may carry a charset of its own (<script charset="utf-8">).
  const std::string head = DeleteBlocksBytewise(beforeBody, "<script", ">");
  // The last pattern present wins, so look from the end of the list.
  for (auto it = kLabelPatterns.rbegin(); it != kLabelPatterns.rend(); ++it) {
    const std::string_view area = it->area == Area::Head ? std::string_view(head) : std::string_view(full);
    if (area.find(it->pattern) != std::string_view::npos) return it->code;
  }
  return kCharCodeAuto;
}

}  // namespace zelm
