// The settings file: the user's options, a few box texts, the last file
// and the window layout, kept in one INI file (Shift_JIS, CR LF).
//
// Where it is: the first file "ZELM*.inf" beside the program (a portable
// install), else "ZELM.inf" in $XDG_CONFIG_HOME/zelm/, else in
// ~/.config/zelm/ (the folder is made by the first write).
//
// A write changes only the keys it writes: every other section, key,
// comment and line of the file stays as it was. It goes to a temporary file
// beside the settings file that then replaces it, so the file on disk is
// always either the old one or the new one.
//
// Texts in `Settings` are UTF-8, as the window and the file system use
// them; the file holds them in Shift_JIS (a character Shift_JIS lacks is
// written as "?").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/IniText.h"

namespace zelm {

// Position and size of a source window; 0 means "not stored".
struct WindowPlacement {
  int Top = 0;
  int Left = 0;
  int Width = 0;
  int Height = 0;

  bool operator==(const WindowPlacement&) const = default;
};

// Every key of the file, named after it ([Section] Key). Texts default to
// empty, integers to 0, flags to false: what a missing key reads as.
// An integer read as 0 is not to be applied: the file held 0, a number
// below it, no number, or an item index the choice does not have.
struct Settings {
  std::string ProjectFile;    // [Project] File
  std::string DefaultFolder;  // [Folder] Default
  std::string LocalFile;      // [File] Local: the file-name box
  std::string Search;         // [Edit] Search: the keyword box
  std::string Replace;        // [Edit] Replace: the replacement box
  std::string StartMark;      // [Remove] startmark
  std::string EndMark;        // [Remove] endmark
  std::string AnalyzeUrl;     // [Analyze] Url: the analyser address box
  int PanelMainTopHeight = 0; // [PanelMainTop] Height
  int OpenCharset = 0;        // [RadioGroup] OpenCharset: item index, 0-5
  int SaveCharSet = 0;        // [RadioGroup] SaveCharSet: item index, 0-2
  int IndentType = 0;         // [RadioGroup] IndentType: item index, 0-3
  bool Maximized = false;     // [Menu] Maximized
  bool StartScreen = false;   // [Menu] StartScreen
  // [CheckBox]
  bool AutoloadFile = false;
  bool DivCommentConcat = false;
  bool OpenIEOriginal = false;
  bool OpenIEResult = false;
  bool ResultPageChange = false;
  bool WorkProcessPageChange = false;
  bool ConvertUpper2Lower = false;
  bool LocalWordWrap = false;
  bool DontInputSpacing = false;
  bool InputTextBlack = false;
  bool ResultWordWrap = false;
  bool DontOutputSpacing = false;
  bool DontPreprocessing = false;
  bool ImmediateGo = false;
  bool UseAnalyzer = false;
  bool SearchBeforeBlack = false;
  bool DontSyntaxHighlight = false;
  WindowPlacement SOTSource;   // [SOTSource]: the source window with search
  WindowPlacement FormSource;  // [FormSource]: the plain source window

  bool operator==(const Settings&) const = default;
};

// The state "初期状態に戻す" puts the window back to: top panel 710 high,
// both view marks cleared, keyword, replacement and address boxes empty,
// marks "@--" and "--@", every option box cleared, every choice at item 0.
// The project file, default folder, file-name box and source-window
// placements are kept.
void ResetToInitial(Settings& settings);

// The two source windows, named after their sections.
enum class SourceWindow { SOTSource, FormSource };

// --- Location -------------------------------------------------------------

// The bare name of the first file matching "ZELM*.inf" (letters without
// case) in `folder`, in name order; folders and other non-files are passed
// over. Empty when there is none.
std::string FindSettingsFileIn(const std::string& folder);

// The settings file to use: `programFolder`/ZELM*.inf when there is one,
// else ZELM.inf in $XDG_CONFIG_HOME/zelm (an absolute XDG_CONFIG_HOME only),
// else in $HOME/.config/zelm. Empty when no home folder is known.
std::string LocateSettingsFile(const std::string& programFolder);

// --- Reading --------------------------------------------------------------

struct LoadedSettings {
  bool found = false;   // a settings file was read; when false, apply nothing
  Settings settings;    // what it holds, stale paths dropped
  std::string problem;  // why a file that is there could not be read
  // Keys whose values were not used, as "Section/Key": numbers that do not
  // read, item indexes out of range.
  std::vector<std::string> unread;
};

// Reads the settings file. A missing file is not found and no problem.
// Damaged files (broken Shift_JIS, NUL bytes, long lines) give what can be
// read; everything else keeps its default. A stored file or folder that no
// longer exists reads as empty.
LoadedSettings LoadSettings(const std::string& path);

// The same from the bytes of a settings file, stale paths kept (no file
// system is asked).
LoadedSettings ReadSettings(std::string_view bytes);

// --- Writing --------------------------------------------------------------

struct SettingsWriteResult {
  bool ok = true;
  std::string path;  // the settings file that could not be written
  std::string why;   // the system's reason, in English, when known
  // "<path> に書き込めません", for the window's error message.
  std::string Message() const { return path + " に書き込めません"; }
};

// Writes every key except the source-window sections, in the file's order
// (the order of `Settings`), keeping the rest of the file.
SettingsWriteResult SaveSettings(const std::string& path, const Settings& settings);

// Writes one key at once (the top panel height of the view menu), keeping
// the rest of the file. The file is made when it does not exist.
SettingsWriteResult SaveSettingsKey(const std::string& path, std::string_view section, std::string_view key,
                                    int value);
// The same for a text key (the default folder of the settings menu); the
// text is UTF-8 and is written in Shift_JIS as every text of the file.
SettingsWriteResult SaveSettingsKey(const std::string& path, std::string_view section, std::string_view key,
                                    std::string_view utf8Text);

// Writes a source window's section (Top, Left, Width, Height). Only into a
// settings file that exists: otherwise nothing is written (and ok).
SettingsWriteResult SaveSourceWindowPlacement(const std::string& path, SourceWindow window,
                                              const WindowPlacement& placement);

// The text of the settings file after writing `settings` into `existing`
// (the bytes of the file as it is, empty for a new one).
std::string SettingsFileText(std::string_view existing, const Settings& settings);

}  // namespace zelm
