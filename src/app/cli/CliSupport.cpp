#include "app/cli/CliSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <iostream>

#include "text/FileIO.h"

namespace zelm::cli {

std::optional<std::string> ReadAllStdin() {
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

bool WriteAllStdout(std::string_view bytes) { return WriteAllToDescriptor(STDOUT_FILENO, bytes); }

bool WriteAllStdout(std::span<const std::string> pieces) {
  for (const std::string& piece : pieces)
    if (!WriteAllStdout(piece)) return false;
  return true;
}

void PrintError(std::string_view message) { std::cerr << "zelm-cli: " << message << '\n'; }

void PrintWarnings(std::string_view subject, const std::vector<std::string>& warnings,
                   const std::vector<std::string>& notes) {
  const std::string prefix = subject.empty() ? "" : std::string(subject) + ": ";
  for (const std::string& warning : warnings) PrintError("warning: " + prefix + warning);
  for (const std::string& note : notes) PrintError("note: " + prefix + note);
}

std::optional<int> ParseIntInRange(std::string_view text, int min, int max) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min || value > max) return std::nullopt;
  return value;
}

SplitArgument SplitInlineValue(std::string_view arg) {
  const std::size_t equals = arg.find('=');
  if (!arg.starts_with("--") || equals == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

bool FlagGivenAValue(const SplitArgument& arg, std::span<const std::string_view> flags) {
  return arg.inlineValue && std::find(flags.begin(), flags.end(), arg.name) != flags.end();
}

std::optional<CharCodeIndex> OpenCharsetNamed(std::string_view name) {
  static constexpr struct {
    std::string_view name;
    CharCodeIndex code;
  } kOpenCharsets[] = {{"auto", kCharCodeAuto},         {"euc-jp", kCharCodeEucJp},
                       {"utf-8", kCharCodeUtf8},        {"shift_jis", kCharCodeShiftJis},
                       {"iso-2022", kCharCodeIso2022Jp}, {"utf-8n", kCharCodeUtf8N}};
  for (const auto& row : kOpenCharsets)
    if (row.name == name) return row.code;
  return std::nullopt;
}

std::optional<std::string_view> OptionValue(const Args& args, std::size_t& i,
                                            const std::optional<std::string_view>& inlineValue) {
  if (inlineValue) return inlineValue;
  if (i + 1 < args.size()) return args[++i];
  return std::nullopt;
}

}  // namespace zelm::cli
