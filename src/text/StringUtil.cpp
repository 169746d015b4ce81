#include "text/StringUtil.h"

#include <algorithm>
#include <cstring>

namespace zelm {

namespace {

constexpr std::size_t npos = std::string_view::npos;
const std::string_view kFullWidthSpace = "\x81\x40";

// Compares sub with text at i, where i is a character boundary: single-byte
// letters without case, double-byte characters exactly.
bool MatchesNoCaseAt(std::string_view text, std::size_t i, std::string_view sub) {
  if (text.size() - i < sub.size()) return false;
  std::size_t j = 0;
  while (j < sub.size()) {
    const std::size_t len = SjisCharLength(text, i + j);
    if (len == 2) {
      if (text[i + j] != sub[j]) return false;
      if (j + 1 < sub.size() && text[i + j + 1] != sub[j + 1]) return false;
    } else if (AsciiUpper(text[i + j]) != AsciiUpper(sub[j])) {
      return false;
    }
    j += len;
  }
  return true;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Next byte-wise candidate for a case-insensitive match of a pattern whose
// first byte is `first`, at or after index `from`.
std::size_t NextCandidateNoCase(std::string_view text, char first, std::size_t from) {
  if (!IsAsciiLetter(first)) return FindByte(text, from, first);
  const char lower = AsciiLower(first);
  for (std::size_t i = from; i < text.size(); ++i)
    if (static_cast<char>(text[i] | 0x20) == lower) return i;  // only the two cases of a letter map to it
  return npos;
}

// Where a search resumes after a match that starts at the boundary `at`:
// the first boundary at or after its end. A match whose last byte is a lead
// byte ends inside a character, and the byte after it is no boundary.
std::size_t BoundaryAfterMatch(std::string_view text, std::size_t at, std::size_t length) {
  std::size_t next = at;
  while (next < at + length) next += SjisCharLength(text, next);
  return next;
}

}  // namespace

std::string SjisLowerCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = SjisCharLength(out, i);
    if (len == 1) out[i] = AsciiLower(out[i]);
    i += len;
  }
  return out;
}

std::string SjisUpperCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    const std::size_t len = SjisCharLength(out, i);
    if (len == 1) out[i] = AsciiUpper(out[i]);
    i += len;
  }
  return out;
}

// Finds byte-wise candidates with the library search and keeps the first one
// that starts a character. `known` is a character boundary at or before the
// candidate; only the run of lead-byte values right before the candidate
// decides, and known only moves forward, so the whole search is linear and a
// text without double-byte characters is never walked.
std::size_t FindAtBoundary(std::string_view text, std::string_view sub, std::size_t from) {
  if (sub.empty() || from >= text.size()) return npos;
  std::size_t known = from;
  for (std::size_t candidate = FindBytes(text, sub, from); candidate != npos;
       candidate = FindBytes(text, sub, candidate + 1)) {
    if (StartsCharacterAfter(text, known, candidate)) return candidate;
    known = candidate + 1;  // the candidate is a second byte, so a character starts after it
  }
  return npos;
}

std::size_t FindNoCaseAtBoundary(std::string_view text, std::string_view sub, std::size_t from) {
  if (sub.empty() || from >= text.size()) return npos;
  std::size_t known = from;
  for (std::size_t candidate = NextCandidateNoCase(text, sub[0], from); candidate != npos;
       candidate = NextCandidateNoCase(text, sub[0], candidate + 1)) {
    if (!StartsCharacterAfter(text, known, candidate)) {
      known = candidate + 1;
      continue;
    }
    known = candidate;
    if (MatchesNoCaseAt(text, candidate, sub)) return candidate;
  }
  return npos;
}

Pos SjisPos(std::string_view sub, std::string_view text) {
  const std::size_t i = FindAtBoundary(text, sub, 0);
  return i == npos ? 0 : i + 1;
}

Pos SjisPosFrom(std::string_view sub, std::string_view text, Pos offset) {
  if (offset == 0) return SjisPos(sub, text);
  if (sub.empty() || offset >= text.size()) return 0;
  // The first boundary after the consumed byte `offset` (1-based), found by
  // walking from the start of the text.
  std::size_t walk = 0;
  while (walk < offset) walk += SjisCharLength(text, walk);
  const std::size_t i = FindAtBoundary(text, sub, walk);
  return i == npos ? 0 : i + 1;
}

Pos PosFromIndex(std::string_view sub, std::string_view text, Pos start) {
  if (sub.empty()) return 0;
  if (start <= 1) return SjisPos(sub, text);
  if (start > text.size()) return 0;
  const std::size_t i = text.find(sub, start - 1);
  return i == npos ? 0 : i + 1;
}

Pos PosNoCase(std::string_view sub, std::string_view text) {
  if (sub.empty() || sub.size() > text.size()) return 0;
  for (std::size_t i = NextCandidateNoCase(text, sub[0], 0); i != npos;
       i = NextCandidateNoCase(text, sub[0], i + 1)) {
    if (text.size() - i < sub.size()) return 0;
    std::size_t j = 1;
    while (j < sub.size() && AsciiUpper(text[i + j]) == AsciiUpper(sub[j])) ++j;
    if (j == sub.size()) return i + 1;
  }
  return 0;
}

int CountSubStr(std::string_view text, std::string_view sub) {
  if (sub.empty()) return 0;
  int count = 0;
  for (std::size_t i = FindAtBoundary(text, sub, 0); i != npos;
       i = FindAtBoundary(text, sub, BoundaryAfterMatch(text, i, sub.size()))) {
    ++count;
  }
  return count;
}

std::string ReplaceAllText(std::string_view text, std::string_view old, std::string_view replacement) {
  if (old.empty()) return std::string(text);
  std::string out;
  std::size_t copied = 0;
  for (std::size_t i = FindNoCaseAtBoundary(text, old, 0); i != npos;
       i = FindNoCaseAtBoundary(text, old, BoundaryAfterMatch(text, i, old.size()))) {
    if (out.empty()) out.reserve(text.size() + text.size() / 8);
    out.append(text, copied, i - copied);
    out += replacement;
    copied = i + old.size();
  }
  if (copied == 0) return std::string(text);
  out.append(text, copied);
  return out;
}

std::string ReplaceAllExact(std::string_view text, std::string_view old, std::string_view replacement) {
  if (old.empty()) return std::string(text);
  std::string out;
  std::size_t copied = 0;
  for (std::size_t i = FindAtBoundary(text, old, 0); i != npos;
       i = FindAtBoundary(text, old, BoundaryAfterMatch(text, i, old.size()))) {
    out.append(text, copied, i - copied);
    out += replacement;
    copied = i + old.size();
  }
  out.append(text, copied);
  return out;
}

std::string ReplaceFirstExact(std::string_view text, std::string_view old, std::string_view replacement) {
  const std::size_t i = FindAtBoundary(text, old, 0);
  if (i == npos) return std::string(text);
  std::string out;
  out.reserve(text.size() - old.size() + replacement.size());
  out.append(text, 0, i);
  out += replacement;
  out.append(text, i + old.size());
  return out;
}

// --- Blocks between markers -----------------------------------------------

std::string ExtractFirstBetween(std::string_view text, std::string_view start, std::string_view end) {
  const Pos p = SjisPos(start, text);
  if (p == 0) return {};
  const Pos e = SjisPosFrom(end, text, p + start.size() - 1);
  if (e == 0) return {};
  const std::size_t from = p - 1 + start.size();
  return std::string(text.substr(from, e - 1 - from));
}

std::string DeleteFirstBlock(std::string_view text, std::string_view start, std::string_view end) {
  const Pos p = SjisPos(start, text);
  if (p == 0) return std::string(text);
  const Pos e = PosFromIndex(end, text, p + start.size());
  if (e == 0) return std::string(text);
  std::string out(text.substr(0, p - 1));
  out.append(text, e - 1 + end.size());
  return out;
}

namespace {

// How the end marker of a block is searched once its start marker is known.
enum class EndSearch {
  ByteWiseFromLastStartByte,  // DeleteBlocks: PosFromIndex from the start marker's last byte
  ByteWiseAfterStart,         // DeleteFirstBlock: PosFromIndex from the byte after it
  BoundaryAfterStart,         // DeleteBlocksMB: SjisPosFrom from the byte after it
};

// Deletes blocks from the left the way the repeated "search again from the
// start of the shortened text" loops do, in one pass.
//
// The working text is `kept_` (bytes before the last deletion, final unless
// a later block starts in them) followed by text[tail_..]. `kept_` holds no
// start marker at a boundary (else it would have been found first), and its
// end is a character boundary, so a new start marker either lies wholly in
// the tail or straddles the junction by fewer than length(start) bytes.
class BlockDeleter {
 public:
  BlockDeleter(std::string_view text, std::string_view start, std::string_view end, EndSearch mode)
      : text_(text), start_(start), end_(end), mode_(mode) {}

  // Deletes until a start marker has no end marker; returns the working
  // text. With `entries`, collects what ExtractFirstBetween would give for
  // each deleted block.
  std::string Run(std::vector<std::string>* entries) {
    if (start_.empty() || end_.empty()) return std::string(text_);
    kept_.reserve(text_.size());
    std::size_t startAt;  // the marker's first byte, in working-text coordinates
    while (FindNextStart(startAt)) {
      const std::size_t keptSize = kept_.size();
      // The marker always ends in the tail; this is the index after it.
      const std::size_t afterMarker = tail_ + (startAt + start_.size() - keptSize);
      std::size_t endAt = npos;  // index into text_ of the end marker
      if (!FindEnd(startAt, afterMarker, endAt)) break;
      if (entries) entries->push_back(EntryFor(startAt, afterMarker));
      if (startAt < keptSize) Truncate(startAt);
      else Keep(tail_, startAt - keptSize);
      tail_ = endAt + end_.size();
    }
    kept_.append(text_, tail_);
    return std::move(kept_);
  }

 private:
  // Appends text_[from, from+count) to kept_, recording its boundaries.
  void Keep(std::size_t from, std::size_t count) {
    const std::size_t base = kept_.size();
    kept_.append(text_, from, count);
    isBoundary_.resize(kept_.size(), false);
    for (std::size_t i = base; i < kept_.size(); i += SjisCharLength(kept_, i)) isBoundary_[i] = true;
  }

  void Truncate(std::size_t size) {
    kept_.resize(size);
    isBoundary_.resize(size);
  }

  bool FindNextStart(std::size_t& startAt) const {
    const std::size_t keptSize = kept_.size();
    const std::size_t lookBack = std::min(keptSize, start_.size() - 1);
    for (std::size_t at = keptSize - lookBack; at < keptSize; ++at) {
      if (isBoundary_[at] && StraddleMatches(at)) {
        startAt = at;
        return true;
      }
    }
    const std::size_t i = FindAtBoundary(text_, start_, tail_);
    if (i == npos) return false;
    startAt = keptSize + (i - tail_);
    return true;
  }

  bool StraddleMatches(std::size_t at) const {
    const std::size_t inKept = kept_.size() - at;
    const std::size_t inTail = start_.size() - inKept;
    if (text_.size() - tail_ < inTail) return false;
    return std::string_view(kept_).substr(at) == start_.substr(0, inKept) &&
           text_.substr(tail_, inTail) == start_.substr(inKept);
  }

  bool FindEnd(std::size_t startAt, std::size_t afterMarker, std::size_t& endAt) const {
    switch (mode_) {
      case EndSearch::ByteWiseFromLastStartByte:
        // PosFromIndex from the marker's last byte; a one-byte marker at
        // position 1 makes that index 1, which searches at boundaries.
        if (startAt == 0 && start_.size() == 1) endAt = FindAtBoundary(text_, end_, tail_);
        else endAt = text_.find(end_, afterMarker - 1);
        break;
      case EndSearch::ByteWiseAfterStart:
        endAt = text_.find(end_, afterMarker);
        break;
      case EndSearch::BoundaryAfterStart:
        endAt = FindAtBoundary(text_, end_, FirstBoundaryAfter(startAt, afterMarker));
        break;
    }
    return endAt != npos;
  }

  // The first character boundary at or after the end of the start marker.
  std::size_t FirstBoundaryAfter(std::size_t startAt, std::size_t afterMarker) const {
    std::size_t walk = startAt;
    while (walk < kept_.size()) walk += SjisCharLength(kept_, walk);
    std::size_t inTail = tail_ + (walk - kept_.size());
    while (inTail < afterMarker) inTail += SjisCharLength(text_, inTail);
    return inTail;
  }

  // What ExtractFirstBetween finds for the block: the end marker searched at
  // boundaries after the start marker.
  std::string EntryFor(std::size_t startAt, std::size_t afterMarker) const {
    const std::size_t from = FirstBoundaryAfter(startAt, afterMarker);
    const std::size_t e = FindAtBoundary(text_, end_, from);
    if (e == npos) return {};
    return std::string(text_.substr(afterMarker, e - afterMarker));
  }

  std::string_view text_, start_, end_;
  EndSearch mode_;
  std::string kept_;
  std::vector<bool> isBoundary_;  // per byte of kept_: does a character start there
  std::size_t tail_ = 0;
};

}  // namespace

std::string DeleteBlocks(std::string_view text, std::string_view start, std::string_view end) {
  return BlockDeleter(text, start, end, EndSearch::ByteWiseFromLastStartByte).Run(nullptr);
}

std::string DeleteBlocksMB(std::string_view text, std::string_view start, std::string_view end) {
  return BlockDeleter(text, start, end, EndSearch::BoundaryAfterStart).Run(nullptr);
}

int ListBetween(std::string_view text, std::string_view start, std::string_view end,
                std::vector<std::string>& list) {
  list.clear();
  BlockDeleter(text, start, end, EndSearch::ByteWiseAfterStart).Run(&list);
  return static_cast<int>(list.size());
}

// --- Trimming and whitespace ----------------------------------------------

std::string CompressSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\t') c = ' ';
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

std::string TrimLeftZSP(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') ++i;
    else if (text.substr(i, 2) == kFullWidthSpace) i += 2;
    else break;
  }
  return std::string(text.substr(i));
}

// Removes trailing half-width spaces and trailing full-width spaces that are
// whole characters: "＝" (0x81 0x81) followed by "@" ends in the bytes
// 0x81 0x40 but holds no full-width space.
std::string TrimRightZSP(std::string_view text) {
  std::vector<std::size_t> starts;  // character starts, for the backward walk
  starts.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); i += SjisCharLength(text, i)) starts.push_back(i);
  std::size_t end = text.size();
  while (!starts.empty()) {
    const std::size_t last = starts.back();
    const std::string_view ch = text.substr(last, end - last);
    if (ch != " " && ch != kFullWidthSpace) break;
    end = last;
    starts.pop_back();
  }
  return std::string(text.substr(0, end));
}

std::string TrimZSP(std::string_view text) { return TrimRightZSP(TrimLeftZSP(text)); }

namespace {

// Every line without the blanks `blankAt` finds at its start (it returns
// their length, 0 when none stands there); line ends stay as they are.
template <typename BlankAt>
std::string RemoveLeadingBlanks(std::string_view text, BlankAt blankAt) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    for (std::size_t blank = blankAt(i); blank != 0; blank = blankAt(i)) i += blank;
    std::size_t next = NextLineBreak(text, i);
    if (next < text.size()) next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    out.append(text.substr(i, next - i));
    i = next;
  }
  return out;
}

}  // namespace

std::string RemoveLeadingHalfWidthBlanks(std::string_view text) {
  return RemoveLeadingBlanks(text, [&](std::size_t i) -> std::size_t {
    return (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ? 1 : 0;
  });
}

std::string RemoveLeadingFullWidthSpaces(std::string_view text) {
  return RemoveLeadingBlanks(text, [&](std::size_t i) -> std::size_t {
    return text.substr(i, 2) == kFullWidthSpace ? 2 : 0;
  });
}

std::string TrimWideZSP(std::string_view text) {
  const std::string_view trimmed = PlainTrimView(text);
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < trimmed.size(); i += SjisCharLength(trimmed, i)) starts.push_back(i);
  auto isSpace = [&](std::size_t k) {
    const std::size_t b = starts[k];
    const std::size_t e = k + 1 < starts.size() ? starts[k + 1] : trimmed.size();
    const std::string_view ch = trimmed.substr(b, e - b);
    return ch == " " || ch == kFullWidthSpace;
  };
  std::size_t first = 0, last = starts.size();
  while (first < last && isSpace(first)) ++first;
  while (last > first && isSpace(last - 1)) --last;
  if (first == last) return {};
  const std::size_t b = starts[first];
  const std::size_t e = last < starts.size() ? starts[last] : trimmed.size();
  return std::string(trimmed.substr(b, e - b));
}

namespace {
std::string WithoutTabs(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\t') out += c;
  return out;
}
}  // namespace

std::string TrimEachLine(std::string_view text) {
  if (text.empty()) return {};
  const std::string noTabs = WithoutTabs(text);
  std::vector<std::string_view> lines = SplitLines(noTabs);
  for (auto& line : lines) line = PlainTrimView(line);
  return JoinLines(lines);
}

std::string TrimEachLineZSP(std::string_view text) {
  if (text.empty()) return {};
  const std::string noTabs = WithoutTabs(text);
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(noTabs)) lines.push_back(TrimZSP(line));
  return JoinLines(lines);
}

std::size_t NextLineBreakToCheck(std::string_view text, std::size_t from) {
  const std::size_t n = text.size();
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  auto toCheck = [&](std::size_t p) {
    if (data[p] == '\r') return p + 1 >= n || data[p + 1] != '\n';
    if (data[p] != '\n') return false;
    return p == 0 || data[p - 1] != '\r' || (p + 1 < n && data[p + 1] <= 0x20);
  };
  std::size_t i = from;
  if (i == 0 && n > 0) {
    if (toCheck(0)) return 0;
    i = 1;
  }
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), blank = _mm_set1_epi8(0x20);
  for (; i + 17 <= n; i += 16) {
    auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)); };
    const __m128i here = load(i), before = load(i - 1), after = load(i + 1);
    const __m128i isCr = _mm_cmpeq_epi8(here, cr), isLf = _mm_cmpeq_epi8(here, lf);
    const __m128i loneCr = _mm_andnot_si128(_mm_cmpeq_epi8(after, lf), isCr);
    const __m128i loneLf = _mm_andnot_si128(_mm_cmpeq_epi8(before, cr), isLf);
    const __m128i afterLow = _mm_cmpeq_epi8(_mm_min_epu8(after, blank), after);  // after <= 0x20
    const __m128i check = _mm_or_si128(_mm_or_si128(loneCr, loneLf), _mm_and_si128(isLf, afterLow));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(check));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  for (; i < n; ++i)
    if (toCheck(i)) return i;
  return std::string_view::npos;
}

// Kept lines are copied in stretches: only a dropped line or a line end
// other than CR LF interrupts a stretch.
std::string DropBlankLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t copied = 0;  // text before this is in out, or dropped
  ForEachLineToFix(
      text,
      [&](std::size_t begin, std::size_t next) {
        out.append(text, copied, begin - copied);
        copied = next;
      },
      [&](std::size_t end, std::size_t next) {
        out.append(text, copied, end - copied);
        out += "\r\n";
        copied = next;  // past the lone CR or LF, if any
      });
  out.append(text, copied, text.size() - copied);
  return out;
}

std::string RemoveBlankLines(std::string_view text) {
  std::string out = DropBlankLines(text);
  for (std::size_t tab = FindByte(out, 0, '\t'); tab != std::string::npos; tab = FindByte(out, tab + 1, '\t'))
    out[tab] = ' ';
  return out;
}

// --- Numbers --------------------------------------------------------------

std::string ZeroPadInt(long long number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string SpacePadInt(long long number, int width) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), ' ');
  return digits;
}

std::int32_t HexToInt(std::string_view text) {
  std::uint32_t value = 0;  // unsigned, so the wrap-around is defined
  for (char c : text) {
    c = AsciiUpper(c);
    value *= 16;
    if (c >= '0' && c <= '9') value += static_cast<std::uint32_t>(c - '0');
    else if (c >= 'A' && c <= 'F') value += static_cast<std::uint32_t>(c - 'A' + 10);
    else value = 0;
  }
  return static_cast<std::int32_t>(value);
}

// --- Line model -----------------------------------------------------------

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  LineReader reader(text);
  for (std::string_view line; reader.Next(line);) lines.push_back(line);
  return lines;
}

// Only line ends other than CR LF are rewritten; the bytes between them are
// copied in stretches.
std::string NormalizeLineEnds(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 32);
  const std::size_t n = bytes.size();
  std::size_t copied = 0;
  for (std::size_t i = NextLineBreak(bytes, 0); i < n; i = NextLineBreak(bytes, i)) {
    if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
      i += 2;  // already as it should be
      continue;
    }
    out.append(bytes, copied, i - copied);
    out += "\r\n";
    // CR CR is one line end as well.
    i += (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\r') ? 2 : 1;
    copied = i;
  }
  out.append(bytes, copied, n - copied);
  return out;
}

}  // namespace zelm
