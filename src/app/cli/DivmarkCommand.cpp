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
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>

#include <sys/stat.h>

#include "app/FileCommands.h"
#include "app/cli/Commands.h"
#include "app/cli/IndentJob.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "indent/DivCommentMarks.h"
#include "text/FileIO.h"
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
    "standard input.\n"
    "Exit status: 0 all files done, 1 some file failed, 2 usage error.\n";

struct Choice {
  std::string_view name;
  int value;
};
constexpr Choice kCommands[] = {{"insert", int(DivMarkCommand::Insert)},
                                {"remove", int(DivMarkCommand::Remove)},
                                {"replace", int(DivMarkCommand::Replace)}};
constexpr Choice kOpenCharsets[] = {{"auto", kCharCodeAuto},         {"euc-jp", kCharCodeEucJp},
                                    {"utf-8", kCharCodeUtf8},        {"shift_jis", kCharCodeShiftJis},
                                    {"iso-2022", kCharCodeIso2022Jp}, {"utf-8n", kCharCodeUtf8N}};

template <std::size_t N>
std::optional<int> Lookup(const Choice (&choices)[N], std::string_view name) {
  for (const Choice& choice : choices)
    if (choice.name == name) return choice.value;
  return std::nullopt;
}

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
    std::string_view arg = args[i];
    if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
      if (!commandGiven) {
        const auto command = Lookup(kCommands, arg);
        if (!command) return fail("the first argument is insert, remove or replace, not '" + std::string(arg) + "'");
        line.command = static_cast<DivMarkCommand>(*command);
        commandGiven = true;
      } else {
        line.files.emplace_back(arg);
      }
      continue;
    }
    std::optional<std::string_view> inlineValue;
    if (arg.starts_with("--") && arg.find('=') != std::string_view::npos) {
      inlineValue = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
    }
    auto value = [&]() -> std::optional<std::string_view> {
      if (inlineValue) return inlineValue;
      if (i + 1 < args.size()) return args[++i];
      return std::nullopt;
    };
    auto mark = [&](std::string& target) {
      const auto v = value();
      const auto converted = v && !v->empty() ? MarkInShiftJis(*v) : std::nullopt;
      if (converted) target = *converted;
      return converted.has_value();
    };
    if (IsHelpFlag(arg)) {
      help = true;
      return line;
    } else if (arg == "--") {
      optionsEnded = true;
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
      const auto code = v ? Lookup(kOpenCharsets, *v) : std::nullopt;
      if (!code) return fail("--open-charset takes auto, euc-jp, utf-8, shift_jis, iso-2022 or utf-8n");
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

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// A page as the commands take it: in Shift_JIS with CR LF after every
// line, and what it takes to write it back as it was.
struct PageText {
  CharCodeIndex encoding = kCharCodeShiftJis;
  bool byteOrderMark = false;  // UTF-8: the page starts with one, kept aside
  bool lfLineEnds = false;     // the page ends its lines with LF alone
  bool lastLineEnded = true;   // the page's last line has a line end
  Converted sjis;
  std::string text;            // the Shift_JIS text with CR LF line ends
};

PageText ReadPage(std::string_view bytes, CharCodeIndex openCharset) {
  PageText page;
  page.encoding = openCharset == kCharCodeAuto ? ConvertAutomatically(bytes).readAs : openCharset;
  page.lfLineEnds = bytes.find('\r') == std::string_view::npos && bytes.find('\n') != std::string_view::npos;
  page.lastLineEnded = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
  switch (page.encoding) {
    case kCharCodeEucJp: page.sjis = EucToSjis(bytes); break;
    case kCharCodeIso2022Jp: page.sjis = JisToSjis(bytes); break;
    case kCharCodeUtf8:
    case kCharCodeUtf8N:
      page.byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark);
      if (page.byteOrderMark) bytes.remove_prefix(kUtf8ByteOrderMark.size());
      // As the automatic mode reads it: the lenient reader, else the strict one.
      if (auto lenient = LenientUtf8ToSjis(bytes)) page.sjis = std::move(*lenient);
      else page.sjis = Utf8ToSjis(bytes);
      break;
    default:
      page.encoding = kCharCodeShiftJis;
      page.sjis.text = std::string(bytes);
  }
  page.text = NormalizeLineEnds(page.sjis.text);
  if (!page.text.empty() && !page.text.ends_with("\r\n")) page.text += "\r\n";
  return page;
}

// A Shift_JIS text with CR LF line ends in the page's own encoding and line
// ends.
std::string WriteBack(std::string sjis, const PageText& page) {
  if (!page.lastLineEnded && sjis.ends_with("\r\n")) sjis.resize(sjis.size() - 2);
  if (page.lfLineEnds) std::erase(sjis, '\r');  // the page had none: each CR came with a CR LF
  switch (page.encoding) {
    case kCharCodeEucJp: return SjisToEuc(sjis).text;
    case kCharCodeIso2022Jp: return SjisToJis(sjis).text;
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return (page.byteOrderMark ? std::string(kUtf8ByteOrderMark) : "") + SjisToUtf8(sjis).text;
    default: return sjis;
  }
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
  std::string bytes;     // what to write
  std::string original;  // the file as read
  std::optional<FileIdentity> read;  // the file as it was before reading, for an in-place write
};

FileOutcome LabelFile(const std::string& path, const CommandLine& line) {
  FileOutcome outcome;
  auto fail = [&](std::string message) {
    outcome.ok = false;
    outcome.message = std::move(message);
    return std::move(outcome);
  };
  FileReadResult read;
  if (path == "-") {
    std::optional<std::string> input = ReadAllStdin();
    if (!input) return fail("cannot read standard input");
    read.bytes = std::move(*input);
  } else {
    // Looked at before reading: a change from here on keeps the file from
    // being replaced.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) outcome.read = FileIdentity::Of(info);
    read = ReadFileBytes(path);
  }
  switch (read.status) {
    case FileReadResult::Status::Ok: break;
    case FileReadResult::Status::NotFound: return fail("no such file");
    case FileReadResult::Status::NotAFile: return fail(read.error + ", not a page");
    case FileReadResult::Status::Unreadable: return fail("cannot read the file: " + read.error);
    case FileReadResult::Status::Changed: return fail("the file changed while it was read: skipped");
  }
  outcome.original = std::move(read.bytes);
  if (outcome.original.find('\0') != std::string::npos) return fail("binary file (it holds NUL bytes): skipped");
  try {
    const PageText page = ReadPage(outcome.original, line.openCharset);
    std::string labelled = RunDivMarkCommand(line.command, page.text, line.marks);
    outcome.changed = labelled != page.text;
    if (!outcome.changed) {
      outcome.bytes = outcome.original;
      return outcome;
    }
    if (page.sjis.loss.any()) {
      outcome.lossy = true;
      outcome.warnings.push_back(std::to_string(page.sjis.loss.count) + " character" +
                                 (page.sjis.loss.count == 1 ? "" : "s") +
                                 " have no Shift_JIS form and became '?' (the first on line " +
                                 std::to_string(LineOfPosition(page.sjis.text, page.sjis.loss.firstPos)) + ")");
    } else if (const std::string same = WriteBack(page.text, page); same != outcome.original) {
      outcome.lossy = true;
      outcome.warnings.push_back("the page does not come back byte for byte through Shift_JIS (line " +
                                 std::to_string(FirstDifferentLine(outcome.original, same)) + " changes)");
    }
    outcome.bytes = WriteBack(std::move(labelled), page);
  } catch (const std::exception& error) {  // the system cannot convert at all
    return fail(std::string("cannot convert the text: ") + error.what());
  }
  return outcome;
}

void Write(FileOutcome& outcome, const std::string& target, const CommandLine& line) {
  if (line.inPlace) {
    if (!outcome.changed) return;  // no label to change: the file and its backup stay
    if (outcome.lossy && !line.force) {
      outcome.ok = false;
      outcome.message = "not written in place, since the page would change elsewhere (use --force to write anyway)";
      return;
    }
    SaveOptions save;
    save.expected = outcome.read;
    const SaveOutcome saved = SaveWithBackup(outcome.bytes, target, save);
    if (!saved.ok()) {
      outcome.ok = false;
      outcome.message = saved.error->Describe();
    }
    return;
  }
  if (outcome.bytes.empty()) {
    outcome.ok = false;
    outcome.message = "the page is empty: nothing written";
    return;
  }
  const SaveResult saved = SaveTextFile(outcome.bytes, target);
  if (!saved.ok()) {
    outcome.ok = false;
    outcome.message = saved.message;
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

  std::size_t failed = 0, changed = 0;
  for (const std::string& file : line.files) {
    FileOutcome outcome = LabelFile(file, line);
    if (outcome.ok && toStdout) {
      if (!WriteAllStdout(outcome.bytes)) {
        PrintError("divmark: cannot write standard output");
        return kExitFailure;
      }
    } else if (outcome.ok) {
      const std::string target =
          line.inPlace ? file
                       : outputIsFolder ? (std::filesystem::path(line.output) / std::filesystem::path(file).filename()).string()
                                        : line.output;
      Write(outcome, target, line);
    }
    for (const std::string& warning : outcome.warnings) PrintError("warning: " + file + ": " + warning);
    if (!outcome.ok) PrintError(file + ": " + outcome.message);
    failed += !outcome.ok;
    changed += outcome.ok && outcome.changed;
  }
  if (!line.quiet && !toStdout) {
    std::cerr << "zelm-cli: divmark: " << changed << " of " << line.files.size() << " file"
              << (line.files.size() == 1 ? "" : "s") << " changed";
    if (failed) std::cerr << ", " << failed << " failed";
    std::cerr << '\n';
  }
  return failed ? kExitFailure : kExitOk;
}

}  // namespace zelm::cli
