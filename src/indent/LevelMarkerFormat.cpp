#include "indent/LevelMarkerFormat.h"

#include <algorithm>
#include <charconv>

namespace zelm::marker {
namespace {

constexpr std::size_t kLineNumberColumns = 4;
constexpr std::size_t kLevelColumns = 3;
constexpr std::size_t kAbbreviationField = 2;  // abbreviation or filler, before "[" or " ["
constexpr std::string_view kLevelMarkerStart = "<!-- ( ";
constexpr std::string_view kLevelMarkerEnd = "]%-->";
constexpr std::string_view kCodePrefixTail = " )             %-->";

void AppendRightAligned(std::string& out, long long number, std::size_t columns) {
  char digits[24];
  const auto result = std::to_chars(std::begin(digits), std::end(digits), number);
  const std::size_t length = static_cast<std::size_t>(result.ptr - digits);
  if (length < columns) out.append(columns - length, ' ');
  out.append(digits, length);
}

// Reads a non-negative number written right-aligned in at least `columns`
// columns, as AppendRightAligned writes it, starting at `at`. Returns the
// index after it, or npos.
std::size_t ReadRightAligned(std::string_view line, std::size_t at, std::size_t columns) {
  std::size_t i = at;
  while (i < line.size() && line[i] == ' ') ++i;
  const std::size_t spaces = i - at;
  const std::size_t firstDigit = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  const std::size_t digits = i - firstDigit;
  if (digits == 0) return std::string_view::npos;
  if (digits > 1 && line[firstDigit] == '0') return std::string_view::npos;
  if (spaces != (digits < columns ? columns - digits : 0)) return std::string_view::npos;
  return i;
}

bool HasAt(std::string_view line, std::size_t at, std::string_view part) {
  return at <= line.size() && line.substr(at).starts_with(part);
}

// The part of a level marker after the line number's " ) ": symbols, "%",
// abbreviation, separator, level and "]%-->". Returns the marker's end or 0.
std::size_t LevelMarkerTailEnd(std::string_view line, std::size_t at) {
  const bool knownSymbols = std::any_of(kLevelMarkerSymbols.begin(), kLevelMarkerSymbols.end(),
                                        [&](std::string_view symbols) { return HasAt(line, at, symbols); });
  if (!knownSymbols) return 0;
  at += 4;
  if (!HasAt(line, at, "%")) return 0;
  ++at;
  for (std::size_t abbreviation = 0; abbreviation <= kAbbreviationField; ++abbreviation) {
    for (std::string_view separator : {std::string_view("["), std::string_view(" [")}) {
      const std::size_t levelAt = at + abbreviation + separator.size();
      if (!HasAt(line, at + abbreviation, separator)) continue;
      const std::size_t levelEnd = ReadRightAligned(line, levelAt, kLevelColumns);
      if (levelEnd != std::string_view::npos && HasAt(line, levelEnd, kLevelMarkerEnd))
        return levelEnd + kLevelMarkerEnd.size();
    }
  }
  return 0;
}

}  // namespace

void AppendLevelMarker(std::string& out, std::size_t lineNumber, std::string_view symbols,
                       std::string_view abbreviation, int level) {
  abbreviation = abbreviation.substr(0, kAbbreviationField);
  out += kLevelMarkerStart;
  AppendRightAligned(out, static_cast<long long>(lineNumber), kLineNumberColumns);
  out += " ) ";
  out += symbols;
  out += '%';
  out += abbreviation;
  out.append(kAbbreviationField - abbreviation.size(), ' ');
  out += '[';
  AppendRightAligned(out, level, kLevelColumns);
  out += kLevelMarkerEnd;
}

void AppendCodePrefix(std::string& out, std::size_t lineNumber) {
  out += kLevelMarkerStart;
  AppendRightAligned(out, static_cast<long long>(lineNumber), kLineNumberColumns);
  out += kCodePrefixTail;
}

std::size_t MarkerLengthAt(std::string_view line) {
  for (std::string_view prefix : kCommentPrefixes)
    if (line.starts_with(prefix)) return prefix.size();
  if (line.starts_with(kBetweenSectionsPrefix)) return kBetweenSectionsPrefix.size();
  if (!line.starts_with(kLevelMarkerStart)) return 0;
  const std::size_t numberEnd = ReadRightAligned(line, kLevelMarkerStart.size(), kLineNumberColumns);
  if (numberEnd == std::string_view::npos) return 0;
  if (HasAt(line, numberEnd, kCodePrefixTail)) return numberEnd + kCodePrefixTail.size();
  if (!HasAt(line, numberEnd, " ) ")) return 0;
  return LevelMarkerTailEnd(line, numberEnd + 3);
}

}  // namespace zelm::marker
