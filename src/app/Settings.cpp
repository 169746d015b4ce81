#include "app/Settings.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "encoding/Converted.h"
#include "encoding/Utf8Convert.h"
#include "indent/DivCommentMarks.h"
#include "text/FileIO.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

namespace fs = std::filesystem;

// One key of the file and the member of Settings that holds it. The table
// below is in the order the keys are written.
struct Key {
  std::string_view section;
  std::string_view key;
  std::string Settings::*text = nullptr;
  int Settings::*integer = nullptr;
  bool Settings::*flag = nullptr;
  int items = 0;  // an item index: how many items the choice has (0: any positive number)
};

constexpr Key Text(std::string_view section, std::string_view key, std::string Settings::*member) {
  return {section, key, member, nullptr, nullptr, 0};
}
constexpr Key Integer(std::string_view section, std::string_view key, int Settings::*member, int items = 0) {
  return {section, key, nullptr, member, nullptr, items};
}
constexpr Key Flag(std::string_view section, std::string_view key, bool Settings::*member) {
  return {section, key, nullptr, nullptr, member, 0};
}

const Key kKeys[] = {
    Text("Project", "File", &Settings::ProjectFile),
    Text("Folder", "Default", &Settings::DefaultFolder),
    Text("File", "Local", &Settings::LocalFile),
    Text("Edit", "Search", &Settings::Search),
    Text("Edit", "Replace", &Settings::Replace),
    Text("Remove", "startmark", &Settings::StartMark),
    Text("Remove", "endmark", &Settings::EndMark),
    Text("Analyze", "Url", &Settings::AnalyzeUrl),
    Integer("PanelMainTop", "Height", &Settings::PanelMainTopHeight),
    Integer("RadioGroup", "OpenCharset", &Settings::OpenCharset, 6),
    Integer("RadioGroup", "SaveCharSet", &Settings::SaveCharSet, 3),
    Integer("RadioGroup", "IndentType", &Settings::IndentType, 4),
    Flag("Menu", "Maximized", &Settings::Maximized),
    Flag("Menu", "StartScreen", &Settings::StartScreen),
    Flag("CheckBox", "AutoloadFile", &Settings::AutoloadFile),
    Flag("CheckBox", "DivCommentConcat", &Settings::DivCommentConcat),
    Flag("CheckBox", "OpenIEOriginal", &Settings::OpenIEOriginal),
    Flag("CheckBox", "OpenIEResult", &Settings::OpenIEResult),
    Flag("CheckBox", "ResultPageChange", &Settings::ResultPageChange),
    Flag("CheckBox", "WorkProcessPageChange", &Settings::WorkProcessPageChange),
    Flag("CheckBox", "ConvertUpper2Lower", &Settings::ConvertUpper2Lower),
    Flag("CheckBox", "LocalWordWrap", &Settings::LocalWordWrap),
    Flag("CheckBox", "DontInputSpacing", &Settings::DontInputSpacing),
    Flag("CheckBox", "InputTextBlack", &Settings::InputTextBlack),
    Flag("CheckBox", "ResultWordWrap", &Settings::ResultWordWrap),
    Flag("CheckBox", "DontOutputSpacing", &Settings::DontOutputSpacing),
    Flag("CheckBox", "DontPreprocessing", &Settings::DontPreprocessing),
    Flag("CheckBox", "ImmediateGo", &Settings::ImmediateGo),
    Flag("CheckBox", "UseAnalyzer", &Settings::UseAnalyzer),
    Flag("CheckBox", "SearchBeforeBlack", &Settings::SearchBeforeBlack),
    Flag("CheckBox", "DontSyntaxHighlight", &Settings::DontSyntaxHighlight),
};

struct PlacementSection {
  std::string_view section;
  WindowPlacement Settings::*member;
};
constexpr PlacementSection kPlacements[] = {
    {"SOTSource", &Settings::SOTSource},
    {"FormSource", &Settings::FormSource},
};

struct PlacementKey {
  std::string_view key;
  int WindowPlacement::*member;
};
constexpr PlacementKey kPlacementKeys[] = {
    {"Top", &WindowPlacement::Top},
    {"Left", &WindowPlacement::Left},
    {"Width", &WindowPlacement::Width},
    {"Height", &WindowPlacement::Height},
};

const PlacementSection& PlacementOf(SourceWindow window) {
  return kPlacements[window == SourceWindow::SOTSource ? 0 : 1];
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// An integer to apply: 0 for a value of 0 or less and for an item index
// the choice does not have; `unread` is set for a value that is not used.
int ReadInteger(const IniText& ini, std::string_view section, std::string_view key, int items, bool& unread) {
  const std::optional<std::string> value = ini.Get(section, key);
  if (!value || value->empty()) return 0;
  const std::optional<int> number = ParseIniInteger(*value);
  unread = !number || (items > 0 && *number >= items);
  if (unread || *number <= 0) return 0;
  return *number;
}

bool IsExistingFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::exists(path, error) && !fs::is_directory(path, error);
}

bool IsExistingFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

SettingsWriteResult Failed(const std::string& path, std::string why) {
  SettingsWriteResult result;
  result.ok = false;
  result.path = path;
  result.why = std::move(why);
  return result;
}

// Reads the settings file as it is, lets `change` rewrite its text, and
// puts the new text in its place. An existing file that cannot be read is
// not written over: what it holds would be lost.
SettingsWriteResult RewriteSettingsFile(const std::string& path, bool create,
                                        const std::function<std::string(std::string_view)>& change) {
  if (path.empty()) return Failed(path, "no settings file");
  std::string existing;
  FileReadResult read = ReadFileBytes(path);
  switch (read.status) {
    case FileReadResult::Status::Ok:
      existing = std::move(read.bytes);
      break;
    case FileReadResult::Status::NotFound: {
      if (!create) return {};
      std::error_code error;
      const fs::path folder = fs::path(path).parent_path();
      if (!folder.empty()) fs::create_directories(folder, error);
      if (error) return Failed(path, "cannot make the folder: " + error.message());
      break;
    }
    case FileReadResult::Status::NotAFile:
    case FileReadResult::Status::Unreadable:
    case FileReadResult::Status::Changed:
      return Failed(path, read.error);
  }
  std::string text;
  try {
    text = change(existing);
  } catch (const EncodingError& error) {
    return Failed(path, error.what());
  }
  errno = 0;
  const SaveResult saved = SaveTextFile(text, path);
  if (!saved.ok()) return Failed(path, errno ? std::strerror(errno) : "cannot write the file");
  return {};
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Most values are ASCII, the same in both encodings: they skip the
// converter, which is made for pages.
std::string ToSjis(const std::string& utf8) { return IsAscii(utf8) ? utf8 : Utf8ToSjis(utf8).text; }
std::string ToUtf8(const std::string& sjis) { return IsAscii(sjis) ? sjis : SjisToUtf8(sjis).text; }

}  // namespace

void ResetToInitial(Settings& settings) {
  settings.PanelMainTopHeight = 710;
  settings.Search.clear();
  settings.Replace.clear();
  settings.StartMark = kDefaultStartMark;
  settings.EndMark = kDefaultEndMark;
  settings.AnalyzeUrl.clear();
  for (const Key& key : kKeys) {
    if (key.flag) settings.*key.flag = false;
    if (key.items > 0) settings.*key.integer = 0;
  }
}

// --- Location -------------------------------------------------------------

std::string FindSettingsFileIn(const std::string& folder) {
  constexpr std::string_view kPrefix = "ZELM", kSuffix = ".inf";
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() < kPrefix.size() + kSuffix.size() ||
        !EqualNoCase(std::string_view(name).substr(0, kPrefix.size()), kPrefix) ||
        !EqualNoCase(std::string_view(name).substr(name.size() - kSuffix.size()), kSuffix))
      continue;
    std::error_code notAFile;
    if (it->is_regular_file(notAFile)) names.push_back(name);
  }
  if (names.empty()) return {};
  return *std::min_element(names.begin(), names.end());
}

std::string LocateSettingsFile(const std::string& programFolder) {
  if (const std::string name = FindSettingsFileIn(programFolder); !name.empty())
    return (fs::path(programFolder) / name).string();
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome && fs::path(configHome).is_absolute())
    return (fs::path(configHome) / "zelm" / "ZELM.inf").string();
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable && *variable) {
    home = variable;
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    home = user->pw_dir;
  }
  if (home.empty()) return {};
  return (fs::path(home) / ".config" / "zelm" / "ZELM.inf").string();
}

// --- Reading --------------------------------------------------------------

LoadedSettings ReadSettings(std::string_view bytes) {
  LoadedSettings loaded;
  loaded.found = true;
  const IniText ini(bytes);
  Settings& settings = loaded.settings;
  auto noteUnread = [&](std::string_view section, std::string_view key) {
    loaded.unread.push_back(std::string(section) + "/" + std::string(key));
  };
  for (const Key& key : kKeys) {
    if (key.text) {
      if (const std::optional<std::string> value = ini.Get(key.section, key.key))
        settings.*key.text = ToUtf8(*value);
    } else if (key.integer) {
      bool unread = false;
      settings.*key.integer = ReadInteger(ini, key.section, key.key, key.items, unread);
      if (unread) noteUnread(key.section, key.key);
    } else {
      const std::optional<std::string> value = ini.Get(key.section, key.key);
      settings.*key.flag = ParseIniFlag(value);
      if (value && !value->empty() && !ParseIniInteger(*value)) noteUnread(key.section, key.key);
    }
  }
  for (const PlacementSection& placement : kPlacements) {
    for (const PlacementKey& key : kPlacementKeys) {
      bool unread = false;
      settings.*placement.member.*key.member = ReadInteger(ini, placement.section, key.key, 0, unread);
      if (unread) noteUnread(placement.section, key.key);
    }
  }
  return loaded;
}

LoadedSettings LoadSettings(const std::string& path) {
  FileReadResult read = ReadFileBytes(path);
  if (read.status == FileReadResult::Status::NotFound) return {};
  if (!read.ok()) {
    LoadedSettings loaded;
    loaded.problem = path + ": " + read.error;
    return loaded;
  }
  LoadedSettings loaded;
  try {
    loaded = ReadSettings(read.bytes);
  } catch (const EncodingError& error) {
    loaded = {};
    loaded.problem = path + ": " + error.what();
    return loaded;
  }
  Settings& settings = loaded.settings;
  if (!IsExistingFile(settings.ProjectFile)) settings.ProjectFile.clear();
  if (!IsExistingFolder(settings.DefaultFolder)) settings.DefaultFolder.clear();
  if (!IsExistingFile(settings.LocalFile)) settings.LocalFile.clear();
  return loaded;
}

// --- Writing --------------------------------------------------------------

std::string SettingsFileText(std::string_view existing, const Settings& settings) {
  IniText ini(existing);
  for (const Key& key : kKeys) {
    if (key.text) ini.Set(key.section, key.key, ToSjis(settings.*key.text));
    else if (key.integer) ini.Set(key.section, key.key, std::to_string(settings.*key.integer));
    else ini.Set(key.section, key.key, settings.*key.flag ? "1" : "0");
  }
  return ini.Bytes();
}

SettingsWriteResult SaveSettings(const std::string& path, const Settings& settings) {
  return RewriteSettingsFile(path, true,
                             [&](std::string_view existing) { return SettingsFileText(existing, settings); });
}

SettingsWriteResult SaveSettingsKey(const std::string& path, std::string_view section, std::string_view key,
                                    int value) {
  return RewriteSettingsFile(path, true, [&](std::string_view existing) {
    IniText ini(existing);
    ini.Set(section, key, std::to_string(value));
    return ini.Bytes();
  });
}

SettingsWriteResult SaveSettingsKey(const std::string& path, std::string_view section, std::string_view key,
                                    std::string_view utf8Text) {
  return RewriteSettingsFile(path, true, [&](std::string_view existing) {
    IniText ini(existing);
    ini.Set(section, key, ToSjis(std::string(utf8Text)));
    return ini.Bytes();
  });
}

SettingsWriteResult SaveSourceWindowPlacement(const std::string& path, SourceWindow window,
                                              const WindowPlacement& placement) {
  return RewriteSettingsFile(path, false, [&](std::string_view existing) {
    IniText ini(existing);
    for (const PlacementKey& key : kPlacementKeys)
      ini.Set(PlacementOf(window).section, key.key, std::to_string(placement.*key.member));
    return ini.Bytes();
  });
}

}  // namespace zelm
