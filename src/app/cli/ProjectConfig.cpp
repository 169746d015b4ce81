#include "app/cli/ProjectConfig.h"

#include <algorithm>
#include <span>

#include "app/IniText.h"
#include "text/FileIO.h"

namespace zelm::cli {
namespace {

// One choice: its settings key and section, its command-line option with
// the option's value for each number (none for a flag), and what each
// number means.
struct ChoiceSpec {
  std::string_view key;
  std::string_view section;
  std::optional<int> IndentChoices::*member;
  std::string_view option;
  std::span<const std::string_view> optionValues;  // empty: a flag, which sets 1
  std::span<const std::string_view> meanings;
};

constexpr std::string_view kIndentValues[] = {"2", "4", "tab", "none"};
constexpr std::string_view kIndentMeanings[] = {"two spaces", "four spaces", "tab", "none (flush left)"};
constexpr std::string_view kOpenValues[] = {"auto", "euc-jp", "utf-8", "shift_jis", "iso-2022", "utf-8n"};
constexpr std::string_view kOpenMeanings[] = {"automatic", "EUC-JP", "UTF-8", "Shift_JIS", "ISO-2022-JP", "UTF-8N"};
constexpr std::string_view kSaveValues[] = {"auto", "shift_jis", "utf-8"};
constexpr std::string_view kSaveMeanings[] = {"the page's own encoding", "Shift_JIS", "UTF-8"};
constexpr std::string_view kFlagMeanings[] = {"off", "on"};

const ChoiceSpec kChoices[] = {
    {"IndentType", "RadioGroup", &IndentChoices::IndentType, "--indent", kIndentValues, kIndentMeanings},
    {"OpenCharset", "RadioGroup", &IndentChoices::OpenCharset, "--open-charset", kOpenValues, kOpenMeanings},
    {"ConvertUpper2Lower", "CheckBox", &IndentChoices::ConvertUpper2Lower, "--lower", {}, kFlagMeanings},
    {"DontPreprocessing", "CheckBox", &IndentChoices::DontPreprocessing, "--no-preprocess", {}, kFlagMeanings},
    {"DivCommentConcat", "CheckBox", &IndentChoices::DivCommentConcat, "--div-comment-concat", {}, kFlagMeanings},
    {"SaveCharSet", "RadioGroup", &IndentChoices::SaveCharSet, "--output-charset", kSaveValues, kSaveMeanings},
};

bool IsFlag(const ChoiceSpec& row) { return row.optionValues.empty(); }

// "a, b or c"
std::string Alternatives(std::span<const std::string_view> values) {
  std::string text;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) text += i + 1 == values.size() ? " or " : ", ";
    text += values[i];
  }
  return text;
}

}  // namespace

void ApplyChoices(const IndentChoices& choices, IndentJobOptions& job) {
  // The values were checked against their choices when they were read.
  if (choices.IndentType) job.pipeline.IndentType = IndentTypeFromValue(*choices.IndentType).value_or(IndentType::kTwoSpaces);
  if (choices.OpenCharset)
    job.pipeline.OpenCharset = OpenCharsetFromValue(*choices.OpenCharset).value_or(OpenCharset::kAutomatic);
  if (choices.ConvertUpper2Lower) job.pipeline.ConvertUpper2Lower = *choices.ConvertUpper2Lower != 0;
  if (choices.DontPreprocessing) job.pipeline.DontPreprocessing = *choices.DontPreprocessing != 0;
  if (choices.DivCommentConcat) job.pipeline.DivCommentConcat = *choices.DivCommentConcat != 0;
  if (choices.SaveCharSet) job.outputCharset = static_cast<SaveCharSet>(*choices.SaveCharSet);
}

bool ParseChoiceOption(std::string_view name, const Args& args, std::size_t& i,
                       const std::optional<std::string_view>& inlineValue, IndentChoices& choices, std::string& error) {
  const auto row = std::find_if(std::begin(kChoices), std::end(kChoices),
                                [&](const ChoiceSpec& choice) { return choice.option == name; });
  if (row == std::end(kChoices)) return false;
  if (IsFlag(*row)) {
    if (inlineValue) error = std::string(name) + " takes no value";
    else choices.*(row->member) = 1;
    return true;
  }
  const std::optional<std::string_view> value = OptionValue(args, i, inlineValue);
  const auto found = value ? std::find(row->optionValues.begin(), row->optionValues.end(), *value)
                           : row->optionValues.end();
  if (found == row->optionValues.end())
    error = std::string(name) + " takes " + Alternatives(row->optionValues);
  else
    choices.*(row->member) = static_cast<int>(found - row->optionValues.begin());
  return true;
}

ProjectConfig ReadProjectConfig(std::string_view bytes, const std::string& path) {
  ProjectConfig config;
  config.path = path;
  const IniText ini(bytes);
  for (const ChoiceSpec& row : kChoices) {
    std::optional<std::string> value = ini.Get("", row.key);
    if (!value) value = ini.Get(row.section, row.key);
    if (!value || value->empty()) continue;
    const std::optional<int> number = ParseIniInteger(*value);
    const int count = static_cast<int>(row.meanings.size());
    if (number && IsFlag(row)) {
      config.choices.*(row.member) = *number != 0 ? 1 : 0;
    } else if (number && *number >= 0 && *number < count) {
      config.choices.*(row.member) = *number;
    } else {
      std::string expected = IsFlag(row) ? "a number: 0 off, any other on" : "one of";
      for (int n = 0; !IsFlag(row) && n < count; ++n)
        expected += std::string(n ? "," : "") + " " + std::to_string(n) + " (" + std::string(row.meanings[n]) + ")";
      config.error = path + ": " + std::string(row.key) + "=" + *value + " is not " + expected;
      return config;
    }
  }
  return config;
}

std::shared_ptr<const ProjectConfig> ProjectConfigFinder::ForFolder(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error).lexically_normal();
  if (error) absolute = folder.lexically_normal();
  // "a/b/" and "a/b" are one folder.
  if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
    absolute = absolute.parent_path();
  if (const auto known = byFolder_.find(absolute); known != byFolder_.end()) return known->second;

  std::shared_ptr<const ProjectConfig> found;
  const fs::path candidate = absolute / kConfigFileName;
  if (fs::exists(candidate, error)) {
    const FileReadResult read = ReadFileBytes(candidate.string());
    if (read.ok()) {
      found = std::make_shared<const ProjectConfig>(ReadProjectConfig(read.bytes, candidate.string()));
    } else {
      ProjectConfig unreadable;
      unreadable.path = candidate.string();
      unreadable.error = candidate.string() + ": cannot read the file: " +
                         (read.error.empty() ? std::string("not a regular file") : read.error);
      found = std::make_shared<const ProjectConfig>(std::move(unreadable));
    }
  } else if (absolute.has_parent_path() && absolute.parent_path() != absolute) {
    found = ForFolder(absolute.parent_path());
  } else {
    found = std::make_shared<const ProjectConfig>();  // the root, and none found
  }
  byFolder_.emplace(absolute, found);
  return found;
}

std::shared_ptr<const ProjectConfig> ProjectConfigFinder::ForPage(const std::string& page) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path(page);
  if (fs::is_directory(path, error)) return ForFolder(path);
  const fs::path folder = path.parent_path();
  return ForFolder(folder.empty() ? fs::path(".") : folder);
}

std::string DescribeChoices(const std::string& page, const ProjectConfig* config, const IndentChoices& given) {
  std::string text = "page: " + page + "\n";
  if (!config) text += "configuration: not read (--no-config)\n";
  else if (config->path.empty()) text += "configuration: none (no .zelmrc in the page's folder or above it)\n";
  else text += "configuration: " + config->path + "\n";
  if (config && !config->error.empty()) return text + "error: " + config->error + "\n";
  const IndentChoices defaults{0, 0, 0, 0, 0, 0};
  for (const ChoiceSpec& row : kChoices) {
    std::string source = "default";
    int value = *(defaults.*(row.member));
    if (const auto& option = given.*(row.member)) {
      value = *option;
      source = "command line (" + std::string(row.option) + ")";
    } else if (const auto& stored = config ? config->choices.*(row.member) : std::nullopt) {
      value = *stored;
      source = config->path;
    }
    std::string line = "  " + std::string(row.key) + "=" + std::to_string(value);
    line.resize(std::max<std::size_t>(line.size() + 2, 24), ' ');
    line += row.meanings[static_cast<std::size_t>(value)];
    line.resize(std::max<std::size_t>(line.size() + 2, 50), ' ');
    text += line + source + "\n";
  }
  return text;
}

}  // namespace zelm::cli
