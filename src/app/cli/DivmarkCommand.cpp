// zelm-cli divmark: inserts, removes or rewrites the comment labels of the
// closing div tags of page files.
//
// A page is read in its own encoding into Shift_JIS, labelled, and written
// back in that encoding. Nothing else of the page changes: unlike the
// input stage of indent, no blank line is folded away and no charset label
// is rewritten, and a page whose lines end in LF keeps them. A page that
// would not come back byte for byte from Shift_JIS (characters Shift_JIS
// lacks, or other forms of the same characters) is written with a warning,
// and never in place unless forced.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>

#include "app/FileCommands.h"
#include "app/cli/Commands.h"
#include "app/cli/IndentJob.h"
#include "app/cli/PageSearch.h"
#include "encoding/Utf8Convert.h"
#include "indent/DivCommentMarks.h"
#include "text/StringUtil.h"

namespace zelm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: zelm-cli divmark insert|remove|replace [OPTIONS] FILE...\n"
    "\n"
    "Labels the closing div tags of pages with a comment between two marks, or\n"
    "turns the labels into plain tags or ordinary comments:\n"
    "  insert   each \"</div>\" on a line that closes a div without opening one\n"
    "           becomes \"</div @--  \xE2\x96\xA0\xE2\x96\xA0\xE2\x96\xA0\xE2\x96\xA0  --@ >\": "
    "write the block's name over the squares\n"
    "  remove   each comment from a start mark to its end mark is deleted:\n"
    "           \"</div @-- menu --@ >\" becomes \"</div>\"\n"
    "  replace  each labelled tag becomes a tag and an ordinary comment:\n"
    "           \"</div @-- menu --@ >\" becomes \"</div><!-- menu -->\"\n"
    "\n"
    "Options:\n"
    "  --start MARK           the start mark (default @--)\n"
    "  --end MARK             the end mark (default --@)\n"
    "  --no-space             no blank before the start mark and after the end mark\n"
    "                         (use it for remove as it was used for insert)\n"
    "  --no-text              insert: a single blank as the comment, not the squares\n"
    "  --open-charset CODE    auto (default), euc-jp, utf-8, shift_jis, iso-2022, utf-8n\n"
    "  -o, --output PATH      write to PATH (a file, or a folder for several inputs)\n"
    "  --in-place             replace each changed file, keeping the old one as ZZBU_<name>\n"
    "  --force                write in place even when the page would not come back\n"
    "                         byte for byte from Shift_JIS (characters become '?')\n"
    "  -q, --quiet            no summary\n"
    "  -h, --help             this help\n"
    "\n"
    "Each page is read in the encoding it declares (or is detected as), labelled\n"
    "in Shift_JIS and written back in its own encoding; nothing else of the page\n"
    "changes (a page whose lines end in CR, or in several ways, gets CR LF).\n"
    "One input without -o or --in-place is written to standard output; \"-\" is\n"
    "standard input. '--' ends the options.\n"
    "Exit status: 0 all files done, 1 some file failed, 2 usage error.\n";

constexpr struct {
  std::string_view name;
  DivMarkCommand command;
} kCommands[] = {{"insert", DivMarkCommand::Insert}, {"remove", DivMarkCommand::Remove}, {"replace", DivMarkCommand::Replace}};

// Options that take no value: "--in-place=no" is refused, not taken for "--in-place".
constexpr std::string_view kFlags[] = {"--no-space", "--no-text", "--in-place", "--force", "--quiet", "--help"};

struct CommandLine {
  DivMarkCommand command = DivMarkCommand::Insert;
  DivMarkOptions marks;  // in Shift_JIS
  CharCodeIndex openCharset = kCharCodeAuto;
  std::vector<std::string> files;
  std::string output;
  bool inPlace = false;
  bool force = false;
  bool quiet = false;
};

// A mark typed in the terminal (UTF-8), in Shift_JIS.
std::optional<std::string> MarkInShiftJis(std::string_view mark) {
  if (!IsValidUtf8(mark)) return std::nullopt;
  const Converted converted = Utf8ToSjis(mark);
  if (converted.loss.any()) return std::nullopt;
  return converted.text;
}

std::optional<CommandLine> Parse(const Args& args, bool& help) {
  CommandLine line;
  auto fail = [](const std::string& message) {
    PrintError("divmark: " + message + " (see 'zelm-cli divmark --help')");
    return std::nullopt;
  };
  bool commandGiven = false;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!optionsEnded && IsEndOfOptions(args[i])) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || args[i] == "-" || !args[i].starts_with('-')) {
      if (commandGiven) {
        line.files.emplace_back(args[i]);
        continue;
      }
      const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                        [&](const auto& row) { return row.name == args[i]; });
      if (command == std::end(kCommands))
        return fail("the first argument is insert, remove or replace, not '" + std::string(args[i]) + "'");
      line.command = command->command;
      commandGiven = true;
      continue;
    }
    const SplitArgument split = SplitInlineValue(args[i]);
    const std::string_view arg = split.name;
    if (FlagGivenAValue(split, kFlags)) return fail(std::string(arg) + " takes no value");
    auto value = [&] { return OptionValue(args, i, split.inlineValue); };
    auto mark = [&](std::string& target) {
      const auto v = value();
      const auto converted = v && !v->empty() ? MarkInShiftJis(*v) : std::nullopt;
      if (converted) target = *converted;
      return converted.has_value();
    };
    if (IsHelpFlag(arg)) {
      help = true;
      return line;
    } else if (arg == "--start") {
      if (!mark(line.marks.startMark)) return fail("--start takes a mark of characters Shift_JIS has");
    } else if (arg == "--end") {
      if (!mark(line.marks.endMark)) return fail("--end takes a mark of characters Shift_JIS has");
    } else if (arg == "--no-space") {
      line.marks.noSpace = true;
    } else if (arg == "--no-text") {
      line.marks.noText = true;
    } else if (arg == "--open-charset") {
      const auto v = value();
      const auto code = v ? OpenCharsetNamed(*v) : std::nullopt;
      if (!code) return fail("--open-charset takes " + std::string(kOpenCharsetChoices));
      line.openCharset = *code;
    } else if (arg == "-o" || arg == "--output") {
      const auto v = value();
      if (!v || v->empty()) return fail("-o takes a path");
      line.output = std::string(*v);
    } else if (arg == "--in-place") {
      line.inPlace = true;
    } else if (arg == "--force") {
      line.force = true;
    } else if (arg == "-q" || arg == "--quiet") {
      line.quiet = true;
    } else {
      return fail("unknown option '" + std::string(args[i]) + "'");
    }
  }
  if (!commandGiven) return fail("name the command: insert, remove or replace");
  if (line.files.empty()) return fail("name a file");
  if (line.inPlace && !line.output.empty()) return fail("--in-place and -o exclude each other");
  if (line.inPlace && std::find(line.files.begin(), line.files.end(), "-") != line.files.end())
    return fail("standard input cannot be written in place");
  return line;
}

// A page as the commands take it: in Shift_JIS with CR LF after every
// line, and what it takes to write it back as it was.
struct PageText {
  PlainText plain;            // the page in Shift_JIS as it was, its encoding and byte-order mark
  bool lfLineEnds = false;    // the page ends its lines with LF alone
  bool lastLineEnded = true;  // the page's last line has a line end
  std::string text;           // the Shift_JIS text with CR LF line ends
};

PageText ReadPage(std::string_view bytes, CharCodeIndex openCharset) {
  PageText page;
  page.lfLineEnds = bytes.find('\r') == std::string_view::npos && bytes.find('\n') != std::string_view::npos;
  page.lastLineEnded = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
  page.plain = PlainTextToShiftJis(bytes, openCharset);
  page.text = NormalizeLineEnds(page.plain.text);
  if (!page.text.empty() && !page.text.ends_with("\r\n")) page.text += "\r\n";
  return page;
}

// A Shift_JIS text with CR LF line ends in the page's own encoding and line
// ends.
std::string WriteBack(std::string sjis, const PageText& page) {
  if (!page.lastLineEnded && sjis.ends_with("\r\n")) sjis.resize(sjis.size() - 2);
  if (page.lfLineEnds) std::erase(sjis, '\r');  // the page had none: each CR came with a CR LF
  std::string bytes = EncodeText(std::move(sjis), page.plain.readAs).text;
  if (page.plain.byteOrderMark) bytes.insert(0, kUtf8ByteOrderMark);
  return bytes;
}

// 1-based line of the first byte where two texts differ.
std::size_t FirstDifferentLine(std::string_view a, std::string_view b) {
  const auto at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  return LineOfPosition(a, static_cast<std::size_t>(at) + 1);
}

struct FileOutcome {
  bool ok = true;
  bool changed = false;
  bool lossy = false;  // the page does not come back byte for byte
  std::string message;
  std::vector<std::string> warnings;
  std::string bytes;                  // what to write
  std::string original;               // the file as read
  std::optional<FileIdentity> read;   // the file as read, for an in-place write
};

FileOutcome LabelFile(const std::string& path, const CommandLine& line) {
  FileOutcome outcome;
  auto fail = [&](std::string message) {
    outcome.ok = false;
    outcome.message = std::move(message);
    return std::move(outcome);
  };
  if (path == "-") {
    std::optional<std::string> input = ReadAllStdin();
    if (!input) return fail("cannot read standard input");
    if (input->find('\0') != std::string::npos) return fail("binary file (it holds NUL bytes): skipped");
    outcome.original = std::move(*input);
  } else {
    TextFileRead file = ReadTextFile(path);
    if (!file.ok()) return fail(file.error->Describe());
    outcome.original = std::move(file.bytes);
    outcome.read = file.identity;
  }
  try {
    const PageText page = ReadPage(outcome.original, line.openCharset);
    std::string labelled = RunDivMarkCommand(line.command, page.text, line.marks);
    outcome.changed = labelled != page.text;
    if (!outcome.changed) {
      outcome.bytes = outcome.original;
      return outcome;
    }
    if (page.plain.loss.any()) {
      outcome.lossy = true;
      outcome.warnings.push_back(page.plain.loss.Describe());
    } else if (const std::string same = WriteBack(page.text, page); same != outcome.original) {
      outcome.lossy = true;
      outcome.warnings.push_back("the page does not come back byte for byte through Shift_JIS (line " +
                                 std::to_string(FirstDifferentLine(outcome.original, same)) + " changes)");
    }
    outcome.bytes = WriteBack(std::move(labelled), page);
  } catch (const EncodingError& error) {  // the system cannot convert at all
    return fail(std::string("cannot convert the text: ") + error.what());
  }
  return outcome;
}

void Write(FileOutcome& outcome, const std::string& target, const CommandLine& line) {
  SaveOutcome saved;
  if (line.inPlace) {
    if (!outcome.changed) return;  // no label to change: the file and its backup stay
    if (outcome.lossy && !line.force) {
      outcome.ok = false;
      outcome.message = "not written in place, since the page would change elsewhere (use --force to write anyway)";
      return;
    }
    SaveOptions options;
    options.expected = outcome.read;
    saved = SaveWithBackup(outcome.bytes, target, options);
    if (saved.ok() && saved.otherNames != 0) outcome.warnings.push_back(OtherNamesWarning(saved.otherNames));
  } else {
    if (outcome.bytes.empty()) {
      outcome.ok = false;
      outcome.message = "the page is empty: nothing written";
      return;
    }
    const std::string_view bytes = outcome.bytes;
    saved = SaveOutputFile(std::span<const std::string_view>(&bytes, 1), target);
  }
  if (!saved.ok()) {
    outcome.ok = false;
    outcome.message = saved.error->Describe();
  }
}

}  // namespace

int RunDivmarkCommand(const Args& args) {
  bool help = false;
  const std::optional<CommandLine> parsed = Parse(args, help);
  if (help) {
    std::cout << kHelp;
    return kExitOk;
  }
  if (!parsed) return kExitUsage;
  const CommandLine& line = *parsed;

  std::error_code ignored;
  const bool outputIsFolder = !line.output.empty() && std::filesystem::is_directory(line.output, ignored);
  const bool toStdout = !line.inPlace && line.output.empty();
  if (line.files.size() > 1 && !line.inPlace && !outputIsFolder) {
    PrintError("divmark: several files need --in-place or -o FOLDER, an existing folder "
               "(see 'zelm-cli divmark --help')");
    return kExitUsage;
  }

  // Each real file once (a page named twice, by any path, would be
  // labelled over its own labels and its backup would lose the original).
  std::vector<Input> files;
  std::set<std::pair<dev_t, ino_t>> seen;
  for (const std::string& file : line.files) {
    struct stat info {};
    if (file == "-" || ::stat(file.c_str(), &info) != 0 || seen.insert({info.st_dev, info.st_ino}).second)
      files.push_back({file, {}});
  }
  // Where each goes, checked before anything is written: two pages of one
  // name going to one folder, or an output that is an input, stop the run.
  std::vector<std::string> targets(files.size());
  for (std::size_t i = 0; i < files.size(); ++i)
    targets[i] = line.inPlace ? files[i].path : outputIsFolder ? OutputPathInFolder(line.output, files[i]) : line.output;
  if (!line.inPlace && !toStdout) {
    if (const auto clash = OutputClash(files, targets)) {
      PrintError("divmark: " + *clash + ": nothing written");
      return kExitUsage;
    }
  }

  std::size_t failed = 0, changed = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string& file = files[i].path;
    FileOutcome outcome = LabelFile(file, line);
    if (outcome.ok && toStdout) {
      if (!WriteAllStdout(outcome.bytes)) {
        PrintError("divmark: cannot write standard output");
        return kExitFailure;
      }
    } else if (outcome.ok) {
      Write(outcome, targets[i], line);
    }
    for (const std::string& warning : outcome.warnings) PrintError("warning: " + file + ": " + warning);
    if (!outcome.ok) PrintError(file + ": " + outcome.message);
    failed += !outcome.ok;
    changed += outcome.ok && outcome.changed;
  }
  if (!line.quiet && !toStdout) {
    std::cerr << "zelm-cli: divmark: " << changed << " of " << files.size() << " file"
              << (files.size() == 1 ? "" : "s") << " changed";
    if (failed) std::cerr << ", " << failed << " failed";
    std::cerr << '\n';
  }
  return failed ? kExitFailure : kExitOk;
}

}  // namespace zelm::cli
