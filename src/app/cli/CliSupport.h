// Small helpers shared by the zelm-cli subcommands.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharCode.h"

namespace zelm::cli {

// Exit codes, following the usual Unix conventions.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the work could not be done (bad input file, write error)
inline constexpr int kExitUsage = 2;    // the command line is wrong

using Args = std::vector<std::string_view>;

// One subcommand: its name, a line for the overview and its entry point.
struct Command {
  std::string_view name;
  std::string_view summary;
  int (*run)(const Args& args);
};

// All of standard input as raw bytes; nullopt when reading failed.
std::optional<std::string> ReadAllStdin();

// Writes all bytes to standard output and flushes; false when that failed
// (a closed pipe, a full disk).
bool WriteAllStdout(std::string_view bytes);

// Pieces one after another on standard output; false when that failed.
bool WriteAllStdout(std::span<const std::string> pieces);

// "zelm-cli: <message>" on standard error.
void PrintError(std::string_view message);

// "zelm-cli: warning: <subject>: <warning>" and "zelm-cli: note: ..." for
// each (without "<subject>: " when the subject is empty).
void PrintWarnings(std::string_view subject, const std::vector<std::string>& warnings,
                   const std::vector<std::string>& notes);

// Parses a whole decimal number in [min, max].
std::optional<int> ParseIntInRange(std::string_view text, int min, int max);

// An argument as given: "--name=value" split into the option's name and
// its value; any other argument is all name.
struct SplitArgument {
  std::string_view name;
  std::optional<std::string_view> inlineValue;
};
SplitArgument SplitInlineValue(std::string_view arg);

// The value of the option at args[i]: its inline value, else the next
// argument (and i moves on to it); nullopt when there is none.
std::optional<std::string_view> OptionValue(const Args& args, std::size_t& i,
                                            const std::optional<std::string_view>& inlineValue);

// Whether the argument names one of `flags`, the options that take no
// value, and gives it one anyway: "--in-place=no" is refused, not taken
// for "--in-place".
bool FlagGivenAValue(const SplitArgument& arg, std::span<const std::string_view> flags);

// The encoding a page is opened as, by the value of --open-charset: auto,
// euc-jp, utf-8, shift_jis, iso-2022, utf-8n; nullopt for any other.
std::optional<CharCodeIndex> OpenCharsetNamed(std::string_view name);
inline constexpr std::string_view kOpenCharsetChoices = "auto, euc-jp, utf-8, shift_jis, iso-2022 or utf-8n";

// Is the argument a request for help?
inline bool IsHelpFlag(std::string_view arg) { return arg == "-h" || arg == "--help"; }

// "--" ends the options of every command: what follows is taken as it is,
// even when it starts with "-".
inline bool IsEndOfOptions(std::string_view arg) { return arg == "--"; }

}  // namespace zelm::cli
