// zelm-cli pass NAME: one engine pass, raw bytes in and raw bytes out.
#include <functional>
#include <iostream>
#include <optional>

#include "app/cli/Commands.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"

namespace zelm::cli {
namespace {

struct PassOptions {
  int target = 0;      // RewriteCharsetDecl
  int indentType = 0;  // MarkIndentLevels
};

struct Pass {
  std::string_view name;
  std::string_view description;
  std::function<std::string(std::string_view, const PassOptions&)> run;
};

const std::vector<Pass>& Passes() {
  static const std::vector<Pass> passes{
      {"normalize", "lower-case tag names, drop blank lines (NormalizeTagCase)",
       [](std::string_view text, const PassOptions&) { return NormalizeTagCase(text); }},
      {"charset", "rewrite charset declarations for --target N (RewriteCharsetDecl)",
       [](std::string_view text, const PassOptions& o) { return RewriteCharsetDecl(text, o.target); }},
      {"prebreak", "one tag per line, full rule set (PreBreakLines)",
       [](std::string_view text, const PassOptions&) { return PreBreakLines(text); }},
      {"lightbreak", "fold gaps between tags, break around comments (LightBreakLines)",
       [](std::string_view text, const PassOptions&) { return LightBreakLines(text); }},
      {"adjust", "trim, split and join lines (AdjustLines)",
       [](std::string_view text, const PassOptions&) { return AdjustLines(text); }},
      {"mark", "indent with level markers, --indent-type N (MarkIndentLevels)",
       [](std::string_view text, const PassOptions& o) { return MarkIndentLevels(text, o.indentType); }},
      {"strip", "cut the level markers (StripLevelMarkers)",
       [](std::string_view text, const PassOptions&) { return StripLevelMarkers(text); }},
      {"symbols", "delete the marker symbol pairs (RemoveMarkerSymbols)",
       [](std::string_view text, const PassOptions&) { return RemoveMarkerSymbols(text); }},
  };
  return passes;
}

void PrintHelp(std::ostream& out) {
  out << "Usage: zelm-cli pass NAME [--target N] [--indent-type N] < input > output\n"
         "\n"
         "Runs one engine pass on standard input and writes the result to standard\n"
         "output. The bytes are passed through as they are: no encoding conversion.\n"
         "\n"
         "Passes:\n";
  for (const Pass& pass : Passes()) {
    out << "  " << pass.name;
    for (std::size_t i = pass.name.size(); i < 12; ++i) out << ' ';
    out << pass.description << '\n';
  }
  out << "\n"
         "Options:\n"
         "  --target N        charset target: 0 Shift_JIS (default), 1 euc-jp, 2 utf-8,\n"
         "                    4 iso-2022-jp, 5 utf-8 without BOM (3 changes nothing)\n"
         "  --indent-type N   0 two spaces (default), 1 four spaces, 2 tab, 3 flush left\n";
}

const Pass* FindPass(std::string_view name) {
  for (const Pass& pass : Passes())
    if (pass.name == name) return &pass;
  return nullptr;
}

// Reads "--opt N" or "--opt=N" at args[i]; advances i past a separate value.
std::optional<std::string_view> OptionValue(const Args& args, std::size_t& i, std::string_view option) {
  const std::string_view arg = args[i];
  if (arg == option) {
    if (i + 1 >= args.size()) return std::nullopt;
    return args[++i];
  }
  return arg.substr(option.size() + 1);
}

}  // namespace

int RunPassCommand(const Args& args) {
  const Pass* pass = nullptr;
  PassOptions options;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!optionsEnded && IsHelpFlag(arg)) {
      PrintHelp(std::cout);
      return kExitOk;
    }
    if (!optionsEnded && IsEndOfOptions(arg)) {
      optionsEnded = true;
      continue;
    }
    const bool isTarget = !optionsEnded && (arg == "--target" || arg.starts_with("--target="));
    const bool isIndent = !optionsEnded && (arg == "--indent-type" || arg.starts_with("--indent-type="));
    if (isTarget || isIndent) {
      const std::string_view option = isTarget ? "--target" : "--indent-type";
      const auto value = OptionValue(args, i, option);
      const auto number = value ? ParseIntInRange(*value, 0, isTarget ? 5 : 3) : std::nullopt;
      if (!number) {
        PrintError(std::string(option) + " takes a number from 0 to " + (isTarget ? "5" : "3"));
        return kExitUsage;
      }
      (isTarget ? options.target : options.indentType) = *number;
    } else if (!optionsEnded && arg.starts_with("-")) {
      PrintError("unknown option '" + std::string(arg) + "' (see 'zelm-cli pass --help')");
      return kExitUsage;
    } else if (pass) {
      PrintError("only one pass can be named (see 'zelm-cli pass --help')");
      return kExitUsage;
    } else if (!(pass = FindPass(arg))) {
      PrintError("unknown pass '" + std::string(arg) + "' (see 'zelm-cli pass --help')");
      return kExitUsage;
    }
  }
  if (!pass) {
    PrintError("name a pass (see 'zelm-cli pass --help')");
    return kExitUsage;
  }
  const std::optional<std::string> input = ReadAllStdin();
  if (!input) {
    PrintError("cannot read standard input");
    return kExitFailure;
  }
  std::string output;
  try {
    output = pass->run(*input, options);
  } catch (const IndentationTooLarge& error) {
    PrintError(std::string(error.what()) + "; '--indent-type 3' indents it flush left");
    return kExitFailure;
  }
  if (!WriteAllStdout(output)) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
