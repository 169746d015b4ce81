#include "encoding/AnyCodeToShiftJIS.h"

#include <array>
#include <optional>

#include "encoding/ByteSearch.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::array<std::string_view, 4> kShiftJisLabels{"shift_jis\"", "shift-jis\"", "xsjis\"", "x-sjis"};
constexpr std::string_view kEucJpLabel = "euc-jp\"";
constexpr std::string_view kUtf8Label = "utf-8\"";
constexpr std::string_view kIso2022JpLabel = "iso-2022-jp\"";

// Where the head area ends, by the first marker present.
constexpr std::array<std::string_view, 3> kHeadAreaEnds{"</head", "<link", "<script"};

// Other spellings of a Shift_JIS label, rewritten in a Shift_JIS document.
// Letters are compared without case, so each line covers every case
// variant ("SHIFT-JIS\"", "XJIS\"", "X-JIS\"", ...).
constexpr std::array<std::string_view, 3> kShiftJisRewrites{"shift-jis\"", "xjis\"", "x-jis\""};
constexpr std::string_view kShiftJisCanonical = "Shift_JIS\"";

std::string_view HeadArea(std::string_view lowered) {
  for (std::string_view marker : kHeadAreaEnds) {
    const std::size_t at = lowered.find(marker);
    if (at != std::string_view::npos) return lowered.substr(0, at);
  }
  return lowered;
}

Converted Folded(Converted converted) {
  converted.text = FoldLineEnds(converted.text, converted.loss.any() ? &converted.loss.firstPos : nullptr);
  return converted;
}

// The UTF-8 reading of the automatic mode: nothing when the text is not
// UTF-8. A leading byte-order mark is dropped.
std::optional<Converted> ReadAsUtf8(std::string_view text) {
  if (const auto wide = Utf8ToWide(text)) return WideToSjis(*wide, true);
  // The lenient reader refuses characters beyond U+FFFF even in well-formed
  // UTF-8; such a text is still UTF-8 and must not be kept as raw bytes.
  if (IsValidUtf8(text)) return Utf8ToSjis(text, true);
  return std::nullopt;
}

void ReadAsUtf8OrKeep(std::string_view text, AutoConversion& out) {
  if (auto converted = ReadAsUtf8(text)) {
    out.readAs = kCharCodeUtf8;
    out.result = Folded(std::move(*converted));
  } else {
    out.readAs = kCharCodeShiftJis;
    out.keptAsIs = true;
    out.result.text = FoldLineEnds(text);
  }
}

}  // namespace

std::string FoldLineEnds(std::string_view text, Pos* tracked) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  std::size_t lineFeeds = 0;  // line ends in the run being read
  std::size_t spanStart = 0;  // start of the bytes read but not yet copied
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
    // The tracked byte may be the second byte of a double-byte character
    // (a "?" after a stray lead byte): it keeps its place in the character.
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

std::string RewriteShiftJisLabels(std::string_view text) {
  std::string out(text);
  for (std::string_view spelling : kShiftJisRewrites) out = ReplaceAllText(out, spelling, kShiftJisCanonical);
  return out;
}

AutoConversion ConvertAutomatically(std::string_view text) {
  AutoConversion out;
  if (text.empty()) return out;
  // The bytes are in an unknown encoding: search them byte by byte.
  const std::string lowered = AsciiLowerBytes(text);
  const std::string_view area = HeadArea(lowered);
  auto has = [&](std::string_view label) { return area.find(label) != std::string_view::npos; };

  for (std::string_view label : kShiftJisLabels) {
    if (!has(label)) continue;
    out.label = label;
    out.readAs = kCharCodeShiftJis;
    out.result.text = FoldLineEnds(RewriteShiftJisLabels(text));
    return out;
  }
  if (has(kEucJpLabel)) {
    out.label = kEucJpLabel;
    out.readAs = kCharCodeEucJp;
    out.result = Folded(EucToSjis(text));
  } else if (has(kUtf8Label)) {
    out.label = kUtf8Label;
    ReadAsUtf8OrKeep(text, out);
  } else if (has(kIso2022JpLabel)) {
    out.label = kIso2022JpLabel;
    out.readAs = kCharCodeIso2022Jp;
    out.result = JisToSjis(text);  // its line ends stay as they are
  } else {
    ReadAsUtf8OrKeep(text, out);
  }
  return out;
}

Converted AnyCodeToShiftJIS(std::string_view text, CharCodeIndex code) {
  if (text.empty()) return {};
  switch (code) {
    case kCharCodeAuto:
      return ConvertAutomatically(text).result;
    case kCharCodeEucJp:
      return Folded(EucToSjis(text));
    case kCharCodeUtf8: {
      // The lenient reader first; what it refuses goes to the strict one.
      // A byte-order mark stays as a leading "?".
      if (const auto wide = Utf8ToWide(text)) return Folded(WideToSjis(*wide));
      return Folded(Utf8ToSjis(text));
    }
    case kCharCodeIso2022Jp:
      return Folded(JisToSjis(text));
    case kCharCodeUtf8N:
      return Folded(Utf8ToSjis(text, true));
    case kCharCodeShiftJis:
    default:
      return Converted{std::string(text), {}};
  }
}

}  // namespace zelm
