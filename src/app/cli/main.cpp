// zelm-cli: the Zelm engine for scripts and whole folders.
#include <csignal>
#include <vector>
#include <iostream>

#include "app/cli/CliSupport.h"
#include "app/cli/Commands.h"
#include "app/cli/Version.h"

namespace zelm::cli {
namespace {

const std::vector<Command> kCommands{
    {"indent", "re-indent pages: files, folders or pasted text", RunIndentCommand},
    {"pass", "run one engine pass on standard input (raw bytes in, raw bytes out)", RunPassCommand},
    {"analyze", "report element counts, misplaced level tags and the div nesting of pages", RunAnalyzeCommand},
    {"detect", "show the encoding each file declares and the one it is read as", RunDetectCommand},
    {"convert", "convert standard input between Shift_JIS, EUC-JP, ISO-2022-JP and UTF-8", RunConvertCommand},
    {"rtf", "write the syntax-coloured RTF document of a page", RunRtfCommand},
    {"tokens", "list the colouring scanner's tokens of a page", RunTokensCommand},
    {"divmark", "insert, remove or rewrite comment labels in closing div tags", RunDivmarkCommand},
    {"config", "show the .zelmrc and the choices that apply to pages", RunConfigCommand},
};

void PrintOverview(std::ostream& out) {
  out << "Usage: zelm-cli COMMAND [OPTIONS]\n"
         "\n"
         "Re-indents Japanese HTML pages with the Zelm engine.\n"
         "\n"
         "Commands:\n";
  for (const Command& command : kCommands) {
    out << "  " << command.name;
    for (std::size_t i = command.name.size(); i < 10; ++i) out << ' ';
    out << command.summary << '\n';
  }
  out << "\n"
         "Run 'zelm-cli COMMAND --help' for the options of a command, 'zelm-cli --version'\n"
         "for the version and the Git revision it was built from; 'man zelm-cli' tells more.\n"
         "Exit status: 0 success, 1 a file or stream could not be processed, 2 usage error.\n";
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  const std::string_view name = argv[1];
  if (IsHelpFlag(name) || name == "help") {
    PrintOverview(std::cout);
    return kExitOk;
  }
  if (name == "--version") {
    std::cout << "zelm-cli " << kVersion << " (revision " << kRevision << ")\n";
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (command.name == name) return command.run(Args(argv + 2, argv + argc));
  }
  PrintError("unknown command '" + std::string(name) + "' (see 'zelm-cli --help')");
  return kExitUsage;
}

}  // namespace
}  // namespace zelm::cli

int main(int argc, char** argv) {
  // A file-size limit makes a write fail with an error we report, instead of
  // killing the program halfway through a file.
  std::signal(SIGXFSZ, SIG_IGN);
  return zelm::cli::Main(argc, argv);
}
