#include "match/AnchoredReplace.h"

#include <algorithm>
#include <stdexcept>

#include "text/SjisScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

AnchoredReplace::AnchoredReplace(std::string old, std::string replacement)
    : old_(std::move(old)), replacement_(std::move(replacement)), probe_(old_, /*anyCase=*/true) {
  bool hasNonLetter = false;
  for (char c : old_) {
    if (static_cast<unsigned char>(c) >= 0x80) throw std::invalid_argument("pattern is not plain ASCII");
    if (!IsLetter(c)) hasNonLetter = true;
  }
  if (!hasNonLetter) throw std::invalid_argument("pattern has no byte without case");
}

std::string AnchoredReplace::Apply(std::string input) const {
  std::string out;
  if (!ApplyTo(input, out)) return input;
  return out;
}

bool AnchoredReplace::ApplyTo(std::string_view text, std::string& out) const {
  std::size_t copied = 0;  // also where the next occurrence may start at the earliest
  bool replaced = false;
  for (std::size_t start = probe_.Next(text, 0); start != npos;
       start = probe_.Next(text, std::max(start + 1, copied))) {
    if (!EqualsNoCase(text.substr(start, old_.size()), old_) || !IsCharBoundary(text, start)) continue;
    if (!replaced) {
      out.clear();
      out.reserve(text.size() + text.size() / 8);
    }
    replaced = true;
    out.append(text, copied, start - copied);
    out += replacement_;
    copied = start + old_.size();
  }
  if (!replaced) return false;
  out.append(text, copied);
  return true;
}

}  // namespace zelm
