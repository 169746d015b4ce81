// zelm-cli rtf: the coloured RTF document of a page.
#include <iostream>
#include <string>

#include "app/cli/Commands.h"
#include "colour/zhnHTMLRTF.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli rtf [--alternate-colors] < page.html > page.rtf\n"
    "\n"
    "Writes the syntax-coloured RTF document of a Shift_JIS HTML page, as the\n"
    "panes show it: tags, attributes, values, comments, scripts, entities and\n"
    "text each in the colour of their kind, unknown tag names in bold.\n"
    "\n"
    "Options:\n"
    "  --alternate-colors  use the second colour set\n"
    "  -h, --help          show this help\n"
    "\n"
    "A page that holds a NUL byte is refused: the document would end there.\n";

// Hands the document to standard output in large pieces and remembers
// whether every write succeeded.
class StdoutSink final : public RtfSink {
 public:
  bool ok() const { return ok_; }

 protected:
  void Drain(std::string_view bytes) override { ok_ = ok_ && WriteAllStdout(bytes); }

 private:
  bool ok_ = true;
};

}  // namespace

int RunRtfCommand(const Args& args) {
  bool alternate = false, optionsEnded = false;
  for (const std::string_view arg : args) {
    if (!optionsEnded && IsHelpFlag(arg)) {
      std::cout << kHelp;
      return kExitOk;
    }
    if (!optionsEnded && IsEndOfOptions(arg)) {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--alternate-colors") {
      alternate = true;
    } else {
      PrintError("rtf: " + std::string(optionsEnded ? "unexpected argument '" : "unknown option '") +
                 std::string(arg) + "' (see 'zelm-cli rtf --help')");
      return kExitUsage;
    }
  }
  const std::optional<std::string> page = ReadAllStdin();
  if (!page) {
    PrintError("rtf: cannot read standard input");
    return kExitFailure;
  }
  if (const std::size_t nul = page->find('\0'); nul != std::string::npos) {
    PrintError("rtf: the page holds a NUL byte at offset " + std::to_string(nul) +
               "; its document would end there, so none is written");
    return kExitFailure;
  }
  TzhnHTMLRTF scanner;
  if (alternate) scanner.UseAlternateColors();
  scanner.SetSource(*page);
  StdoutSink sink;
  scanner.WriteRTF(sink);
  if (!sink.ok()) {
    PrintError("rtf: cannot write standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
