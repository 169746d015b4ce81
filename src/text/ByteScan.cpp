#include "text/ByteScan.h"

#include <algorithm>
#include <vector>

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
  if (pattern.empty()) return;
  auto probe = [&](std::size_t offset) -> Probe {
    const char c = pattern[offset];
    const bool fold = anyCase && IsLetter(c);
    return {offset, fold ? static_cast<char>(c | 0x20) : c, fold ? static_cast<char>(0x20) : '\0'};
  };
  // In between, the rarest bytes, the farther from the probes chosen so far
  // the better: neighbours often come together ("\r\n").
  std::vector<std::size_t> chosen{0, pattern.size() - 1};
  auto pickBetween = [&]() -> std::size_t {
    std::size_t best = 0;
    int bestCommonness = 4;
    std::size_t bestDistance = 0;
    for (std::size_t k = 1; k + 1 < pattern.size(); ++k) {
      std::size_t distance = pattern.size();
      for (std::size_t c : chosen) distance = std::min(distance, k > c ? k - c : c - k);
      if (distance == 0) continue;
      const int commonness = Commonness(pattern[k]);
      if (commonness < bestCommonness || (commonness == bestCommonness && distance > bestDistance)) {
        best = k;
        bestCommonness = commonness;
        bestDistance = distance;
      }
    }
    if (bestCommonness == 4) return chosen.back();  // nothing left in between
    chosen.push_back(best);
    return best;
  };
  probes_[0] = probe(0);
  probes_[1] = probe(pickBetween());
  probes_[2] = probe(pickBetween());
  probes_[3] = probe(pattern.size() - 1);
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
