#include "indent/KeptStretches.h"

#include <array>

#include "indent/LevelMarkerFormat.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether `name` (lower case) stands at `at`, in any case, and ends there.
bool NameAt(std::string_view text, std::size_t at, std::string_view name) {
  if (text.size() - at < name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (AsciiLower(text[at + i]) != name[i]) return false;
  const std::size_t end = at + name.size();
  return end == text.size() || IsBlank(text[end]) || text[end] == '>' || text[end] == '/';
}

// Where the closing tag of `name` that follows `from` ends (past its ">"),
// or npos.
std::size_t ClosingTagEnd(std::string_view text, std::size_t from, std::string_view name) {
  for (std::size_t at = text.find("</", from); at != npos; at = text.find("</", at + 1)) {
    if (!NameAt(text, at + 2, name)) continue;
    std::size_t end = at + 2 + name.size();
    while (end < text.size() && IsBlank(text[end])) ++end;
    if (end < text.size() && text[end] == '>') return end + 1;
  }
  return npos;
}

// Elements whose content is passed over, and the two that are kept.
constexpr std::array<std::string_view, 2> kKept{"pre", "textarea"};
constexpr std::array<std::string_view, 2> kPassedOver{"script", "style"};

// The kept element a stretch opens.
std::string_view ElementOf(std::string_view stretch) {
  for (std::string_view name : kKept)
    if (NameAt(stretch, 1, name)) return name;
  return kKept[0];
}

// Whether only line breaks, blanks and what the passes put at the start of
// lines (level markers, "■▽") stand between `from` and `to`.
bool OnlyPassesGap(std::string_view text, std::size_t from, std::size_t to) {
  while (from < to) {
    if (IsBlank(text[from])) {
      ++from;
      continue;
    }
    if (from == 0 || text[from - 1] != '\n') return false;
    const std::size_t lineEnd = text.find_first_of("\r\n", from);
    const std::string_view line = text.substr(from, lineEnd == npos ? npos : lineEnd - from);
    if (const std::size_t marker = marker::MarkerLengthAt(line); marker != 0) {
      from += marker;
    } else if (line.starts_with(marker::kBetweenSectionsTagPrefix)) {
      from += marker::kBetweenSectionsTagPrefix.size();
    } else {
      return false;
    }
  }
  return from == to;
}

}  // namespace

std::vector<std::string_view> FindKeptStretches(std::string_view text) {
  std::vector<std::string_view> stretches;
  std::size_t at = text.find('<');
  while (at != npos) {
    std::size_t next = at + 1;
    if (text.substr(at).starts_with("<!--")) {
      const std::size_t end = text.find("-->", at + 4);
      next = end == npos ? text.size() : end + 3;
    } else {
      for (std::string_view name : kPassedOver) {
        if (!NameAt(text, at + 1, name)) continue;
        const std::size_t end = ClosingTagEnd(text, at + 1, name);
        next = end == npos ? text.size() : end;
      }
      for (std::string_view name : kKept) {
        if (!NameAt(text, at + 1, name)) continue;
        if (const std::size_t end = ClosingTagEnd(text, at + 1, name); end != npos) {
          stretches.push_back(text.substr(at, end - at));
          next = end;
        }
      }
    }
    at = next < text.size() ? text.find('<', next) : npos;
  }
  return stretches;
}

std::optional<std::size_t> FirstStretchMissing(std::string_view text, const std::vector<std::string_view>& stretches) {
  std::size_t from = 0;
  for (std::size_t k = 0; k < stretches.size(); ++k) {
    const std::size_t at = text.find(stretches[k], from);
    if (at == npos) return k;
    from = at + stretches[k].size();
  }
  return std::nullopt;
}

SetAside SetStretchesAside(std::string_view text) {
  SetAside aside;
  const std::vector<std::string_view> stretches = FindKeptStretches(text);
  if (stretches.empty()) {
    aside.text = std::string(text);
    return aside;
  }
  aside.token = "ZeLmKePt";
  while (text.find(aside.token) != npos) aside.token += 'q';  // one the page does not hold
  aside.text.reserve(text.size());
  std::size_t copied = 0;
  for (std::string_view stretch : stretches) {
    const std::size_t at = static_cast<std::size_t>(stretch.data() - text.data());
    const std::string_view name = ElementOf(stretch);
    aside.text.append(text, copied, at - copied);
    // "<pre>" + token + number + ".</pre>"
    aside.text += '<';
    aside.text += name;
    aside.text += '>';
    aside.text += aside.token;
    aside.text += std::to_string(aside.stretches.size());
    aside.text += ".</";
    aside.text += name;
    aside.text += '>';
    aside.stretches.emplace_back(stretch);
    copied = at + stretch.size();
  }
  aside.text.append(text, copied);
  return aside;
}

std::string PutStretchesBack(std::string_view text, const SetAside& aside) {
  if (!aside.any()) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t copied = 0;
  for (std::size_t k = 0; k < aside.stretches.size(); ++k) {
    const std::string token = aside.token + std::to_string(k) + ".";
    const std::size_t at = text.find(token, copied);
    if (at == npos) continue;
    const std::string& stretch = aside.stretches[k];
    const std::string_view name = ElementOf(stretch);
    std::string open("<"), close("</");
    open.append(name) += '>';
    close.append(name) += '>';
    // The stand-in's tags, with only what the passes put between them and
    // the token, go with it.
    const std::size_t opening = text.rfind(open, at);
    const std::size_t closing = text.find(close, at + token.size());
    const bool whole = opening != npos && opening >= copied && closing != npos &&
                       OnlyPassesGap(text, opening + open.size(), at) &&
                       OnlyPassesGap(text, at + token.size(), closing);
    const std::size_t from = whole ? opening : at;
    out.append(text, copied, from - copied);
    out += stretch;
    copied = whole ? closing + close.size() : at + token.size();
  }
  out.append(text, copied);
  return out;
}

}  // namespace zelm
