// zelm-cli indent: the file input stage and the indent stage on files,
// folders or pasted text, written to standard output, a file or in place.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

#include "app/FileCommands.h"
#include "app/cli/CheckJob.h"
#include "app/cli/Commands.h"
#include "app/cli/IgnoreRules.h"
#include "app/cli/IndentJob.h"
#include "app/cli/MemoryPolicy.h"
#include "app/cli/PageSearch.h"
#include "app/cli/ProjectConfig.h"
#include "app/cli/UrlInput.h"
#include "text/FileIO.h"
#include "text/SafeFile.h"
#include "threads/ThreadPool.h"

namespace zelm::cli {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: zelm-cli indent [OPTIONS] FILE|FOLDER...\n"
         "       zelm-cli indent --check|--diff [OPTIONS] FILE|FOLDER...\n"
         "       zelm-cli indent --stdin-filepath NAME [OPTIONS] < page.html\n"
         "       zelm-cli indent [OPTIONS] http://ADDRESS|https://ADDRESS\n"
         "       zelm-cli indent --paste [OPTIONS] < page.html\n"
         "\n"
         "Re-indents HTML pages: detects and converts the encoding, normalises tags,\n"
         "puts one tag per line and indents every line by its block level. Folders\n"
         "are searched for .htm and .html files (backups named ZZBU_* are skipped),\n"
         "leaving out what .zelmignore files (gitignore patterns) name; a file named\n"
         "on the command line is taken all the same (unless --force-ignore). An\n"
         "http:// or https:// address is downloaded (one at a time) and read by the\n"
         "charset it declares, as pasted text is.\n"
         "\n"
         "Options:\n"
         "  --indent 2|4|tab|none  indentation unit (default 2 spaces)\n"
         "  --open-charset CODE    auto (default), euc-jp, utf-8, shift_jis, iso-2022, utf-8n\n"
         "  --lower                always lower-case tags and drop surplus blank lines\n"
         "  --no-preprocess        keep the page's own lines (no line-breaking pass)\n"
         "  --div-comment-concat   join a </div> line with a following <!-- line\n"
         "  --emit TEXT            native, org, local, work or result (default result)\n"
         "  --output-charset CODE  auto (default: the page's own encoding), shift_jis, utf-8\n"
         "  --unmappable HOW       a character without an exact form in the encoding it is\n"
         "                         brought to: question (default, '?' or its nearest form,\n"
         "                         reported) or ncr (written as &#N;, which shows the same)\n"
         "  --keep-pre             keep every byte from <pre or <textarea to its closing tag\n"
         "  -o, --output PATH      write to PATH: a file, or a folder for several inputs, in\n"
         "                         which each folder's pages keep their place below it\n"
         "  --in-place             replace each file, keeping it as it was right before as\n"
         "                         ZZBU_<name> beside it\n"
         "  --force                write in place even when characters were lost or changed\n"
         "  --check                write nothing; list the pages that indenting would change\n"
         "                         (exit status 1 when there is one)\n"
         "  --diff                 write nothing; print a unified diff (UTF-8) of each page\n"
         "                         against its result (exit status 1 when one would change).\n"
         "                         The diff is a shortest one unless a huge page is changed\n"
         "                         throughout: its search is then bounded (about a second)\n"
         "                         and the diff, still correct, may show more as changed\n"
         "  --stdin-filepath NAME  read the page from standard input and write the result to\n"
         "                         standard output; NAME names it in messages and chooses\n"
         "                         the .zelmrc that applies (the file need not exist)\n"
         "  --paste                read pasted HTML (Shift_JIS) from standard input\n"
         "  --verify               check that the result keeps every line of the page\n"
         "                         (only line breaks and blanks at line ends change); writes nothing\n"
         "  --no-config            ignore .zelmrc files\n"
         "  --no-ignore            ignore .zelmignore files (search every folder)\n"
         "  --force-ignore         leave out what .zelmignore files name even when it is named\n"
         "                         on the command line (or by --stdin-filepath, whose page\n"
         "                         then comes out as it went in): for hooks, which name\n"
         "                         every staged page\n"
         "  -j, --jobs N           cores to use (default: all): files processed at once,\n"
         "                         and a single large page shares them\n"
         "  -q, --quiet            no progress line and no summary\n"
         "  -h, --help             this help\n"
         "\n"
         "Each page is indented with the choices of the first .zelmrc found in its\n"
         "folder or a folder above it (the keys of the settings file: IndentType,\n"
         "OpenCharset, ConvertUpper2Lower, DontPreprocessing, DivCommentConcat,\n"
         "SaveCharSet); options on the command line win. Pasted text and addresses take\n"
         "the .zelmrc of the current folder. 'zelm-cli config FILE' shows what applies.\n"
         "\n"
         "One input without -o or --in-place is written to standard output. A file named\n"
         "twice (by any path) is indented once. A page another program changes after the\n"
         "run started, or holds locked, is not replaced. '--' ends the options.\n"
         "Exit status: 0 all files done (with --check or --diff: none would change),\n"
         "1 some file or folder failed, the download failed, or (with --check or\n"
         "--diff) some page would change, 2 usage error or a .zelmrc that cannot be\n"
         "used (nothing is done then).\n";
}

struct Table {
  std::string_view name;
  int value;
};

template <std::size_t N>
std::optional<int> Lookup(const Table (&table)[N], std::string_view name) {
  for (const Table& row : table)
    if (row.name == name) return row.value;
  return std::nullopt;
}

constexpr Table kEmits[] = {{"native", int(EmitText::Native)}, {"org", int(EmitText::Org)},
                            {"local", int(EmitText::Local)},   {"work", int(EmitText::Work)},
                            {"result", int(EmitText::Result)}};
constexpr Table kUnmappables[] = {{"question", int(Unmappable::Question)}, {"ncr", int(Unmappable::Reference)}};

// Options that take no value: "--in-place=no" is refused, not taken for "--in-place".
constexpr std::string_view kFlags[] = {"--in-place", "--force",     "--verify",    "--paste",     "--quiet",
                                       "--keep-pre", "--check",     "--diff",      "--no-config", "--no-ignore",
                                       "--force-ignore", "--help"};

struct CommandLine {
  IndentJobOptions job;
  IndentChoices given;  // the choices set on the command line, which win over a .zelmrc
  std::vector<std::string> inputs;
  std::string output;
  std::optional<std::string> stdinPath;
  bool inPlace = false;
  bool paste = false;
  bool quiet = false;
  bool check = false;
  bool diff = false;
  bool noConfig = false;
  bool noIgnore = false;
  bool forceIgnore = false;
  unsigned jobs = 0;

  bool Checking() const { return check || diff; }
};

// Parses the arguments; prints the reason and returns nullopt when they are
// wrong. Sets `help` when help was asked for.
std::optional<CommandLine> Parse(const Args& args, bool& help) {
  CommandLine line;
  auto fail = [](const std::string& message) {
    PrintError(message + " (see 'zelm-cli indent --help')");
    return std::nullopt;
  };
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (optionsEnded) {
      line.inputs.emplace_back(args[i]);
      continue;
    }
    if (IsEndOfOptions(args[i])) {
      optionsEnded = true;
      continue;
    }
    const SplitArgument split = SplitInlineValue(args[i]);
    const std::string_view arg = split.name;
    if (split.inlineValue && std::find(std::begin(kFlags), std::end(kFlags), arg) != std::end(kFlags))
      return fail(std::string(arg) + " takes no value");
    auto value = [&] { return OptionValue(args, i, split.inlineValue); };
    auto choice = [&](const auto& table, int& target) {
      const auto v = value();
      const auto found = v ? Lookup(table, *v) : std::nullopt;
      if (!found) return false;
      target = *found;
      return true;
    };
    std::string choiceError;
    if (IsHelpFlag(arg)) {
      help = true;
      return line;
    } else if (ParseChoiceOption(arg, args, i, split.inlineValue, line.given, choiceError)) {
      if (!choiceError.empty()) return fail(choiceError);
    } else if (arg == "--emit") {
      int emit = 0;
      if (!choice(kEmits, emit)) return fail("--emit takes native, org, local, work or result");
      line.job.emit = static_cast<EmitText>(emit);
    } else if (arg == "--unmappable") {
      int unmappable = 0;
      if (!choice(kUnmappables, unmappable)) return fail("--unmappable takes question or ncr");
      line.job.pipeline.UnmappableAs = static_cast<Unmappable>(unmappable);
    } else if (arg == "--keep-pre") {
      line.job.pipeline.KeepPre = true;
    } else if (arg == "-o" || arg == "--output") {
      const auto v = value();
      if (!v || v->empty()) return fail("-o takes a path");
      line.output = std::string(*v);
    } else if (arg == "--in-place") {
      line.inPlace = true;
    } else if (arg == "--force") {
      line.job.force = true;
    } else if (arg == "--verify") {
      line.job.verify = true;
    } else if (arg == "--paste") {
      line.paste = true;
    } else if (arg == "--check") {
      line.check = true;
    } else if (arg == "--diff") {
      line.diff = true;
    } else if (arg == "--no-config") {
      line.noConfig = true;
    } else if (arg == "--no-ignore") {
      line.noIgnore = true;
    } else if (arg == "--force-ignore") {
      line.forceIgnore = true;
    } else if (arg == "--stdin-filepath") {
      const auto v = value();
      if (!v || v->empty()) return fail("--stdin-filepath takes the name of the page");
      line.stdinPath = std::string(*v);
    } else if (arg == "-q" || arg == "--quiet") {
      line.quiet = true;
    } else if (arg == "-j" || arg == "--jobs") {
      const auto v = value();
      const auto n = v ? ParseIntInRange(*v, 1, 1024) : std::nullopt;
      if (!n) return fail("-j takes a number of jobs from 1 to 1024");
      line.jobs = static_cast<unsigned>(*n);
    } else if (arg.starts_with("-") && arg != "-") {
      return fail("unknown option '" + std::string(args[i]) + "'");
    } else {
      line.inputs.emplace_back(arg);
    }
  }
  if (line.inPlace && !line.output.empty()) return fail("--in-place and -o exclude each other");
  if (line.noIgnore && line.forceIgnore) return fail("--no-ignore and --force-ignore exclude each other");
  if (line.Checking()) {
    if (line.inPlace || !line.output.empty() || line.job.verify || line.paste)
      return fail("--check and --diff write nothing: they go without --in-place, -o, --verify and --paste");
    if (line.job.emit != EmitText::Result) return fail("--check and --diff compare the result: they go without --emit");
  }
  if (line.stdinPath) {
    if (!line.inputs.empty() || line.paste || line.inPlace || !line.output.empty() || line.job.verify)
      return fail("--stdin-filepath reads standard input and writes standard output: it goes without files, "
                  "--paste, --in-place, -o and --verify");
    return line;
  }
  if (line.paste) {
    if (!line.inputs.empty()) return fail("--paste reads standard input and takes no files");
    if (line.inPlace) return fail("--paste has no file to write in place");
  } else if (line.inputs.empty()) {
    return fail("name a file or folder, or use --paste");
  }
  if (line.job.verify && (line.inPlace || !line.output.empty() || line.paste))
    return fail("--verify writes nothing: it goes without --in-place, -o and --paste");
  if (line.inPlace && line.job.emit == EmitText::Native)
    return fail("--emit native with --in-place would only rewrite the file with itself");
  return line;
}

class Progress {
 public:
  Progress(std::size_t total, bool enabled) : total_(total), enabled_(enabled && ::isatty(STDERR_FILENO)) {}

  void Done(const std::string& file) {
    if (!enabled_) return;
    const std::size_t done = ++done_;
    std::lock_guard lock(mutex_);
    std::cerr << "\r\033[K[" << done << '/' << total_ << "] " << file << std::flush;
    if (done == total_) std::cerr << "\r\033[K" << std::flush;
  }

 private:
  std::size_t total_;
  bool enabled_;
  std::atomic<std::size_t> done_{0};
  std::mutex mutex_;
};

// Where each page's choices come from: its .zelmrc (unless --no-config)
// under the options given on the command line.
class JobChoices {
 public:
  explicit JobChoices(const CommandLine& line) : line_(line) {}

  // The .zelmrc that applies to a page (a folder: to its pages); null with
  // --no-config or when none applies.
  std::shared_ptr<const ProjectConfig> ConfigFor(const std::string& page) {
    if (line_.noConfig) return nullptr;
    std::shared_ptr<const ProjectConfig> config = finder_.ForPage(page);
    return config->path.empty() ? nullptr : config;
  }

  IndentJobOptions JobFor(const ProjectConfig* config) const {
    IndentJobOptions job = line_.job;
    if (config) ApplyChoices(config->choices, job);
    ApplyChoices(line_.given, job);
    return job;
  }

 private:
  const CommandLine& line_;
  ProjectConfigFinder finder_;
};

// A .zelmrc that cannot be used stops the run before anything is done.
bool ReportUnusable(const ProjectConfig* config) {
  if (!config || config->error.empty()) return false;
  PrintError(config->error + " (nothing done; --no-config ignores it)");
  return true;
}

// What --check and --diff print for a page that would change: its name,
// or its diff.
bool PrintCheck(const std::string& file, const PageCheck& check, bool diff) {
  if (!check.changed) return true;
  if (!diff) return WriteAllStdout(file + "\n");
  if (check.diff.empty()) {
    PrintError(file + ": would change only in bytes that show the same in UTF-8 (line ends or encoding)");
    return true;
  }
  if (check.bareLineFeeds)
    PrintError("note: " + file + ": its lines end in LF, and the result's in CR LF: lines whose text stays "
               "show as changed too");
  if (!check.diffMinimal)
    PrintError("note: " + file + ": a huge page changed throughout: the diff's search was bounded, so it may show "
               "more lines as changed than change");
  return WriteAllStdout(check.diff);
}

int RunPaste(const CommandLine& line, JobChoices& choices) {
  const std::optional<std::string> input = ReadAllStdin();
  if (!input) {
    PrintError("cannot read standard input");
    return kExitFailure;
  }
  const std::shared_ptr<const ProjectConfig> config = choices.ConfigFor(".");
  if (ReportUnusable(config.get())) return kExitUsage;
  JobOutcome outcome = IndentPastedText(*input, choices.JobFor(config.get()));
  PrintWarnings({}, outcome.warnings, outcome.notes);
  if (!outcome.ok) {
    PrintError(outcome.message);
    return kExitFailure;
  }
  if (!line.output.empty()) {
    WriteOutcome(outcome, WithHtmlExtensionIfNew(line.output), /*inPlace=*/false, line.job.force);
    if (!outcome.ok) {
      PrintError(outcome.message);
      return kExitFailure;
    }
    return kExitOk;
  }
  return WriteAllStdout(outcome.pieces) ? kExitOk : kExitFailure;
}

// --stdin-filepath NAME: a page on standard input, as a file is read; the
// result (or with --check or --diff, what would change) on standard output.
int RunStdin(const CommandLine& line, JobChoices& choices) {
  const std::string& name = *line.stdinPath;
  const std::optional<std::string> input = ReadAllStdin();
  if (!input) {
    PrintError("cannot read standard input");
    return kExitFailure;
  }
  if (line.forceIgnore) {
    std::error_code error;
    std::string problem;
    const bool ignored = IsPageIgnored(std::filesystem::absolute(name, error).lexically_normal(), problem);
    if (!problem.empty()) {
      PrintError(problem);
      return kExitFailure;
    }
    // A page left out is not indented: as it came, or nothing to check.
    if (ignored) return line.Checking() || WriteAllStdout(*input) ? kExitOk : kExitFailure;
  }
  const std::shared_ptr<const ProjectConfig> config = choices.ConfigFor(name);
  if (ReportUnusable(config.get())) return kExitUsage;
  IndentJobOptions job = choices.JobFor(config.get());
  job.pipeline.Threads = line.jobs ? line.jobs : DefaultPassThreads();
  JobOutcome outcome = IndentPageBytes(*input, job);
  PrintWarnings(name, outcome.warnings, outcome.notes);
  if (!outcome.ok) {
    PrintError(name + ": " + outcome.message);
    return kExitFailure;
  }
  if (line.Checking()) {
    const PageCheck check = ComparePage(*input, outcome, name, line.diff);
    if (!PrintCheck(name, check, line.diff)) {
      PrintError("cannot write standard output");
      return kExitFailure;
    }
    return check.changed ? kExitFailure : kExitOk;
  }
  if (!WriteAllStdout(outcome.pieces)) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int RunIndentCommand(const Args& args) {
  KeepFreedMemoryForReuse();
  bool help = false;
  const std::optional<CommandLine> parsed = Parse(args, help);
  if (help) {
    PrintHelp(std::cout);
    return kExitOk;
  }
  if (!parsed) return kExitUsage;
  const CommandLine& line = *parsed;
  JobChoices choices(line);
  if (line.stdinPath) return RunStdin(line, choices);
  if (line.paste) return RunPaste(line, choices);
  if (NamesWebAddress(line.inputs)) {
    if (line.Checking()) {
      PrintError("--check and --diff compare files, not addresses (see 'zelm-cli indent --help')");
      return kExitUsage;
    }
    const std::shared_ptr<const ProjectConfig> config = choices.ConfigFor(".");
    if (ReportUnusable(config.get())) return kExitUsage;
    return IndentWebAddress(line.inputs, line.output, line.inPlace, choices.JobFor(config.get()));
  }

  // Pages changed by another program after this moment are not replaced:
  // another run may have indented them, and their backups would then hold
  // indented text.
  const timespec started = SystemTimeNow();
  PageSearch search =
      FindPages(line.inputs, {.useIgnoreFiles = !line.noIgnore, .ignoreNamedFiles = line.forceIgnore});
  const std::vector<Input>& files = search.files;
  for (const std::string& error : search.errors) PrintError(error);
  for (const std::string& warning : search.warnings) PrintError("warning: " + warning);
  std::error_code ignored;
  const bool outputIsFolder = !line.output.empty() && std::filesystem::is_directory(line.output, ignored);
  const bool toStdout = !line.inPlace && line.output.empty() && !line.job.verify && !line.Checking();
  if (files.size() > 1 && !line.inPlace && !outputIsFolder && !line.job.verify && !line.Checking()) {
    PrintError("several files need --in-place or -o FOLDER (an existing folder)");
    return kExitUsage;
  }
  if (files.empty()) {
    if (!search.errors.empty()) return kExitFailure;
    if (search.namedIgnored) return kExitOk;  // every page named is left out: nothing to do
    PrintError("no .htm or .html files found");
    return kExitFailure;
  }
  std::vector<std::string> targets(files.size());
  if (!line.output.empty()) {
    for (std::size_t i = 0; i < files.size(); ++i)
      targets[i] = outputIsFolder ? OutputPathInFolder(line.output, files[i]) : WithHtmlExtensionIfNew(line.output);
    if (const auto clash = OutputClash(files, targets)) {
      PrintError(*clash + ": nothing written");
      return kExitUsage;
    }
  } else if (line.inPlace) {
    for (std::size_t i = 0; i < files.size(); ++i) targets[i] = files[i].path;
  }

  // The cores go to files first; a single large page shares what is left.
  const unsigned cores = line.jobs ? line.jobs : DefaultPassThreads();
  const unsigned jobs = static_cast<unsigned>(std::min<std::size_t>(cores, files.size()));
  // Each page's options: those of its .zelmrc, each .zelmrc read once.
  std::map<const ProjectConfig*, IndentJobOptions> optionsByConfig;
  std::vector<const IndentJobOptions*> pageOptions(files.size());
  std::vector<std::shared_ptr<const ProjectConfig>> configs;
  bool unusable = false;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::shared_ptr<const ProjectConfig> config = choices.ConfigFor(files[i].path);
    auto [it, fresh] = optionsByConfig.try_emplace(config.get());
    if (fresh) {
      unusable = ReportUnusable(config.get()) || unusable;
      it->second = choices.JobFor(config.get());
      it->second.pipeline.Threads = std::max(1u, cores / jobs);
      if (line.inPlace) it->second.unchangedSince = started;
      configs.push_back(std::move(config));
    }
    pageOptions[i] = &it->second;
  }
  if (unusable) return kExitUsage;

  std::vector<JobOutcome> outcomes(files.size());
  std::vector<PageCheck> checks(line.Checking() ? files.size() : 0);
  std::vector<bool> finished(files.size(), false);
  std::size_t printed = 0;  // --check and --diff print in the order of the pages
  bool stdoutFailed = false;
  const bool showProgress = !line.quiet && files.size() > 1 && !(line.Checking() && ::isatty(STDOUT_FILENO));
  Progress progress(files.size(), showProgress);
  std::mutex reportMutex;
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      const std::string& file = files[i].path;
      const IndentJobOptions& job = *pageOptions[i];
      JobOutcome& outcome = outcomes[i];
      if (line.Checking()) {
        outcome = CheckFile(file, job, line.diff, checks[i]);
        outcome.pieces.clear();
        outcome.pieces.shrink_to_fit();
      } else {
        outcome = IndentFile(file, job);
        if (outcome.ok && !toStdout && !line.job.verify) {
          std::error_code error;
          if (outputIsFolder)
            std::filesystem::create_directories(std::filesystem::path(targets[i]).parent_path(), error);
          WriteOutcome(outcome, targets[i], line.inPlace, job.force);
        }
      }
      {
        std::lock_guard lock(reportMutex);
        PrintWarnings(file, outcome.warnings, outcome.notes);
        if (!outcome.ok) PrintError(file + ": " + outcome.message);
        if (!outcome.verified.empty()) std::cout << file << ": " << outcome.verified << '\n';
        finished[i] = true;
        for (; line.Checking() && printed < files.size() && finished[printed]; ++printed) {
          if (!stdoutFailed && outcomes[printed].ok && !PrintCheck(files[printed].path, checks[printed], line.diff))
            stdoutFailed = true;
          std::string().swap(checks[printed].diff);
        }
      }
      progress.Done(file);
    }
  };

  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();

  std::size_t failed = 0, warned = 0, changed = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    failed += !outcomes[i].ok;
    warned += !outcomes[i].warnings.empty();
    changed += line.Checking() && outcomes[i].ok && checks[i].changed;
  }
  if ((toStdout && outcomes[0].ok && !WriteAllStdout(outcomes[0].pieces)) || stdoutFailed) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  if (!line.quiet && files.size() > 1) {
    std::cerr << "zelm-cli: ";
    if (line.Checking())
      std::cerr << changed << " of " << files.size() << " pages would be re-indented";
    else
      std::cerr << files.size() - failed << " of " << files.size() << " files "
                << (line.job.verify ? "verified" : "indented");
    if (failed) std::cerr << ", " << failed << " failed";
    if (warned) std::cerr << ", " << warned << " with warnings";
    std::cerr << '\n';
  }
  return (failed || changed || !search.errors.empty()) ? kExitFailure : kExitOk;
}

}  // namespace zelm::cli
