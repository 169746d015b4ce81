// Where the choices a page is indented with come from: the command line,
// else the site's own .zelmrc, else the defaults.
//
// A .zelmrc is an INI file with the keys of the desktop program's settings
// file: IndentType (0 two spaces, 1 four spaces, 2 tab, 3 none),
// OpenCharset (0 automatic, 1 EUC-JP, 2 UTF-8, 3 Shift_JIS, 4 ISO-2022-JP,
// 5 UTF-8N), ConvertUpper2Lower, DontPreprocessing, DivCommentConcat (flags:
// 0 off, any other number on) and SaveCharSet (0 the page's own encoding,
// 1 Shift_JIS, 2 UTF-8), all as numbers. A key may stand before any section
// header, or in its section of the settings file ([RadioGroup] for the three
// choices, [CheckBox] for the flags), so that a copy of ZELM.inf works as
// it is; a key before any header wins. Other keys and sections are ignored.
// An empty value counts as no value; anything else that is not a number in
// its range makes the file unusable, with the reason.
//
// The .zelmrc that applies to a page is the first one found in the page's
// folder or a folder above it, up to the root of the file system; only
// that one is read.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/FileCommands.h"
#include "app/cli/CliSupport.h"
#include "app/cli/IndentJob.h"

namespace zelm::cli {

inline constexpr std::string_view kConfigFileName = ".zelmrc";

// Each choice is unset until an option or a .zelmrc sets it; the numbers
// are those of the settings file (flags 0 or 1).
struct IndentChoices {
  std::optional<int> IndentType;
  std::optional<int> OpenCharset;
  std::optional<int> ConvertUpper2Lower;
  std::optional<int> DontPreprocessing;
  std::optional<int> DivCommentConcat;
  std::optional<int> SaveCharSet;
};

// Sets the choices that are set in `choices`, and only those.
void ApplyChoices(const IndentChoices& choices, IndentJobOptions& job);

// The options that set choices: --indent, --open-charset, --output-charset,
// --lower, --no-preprocess, --div-comment-concat. Returns false when
// args[i] is none of them; otherwise true, with `error` set when its value
// is wrong (i moves past a value taken from the next argument).
bool ParseChoiceOption(std::string_view name, const Args& args, std::size_t& i,
                       const std::optional<std::string_view>& inlineValue, IndentChoices& choices, std::string& error);

// The choice options that take no value.
inline constexpr std::string_view kChoiceFlags[] = {"--lower", "--no-preprocess", "--div-comment-concat"};

// A .zelmrc as read.
struct ProjectConfig {
  std::string path;       // the file; empty when none applies
  IndentChoices choices;  // what it sets
  std::string error;      // why it cannot be used; empty when it can
};

// The choices of a .zelmrc's bytes; `path` names it in errors.
ProjectConfig ReadProjectConfig(std::string_view bytes, const std::string& path);

// Finds the .zelmrc of pages, reading each file once and asking each
// folder once.
class ProjectConfigFinder {
 public:
  // The .zelmrc for the pages of `folder`.
  std::shared_ptr<const ProjectConfig> ForFolder(const std::filesystem::path& folder);
  // The .zelmrc for a page (a folder stands for its own pages). The page
  // need not exist: its name tells the folder.
  std::shared_ptr<const ProjectConfig> ForPage(const std::string& page);

 private:
  std::map<std::filesystem::path, std::shared_ptr<const ProjectConfig>> byFolder_;
};

// The lines `zelm-cli config` prints for a page: the .zelmrc that applies
// and each choice with its value and where it comes from.
std::string DescribeChoices(const std::string& page, const ProjectConfig* config, const IndentChoices& given);

}  // namespace zelm::cli
