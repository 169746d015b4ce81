#include "text/ByteScan.h"

namespace zelm {
namespace {

// Letters, digits and blanks fill most of a page; brackets, quotes and
// equals signs come next; anything else is rarer.
int Commonness(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return 3;
  if (c == '<' || c == '>' || c == '"' || c == '=') return 2;
  return 1;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

PatternProbe::PatternProbe(std::string_view pattern, bool anyCase) : length_(pattern.size()) {
  auto probe = [&](std::size_t offset) {
    const char c = pattern[offset];
    const bool fold = anyCase && IsLetter(c);
    probes_[count_++] = {offset, fold ? static_cast<char>(c | 0x20) : c, fold ? static_cast<char>(0x20) : '\0'};
  };
  if (pattern.empty()) return;
  // The last byte goes last: Next relies on it.
  if (pattern.size() > 1) probe(0);
  if (pattern.size() > 2) {
    std::size_t rarest = 1;
    for (std::size_t k = 2; k + 1 < pattern.size(); ++k)
      if (Commonness(pattern[k]) < Commonness(pattern[rarest])) rarest = k;
    probe(rarest);
  }
  probe(pattern.size() - 1);
}

std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from) {
  constexpr std::size_t npos = std::string_view::npos;
  if (from > text.size() || needle.size() > text.size() - from) return npos;
  if (needle.empty()) return from;
  // Letters, digits and blanks fill most of a page; brackets, quotes and
  // equals signs come next; anything else is rarer.
  auto commonness = [](char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return 3;
    if (c == '<' || c == '>' || c == '"' || c == '=') return 2;
    return 1;
  };
  auto matchesAt = [&](std::size_t start) {
    for (std::size_t k = 0; k < needle.size(); ++k)  // needles are short: no library call
      if (text[start + k] != needle[k]) return false;
    return true;
  };
  const std::size_t last = text.size() - needle.size();  // the last place the needle can start
  if (needle.size() == 1) return FindByte(text, from, needle[0]);
  // The rarest run of two or three neighbouring bytes leads the search.
  const std::size_t run = std::min<std::size_t>(needle.size(), 3);
  auto rarity = [&](std::size_t at) {
    int sum = 0;
    for (std::size_t k = 0; k < run; ++k) sum += commonness(needle[at + k]);
    return sum;
  };
  std::size_t pivot = 0;
  for (std::size_t k = 1; k + run <= needle.size(); ++k)
    if (rarity(k) < rarity(pivot)) pivot = k;
  auto next = [&](std::size_t at) {
    if (run == 2) return FindRun<2>(text, at, {needle[pivot], needle[pivot + 1]});
    return FindRun<3>(text, at, {needle[pivot], needle[pivot + 1], needle[pivot + 2]});
  };
  for (std::size_t at = next(from + pivot); at != npos && at - pivot <= last; at = next(at + 1)) {
    if (matchesAt(at - pivot)) return at - pivot;
  }
  return npos;
}

}  // namespace zelm
