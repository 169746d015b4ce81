// String operations over Shift_JIS byte strings that every other unit uses.
//
// A text is a byte string in Shift_JIS (code page 932). Bytes 0x81-0x9F and
// 0xE0-0xFC start a double-byte character; which bytes do is decided by
// walking the text from its first byte, so the second byte of a character is
// never a lead byte. Positions are 1-based byte positions; 0 means "not
// found". Every function is pure: it takes its texts by view and returns a
// new value.
//
// Unlike texts in a C string, a NUL byte here is an ordinary byte: nothing is
// cut at it, so no byte of a user's file can silently disappear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/ByteScan.h"

namespace zelm {

using Pos = std::size_t;  // 1-based byte position, 0 = not found

// --- Characters -----------------------------------------------------------

inline bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at 0-based index i: 2 for a
// lead byte with a byte after it, else 1.
inline std::size_t SjisCharLength(std::string_view text, std::size_t i) {
  return (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// Does a character start at the 0-based index p (p < size), given that one
// starts at `known` (known <= p)? A byte outside the lead-byte ranges always
// ends a character, so only the run of lead-byte values right before p
// matters: they pair up from the start of the run, and p starts a character
// exactly when the run has an even length. The run is not followed back past
// `known`, so a search that moves `known` forward stays linear.
inline bool StartsCharacterAfter(std::string_view text, std::size_t known, std::size_t p) {
  std::size_t q = p;
  while (q > known && IsSjisLeadByte(static_cast<unsigned char>(text[q - 1]))) --q;
  return (p - q) % 2 == 0;
}

inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Does `text` equal `lower` (written in lower case) with ASCII letters
// compared without case?
inline bool EqualsLowerNoCase(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t k = 0; k < text.size(); ++k)
    if (AsciiLower(text[k]) != lower[k]) return false;
  return true;
}

// Lower-cases the single-byte ASCII letters only; the second bytes of
// double-byte characters keep their value.
std::string SjisLowerCase(std::string_view text);
std::string SjisUpperCase(std::string_view text);

// --- Search ---------------------------------------------------------------

// First exact occurrence of sub that starts at a character boundary.
Pos SjisPos(std::string_view sub, std::string_view text);
// First occurrence at a character boundary after the byte `offset`
// (the last byte already consumed); offset 0 is SjisPos.
Pos SjisPosFrom(std::string_view sub, std::string_view text, Pos offset);
// First byte-wise occurrence at or after `start`, ignoring character
// boundaries; a start of 1 or less is SjisPos.
Pos PosFromIndex(std::string_view sub, std::string_view text, Pos start);
// First byte-wise occurrence with ASCII letters compared without case.
Pos PosNoCase(std::string_view sub, std::string_view text);
// First occurrence at a character boundary with ASCII letters compared
// without case, starting the walk at the 0-based boundary index `from`.
// Returns a 0-based index or npos.
std::size_t FindNoCaseAtBoundary(std::string_view text, std::string_view sub, std::size_t from = 0);
// Exact variant of the above.
std::size_t FindAtBoundary(std::string_view text, std::string_view sub, std::size_t from = 0);

// "Contains" in the sense every pass uses: an occurrence at a boundary.
inline bool SjisContains(std::string_view text, std::string_view sub) {
  return SjisPos(sub, text) != 0;
}

// Number of non-overlapping boundary occurrences of sub.
int CountSubStr(std::string_view text, std::string_view sub);

// --- Replace --------------------------------------------------------------

// Replaces every occurrence of `old` from left to right, letters compared
// without case, occurrences found at character boundaries; replaced text is
// never rescanned and the text between occurrences keeps its case.
std::string ReplaceAllText(std::string_view text, std::string_view old, std::string_view replacement);
// Replaces only the first occurrence, compared exactly (case-sensitive).
std::string ReplaceFirstExact(std::string_view text, std::string_view old, std::string_view replacement);
// Replaces every exact occurrence (case-sensitive), at boundaries.
std::string ReplaceAllExact(std::string_view text, std::string_view old, std::string_view replacement);

// --- Blocks between markers -----------------------------------------------

std::string ExtractFirstBetween(std::string_view text, std::string_view start, std::string_view end);
// Fills `list` with the text of every block and returns how many. A final
// start marker without an end marker adds no entry.
int ListBetween(std::string_view text, std::string_view start, std::string_view end,
                std::vector<std::string>& list);
std::string DeleteFirstBlock(std::string_view text, std::string_view start, std::string_view end);
// Deletes every block; the end marker is searched byte-wise from the last
// byte of the start marker, so "/*/" is a whole block for "/*" and "*/".
std::string DeleteBlocks(std::string_view text, std::string_view start, std::string_view end);
// As DeleteBlocks, with the end marker searched at character boundaries
// from the byte after the start marker.
std::string DeleteBlocksMB(std::string_view text, std::string_view start, std::string_view end);

// --- Trimming and whitespace ----------------------------------------------

inline std::string_view PlainTrimView(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 0x20) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20) --e;
  return text.substr(b, e - b);
}
inline std::string PlainTrim(std::string_view text) { return std::string(PlainTrimView(text)); }
std::string CompressSpaces(std::string_view text);
std::string TrimLeftZSP(std::string_view text);
std::string TrimRightZSP(std::string_view text);
std::string TrimZSP(std::string_view text);
// Every line without the half-width blanks (spaces and tabs) at its start;
// line ends and the rest of each line stay as they are.
std::string RemoveLeadingHalfWidthBlanks(std::string_view text);
// Every line without the full-width spaces at its start.
std::string RemoveLeadingFullWidthSpaces(std::string_view text);
std::string TrimWideZSP(std::string_view text);
std::string TrimEachLine(std::string_view text);
std::string TrimEachLineZSP(std::string_view text);
// Drops the lines that are blank after trimming and ends every other line,
// the last one included, with CR LF; the bytes of the kept lines stay.
std::string DropBlankLines(std::string_view text);
// DropBlankLines with every tab written as a space.
std::string RemoveBlankLines(std::string_view text);

// Index of the first line break at or after `from` (a line start whose line
// is not blank) that DropBlankLines would look at: a lone CR or LF, or a
// line feed after which a line starts with a byte up to 0x20 (a line that may
// be blank). npos when there is none. 16 bytes at a time.
std::size_t NextLineBreakToCheck(std::string_view text, std::size_t from);

// --- Numbers --------------------------------------------------------------

std::string ZeroPadInt(long long number, int width);
std::string SpacePadInt(long long number, int width);
std::int32_t HexToInt(std::string_view text);

// --- Line model -----------------------------------------------------------

// Cuts at CR LF, lone CR and lone LF. A break at the very end makes no empty
// last line; an empty text has no lines. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// Index of the first CR or LF at or after `from`, or the text's size.
inline std::size_t NextLineBreak(std::string_view text, std::size_t from) {
  const std::size_t at = FindAnyOf<2>(text, from, {'\r', '\n'});
  return at == std::string_view::npos ? text.size() : at;
}

// The lines DropBlankLines changes, from left to right: onBlank(begin, next)
// for a line that is blank after trimming (it goes with its line end; the
// next line starts at `next`), onOddEnd(end, next) for a kept line that ends
// otherwise than with CR LF (at a lone CR or LF, or at the end of the text).
// Every other line is kept as it is, and most are passed over in blocks.
template <typename OnBlank, typename OnOddEnd>
void ForEachLineToFix(std::string_view text, OnBlank onBlank, OnOddEnd onOddEnd) {
  const std::size_t n = text.size();
  auto endLength = [&](std::size_t end) -> std::size_t {
    if (end >= n) return 0;
    return (text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ? 2 : 1;
  };
  std::size_t start = 0;  // a line starts here
  while (start < n) {
    if (static_cast<unsigned char>(text[start]) <= 0x20) {  // may be blank
      const std::size_t end = NextLineBreak(text, start);
      const std::size_t next = end + endLength(end);
      if (PlainTrimView(text.substr(start, end - start)).empty()) {
        onBlank(start, next);
        start = next;
        continue;
      }
      if (next - end != 2) {
        onOddEnd(end, next);
        start = next;
        continue;
      }
    }
    // The line at `start` is kept; so is every line up to the next break
    // to look at.
    const std::size_t at = NextLineBreakToCheck(text, start);
    if (at == std::string_view::npos) {
      // The last line is kept: it needs a line end when it has none.
      const char last = text[n - 1];
      if (last != '\n' && last != '\r') onOddEnd(n, n);
      return;
    }
    if (text[at] == '\r' || at == 0 || text[at - 1] != '\r') {  // a lone CR or LF ends a kept line
      onOddEnd(at, at + 1);
      start = at + 1;
    } else {
      start = at + 1;  // after a CR LF, a line that may be blank
    }
  }
}

// The lines of SplitLines one at a time, without building the list.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line, or false at the end of the text.
  bool Next(std::string_view& line) {
    if (at_ >= text_.size()) return false;
    const std::size_t end = LineEnd();
    line = text_.substr(at_, end - at_);
    at_ = end;
    if (at_ < text_.size()) {  // past the line end: CR LF, or a lone CR or LF
      const bool crLf = text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n';
      at_ += crLf ? 2 : 1;
    }
    end_ = std::string_view::npos;
    return true;
  }

  // The line Next would give, without moving on; empty at the end.
  std::string_view Peek() {
    if (at_ >= text_.size()) return {};
    return text_.substr(at_, LineEnd() - at_);
  }

 private:
  std::size_t LineEnd() {
    if (end_ == std::string_view::npos) end_ = NextLineBreak(text_, at_);
    return end_;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t end_ = std::string_view::npos;  // where the line at at_ ends, once found
};

// Every line followed by CR LF, the last one included.
template <typename Lines>
std::string JoinLines(const Lines& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += std::string_view(line).size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& line : lines) {
    out += std::string_view(line);
    out += "\r\n";
  }
  return out;
}

// Line-end normalisation of loaded files, byte by byte: CR CR, CR LF and lone
// CR each become one line end, and every line end is written as CR LF.
std::string NormalizeLineEnds(std::string_view bytes);

}  // namespace zelm
