// The one-pass search, replace and marker-block functions of the string
// utilities against plain loops that search again from the start after every
// step: the results must be identical.
//
// Input: one option byte (marker lengths, or a pair of typical markers),
// the start marker, the end marker, then the text.
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "FuzzSupport.h"
#include "text/StringUtil.h"

namespace zelm::fuzz {
namespace {

// Texts longer than this are checked for crashes and size only: the
// references are quadratic.
constexpr std::size_t kReferenceLimit = 4096;

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypicalMarkers{{
    {"<!--", "-->"},
    {"/*", "*/"},
    {"<thead", ">"},
    {"<iframe", "</iframe>"},
    {"<script", ">"},
    {"\x81\x9d", "\x81\x9c"},  // full-width symbols
    {"\x83", "A"},             // a lone lead byte and a possible second byte
    {"a", "a"},
}};

std::string ReferenceDeleteBlocks(std::string text, std::string_view start, std::string_view end, bool mb) {
  if (start.empty() || end.empty()) return text;
  Pos p = NaiveSjisPos(start, text);
  while (p > 0) {
    const Pos e = mb ? NaiveSjisPosFrom(end, text, p + start.size() - 1)
                     : NaivePosFromIndex(end, text, p + start.size() - 1);
    if (e == 0) break;
    text.erase(p - 1, e + end.size() - p);
    p = NaiveSjisPos(start, text);
  }
  return text;
}

std::string ReferenceExtractFirstBetween(std::string_view text, std::string_view start, std::string_view end) {
  const Pos p = NaiveSjisPos(start, text);
  if (p == 0) return {};
  const Pos e = NaiveSjisPosFrom(end, text, p + start.size() - 1);
  if (e == 0) return {};
  return std::string(text.substr(p - 1 + start.size(), e - p - start.size()));
}

std::string ReferenceDeleteFirstBlock(std::string_view text, std::string_view start, std::string_view end) {
  const Pos p = NaiveSjisPos(start, text);
  if (p == 0) return std::string(text);
  const Pos e = NaivePosFromIndex(end, text, p + start.size());
  if (e == 0) return std::string(text);
  std::string out(text);
  out.erase(p - 1, e + end.size() - p);
  return out;
}

// Entries of complete blocks only: the loop stops where deleting a block
// would not shorten the text.
std::vector<std::string> ReferenceListBetween(std::string text, std::string_view start, std::string_view end) {
  std::vector<std::string> list;
  if (start.empty() || end.empty()) return list;
  while (NaiveSjisPos(start, text) > 0) {
    std::string shorter = ReferenceDeleteFirstBlock(text, start, end);
    if (shorter.size() == text.size()) break;
    list.push_back(ReferenceExtractFirstBetween(text, start, end));
    text = std::move(shorter);
  }
  return list;
}

// Left to right over the boundaries of upper-cased copies, never rescanning
// a replacement.
std::string ReferenceReplaceAll(std::string_view text, std::string_view old, std::string_view replacement,
                                bool ignoreCase) {
  if (old.empty()) return std::string(text);
  const std::string upperText = ignoreCase ? SjisUpperCase(text) : std::string(text);
  const std::string upperOld = ignoreCase ? SjisUpperCase(old) : std::string(old);
  std::string out;
  std::size_t copied = 0;
  for (Pos p = NaivePosFromIndex0(upperOld, upperText, 0); p != 0;
       p = NaivePosFromIndex0(upperOld, upperText, p - 1 + old.size())) {
    out.append(text, copied, p - 1 - copied);
    out += replacement;
    copied = p - 1 + old.size();
  }
  out.append(text, copied);
  return out;
}

int ReferenceCount(std::string_view text, std::string_view sub) {
  if (sub.empty()) return 0;
  int count = 0;
  for (Pos p = NaiveSjisPos(sub, text); p != 0; p = NaiveSjisPosFrom(sub, text, p + sub.size() - 1)) ++count;
  return count;
}

Pos ReferencePosNoCase(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  std::string a(text), b(sub);
  for (char& c : a) c = AsciiUpper(c);
  for (char& c : b) c = AsciiUpper(c);
  const std::size_t at = a.find(b);
  return at == std::string::npos ? 0 : at + 1;
}

// What SplitLines and JoinLines make of a text: every CR LF, lone CR and
// lone LF written as CR LF, and a final one added when missing.
std::string ReferenceRejoined(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  return out;
}

void CheckSearches(std::string_view text, std::string_view sub, std::size_t offset) {
  ZELM_CHECK(SjisPos(sub, text) == NaiveSjisPos(sub, text), Show(sub) + " in " + Show(text));
  ZELM_CHECK(SjisPosFrom(sub, text, offset) == NaiveSjisPosFrom(sub, text, offset),
             Show(sub) + " from " + std::to_string(offset) + " in " + Show(text));
  ZELM_CHECK(PosFromIndex(sub, text, offset) == NaivePosFromIndex(sub, text, offset),
             Show(sub) + " from " + std::to_string(offset) + " in " + Show(text));
  ZELM_CHECK(PosNoCase(sub, text) == ReferencePosNoCase(sub, text), Show(sub) + " in " + Show(text));
  ZELM_CHECK(CountSubStr(text, sub) == ReferenceCount(text, sub), Show(sub) + " in " + Show(text));
}

}  // namespace
}  // namespace zelm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  Input input(data, size);
  const std::uint8_t options = input.Byte();
  std::string_view start, end;
  if (options & 0x80) {
    std::tie(start, end) = kTypicalMarkers[(options >> 4) & 7];
  } else {
    start = input.Take(1 + (options & 3));
    end = input.Take(1 + ((options >> 2) & 3));
  }
  const std::string_view text = input.Rest();
  const std::size_t offset = text.empty() ? 0 : (options * 7u) % (text.size() + 2);

  const std::string deleted = DeleteBlocks(text, start, end);
  const std::string deletedMB = DeleteBlocksMB(text, start, end);
  std::vector<std::string> list{"stale entry"};
  const int count = ListBetween(text, start, end, list);
  const std::string replaced = ReplaceAllText(text, start, end);
  ZELM_CHECK(deleted.size() <= text.size() && deletedMB.size() <= text.size(), "a deletion grew the text");
  ZELM_CHECK(count >= 0 && static_cast<std::size_t>(count) == list.size(), "ListBetween count and list differ");
  // Every block takes at least its two markers.
  ZELM_CHECK(list.size() <= text.size() / 2, "more blocks than the text can hold");
  for (const auto& entry : list) ZELM_CHECK(entry.size() <= text.size(), "a ListBetween entry beyond the text");
  // Each replacement stands for at least one byte of the text.
  ZELM_CHECK(replaced.size() <= text.size() * (1 + end.size()), "ReplaceAllText out of bounds");
  ZELM_CHECK(JoinLines(SplitLines(text)) == ReferenceRejoined(text), Show(text));

  if (text.size() > kReferenceLimit) return 0;

  ZELM_CHECK(deleted == ReferenceDeleteBlocks(std::string(text), start, end, false),
             "DeleteBlocks " + Show(start) + " " + Show(end) + " of " + Show(text));
  ZELM_CHECK(deletedMB == ReferenceDeleteBlocks(std::string(text), start, end, true),
             "DeleteBlocksMB " + Show(start) + " " + Show(end) + " of " + Show(text));
  ZELM_CHECK(list == ReferenceListBetween(std::string(text), start, end),
             "ListBetween " + Show(start) + " " + Show(end) + " of " + Show(text));
  ZELM_CHECK(ExtractFirstBetween(text, start, end) == ReferenceExtractFirstBetween(text, start, end),
             "ExtractFirstBetween " + Show(start) + " " + Show(end) + " of " + Show(text));
  ZELM_CHECK(DeleteFirstBlock(text, start, end) == ReferenceDeleteFirstBlock(text, start, end),
             "DeleteFirstBlock " + Show(start) + " " + Show(end) + " of " + Show(text));
  ZELM_CHECK(replaced == ReferenceReplaceAll(text, start, end, true),
             "ReplaceAllText " + Show(start) + " " + Show(end) + " in " + Show(text));
  ZELM_CHECK(ReplaceAllExact(text, start, end) == ReferenceReplaceAll(text, start, end, false),
             "ReplaceAllExact " + Show(start) + " " + Show(end) + " in " + Show(text));
  CheckSearches(text, start, offset);
  CheckSearches(text, end, offset);
  return 0;
}
