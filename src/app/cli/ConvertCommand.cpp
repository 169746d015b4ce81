// zelm-cli convert: standard input from one encoding to another, through
// Shift_JIS as the engine holds every text.
#include <algorithm>
#include <array>
#include <iostream>
#include <optional>
#include <string>

#include "app/FileCommands.h"
#include "app/cli/Commands.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli convert [--from CODE] [--to TARGET] < INPUT > OUTPUT\n"
    "\n"
    "Converts standard input to Shift_JIS the way an opened file is\n"
    "converted, then to TARGET, and writes the result to standard output.\n"
    "\n"
    "  --from CODE    encoding of the input (default auto):\n"
    "                   auto       read the charset label, else try UTF-8\n"
    "                   euc-jp     EUC-JP\n"
    "                   utf-8      UTF-8 (a byte-order mark becomes \"?\")\n"
    "                   shift_jis  Shift_JIS, passed through unchanged\n"
    "                   iso-2022   ISO-2022-JP\n"
    "                   utf-8n     UTF-8 (a byte-order mark is dropped)\n"
    "                 or its number 0-5 in that order.\n"
    "  --to TARGET    shift_jis (default), euc-jp, iso-2022-jp or utf-8\n"
    "  --unmappable HOW  a character without an exact form: question (default:\n"
    "                 \"?\" or the form that reads back as another character,\n"
    "                 reported) or ncr (written as &#N;, which shows the same)\n"
    "  -h, --help     this text\n"
    "\n"
    "Line ends become CR LF and runs of blank lines are halved, except with\n"
    "--from shift_jis and for input that auto finds labelled ISO-2022-JP.\n"
    "Characters that have no form in an encoding become \"?\"; a warning on\n"
    "standard error tells how many and where the first one is, and so for\n"
    "characters written in a form that reads back as another (\"~\" U+203E as \"~\").\n"
    "\n"
    "Exit status: 0 converted (perhaps with warnings), 1 input or output\n"
    "failed, 2 usage error (nothing is read or written).\n";

struct NamedCode {
  std::string_view name;
  CharCodeIndex code;
};
constexpr std::array<NamedCode, 6> kSourceCodes{{
    {"auto", kCharCodeAuto},
    {"euc-jp", kCharCodeEucJp},
    {"utf-8", kCharCodeUtf8},
    {"shift_jis", kCharCodeShiftJis},
    {"iso-2022", kCharCodeIso2022Jp},
    {"utf-8n", kCharCodeUtf8N},
}};

enum class Target { ShiftJis, EucJp, Iso2022Jp, Utf8 };
struct NamedTarget {
  std::string_view name;
  Target target;
  std::string_view display;  // as the warnings name it
};
constexpr std::array<NamedTarget, 4> kTargets{{
    {"shift_jis", Target::ShiftJis, "Shift_JIS"},
    {"euc-jp", Target::EucJp, "EUC-JP"},
    {"iso-2022-jp", Target::Iso2022Jp, "ISO-2022-JP"},
    {"utf-8", Target::Utf8, "UTF-8"},
}};

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](char c) { return AsciiLower(c); });
  return out;
}

std::optional<CharCodeIndex> ParseSourceCode(std::string_view value) {
  if (const auto number = ParseIntInRange(value, 0, 5)) return *number;
  const std::string lower = Lower(value);
  for (const NamedCode& entry : kSourceCodes)
    if (entry.name == lower) return entry.code;
  return std::nullopt;
}

const NamedTarget* ParseTarget(std::string_view value) {
  const std::string lower = Lower(value);
  for (const NamedTarget& entry : kTargets)
    if (entry.name == lower) return &entry;
  return nullptr;
}

struct Options {
  CharCodeIndex from = kCharCodeAuto;
  const NamedTarget* to = &kTargets[0];
  Unmappable unmappable = Unmappable::Question;
  bool help = false;
};

// Parses the arguments; an error message when they are wrong.
std::optional<std::string> ParseOptions(const Args& args, Options& options) {
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded) return "unexpected argument '" + std::string(arg) + "': convert reads standard input";
    if (IsEndOfOptions(arg)) {
      optionsEnded = true;
      continue;
    }
    if (IsHelpFlag(arg)) {
      options.help = true;
      return std::nullopt;
    }
    std::string_view name = arg, value;
    bool hasValue = false;
    if (const std::size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    if (name != "--from" && name != "--to" && name != "--unmappable") {
      if (arg.starts_with("-")) return "unknown option '" + std::string(arg) + "'";
      return "unexpected argument '" + std::string(arg) + "': convert reads standard input";
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) return "option '" + std::string(name) + "' needs a value";
      value = args[++i];
    }
    if (name == "--unmappable") {
      if (value == "question") options.unmappable = Unmappable::Question;
      else if (value == "ncr") options.unmappable = Unmappable::Reference;
      else return "--unmappable takes question or ncr, not '" + std::string(value) + "'";
    } else if (name == "--from") {
      const auto code = ParseSourceCode(value);
      if (!code)
        return "unknown input encoding '" + std::string(value) +
               "' for --from (one of auto, euc-jp, utf-8, shift_jis, iso-2022, utf-8n)";
      options.from = *code;
    } else {
      options.to = ParseTarget(value);
      if (!options.to)
        return "unknown output encoding '" + std::string(value) +
               "' for --to (one of shift_jis, euc-jp, iso-2022-jp, utf-8)";
    }
  }
  return std::nullopt;
}

std::string CountOf(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " character" : " characters");
}

// What happened to the characters a conversion could not carry over as
// they were, kind by kind: "2 characters of the input had no Shift_JIS form
// and became "?", 1 character was written as another character".
std::string WhatWasLost(const ConversionLoss& loss, std::string_view target, std::string_view ofWhat) {
  std::string text;
  auto add = [&](std::size_t count, const std::string& what) {
    if (count == 0) return;
    text += (text.empty() ? "" : ", ") + CountOf(count) + (text.empty() ? std::string(ofWhat) : "") + what;
  };
  add(loss.of(LossKind::NoForm), " had no " + std::string(target) + " form and became \"?\"");
  add(loss.of(LossKind::JisX0212), " of JIS X 0212 had no Shift_JIS form and became \"?\"");
  const std::size_t changed = loss.of(LossKind::Changed), broken = loss.of(LossKind::InvalidSequence);
  add(changed, changed == 1 ? " was written as another character" : " were written as other characters");
  add(broken, broken == 1 ? " was a broken byte sequence and became \"?\""
                          : " were broken byte sequences and became \"?\"");
  return text;
}

void WarnReferences(const ConversionLoss& loss) {
  if (loss.referenced != 0)
    PrintError("note: " + CountOf(loss.referenced) + " without an exact form written as numeric character references");
}

// Warns about characters replaced on the way to Shift_JIS. Line ends do not
// change after that stage, so the line holds for the output too.
void WarnShiftJisLoss(const Converted& sjis, bool sjisIsOutput) {
  WarnReferences(sjis.loss);
  if (!sjis.loss.any()) return;
  std::string where = "line " + std::to_string(LineOfPosition(sjis.text, sjis.loss.firstPos));
  if (sjisIsOutput) where += ", byte " + std::to_string(sjis.loss.firstPos);
  PrintError("warning: " + WhatWasLost(sjis.loss, "Shift_JIS", " of the input") + " (first at " + where +
             " of the output)");
}

void WarnTargetLoss(const Converted& output, const NamedTarget& target) {
  WarnReferences(output.loss);
  if (!output.loss.any()) return;
  const std::string what = target.target == Target::Utf8
                               ? CountOf(output.loss.count) + " could not be read as Shift_JIS and became \"?\""
                               : WhatWasLost(output.loss, target.display, "");
  PrintError("warning: " + what + " (first at line " + std::to_string(LineOfPosition(output.text, output.loss.firstPos)) +
             ", byte " + std::to_string(output.loss.firstPos) + " of the output)");
}

}  // namespace

int RunConvertCommand(const Args& args) {
  Options options;
  if (const auto error = ParseOptions(args, options)) {
    PrintError("convert: " + *error + " (see 'zelm-cli convert --help')");
    return kExitUsage;
  }
  if (options.help) {
    std::cout << kHelp << std::flush;
    return kExitOk;
  }

  const auto input = ReadAllStdin();
  if (!input) {
    PrintError("convert: cannot read standard input");
    return kExitFailure;
  }
  Converted sjis, output;
  try {
    sjis = AnyCodeToShiftJIS(*input, options.from, options.unmappable);
    switch (options.to->target) {
      case Target::ShiftJis: break;
      case Target::EucJp: output = SjisToEuc(sjis.text, options.unmappable); break;
      case Target::Iso2022Jp: output = SjisToJis(sjis.text, options.unmappable); break;
      case Target::Utf8: output = SjisToUtf8(sjis.text); break;
    }
  } catch (const EncodingError& error) {
    PrintError(std::string("convert: ") + error.what());
    return kExitFailure;
  }
  const bool sjisIsOutput = options.to->target == Target::ShiftJis;
  WarnShiftJisLoss(sjis, sjisIsOutput);
  if (!sjisIsOutput) WarnTargetLoss(output, *options.to);
  if (!WriteAllStdout(sjisIsOutput ? sjis.text : output.text)) {
    PrintError("convert: cannot write to standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
