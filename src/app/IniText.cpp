#include "app/IniText.h"

#include <charconv>
#include <cstddef>
#include <initializer_list>
#include <limits>

#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Names compared without ASCII case; the second byte of a double-byte
// character is compared as it is.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t length = SjisCharLength(a, i);
    if (length == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
    i += length;
  }
  return true;
}

// The longest start of `text` of at most `limit` bytes that ends at a
// character boundary.
std::string_view CutAtBoundary(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + SjisCharLength(text, end);
    if (next > limit) break;
    end = next;
  }
  return text.substr(0, end);
}

// The pieces one after another (GCC 12 warns about "a" + std::string + "b").
std::string Concat(std::initializer_list<std::string_view> pieces) {
  std::string out;
  for (std::string_view piece : pieces) out += piece;
  return out;
}

// What a value line holds for the value `value`, quoted when reading it
// back would otherwise lose its blanks or its quotes.
std::string Written(std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (quoted || (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))))
    return Concat({"\"", value, "\""});
  return std::string(value);
}

}  // namespace

IniText::IniText(std::string_view bytes) {
  LineReader reader(bytes);
  std::string_view line;
  while (reader.Next(line)) lines_.push_back(Parse(std::string(line), lines_.empty()));
}

IniText::Line IniText::Parse(std::string text, bool first) {
  Line line;
  line.text = std::move(text);
  const std::string_view view = line.text;
  std::size_t at = (first && view.starts_with(kUtf8ByteOrderMark)) ? kUtf8ByteOrderMark.size() : 0;
  while (at < view.size() && IsBlank(view[at])) ++at;
  if (at == view.size() || view[at] == ';' || view[at] == '#') return line;
  auto setName = [&](std::size_t from, std::size_t to) {
    const std::string_view name = TrimBlanks(view.substr(from, to - from));
    line.nameAt = static_cast<std::size_t>(name.data() - view.data());
    line.nameLength = name.size();
  };
  if (view[at] == '[') {
    // "]" may be the second byte of a double-byte character.
    const std::size_t close = FindAtBoundary(view, "]", at + 1);
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      setName(at + 1, close);
    }
    return line;
  }
  // "=" is never the second byte of a character.
  const std::size_t equals = view.find('=', at);
  if (equals == std::string_view::npos) return line;
  setName(at, equals);
  if (line.nameLength == 0) return line;
  line.kind = Kind::Entry;
  line.valueAt = equals + 1;
  while (line.valueAt < view.size() && IsBlank(view[line.valueAt])) ++line.valueAt;
  return line;
}

template <typename Visit>
void IniText::ForEachEntryIn(std::string_view section, Visit visit) const {
  bool inSection = section.empty();  // the lines before the first header
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::Section) inSection = SameName(line.Name(), section);
    else if (line.kind == Kind::Entry && inSection && !visit(i, line)) return;
  }
}

std::optional<std::string> IniText::Get(std::string_view section, std::string_view key) const {
  std::optional<std::string> found;
  ForEachEntryIn(section, [&](std::size_t, const Line& line) {
    if (!SameName(line.Name(), key)) return true;
    std::string_view value = std::string_view(line.text).substr(line.valueAt);
    value = TrimBlanks(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    found = std::string(CutAtBoundary(value, kIniValueLimit));
    return false;
  });
  return found;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string written = Written(value);
  bool replaced = false;
  ForEachEntryIn(section, [&](std::size_t i, const Line& line) {
    if (SameName(line.Name(), key)) {
      Line& changed = lines_[i];
      changed.text.resize(changed.valueAt);
      changed.text += written;
      replaced = true;
    }
    return true;
  });
  if (replaced) return;

  // Where the new key goes: after the last key line of the first section of
  // that name, or right after its header; without a section, after the last
  // key line before the first header, or at the top.
  std::size_t header = lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && SameName(lines_[i].Name(), section)) {
      header = i;
      break;
    }
  }
  Line entry = Parse(Concat({key, "=", written}), false);
  if (section.empty()) {
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
      if (lines_[i].kind == Kind::Entry) insertAt = i + 1;
    if (insertAt == 0 && !lines_.empty() && lines_[0].text.starts_with(kUtf8ByteOrderMark)) {
      // The byte-order mark stays at the start of the file.
      entry = Parse(Concat({kUtf8ByteOrderMark, entry.text}), true);
      lines_[0] = Parse(lines_[0].text.substr(kUtf8ByteOrderMark.size()), false);
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
    return;
  }
  if (header == lines_.size()) {
    if (!lines_.empty() && !TrimBlanks(lines_.back().text).empty()) lines_.push_back(Line{});
    lines_.push_back(Parse(Concat({"[", section, "]"}), lines_.empty()));
    lines_.push_back(std::move(entry));
    return;
  }
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
    if (lines_[i].kind == Kind::Entry) insertAt = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

std::string IniText::Bytes() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + 2;
  std::string out;
  out.reserve(size);
  for (const Line& line : lines_) {
    out += line.text;
    out += "\r\n";
  }
  return out;
}

std::optional<int> ParseIniInteger(std::string_view value) {
  bool negative = false;
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  int base = 10;
  if (value.starts_with('$')) {
    base = 16;
    value.remove_prefix(1);
  } else if (value.starts_with("0x") || value.starts_with("0X")) {
    base = 16;
    value.remove_prefix(2);
  }
  if (value.empty() || value.front() == '-' || value.front() == '+') return std::nullopt;
  long long magnitude = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), magnitude, base);
  if (error != std::errc() || end != value.data() + value.size()) return std::nullopt;
  const long long number = negative ? -magnitude : magnitude;
  if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(number);
}

bool ParseIniFlag(const std::optional<std::string>& value) {
  return value && ParseIniInteger(*value).value_or(0) != 0;
}

}  // namespace zelm
