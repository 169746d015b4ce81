// zelm-cli analyze: the structure checks of the window's tools menu on
// pages, for scripts and CI: element counts, misplaced level tags, the lines
// of level elements, the div skeleton and its summary.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/FileCommands.h"
#include "app/cli/Commands.h"
#include "app/cli/MemoryPolicy.h"
#include "encoding/Utf8Convert.h"
#include "indent/Pipeline.h"
#include "indent/StructureReport.h"
#include "threads/ThreadPool.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli analyze REPORT [OPTIONS] FILE...\n"
    "\n"
    "Reports on how the level elements (div, table, ul, form, h1, ...) of each\n"
    "page nest. REPORT is one of:\n"
    "  counts     opening and closing tags of each level element and the\n"
    "             difference; unbalanced elements are marked with '*'\n"
    "  misplaced  lines holding a level element's tag elsewhere than at their\n"
    "             start (the indentation cannot follow those)\n"
    "  levels     lines holding a level element's tag other than </div>\n"
    "  skeleton   every <div> with its line number, id and class, indented by\n"
    "             depth; divs never closed and stray </div> are named\n"
    "  summary    number of divs, greatest depth, divs per depth, the path to\n"
    "             the deepest div and the unbalanced places\n"
    "\n"
    "Pages in Shift_JIS, EUC-JP, ISO-2022-JP or UTF-8 are read as 'indent' reads\n"
    "them: converted, tags normalised, one tag put per line. Line numbers are\n"
    "those of that text, as 'zelm-cli indent --emit local' prints it. Tags in\n"
    "comments and in script, style and textarea content are not counted.\n"
    "\n"
    "Options:\n"
    "  --text local|org       the text looked at: local (default, one tag per\n"
    "                         line) or org (the converted page, its own lines)\n"
    "  --open-charset CODE    auto (default), euc-jp, utf-8, shift_jis, iso-2022, utf-8n\n"
    "  --ignore-comments      misplaced, levels: leave out tags in comments\n"
    "  -h, --help             this help\n"
    "\n"
    "With several files, each report starts with '==> FILE <=='. Output is UTF-8.\n"
    "Characters the page lost on its way to Shift_JIS are warned of. '--' ends\n"
    "the options.\n"
    "Exit status: 0 done; 1 counts found an unbalanced element, or a file could\n"
    "not be read; 2 usage error.\n";

enum class Report { Counts, Misplaced, Levels, Skeleton, Summary };

struct Named {
  std::string_view name;
  int value;
};
constexpr Named kReports[] = {{"counts", int(Report::Counts)},
                              {"misplaced", int(Report::Misplaced)},
                              {"levels", int(Report::Levels)},
                              {"skeleton", int(Report::Skeleton)},
                              {"summary", int(Report::Summary)}};

template <std::size_t N>
std::optional<int> Lookup(const Named (&table)[N], std::string_view name) {
  for (const Named& row : table)
    if (row.name == name) return row.value;
  return std::nullopt;
}

const StructureLabels kLabels{
    .element = "element",
    .opening = "opening",
    .closing = "closing",
    .difference = "difference",
    .balancedFiller = " ",
    .unbalancedMark = "*",
    .moreOpening = "more opening than closing tags",
    .moreClosing = "more closing than opening tags",
    .noLevelElements = "no level element",
    .noMisplacedLines = "no line holds a level element's tag elsewhere than at its start",
    .noLevelLines = "no line holds a level element's tag other than </div>",
    .neverClosed = "<- never closed",
    .noOpeningDiv = "<- closes no open div",
    .noDivs = "no div",
    .divCount = "divs",
    .greatestDepth = "greatest depth",
    .depth = "depth",
    .deepestPath = "deepest path",
    .unbalancedPlaces = "unbalanced places",
    .none = "none",
};

// Options that take no value: "--ignore-comments=no" is refused.
constexpr std::string_view kFlags[] = {"--ignore-comments", "--help"};

struct CommandLine {
  Report report = Report::Counts;
  bool org = false;
  bool ignoreComments = false;
  CharCodeIndex openCharset = kCharCodeAuto;
  std::vector<std::string> files;
};

std::optional<CommandLine> Parse(const Args& args, bool& help) {
  auto fail = [](const std::string& message) {
    PrintError("analyze: " + message + " (see 'zelm-cli analyze --help')");
    return std::nullopt;
  };
  CommandLine line;
  bool reportGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!optionsEnded && IsEndOfOptions(args[i])) {
      optionsEnded = true;
      continue;
    }
    const SplitArgument split = optionsEnded ? SplitArgument{args[i], std::nullopt} : SplitInlineValue(args[i]);
    const std::string_view arg = split.name;
    if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
      if (reportGiven) {
        line.files.emplace_back(arg);
        continue;
      }
      const auto report = Lookup(kReports, arg);
      if (!report) return fail("unknown report '" + std::string(arg) + "'");
      line.report = static_cast<Report>(*report);
      reportGiven = true;
      continue;
    }
    if (FlagGivenAValue(split, kFlags)) return fail(std::string(arg) + " takes no value");
    auto value = [&] { return OptionValue(args, i, split.inlineValue); };
    if (IsHelpFlag(arg)) {
      help = true;
      return line;
    } else if (arg == "--text") {
      const auto v = value();
      if (!v || (*v != "local" && *v != "org")) return fail("--text takes local or org");
      line.org = *v == "org";
    } else if (arg == "--open-charset") {
      const auto v = value();
      const auto code = v ? OpenCharsetNamed(*v) : std::nullopt;
      if (!code) return fail("--open-charset takes " + std::string(kOpenCharsetChoices));
      line.openCharset = *code;
    } else if (arg == "--ignore-comments") {
      line.ignoreComments = true;
    } else {
      return fail("unknown option '" + std::string(args[i]) + "'");
    }
  }
  if (!reportGiven) return fail("name a report: counts, misplaced, levels, skeleton or summary");
  if (line.files.empty()) return fail("name a file");
  return line;
}

// A page as the indent command reads it, brought to the text the checks
// look at.
LoadedPage LoadPageText(const std::string& path, const CommandLine& line) {
  // A large page takes its texts from memory in large pages, as indent's do.
  constexpr std::uintmax_t kLargePage = std::uintmax_t{2} << 20, kLargestPrepared = std::uintmax_t{1} << 28;
  std::error_code sizeUnknown;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
  if (!sizeUnknown && size >= kLargePage)
    PrepareHeapInLargePages(static_cast<std::size_t>(std::min(size, kLargestPrepared)) * 4);
  PipelineOptions options;
  options.OpenCharset = OpenCharsetFromValue(line.openCharset).value_or(OpenCharset::kAutomatic);
  options.Threads = DefaultPassThreads();  // a large page shares the cores; the text is the same
  const WantedInputTexts wanted{.Native = false, .Org = line.org, .RefOrg = false, .Local = !line.org};
  return LoadPageFile(path, options, wanted);
}

// The report's lines (Shift_JIS); `unbalanced` is set when counts finds an
// element whose tags do not pair up.
std::vector<std::string> Run(const CommandLine& line, std::string_view text, bool& unbalanced) {
  switch (line.report) {
    case Report::Counts: {
      const auto counts = CountLevelElements(text);
      unbalanced = !AllBalanced(counts);
      return RenderElementCounts(counts, kLabels, CountLayout::Columns);
    }
    case Report::Misplaced:
      return RenderLineList(MisplacedLevelTagLines(text, line.ignoreComments), kLabels.noMisplacedLines);
    case Report::Levels:
      return RenderLineList(LevelTagLinesExceptDivClose(text, line.ignoreComments), kLabels.noLevelLines);
    case Report::Skeleton:
      return RenderDivSkeleton(BuildDivSkeleton(text), kLabels);
    case Report::Summary: {
      const DivSkeleton skeleton = BuildDivSkeleton(text);
      return RenderDivSummary(skeleton, SummarizeDivs(skeleton), kLabels);
    }
  }
  return {};
}

}  // namespace

int RunAnalyzeCommand(const Args& args) {
  bool help = false;
  const auto line = Parse(args, help);
  if (help) {
    WriteAllStdout(kHelp);
    return kExitOk;
  }
  if (!line) return kExitUsage;

  KeepFreedMemoryForReuse();
  int status = kExitOk;
  for (std::size_t i = 0; i < line->files.size(); ++i) {
    const std::string& path = line->files[i];
    const LoadedPage page = LoadPageText(path, *line);
    if (!page.ok()) {
      PrintError("analyze: cannot read '" + path + "': " + page.error->Describe());
      status = kExitFailure;
      continue;
    }
    // Characters that became '?' or others do not move a tag, but the lines
    // quoted hold them.
    if (page.loss.any()) PrintError("analyze: warning: " + path + ": " + page.loss.Describe());
    const std::string& text = line->org ? page.texts.Org : page.texts.Local;
    bool unbalanced = false;
    std::string report;
    for (const std::string& reportLine : Run(*line, text, unbalanced)) (report += reportLine) += '\n';
    if (unbalanced) status = kExitFailure;
    // The heading holds the path as the user gave it; the report is
    // Shift_JIS like the page, and goes to the terminal as UTF-8.
    const std::string heading = line->files.size() > 1 ? (i == 0 ? "==> " : "\n==> ") + path + " <==\n" : "";
    if (!WriteAllStdout(heading) || !WriteAllStdout(SjisToUtf8(report).text)) {
      PrintError("analyze: cannot write to standard output");
      return kExitFailure;
    }
  }
  return status;
}

}  // namespace zelm::cli
