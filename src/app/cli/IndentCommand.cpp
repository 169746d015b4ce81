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
#include <optional>
#include <set>
#include <thread>

#include "app/FileCommands.h"
#include "app/cli/Commands.h"
#include "app/cli/IndentJob.h"
#include "app/cli/MemoryPolicy.h"
#include "app/cli/UrlInput.h"
#include "text/FileIO.h"
#include "text/SafeFile.h"
#include "threads/ThreadPool.h"

namespace zelm::cli {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: zelm-cli indent [OPTIONS] FILE|FOLDER...\n"
         "       zelm-cli indent [OPTIONS] http://ADDRESS|https://ADDRESS\n"
         "       zelm-cli indent --paste [OPTIONS] < page.html\n"
         "\n"
         "Re-indents HTML pages: detects and converts the encoding, normalises tags,\n"
         "puts one tag per line and indents every line by its block level. Folders\n"
         "are searched for .htm and .html files (backups named ZZBU_* are skipped).\n"
         "An http:// or https:// address is downloaded (one at a time) and read by the\n"
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
         "  --paste                read pasted HTML (Shift_JIS) from standard input\n"
         "  --verify               check that the result keeps every line of the page\n"
         "                         (only line breaks and blanks at line ends change); writes nothing\n"
         "  -j, --jobs N           cores to use (default: all): files processed at once,\n"
         "                         and a single large page shares them\n"
         "  -q, --quiet            no progress line and no summary\n"
         "  -h, --help             this help\n"
         "\n"
         "One input without -o or --in-place is written to standard output. A file named\n"
         "twice (by any path) is indented once. A page another program changes after the\n"
         "run started, or holds locked, is not replaced. '--' ends the options.\n"
         "Exit status: 0 all files done, 1 some file or folder failed (or the download\n"
         "failed), 2 usage error.\n";
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

constexpr Table kIndentTypes[] = {{"2", 0}, {"4", 1}, {"tab", 2}, {"none", 3}};
constexpr Table kOpenCharsets[] = {{"auto", 0},     {"euc-jp", 1},   {"utf-8", 2},
                                   {"shift_jis", 3}, {"iso-2022", 4}, {"utf-8n", 5}};
constexpr Table kEmits[] = {{"native", int(EmitText::Native)}, {"org", int(EmitText::Org)},
                            {"local", int(EmitText::Local)},   {"work", int(EmitText::Work)},
                            {"result", int(EmitText::Result)}};
constexpr Table kOutputCharsets[] = {{"auto", int(SaveCharSet::Auto)},
                                     {"shift_jis", int(SaveCharSet::ShiftJis)},
                                     {"utf-8", int(SaveCharSet::Utf8)}};
constexpr Table kUnmappables[] = {{"question", int(Unmappable::Question)}, {"ncr", int(Unmappable::Reference)}};

// Options that take no value: "--in-place=no" is refused, not taken for "--in-place".
constexpr std::string_view kFlags[] = {"--lower", "--no-preprocess", "--div-comment-concat", "--in-place", "--force",
                                       "--verify", "--paste", "--quiet", "--keep-pre", "--help"};

struct CommandLine {
  IndentJobOptions job;
  std::vector<std::string> inputs;
  std::string output;
  bool inPlace = false;
  bool paste = false;
  bool quiet = false;
  unsigned jobs = 0;
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
    if (IsHelpFlag(arg)) {
      help = true;
      return line;
    } else if (arg == "--indent") {
      if (!choice(kIndentTypes, line.job.pipeline.IndentType)) return fail("--indent takes 2, 4, tab or none");
    } else if (arg == "--open-charset") {
      if (!choice(kOpenCharsets, line.job.pipeline.OpenCharset))
        return fail("--open-charset takes auto, euc-jp, utf-8, shift_jis, iso-2022 or utf-8n");
    } else if (arg == "--emit") {
      int emit = 0;
      if (!choice(kEmits, emit)) return fail("--emit takes native, org, local, work or result");
      line.job.emit = static_cast<EmitText>(emit);
    } else if (arg == "--output-charset") {
      int charset = 0;
      if (!choice(kOutputCharsets, charset)) return fail("--output-charset takes auto, shift_jis or utf-8");
      line.job.outputCharset = static_cast<SaveCharSet>(charset);
    } else if (arg == "--unmappable") {
      int unmappable = 0;
      if (!choice(kUnmappables, unmappable)) return fail("--unmappable takes question or ncr");
      line.job.pipeline.UnmappableAs = static_cast<Unmappable>(unmappable);
    } else if (arg == "--keep-pre") {
      line.job.pipeline.KeepPre = true;
    } else if (arg == "--lower") {
      line.job.pipeline.ConvertUpper2Lower = true;
    } else if (arg == "--no-preprocess") {
      line.job.pipeline.DontPreprocessing = true;
    } else if (arg == "--div-comment-concat") {
      line.job.pipeline.DivCommentConcat = true;
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

// A new output file named without an extension is saved as a page.
std::string WithHtmlExtensionIfNew(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored) ? path : WithHtmlExtension(path);
}

bool IsHtmlFileName(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = AsciiLower(c);
  const std::string name = path.filename().string();
  return (extension == ".htm" || extension == ".html") && !name.starts_with("ZZBU_") && name != "ZZ_tmp.html";
}

// A page to indent, and the folder named on the command line it was found
// in (empty for a file named itself): below -o FOLDER it keeps its place
// relative to that folder.
struct Input {
  std::string path;
  std::filesystem::path root;
};

// Searches a folder and its subfolders for pages. Every folder that cannot
// be read is reported. Links are not followed: a link in a folder that
// others can write to could point anywhere.
void SearchFolder(const std::filesystem::path& folder, std::vector<std::string>& found, std::vector<std::string>& errors,
                  std::vector<std::string>& warnings) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  if (error) {
    errors.push_back(folder.string() + ": cannot read the folder: " + error.message());
    return;
  }
  std::vector<fs::path> subfolders;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    if (error) break;
    if (fs::is_directory(status)) {
      subfolders.push_back(it->path());
    } else if (IsHtmlFileName(it->path())) {
      if (fs::is_regular_file(status)) found.push_back(it->path().string());
      else if (fs::is_symlink(status))
        warnings.push_back(it->path().string() + ": a link in a searched folder: skipped (name it to indent the file it names)");
    }
  }
  if (error) errors.push_back(folder.string() + ": cannot read the whole folder: " + error.message());
  std::sort(subfolders.begin(), subfolders.end());
  for (const fs::path& subfolder : subfolders) SearchFolder(subfolder, found, errors, warnings);
}

// The files named, with folders searched for pages; a folder's pages are
// sorted, so runs are repeatable. A file named twice, by any path (a link,
// "./", a folder and a file in it), is taken once.
std::vector<Input> CollectFiles(const std::vector<std::string>& inputs, std::vector<std::string>& errors,
                                std::vector<std::string>& warnings) {
  std::vector<Input> files;
  for (const std::string& input : inputs) {
    std::error_code error;
    if (!std::filesystem::is_directory(input, error)) {
      // "page" names page.html when there is no file "page"; a missing or
      // unreadable file is reported when it is read.
      const bool exists = std::filesystem::exists(input, error);
      files.push_back({exists ? input : ResolveHtmlFileName(input).value_or(input), {}});
      continue;
    }
    std::vector<std::string> found;
    SearchFolder(input, found, errors, warnings);
    std::sort(found.begin(), found.end());
    for (std::string& file : found) files.push_back({std::move(file), input});
  }
  std::set<std::pair<dev_t, ino_t>> seen;
  std::erase_if(files, [&](const Input& file) {
    struct stat info {};
    return ::stat(file.path.c_str(), &info) == 0 && !seen.insert({info.st_dev, info.st_ino}).second;
  });
  return files;
}

// Where the result of `file` goes when -o names a folder: the same place
// below it as below the folder named on the command line.
std::string OutputPathInFolder(const std::string& folder, const Input& file) {
  const std::filesystem::path path(file.path);
  if (file.root.empty()) return (std::filesystem::path(folder) / path.filename()).string();
  return (std::filesystem::path(folder) / path.lexically_normal().lexically_relative(file.root.lexically_normal()))
      .string();
}

// Why the outputs cannot be written, if they cannot: two inputs going to one
// output, or an output that is one of the inputs.
std::optional<std::string> OutputClash(const std::vector<Input>& files, const std::vector<std::string>& targets) {
  std::map<std::string, std::size_t> byTarget;
  std::set<std::pair<dev_t, ino_t>> inputs;
  for (const Input& file : files) {
    struct stat info {};
    if (::stat(file.path.c_str(), &info) == 0) inputs.insert({info.st_dev, info.st_ino});
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const std::string target = std::filesystem::path(targets[i]).lexically_normal().string();
    const auto [it, fresh] = byTarget.emplace(target, i);
    if (!fresh)
      return files[it->second].path + " and " + files[i].path + " would both be written to " + target;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && inputs.contains({info.st_dev, info.st_ino}))
      return target + " is an input: writing it would replace a page without a backup (use --in-place)";
  }
  return std::nullopt;
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

void PrintWarnings(const std::string& file, const JobOutcome& outcome) {
  const std::string prefix = file.empty() ? "" : file + ": ";
  for (const std::string& warning : outcome.warnings) PrintError("warning: " + prefix + warning);
  for (const std::string& note : outcome.notes) PrintError("note: " + prefix + note);
}

// The outcome's pieces one after another.
bool WriteToStdout(const JobOutcome& outcome) {
  for (const std::string& piece : outcome.pieces)
    if (!WriteAllStdout(piece)) return false;
  return true;
}

int RunPaste(const CommandLine& line) {
  const std::optional<std::string> input = ReadAllStdin();
  if (!input) {
    PrintError("cannot read standard input");
    return kExitFailure;
  }
  JobOutcome outcome = IndentPastedText(*input, line.job);
  PrintWarnings({}, outcome);
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
  return WriteToStdout(outcome) ? kExitOk : kExitFailure;
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
  if (line.paste) return RunPaste(line);
  if (NamesWebAddress(line.inputs)) return IndentWebAddress(line.inputs, line.output, line.inPlace, line.job);

  // Pages changed by another program after this moment are not replaced:
  // another run may have indented them, and their backups would then hold
  // indented text.
  const timespec started = SystemTimeNow();
  std::vector<std::string> errors, searchWarnings;
  const std::vector<Input> files = CollectFiles(line.inputs, errors, searchWarnings);
  for (const std::string& error : errors) PrintError(error);
  for (const std::string& warning : searchWarnings) PrintError("warning: " + warning);
  std::error_code ignored;
  const bool outputIsFolder = !line.output.empty() && std::filesystem::is_directory(line.output, ignored);
  const bool toStdout = !line.inPlace && line.output.empty() && !line.job.verify;
  if (files.size() > 1 && !line.inPlace && !outputIsFolder && !line.job.verify) {
    PrintError("several files need --in-place or -o FOLDER (an existing folder)");
    return kExitUsage;
  }
  if (files.empty()) {
    if (errors.empty()) PrintError("no .htm or .html files found");
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
  IndentJobOptions job = line.job;
  job.pipeline.Threads = std::max(1u, cores / jobs);
  if (line.inPlace) job.unchangedSince = started;

  std::vector<JobOutcome> outcomes(files.size());
  Progress progress(files.size(), !line.quiet && files.size() > 1);
  std::mutex reportMutex;
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      const std::string& file = files[i].path;
      JobOutcome& outcome = outcomes[i];
      outcome = IndentFile(file, job);
      if (outcome.ok && !toStdout && !line.job.verify) {
        std::error_code error;
        if (outputIsFolder) std::filesystem::create_directories(std::filesystem::path(targets[i]).parent_path(), error);
        WriteOutcome(outcome, targets[i], line.inPlace, line.job.force);
      }
      {
        std::lock_guard lock(reportMutex);
        PrintWarnings(file, outcome);
        if (!outcome.ok) PrintError(file + ": " + outcome.message);
        if (!outcome.verified.empty()) std::cout << file << ": " << outcome.verified << '\n';
      }
      progress.Done(file);
    }
  };

  std::vector<std::thread> threads;
  for (unsigned t = 1; t < jobs; ++t) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();

  std::size_t failed = 0, warned = 0;
  for (const JobOutcome& outcome : outcomes) {
    failed += !outcome.ok;
    warned += !outcome.warnings.empty();
  }
  if (toStdout && outcomes[0].ok && !WriteToStdout(outcomes[0])) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  if (!line.quiet && files.size() > 1) {
    std::cerr << "zelm-cli: " << files.size() - failed << " of " << files.size() << " files "
              << (line.job.verify ? "verified" : "indented");
    if (failed) std::cerr << ", " << failed << " failed";
    if (warned) std::cerr << ", " << warned << " with warnings";
    std::cerr << '\n';
  }
  return (failed || !errors.empty()) ? kExitFailure : kExitOk;
}

}  // namespace zelm::cli
