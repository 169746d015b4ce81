// zelm-cli tokens: the colouring scanner's tokens of a page, one a line.
#include <iostream>
#include <string>

#include "app/cli/Commands.h"
#include "colour/zhnHTMLRTF.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli tokens < page.html\n"
    "\n"
    "Lists the tokens the syntax colouring finds in a Shift_JIS HTML page, one\n"
    "a line: the token's kind, its colour-table entry and its bytes in double\n"
    "quotes, with \\\\, \\\", \\t, \\r, \\n and \\xHH for bytes that are not\n"
    "printable ASCII. The last line is the End token where scanning stopped.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help\n";

void AppendQuoted(std::string& out, std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (byte >= 0x20 && byte < 0x7F) {
          out += c;
        } else {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        }
    }
  }
  out += '"';
}

}  // namespace

int RunTokensCommand(const Args& args) {
  bool optionsEnded = false;
  for (const std::string_view arg : args) {
    if (!optionsEnded && IsHelpFlag(arg)) {
      std::cout << kHelp;
      return kExitOk;
    }
    if (!optionsEnded && IsEndOfOptions(arg)) {
      optionsEnded = true;
      continue;
    }
    PrintError("tokens: " + std::string(optionsEnded ? "unexpected argument '" : "unknown option '") +
               std::string(arg) + "' (see 'zelm-cli tokens --help')");
    return kExitUsage;
  }
  const std::optional<std::string> page = ReadAllStdin();
  if (!page) {
    PrintError("tokens: cannot read standard input");
    return kExitFailure;
  }
  TzhnHTMLRTF scanner;
  scanner.SetSource(*page);
  std::string lines;
  bool ok = true;
  while (true) {
    lines += TokenKindName(scanner.Kind());
    lines += ' ';
    lines += std::to_string(scanner.GetTokenStyle());
    lines += ' ';
    AppendQuoted(lines, scanner.GetToken());
    lines += '\n';
    if (lines.size() >= (std::size_t{1} << 16)) {
      ok = ok && WriteAllStdout(lines);
      lines.clear();
    }
    if (scanner.AtEnd()) break;
    scanner.NextToken();
  }
  ok = ok && WriteAllStdout(lines);
  if (!ok) {
    PrintError("tokens: cannot write standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
