#include "ReferenceDetection.h"

#include <array>

#include "encoding/ByteSearch.h"

namespace zelm::test {
namespace {

struct LabelPattern {
  std::string_view pattern;
  bool head;
  CharCodeIndex code;
};

constexpr std::array<LabelPattern, 20> kLabelPatterns{{
    {"charset=shift_jis\"", true, 3},        {"charset=shift-jis\"", true, 3},
    {"charset=x-sjis\"", true, 3},           {"charset=euc-jp\"", true, 1},
    {"charset=utf-8\"", true, 2},            {"charset=iso-2022", true, 4},
    {"<meta charset=\"utf-8\"", true, 2},    {"<meta charset=\"shift_jis\"", true, 3},
    {"<meta charset=\"euc-jp\"", true, 1},   {"<meta charset=\"utf-8\"", false, 2},
    {"<meta charset=\"shift_jis", false, 3}, {"<meta charset=\"euc-jp", false, 1},
    {"<meta charset=\"shift-jis\"", false, 3}, {"<meta charset='utf-8", false, 2},
    {"<meta charset='shift_jis", false, 3},  {"<meta charset='euc-jp", false, 1},
    {"<meta charset='shift-jis'", false, 3}, {"charset=utf-8'", true, 2},
    {"charset=shift_jis'", true, 3},         {"charset=euc-jp'", true, 1},
}};

}  // namespace

CharCodeIndex ReferenceGetCharCodeFromMeta(std::string_view text) {
  const std::string full = AsciiLowerBytes(text);
  std::string head = full.substr(0, full.find("<body"));
  head = DeleteBlocksBytewise(head, "<script", ">");
  CharCodeIndex code = 0;
  for (const LabelPattern& row : kLabelPatterns)
    if ((row.head ? head : full).find(row.pattern) != std::string::npos) code = row.code;
  return code;
}

ReferenceAutoLabel ReferenceAutomaticLabel(std::string_view text) {
  const std::string lowered = AsciiLowerBytes(text);
  std::string_view area = lowered;
  for (std::string_view end : {"</head", "<link", "<script"}) {
    const std::size_t at = lowered.find(end);
    if (at != std::string::npos) {
      area = std::string_view(lowered).substr(0, at);
      break;
    }
  }
  for (std::string_view label : {"shift_jis\"", "shift-jis\"", "xsjis\"", "x-sjis"})
    if (area.find(label) != std::string_view::npos) return {label, true};
  for (std::string_view label : {"euc-jp\"", "utf-8\"", "iso-2022-jp\""})
    if (area.find(label) != std::string_view::npos) return {label, false};
  return {};
}

std::string ReferenceRewriteShiftJisLabels(std::string_view text) {
  std::string out(text);
  for (std::string_view spelling : {"shift-jis\"", "xjis\"", "x-jis\""}) out = ReplaceAllText(out, spelling, "Shift_JIS\"");
  return out;
}

std::string ReferenceFoldLineEnds(std::string_view text, Pos* tracked) {
  std::string out;
  std::size_t lineFeeds = 0;
  std::size_t spanStart = 0;
  auto endRun = [&] {
    for (std::size_t k = (lineFeeds + 1) / 2; k > 0; --k) out += "\r\n";
    lineFeeds = 0;
  };
  const Pos target = tracked ? *tracked : 0;
  Pos mapped = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool lineFeed = text[i] == '\n';
    const bool lineEnd = lineFeed || (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
    // A tracked second byte keeps its place in its character.
    const std::size_t length = lineEnd ? 1 : SjisCharLength(text, i);
    if (target != 0 && mapped == 0 && i + length >= target)
      mapped = out.size() + (i - spanStart) + 2 * ((lineFeeds + 1) / 2) + 1 + (target - 1 > i ? target - 1 - i : 0);
    if (lineEnd) {
      if (lineFeeds == 0) out.append(text, spanStart, i - spanStart);
      ++lineFeeds;
      i += lineFeed ? 1 : 2;
      spanStart = i;
      continue;
    }
    if (lineFeeds != 0) endRun();
    i += length;
  }
  if (lineFeeds != 0) endRun();
  else out.append(text, spanStart);
  if (target != 0) *tracked = mapped != 0 ? mapped : out.size() + 1;
  return out;
}

}  // namespace zelm::test
