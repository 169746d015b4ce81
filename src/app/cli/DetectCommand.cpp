// zelm-cli detect: which encoding each file declares and which one the
// automatic conversion reads it as.
#include <iostream>
#include <string>

#include "app/cli/Commands.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "text/FileIO.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli detect FILE...\n"
    "\n"
    "For each file, prints on one line:\n"
    "  declared   the code and name of the charset label the file declares\n"
    "             (0 none, 1 euc-jp, 2 utf-8, 3 Shift_JIS, 4 ISO-2022-JP)\n"
    "  automatic  the encoding the automatic conversion reads the file as,\n"
    "             with the label in the head that chose it, and how many\n"
    "             characters have no Shift_JIS form and would become \"?\"\n"
    "\n"
    "Files that cannot be read are reported on standard error; the others\n"
    "are still examined. Exit status: 0 all files read, 1 some could not be\n"
    "read, 2 usage error.\n";

std::string CodeAndName(CharCodeIndex code) {
  const std::string_view name = GetharCode(code);
  return std::to_string(code) + " " + (name.empty() ? std::string("(none)") : std::string(name));
}

std::string Describe(const std::string& path, std::string_view bytes) {
  const AutoConversion automatic = ConvertAutomatically(bytes);
  std::string line = path + ": declared " + CodeAndName(GetCharCodeFromMeta(bytes)) + ", automatic " +
                     CodeAndName(automatic.readAs);
  std::string why = automatic.label.empty() ? std::string("no label") : "label " + std::string(automatic.label);
  if (automatic.keptAsIs) why += ", not UTF-8: kept as is";
  if (bytes.empty()) why = "empty file";
  line += " (" + why + ")";
  const std::size_t lost = automatic.result.loss.count;
  if (lost != 0)
    line += ", " + std::to_string(lost) + (lost == 1 ? " character" : " characters") + " without a Shift_JIS form";
  return line;
}

}  // namespace

int RunDetectCommand(const Args& args) {
  std::vector<std::string> paths;
  bool optionsEnded = false;
  for (std::string_view arg : args) {
    if (!optionsEnded && IsHelpFlag(arg)) {
      std::cout << kHelp;
      return kExitOk;
    }
    if (!optionsEnded && IsEndOfOptions(arg)) {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
      PrintError("detect: unknown option '" + std::string(arg) + "' (see 'zelm-cli detect --help')");
      return kExitUsage;
    }
    paths.emplace_back(arg);
  }
  if (paths.empty()) {
    PrintError("detect: no file given (see 'zelm-cli detect --help')");
    return kExitUsage;
  }

  int status = kExitOk;
  for (const std::string& path : paths) {
    const FileReadResult file = ReadFileBytes(path);
    if (!file.ok()) {
      PrintError("detect: cannot read '" + path + "': " + file.error);
      status = kExitFailure;
      continue;
    }
    try {
      std::cout << Describe(path, file.bytes) << '\n';
    } catch (const EncodingError& error) {
      PrintError("detect: '" + path + "': " + error.what());
      status = kExitFailure;
    }
  }
  std::cout.flush();
  if (!std::cout) {
    PrintError("detect: cannot write to standard output");
    return kExitFailure;
  }
  return status;
}

}  // namespace zelm::cli
