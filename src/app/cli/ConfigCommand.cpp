// zelm-cli config FILE...: which .zelmrc applies to a page, and the
// choices the page is indented with.
#include <algorithm>
#include <iostream>

#include "app/cli/Commands.h"
#include "app/cli/ProjectConfig.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kWhereKeysStand =
    "Keys of a .zelmrc stand before any [section], or under [RadioGroup] (IndentType, OpenCharset,\n"
    "SaveCharSet) and [CheckBox] (the flags) as in the settings file; a key before any section wins.\n"
    "The first .zelmrc in the page's folder or a folder above it applies; options on the command line win.\n";

void PrintHelp(std::ostream& out) {
  out << "Usage: zelm-cli config [OPTIONS] FILE|FOLDER...\n"
         "\n"
         "Shows which .zelmrc applies to each page (a folder: to its pages) and the choices\n"
         "'zelm-cli indent' gives it with the same options: each settings key with its value\n"
         "and where the value comes from (the command line, the .zelmrc, or the default).\n"
         "The page need not exist.\n"
         "\n"
         "Options:\n"
         "  --indent 2|4|tab|none, --open-charset CODE, --output-charset CODE, --lower,\n"
         "  --no-preprocess, --div-comment-concat\n"
         "                         as for 'zelm-cli indent'\n"
         "  --no-config            ignore .zelmrc files\n"
         "  -h, --help             this help\n"
         "\n"
         << kWhereKeysStand
         << "\n"
            "Exit status: 0 shown, 1 a .zelmrc cannot be used (its reason is shown), 2 usage error.\n";
}

}  // namespace

int RunConfigCommand(const Args& args) {
  auto fail = [](const std::string& message) {
    PrintError(message + " (see 'zelm-cli config --help')");
    return kExitUsage;
  };
  IndentChoices given;
  bool noConfig = false;
  std::vector<std::string> pages;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (optionsEnded) {
      pages.emplace_back(args[i]);
      continue;
    }
    if (IsEndOfOptions(args[i])) {
      optionsEnded = true;
      continue;
    }
    const SplitArgument split = SplitInlineValue(args[i]);
    std::string error;
    if ((IsHelpFlag(split.name) || split.name == "--no-config") && split.inlineValue)
      return fail(std::string(split.name) + " takes no value");
    if (IsHelpFlag(split.name)) {
      PrintHelp(std::cout);
      return kExitOk;
    } else if (split.name == "--no-config") {
      noConfig = true;
    } else if (ParseChoiceOption(split.name, args, i, split.inlineValue, given, error)) {
      if (!error.empty()) return fail(error);
    } else if (split.name.starts_with("-") && split.name != "-") {
      return fail("unknown option '" + std::string(args[i]) + "'");
    } else {
      pages.emplace_back(args[i]);
    }
  }
  if (pages.empty()) return fail("name a page or folder");

  ProjectConfigFinder finder;
  bool unusable = false;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const std::shared_ptr<const ProjectConfig> config = noConfig ? nullptr : finder.ForPage(pages[i]);
    unusable = unusable || (config && !config->error.empty());
    std::cout << (i ? "\n" : "") << DescribeChoices(pages[i], config.get(), given);
  }
  std::cout << '\n' << kWhereKeysStand;
  return unusable ? kExitFailure : kExitOk;
}

}  // namespace zelm::cli
