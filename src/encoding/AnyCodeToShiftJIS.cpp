#include "encoding/AnyCodeToShiftJIS.h"

#include <array>
#include <optional>

#include "encoding/ByteSearch.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/ByteScan.h"
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

// The head area, lower-cased: the text before the first marker present.
std::string LoweredHeadArea(std::string_view text) {
  for (std::string_view marker : kHeadAreaEnds) {
    const std::size_t at = FindLowerCaseBytes(text, marker);
    if (at != std::string_view::npos) return AsciiLowerBytes(text.substr(0, at));
  }
  return AsciiLowerBytes(text);
}

Converted Folded(Converted converted, LineEnds lineEnds = LineEnds::Fold) {
  if (lineEnds == LineEnds::Keep) return converted;
  converted.text = FoldLineEnds(converted.text, converted.loss.any() ? &converted.loss.firstPos : nullptr);
  return converted;
}

// The UTF-8 reading of the automatic mode: nothing when the text is not
// UTF-8. A leading byte-order mark is dropped.
std::optional<Converted> ReadAsUtf8(std::string_view text, Unmappable unmappable) {
  if (auto converted = LenientUtf8ToSjis(text, true, unmappable)) return converted;
  // The lenient reader refuses characters beyond U+FFFF even in well-formed
  // UTF-8; such a text is still UTF-8 and must not be kept as raw bytes.
  if (IsValidUtf8(text)) return Utf8ToSjis(text, true, unmappable);
  return std::nullopt;
}

// Whether a text is UTF-8 apart from a few broken sequences: at least as
// many well-formed characters of two bytes or more as broken sequences. A
// Shift_JIS text, whose double-byte characters are nearly all broken UTF-8
// (two broken sequences each), is far from it.
bool IsMostlyUtf8(std::string_view text) {
  const Utf8Census census = CountUtf8Sequences(text);
  return census.multiByte != 0 && census.invalid <= census.multiByte;
}

// `labelled`: the head declares UTF-8. Such a text that holds a few broken
// sequences is still read as UTF-8, each broken sequence becoming a reported
// "?", rather than kept as Shift_JIS and garbled as a whole.
void ReadAsUtf8OrKeep(std::string_view text, AutoConversion& out, Unmappable unmappable, bool labelled,
                      LineEnds lineEnds) {
  if (auto converted = ReadAsUtf8(text, unmappable)) {
    out.readAs = kCharCodeUtf8;
    out.result = Folded(std::move(*converted), lineEnds);
  } else if (labelled && IsMostlyUtf8(text)) {
    out.readAs = kCharCodeUtf8;
    out.result = Folded(Utf8ToSjis(text, true, unmappable), lineEnds);
  } else {
    out.readAs = kCharCodeShiftJis;
    out.keptAsIs = true;
    out.result.text = lineEnds == LineEnds::Keep ? std::string(text) : FoldLineEnds(text);
  }
}

}  // namespace

// Line ends are found with the library search: a line feed that starts a
// character, with the CR before it when that starts one too. Everything
// between runs of line ends is copied as it is.
namespace {

constexpr bool IsLeadByteValue(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Whether folding changes nothing: every line feed that starts a character
// ends a CR LF that starts one too, and no line end follows it. A line feed
// after a CR after a byte outside the lead-byte ranges (which ends a
// character), and before a byte that is no CR or LF, is such a line end;
// they are told apart 16 at a time, and only the others are looked at as the
// folding pass looks at them. May say false where folding changes nothing.
bool FoldingChangesNothing(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t known = 0;  // a character starts here
  auto plainLineEnd = [&](std::size_t lf) {
    return lf >= 2 && bytes[lf - 1] == '\r' && !IsLeadByteValue(bytes[lf - 2]) &&
           (lf + 1 >= size || (bytes[lf + 1] != '\r' && bytes[lf + 1] != '\n'));
  };
  auto loneCrLf = [&](std::size_t lf) {  // for a line feed that is not plainly one
    if (!StartsCharacterAfter(text, known, lf)) {
      known = lf + 1;  // the second byte of a character: no line end
      return true;
    }
    const bool crlf = lf > known && bytes[lf - 1] == '\r' && StartsCharacterAfter(text, known, lf - 1);
    known = lf + 1;
    return crlf && (lf + 1 >= size || (bytes[lf + 1] != '\r' && bytes[lf + 1] != '\n'));
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  if (size >= 18) {
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    auto inRange = [](__m128i x, unsigned char low, unsigned char high) {
      return _mm_and_si128(_mm_cmpeq_epi8(_mm_max_epu8(x, _mm_set1_epi8(static_cast<char>(low))), x),
                           _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(static_cast<char>(high))), x));
    };
    for (; i < 2; ++i)
      if (bytes[i] == '\n' && !loneCrLf(i)) return false;
    for (; i + 17 <= size; i += 16) {
      auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at)); };
      const __m128i here = load(i), before = load(i - 1), twoBefore = load(i - 2), after = load(i + 1);
      const __m128i isLf = _mm_cmpeq_epi8(here, lf);
      if (_mm_movemask_epi8(isLf) == 0) continue;
      const __m128i leadBefore = _mm_or_si128(inRange(twoBefore, 0x81, 0x9F), inRange(twoBefore, 0xE0, 0xFC));
      const __m128i endAfter = _mm_or_si128(_mm_cmpeq_epi8(after, cr), _mm_cmpeq_epi8(after, lf));
      const __m128i odd = _mm_or_si128(_mm_andnot_si128(_mm_cmpeq_epi8(before, cr), isLf),
                                       _mm_and_si128(isLf, _mm_or_si128(leadBefore, endAfter)));
      for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(odd)); mask != 0; mask &= mask - 1)
        if (!loneCrLf(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return false;
    }
  }
#endif
  for (; i < size; ++i)
    if (bytes[i] == '\n' && !plainLineEnd(i) && !loneCrLf(i)) return false;
  return true;
}

// The folded text, or nullopt when it would equal `text` and no position is
// tracked.
std::optional<std::string> FoldedLineEnds(std::string_view text, Pos* tracked) {
  constexpr std::size_t npos = std::string_view::npos;
  if (!tracked && FoldingChangesNothing(text)) return std::nullopt;
  std::string out;  // reserved once something changes
  std::size_t copied = 0;    // text before this is in out
  std::size_t known = 0;     // a character starts here
  std::size_t runStart = 0;  // the current run of line ends: where it starts and ends, how many
  std::size_t runEnd = 0;
  std::size_t runCount = 0;

  // The tracked position follows the first character that starts at or
  // after it; within a run, the line end it points to.
  const Pos target = tracked ? *tracked : 0;
  std::size_t targetIndex = npos;  // 0-based index of that character, once known
  std::size_t targetInRun = npos;  // its place in the current run
  Pos mapped = 0;
  auto mapBefore = [&](std::size_t end) {  // the target lies in the copied span before `end`
    if (mapped == 0 && targetIndex != npos && targetIndex < end) mapped = out.size() + (targetIndex - copied) + 1;
  };
  auto endRun = [&] {
    if (runCount == 0) return;
    if (target == 0 && runCount == 1 && runEnd - runStart == 2) {
      runCount = 0;  // a lone CR LF stays as it is: the copied stretch goes on
      return;
    }
    mapBefore(runStart);
    if (copied == 0) out.reserve(text.size() + text.size() / 32 + 2);  // the first change
    out.append(text, copied, runStart - copied);
    if (mapped == 0 && targetInRun != npos) mapped = out.size() + 2 * ((targetInRun + 1) / 2) + 1;
    for (std::size_t k = (runCount + 1) / 2; k > 0; --k) out += "\r\n";
    if (mapped == 0 && targetIndex == runEnd) mapped = out.size() + 1;
    copied = runEnd;
    runCount = 0;
    targetInRun = npos;
  };
  if (target != 0 && target - 1 < text.size()) {
    targetIndex = target - 1;
    // The line feed of a CR LF is no place of its own. A second byte is: it
    // is copied with its character (a "?" after a stray lead byte is one).
    if (text[targetIndex] == '\n' && targetIndex > 0 && text[targetIndex - 1] == '\r' &&
        StartsCharacterAfter(text, 0, targetIndex - 1) && StartsCharacterAfter(text, 0, targetIndex))
      targetIndex = targetIndex + 1 < text.size() ? targetIndex + 1 : npos;
  }

  for (std::size_t lf = FindByte(text, 0, '\n'); lf != npos; lf = FindByte(text, lf + 1, '\n')) {
    if (!StartsCharacterAfter(text, known, lf)) {
      known = lf + 1;  // the second byte of a character
      continue;
    }
    const bool crlf = lf > known && text[lf - 1] == '\r' && StartsCharacterAfter(text, known, lf - 1);
    const std::size_t unitStart = crlf ? lf - 1 : lf;
    if (runCount == 0 || unitStart != runEnd) {
      endRun();
      runStart = unitStart;
    }
    if (targetIndex == unitStart) targetInRun = runCount;
    ++runCount;
    runEnd = lf + 1;
    known = runEnd;
  }
  endRun();
  if (target == 0 && copied == 0) return std::nullopt;  // every run was a lone CR LF
  mapBefore(text.size());
  out.append(text, copied);
  if (target != 0) *tracked = mapped != 0 ? mapped : out.size() + 1;
  return out;
}

}  // namespace

std::string FoldLineEnds(std::string_view text, Pos* tracked) {
  std::optional<std::string> folded = FoldedLineEnds(text, tracked);
  if (folded) return std::move(*folded);
  // With the room a folded text gets: the texts of the next passes, a
  // little larger than this one, then fit where it is freed.
  std::string copy;
  copy.reserve(text.size() + text.size() / 32 + 2);
  copy.assign(text);
  return copy;
}

std::string FoldLineEndsTaking(std::string text) {
  std::optional<std::string> folded = FoldedLineEnds(text, nullptr);
  return folded ? std::move(*folded) : std::move(text);
}

namespace {

// The three spellings end in `jis"` and no two of them can end at the same
// quote, so each `jis"` is looked at once, with the spelling that ends there.
// Replacing ASCII by ASCII changes no character boundary, and a replacement
// ends in `S"`, which no spelling can take up again. Writes the result into
// `out` and returns true, or returns false when there is nothing to rewrite.
bool RewriteShiftJisLabelsInto(std::string_view text, std::string& out) {
  constexpr std::size_t npos = std::string_view::npos;
  constexpr std::string_view kEnding = "jis\"";
  static const PatternProbe ending(kEnding, /*anyCase=*/true);
  auto endsWith = [&](std::size_t end, std::string_view lowerSpelling) {
    if (end < lowerSpelling.size()) return false;
    const std::size_t start = end - lowerSpelling.size();
    for (std::size_t i = 0; i < lowerSpelling.size(); ++i)
      if (AsciiLower(text[start + i]) != lowerSpelling[i]) return false;
    return true;
  };
  std::size_t copied = 0, known = 0;
  for (std::size_t at = ending.Next(text, 0); at != npos; at = ending.Next(text, at + 1)) {
    const std::size_t end = at + kEnding.size();
    std::size_t length = 0;
    for (std::string_view spelling : kShiftJisRewrites) {
      if (endsWith(end, spelling)) {
        length = spelling.size();
        break;
      }
    }
    if (length == 0 || end - length < copied) continue;
    const std::size_t start = end - length;
    if (!StartsCharacterAfter(text, known, start)) continue;
    known = end;
    if (copied == 0) {
      out.clear();
      out.reserve(text.size() + 64);
    }
    out.append(text, copied, start - copied);
    out += kShiftJisCanonical;
    copied = end;
  }
  if (copied == 0) return false;
  out.append(text, copied);
  return true;
}

}  // namespace

std::string RewriteShiftJisLabels(std::string_view text) {
  std::string out;
  if (!RewriteShiftJisLabelsInto(text, out)) return std::string(text);
  return out;
}

std::optional<bool> AutomaticModeReadsShiftJis(std::string_view start) {
  const std::size_t end = FindLowerCaseBytes(start, kHeadAreaEnds[0]);
  if (end == std::string_view::npos) return std::nullopt;
  const std::string area = AsciiLowerBytes(start.substr(0, end));
  for (std::string_view label : kShiftJisLabels)
    if (area.find(label) != std::string::npos) return true;
  return false;
}

std::string ConvertShiftJisPage(std::string_view text) {
  // Most pages spell their label as it should be: nothing to copy then.
  std::string rewritten;
  return FoldLineEnds(RewriteShiftJisLabelsInto(text, rewritten) ? std::string_view(rewritten) : text);
}

std::string ConvertShiftJisPageTaking(std::string text) {
  std::string rewritten;
  return FoldLineEndsTaking(RewriteShiftJisLabelsInto(text, rewritten) ? std::move(rewritten) : std::move(text));
}

AutoConversion ConvertAutomatically(std::string_view text, Unmappable unmappable, LineEnds lineEnds) {
  AutoConversion out;
  if (text.empty()) return out;
  // The bytes are in an unknown encoding: search them byte by byte.
  const std::string area = LoweredHeadArea(text);
  auto has = [&](std::string_view label) { return area.find(label) != std::string_view::npos; };

  for (std::string_view label : kShiftJisLabels) {
    if (!has(label)) continue;
    out.label = label;
    out.readAs = kCharCodeShiftJis;
    out.result.text = lineEnds == LineEnds::Keep ? RewriteShiftJisLabels(text) : ConvertShiftJisPage(text);
    return out;
  }
  if (has(kEucJpLabel)) {
    out.label = kEucJpLabel;
    out.readAs = kCharCodeEucJp;
    out.result = Folded(EucToSjis(text), lineEnds);
  } else if (has(kUtf8Label)) {
    out.label = kUtf8Label;
    ReadAsUtf8OrKeep(text, out, unmappable, /*labelled=*/true, lineEnds);
  } else if (has(kIso2022JpLabel)) {
    out.label = kIso2022JpLabel;
    out.readAs = kCharCodeIso2022Jp;
    out.result = JisToSjis(text);  // its line ends stay as they are
  } else {
    ReadAsUtf8OrKeep(text, out, unmappable, /*labelled=*/false, lineEnds);
  }
  return out;
}

Converted AnyCodeToShiftJIS(std::string_view text, CharCodeIndex code, Unmappable unmappable, LineEnds lineEnds) {
  if (text.empty()) return {};
  switch (code) {
    case kCharCodeAuto:
      return ConvertAutomatically(text, unmappable, lineEnds).result;
    case kCharCodeEucJp:
      return Folded(EucToSjis(text), lineEnds);
    case kCharCodeUtf8: {
      // The lenient reader first; what it refuses goes to the strict one.
      // A byte-order mark stays as a leading "?".
      if (auto converted = LenientUtf8ToSjis(text, false, unmappable)) return Folded(std::move(*converted), lineEnds);
      return Folded(Utf8ToSjis(text, false, unmappable), lineEnds);
    }
    case kCharCodeIso2022Jp:
      return Folded(JisToSjis(text), lineEnds);
    case kCharCodeUtf8N:
      return Folded(Utf8ToSjis(text, true, unmappable), lineEnds);
    case kCharCodeShiftJis:
    default:
      return Converted{std::string(text), {}};
  }
}

}  // namespace zelm
