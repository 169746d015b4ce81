// An INI file's text, kept line by line so that writing a value changes
// that value's line and nothing else.
//
// The file is Shift_JIS: lines "[Section]", "Key=Value", comments starting
// with ";" or "#", and any other line, which is kept and ignored. Section
// and key names are compared without regard to ASCII case. Every byte of the
// file is kept (NUL bytes, broken Shift_JIS, lines of any length); only line
// ends become CR LF when the text is written back.
//
// Why not SimpleIni: it rebuilds the whole file from what it parsed, so a
// save drops comments after the last key, lines without "=", all but one
// of two equal keys and the blank lines, merges sections of the same name,
// rewrites the blanks around "=", stops at a NUL byte, and puts the keys
// after a "[" line without "]" into a section named after that line. None
// of this can be switched off, and a settings file edited by hand must
// keep all of it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// A value is read up to this many bytes (cut at a character boundary).
inline constexpr std::size_t kIniValueLimit = 2047;

class IniText {
 public:
  IniText() = default;
  explicit IniText(std::string_view bytes);

  // The value of `key` in `section`, or nullopt when the file has no such
  // key. The section "" holds the keys before the first header. The first such line in the file counts. Blanks around the value and
  // one pair of double quotes around it are removed; the value ends before
  // a NUL byte and after kIniValueLimit bytes.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets the value on every line that holds the key, keeping the line's
  // spelling of the key and its blanks before the value. A missing key is
  // added after the last key of the section's first occurrence, a missing
  // section at the end. A value is written up to its first line break or
  // NUL byte, and in double quotes when it starts or ends with a blank or is
  // itself in double quotes, so that Get gives it back as it was.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The text, with CR LF after every line.
  std::string Bytes() const;

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string text;
    Kind kind = Kind::Other;
    std::string_view Name() const { return std::string_view(text).substr(nameAt, nameLength); }
    std::size_t nameAt = 0, nameLength = 0;  // the section or key name, trimmed
    std::size_t valueAt = 0;                 // Entry: where the value starts, after "=" and blanks
  };

  static Line Parse(std::string text, bool first);
  // Calls visit(index, line) for each key line of `section`, in file order,
  // until it returns false.
  template <typename Visit>
  void ForEachEntryIn(std::string_view section, Visit visit) const;

  std::vector<Line> lines_;
};

// An integer value: decimal with an optional sign, or hexadecimal written
// "$1F" or "0x1F". nullopt for anything else, or beyond the range of int.
std::optional<int> ParseIniInteger(std::string_view value);

// A flag value: any integer other than 0 is true; a missing or unreadable
// value is false.
bool ParseIniFlag(const std::optional<std::string>& value);

}  // namespace zelm
