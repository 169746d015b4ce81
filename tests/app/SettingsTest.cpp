#include "app/Settings.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <optional>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {

// Failures show settings as the file they would make.
void PrintTo(const Settings& settings, std::ostream* out) {
  *out << "\n" << SettingsFileText("", settings);
  for (const WindowPlacement& p : {settings.SOTSource, settings.FormSource})
    *out << "placement " << p.Top << ' ' << p.Left << ' ' << p.Width << ' ' << p.Height << '\n';
}

namespace {

using test::FileSizeLimit;
using test::ReadFile;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

// The lines, each followed by CR LF.
std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// Points the user's configuration folders at a temporary folder while it
// lives, so that no test reads or writes the real ones.
class FakeHome {
 public:
  FakeHome() : saved_{Saved("HOME"), Saved("XDG_CONFIG_HOME")} {
    ::setenv("HOME", dir_.path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  ~FakeHome() {
    Restore("HOME", saved_[0]);
    Restore("XDG_CONFIG_HOME", saved_[1]);
  }
  const TempDir& dir() const { return dir_; }

 private:
  static std::optional<std::string> Saved(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  TempDir dir_;
  std::optional<std::string> saved_[2];
};

// Settings whose every key differs from its default and from its
// neighbours, the flags alternating from `firstFlag` on.
Settings Distinct(const TempDir& dir, bool firstFlag) {
  WriteFile(dir / "project.zprj", "x");
  WriteFile(dir / "ページ.html", "x");
  std::filesystem::create_directory(dir / "作業");
  Settings s;
  s.ProjectFile = (dir / "project.zprj").string();
  s.DefaultFolder = (dir / "作業").string();
  s.LocalFile = (dir / "ページ.html").string();
  s.Search = "  </div>  ";  // blanks kept
  s.Replace = "\"quoted\"";  // quotes kept
  s.StartMark = "＠--";
  s.EndMark = "--@";
  s.AnalyzeUrl = "http://127.0.0.1/検索?q=a=b";
  s.PanelMainTopHeight = 260;
  s.OpenCharset = 5;
  s.SaveCharSet = 2;
  s.IndentType = 3;
  bool flag = firstFlag;
  for (bool* member : {&s.Maximized, &s.StartScreen, &s.AutoloadFile, &s.DivCommentConcat, &s.OpenIEOriginal,
                       &s.OpenIEResult, &s.ResultPageChange, &s.WorkProcessPageChange, &s.ConvertUpper2Lower,
                       &s.LocalWordWrap, &s.DontInputSpacing, &s.InputTextBlack, &s.ResultWordWrap,
                       &s.DontOutputSpacing, &s.DontPreprocessing, &s.ImmediateGo, &s.UseAnalyzer,
                       &s.SearchBeforeBlack, &s.DontSyntaxHighlight}) {
    *member = flag;
    flag = !flag;
  }
  s.SOTSource = {10, 20, 300, 400};
  s.FormSource = {11, 21, 301, 401};
  return s;
}

TEST(Settings, EveryKeyComesBackThroughARealFile) {
  TempDir dir;
  const std::string path = (dir / "ZELM.inf").string();
  for (const bool firstFlag : {true, false}) {
    const Settings written = Distinct(dir, firstFlag);
    ASSERT_TRUE(SaveSettings(path, written).ok);
    ASSERT_TRUE(SaveSourceWindowPlacement(path, SourceWindow::SOTSource, written.SOTSource).ok);
    ASSERT_TRUE(SaveSourceWindowPlacement(path, SourceWindow::FormSource, written.FormSource).ok);
    const LoadedSettings loaded = LoadSettings(path);
    EXPECT_TRUE(loaded.found);
    EXPECT_TRUE(loaded.unread.empty());
    EXPECT_EQ(loaded.settings, written) << firstFlag;
  }
  // The file is Shift_JIS with CR LF.
  const std::string bytes = ReadFile(path);
  EXPECT_NE(bytes.find("startmark=" + Sjis("＠--") + "\r\n"), std::string::npos);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), CountSubStr(bytes, "\r\n"));
}

TEST(Settings, ANewFileHoldsEveryKeyInTheWriteOrder) {
  Settings s;
  s.StartMark = "@--";
  s.SaveCharSet = -1;  // a choice with no item chosen
  s.ImmediateGo = true;
  EXPECT_EQ(SettingsFileText("", s),
            Lines({"[Project]", "File=", "", "[Folder]", "Default=", "", "[File]", "Local=", "", "[Edit]", "Search=",
                   "Replace=", "", "[Remove]", "startmark=@--", "endmark=", "", "[Analyze]", "Url=", "",
                   "[PanelMainTop]", "Height=0", "", "[RadioGroup]", "OpenCharset=0", "SaveCharSet=-1",
                   "IndentType=0", "", "[Menu]", "Maximized=0", "StartScreen=0", "", "[CheckBox]", "AutoloadFile=0",
                   "DivCommentConcat=0", "OpenIEOriginal=0", "OpenIEResult=0", "ResultPageChange=0",
                   "WorkProcessPageChange=0", "ConvertUpper2Lower=0", "LocalWordWrap=0", "DontInputSpacing=0",
                   "InputTextBlack=0", "ResultWordWrap=0", "DontOutputSpacing=0", "DontPreprocessing=0",
                   "ImmediateGo=1", "UseAnalyzer=0", "SearchBeforeBlack=0", "DontSyntaxHighlight=0"}));
}

TEST(Settings, AFileEditedByHandKeepsEverythingElse) {
  const std::string edited = Lines({
      "; Zelm settings, edited by hand",
      "",
      "[edit]",
      "  search = old keyword  ",
      "; the replacement box",
      "Replace=\"  spaced  \"",
      "",
      "[My Tools]",
      "colour = red",
      "a line without an equals sign",
      "[a header without its bracket",
      "dup=1",
      "dup=2",
      "",
      "[CHECKBOX]",
      "AUTOLOADFILE = 1",
      "# a hash comment",
      "[Remove]",
      "STARTMARK=$#",
      "; a comment at the end",
  });
  const LoadedSettings loaded = ReadSettings(edited);
  EXPECT_EQ(loaded.settings.Search, "old keyword");
  EXPECT_EQ(loaded.settings.Replace, "  spaced  ");
  EXPECT_TRUE(loaded.settings.AutoloadFile);
  EXPECT_EQ(loaded.settings.StartMark, "$#");

  Settings s;
  s.Search = "new";
  s.Replace = " x ";
  s.StartMark = "@@";
  s.EndMark = "--@";
  const std::string saved = SettingsFileText(edited, s);
  EXPECT_TRUE(saved.starts_with(
      Lines({
                "; Zelm settings, edited by hand",
                "",
                "[edit]",
                "  search = new",
                "; the replacement box",
                "Replace=\" x \"",
                "",
                "[My Tools]",
                "colour = red",
                "a line without an equals sign",
                "[a header without its bracket",
                "dup=1",
                "dup=2",
                "",
                "[CHECKBOX]",
                "AUTOLOADFILE = 0",
                "DivCommentConcat=0",
                "OpenIEOriginal=0",
                "OpenIEResult=0",
                "ResultPageChange=0",
                "WorkProcessPageChange=0",
                "ConvertUpper2Lower=0",
                "LocalWordWrap=0",
                "DontInputSpacing=0",
                "InputTextBlack=0",
                "ResultWordWrap=0",
                "DontOutputSpacing=0",
                "DontPreprocessing=0",
                "ImmediateGo=0",
                "UseAnalyzer=0",
                "SearchBeforeBlack=0",
                "DontSyntaxHighlight=0",
                "# a hash comment",
                "[Remove]",
                "STARTMARK=@@",
                "endmark=--@",
                "; a comment at the end",
                "",
                "[Project]",
            })))
      << saved;
  EXPECT_EQ(ReadSettings(saved).settings, s);
  // Written again, nothing moves.
  EXPECT_EQ(SettingsFileText(saved, s), saved);
}

TEST(Settings, ReadingRules) {
  struct Case {
    const char* what;
    std::string file;
    Settings expected;
    std::vector<std::string> unread;
  };
  Settings checked;
  checked.AutoloadFile = checked.UseAnalyzer = checked.DontSyntaxHighlight = true;
  Settings charsets;
  charsets.OpenCharset = 3;
  charsets.SaveCharSet = 2;
  charsets.IndentType = 0;
  Settings height;
  height.PanelMainTopHeight = 256;
  Settings url;
  url.AnalyzeUrl = "http://example.jp/";
  Settings texts;
  texts.Search = "日本語";
  texts.Replace = "a?0b";  // a lead byte without its second byte
  texts.StartMark = "cutx";
  Settings placements;
  placements.SOTSource = {5, 0, 640, 0};
  const std::string nul("x\0y", 3);
  const Case cases[] = {
      {"no CheckBox or RadioGroup section: every box cleared, every choice at 0", Lines({"[Edit]", "Search="}), {}, {}},
      {"flags: any number but 0, names without case", Lines({"[checkbox]", "autoloadfile=1", "UseAnalyzer=-7",
                                                              "DontSyntaxHighlight=$10", "ImmediateGo=0",
                                                              "OpenIEResult=yes", "ResultWordWrap="}),
       checked, {"CheckBox/OpenIEResult"}},
      {"choices: 0 and below are not applied, nor items the choice lacks",
       Lines({"[RadioGroup]", "OpenCharset = 0x3 ", "SaveCharSet=\t$2", "IndentType=4"}), charsets,
       {"RadioGroup/IndentType"}},
      {"OpenCharset=0 is not applied", Lines({"[RadioGroup]", "OpenCharset=0", "SaveCharSet=-1"}), {}, {}},
      {"height 0 is not applied, from the first of two sections", Lines({"[PanelMainTop]", "Height=0", "[PanelMainTop]", "Height=$100"}),
       {}, {}},
      {"the first line of a key counts", Lines({"[PanelMainTop]", "Height=$100", "Height=0"}), height, {}},
      {"numbers that do not read", Lines({"[PanelMainTop]", "Height=12px", "[FormSource]", "Top=99999999999"}), {},
       {"PanelMainTop/Height", "FormSource/Top"}},
      {"the analyser address", Lines({"[Analyze]", "Url=http://example.jp/"}), url, {}},
      {"Shift_JIS texts become UTF-8; a NUL byte ends a value",
       Lines({"[Edit]", Sjis("Search=日本語"), "Replace=a\x85\x30" "b", "[Remove]", "startmark=cut" + nul}), texts, {}},
      {"a NUL byte, a broken header and a long line stop nothing after them",
       Lines({nul, "[SOTSource", std::string(100000, 'x'), "[SOTSource]", "Top=5", "Width=640", "Height=-2"}),
       placements, {}},
  };
  for (const Case& c : cases) {
    const LoadedSettings loaded = ReadSettings(c.file);
    EXPECT_TRUE(loaded.found);
    EXPECT_EQ(loaded.settings, c.expected) << c.what;
    EXPECT_EQ(loaded.unread, c.unread) << c.what;
  }
}

TEST(Settings, AValueIsReadUpTo2047Bytes) {
  std::string kanji;
  for (int i = 0; i < 1500; ++i) kanji += Sjis("字");
  const std::size_t utf8 = std::string("字").size();
  // 2047 bytes: "a" and 1023 characters of two bytes.
  EXPECT_EQ(ReadSettings(Lines({"[Edit]", "Search=a" + kanji})).settings.Search.size(), 1 + 1023 * utf8);
  // The 2047th byte would split a character: 2046 bytes.
  EXPECT_EQ(ReadSettings(Lines({"[Edit]", "Search=" + kanji})).settings.Search.size(), 1023 * utf8);
}

TEST(Settings, StalePathsAreDroppedOnLoading) {
  TempDir dir;
  WriteFile(dir / "page.html", "x");
  std::filesystem::create_directory(dir / "folder");
  struct Case {
    std::string project, folder, local;
    Settings expected;
  };
  Settings kept;
  kept.ProjectFile = (dir / "page.html").string();
  kept.DefaultFolder = (dir / "folder").string();
  kept.LocalFile = (dir / "page.html").string();
  const Case cases[] = {
      {kept.ProjectFile, kept.DefaultFolder, kept.LocalFile, kept},
      {(dir / "gone.html").string(), (dir / "gone").string(), (dir / "gone.html").string(), {}},
      // A folder is no file, and a file no folder.
      {(dir / "folder").string(), (dir / "page.html").string(), (dir / "folder").string(), {}},
      {"C:\\pages\\a.html", "C:\\", "", {}},
  };
  for (const Case& c : cases) {
    WriteFile(dir / "ZELM.inf",
              Lines({"[Project]", "File=" + c.project, "[Folder]", "Default=" + c.folder, "[File]", "Local=" + c.local}));
    EXPECT_EQ(LoadSettings((dir / "ZELM.inf").string()).settings, c.expected) << c.project;
  }
}

TEST(Settings, NoFileMeansNothingToApply) {
  TempDir dir;
  const LoadedSettings missing = LoadSettings((dir / "ZELM.inf").string());
  EXPECT_FALSE(missing.found);
  EXPECT_TRUE(missing.problem.empty());
  const LoadedSettings folder = LoadSettings(dir.path().string());
  EXPECT_FALSE(folder.found);
  EXPECT_EQ(folder.problem, dir.path().string() + ": is a folder");
}

TEST(Settings, LocationPrefersAFileBesideTheProgram) {
  FakeHome home;
  TempDir program;
  const std::string folder = program.path().string();
  const std::string inHome = (home.dir() / ".config" / "zelm" / "ZELM.inf").string();
  EXPECT_EQ(FindSettingsFileIn(folder), "");
  EXPECT_EQ(LocateSettingsFile(folder), inHome);

  ::setenv("XDG_CONFIG_HOME", (home.dir() / "xdg").c_str(), 1);
  EXPECT_EQ(LocateSettingsFile(folder), (home.dir() / "xdg" / "zelm" / "ZELM.inf").string());
  ::setenv("XDG_CONFIG_HOME", "relative/xdg", 1);  // not absolute: ignored
  EXPECT_EQ(LocateSettingsFile(folder), inHome);

  // A folder named like the file is passed over, and so is a name that
  // does not match.
  std::filesystem::create_directory(program / "ZELM_a.inf");
  std::filesystem::create_directory(program / "ZELM_y.inf");
  WriteFile(program / "ZELM.ini", "");
  WriteFile(program / "XZELM.inf", "");
  EXPECT_EQ(FindSettingsFileIn(folder), "");
  WriteFile(program / "zelm_x.INF", "");
  WriteFile(program / "ZELM_z.inf", "");
  EXPECT_EQ(FindSettingsFileIn(folder), "ZELM_z.inf");  // name order: upper case first
  EXPECT_EQ(LocateSettingsFile(folder), (program / "ZELM_z.inf").string());
}

TEST(Settings, TheFirstWriteMakesTheFolder) {
  FakeHome home;
  TempDir program;
  const std::string path = LocateSettingsFile(program.path().string());
  ASSERT_EQ(path, (home.dir() / ".config" / "zelm" / "ZELM.inf").string());
  EXPECT_TRUE(SaveSourceWindowPlacement(path, SourceWindow::FormSource, {1, 2, 3, 4}).ok);
  EXPECT_FALSE(std::filesystem::exists(path));  // only into a file that exists
  ASSERT_TRUE(SaveSettingsKey(path, "PanelMainTop", "Height", 260).ok);
  EXPECT_EQ(ReadFile(path), Lines({"[PanelMainTop]", "Height=260"}));
  ASSERT_TRUE(SaveSourceWindowPlacement(path, SourceWindow::FormSource, {1, 2, 3, 4}).ok);
  EXPECT_EQ(ReadFile(path), Lines({"[PanelMainTop]", "Height=260", "", "[FormSource]", "Top=1", "Left=2", "Width=3",
                                   "Height=4"}));
  ASSERT_TRUE(SaveSettingsKey(path, "PanelMainTop", "Height", 96).ok);
  EXPECT_EQ(LoadSettings(path).settings.PanelMainTopHeight, 96);
  EXPECT_EQ(LoadSettings(path).settings.FormSource.Width, 3);
}

TEST(Settings, ATextKeyIsWrittenInShiftJisAndReadBack) {
  TempDir dir;
  const std::filesystem::path folder = dir / "作業";
  std::filesystem::create_directory(folder);
  const std::string path = (dir / "ZELM.inf").string();
  ASSERT_TRUE(SaveSettingsKey(path, "PanelMainTop", "Height", 96).ok);
  ASSERT_TRUE(SaveSettingsKey(path, "Folder", "Default", folder.string()).ok);
  EXPECT_EQ(ReadFile(path), Lines({"[PanelMainTop]", "Height=96", "", "[Folder]", "Default=" + test::Sjis(folder.string())}));
  EXPECT_EQ(LoadSettings(path).settings.DefaultFolder, folder.string());
  ASSERT_TRUE(SaveSettingsKey(path, "Folder", "Default", "").ok);
  EXPECT_EQ(LoadSettings(path).settings.DefaultFolder, "");
  EXPECT_EQ(LoadSettings(path).settings.PanelMainTopHeight, 96);
}

TEST(Settings, AWriteKeepsTheFileModeAndFollowsALink) {
  TempDir dir;
  WriteFile(dir / "real.inf", Lines({"; mine", "[Edit]", "Search=a"}));
  ::chmod((dir / "real.inf").c_str(), 0600);
  std::filesystem::create_symlink(dir / "real.inf", dir / "ZELM.inf");
  Settings s;
  s.Search = "b";
  ASSERT_TRUE(SaveSettings((dir / "ZELM.inf").string(), s).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "ZELM.inf"));
  EXPECT_TRUE(ReadFile(dir / "real.inf").starts_with(Lines({"; mine", "[Edit]", "Search=b"})));
  struct stat info {};
  ::stat((dir / "real.inf").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(test::FileNamesIn(dir.path()), (std::vector<std::string>{"ZELM.inf", "real.inf"}));  // no temporary left
}

TEST(Settings, AFailedWriteLeavesTheOldFileAndNamesIt) {
  TempDir dir;
  const std::string path = (dir / "ZELM.inf").string();
  const std::string old = Lines({"[Edit]", "Search=old"});
  WriteFile(path, old);
  Settings s;
  s.Search = "new";
  SettingsWriteResult result;
  {
    FileSizeLimit limit(64);
    result = SaveSettings(path, s);
  }
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.Message(), path + " に書き込めません");
  EXPECT_EQ(result.why, "File too large");
  EXPECT_EQ(ReadFile(path), old);
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"ZELM.inf"});

  // A folder in the file's place, and a path through a file.
  const SettingsWriteResult folder = SaveSettingsKey(dir.path().string(), "PanelMainTop", "Height", 96);
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.path, dir.path().string());
  EXPECT_FALSE(SaveSettings(path + "/ZELM.inf", s).ok);
  EXPECT_EQ(ReadFile(path), old);
}

TEST(Settings, ResetToInitialKeepsTheFilesAndPlacements) {
  TempDir dir;
  Settings s = Distinct(dir, true);
  ResetToInitial(s);
  Settings expected;
  expected.ProjectFile = s.ProjectFile;
  expected.DefaultFolder = s.DefaultFolder;
  expected.LocalFile = s.LocalFile;
  expected.SOTSource = s.SOTSource;
  expected.FormSource = s.FormSource;
  expected.PanelMainTopHeight = 710;
  expected.StartMark = "@--";
  expected.EndMark = "--@";
  EXPECT_EQ(s, expected);
}

TEST(IniText, ValuesComeBackAsTheyWereSet) {
  const std::string values[] = {"", "plain", " lead", "trail\t", "\"both\"", "\"", "a=b; c # d", Sjis("表示")};
  for (const std::string& value : values) {
    IniText ini;
    ini.Set("S", "k", value);
    EXPECT_EQ(IniText(ini.Bytes()).Get("s", "K"), value) << value;
  }
  IniText ini;
  ini.Set("S", "k", "first\r\nsecond");
  EXPECT_EQ(ini.Bytes(), Lines({"[S]", "k=first"}));
}

TEST(IniText, KeysBeforeTheFirstHeader) {
  IniText ini(Lines({"\xEF\xBB\xBF; a per-site file", "[Other]", "IndentType=2"}));
  EXPECT_EQ(ini.Get("", "IndentType"), std::nullopt);
  ini.Set("", "IndentType", "1");
  ini.Set("", "OpenCharset", "2");
  EXPECT_EQ(ini.Bytes(),
            Lines({"\xEF\xBB\xBFIndentType=1", "OpenCharset=2", "; a per-site file", "[Other]", "IndentType=2"}));
  EXPECT_EQ(IniText(ini.Bytes()).Get("", "indenttype"), "1");
}

TEST(IniText, AnUnchangedTextIsWrittenBackByteForByte) {
  const std::string text = Lines({"\xEF\xBB\xBF[A]", "x = 1 ", std::string("n\0ul", 4), "[" + Sjis("表") + "]",
                                  "k=\x81", "; end"});
  const IniText ini(text);
  EXPECT_EQ(ini.Bytes(), text);
  EXPECT_EQ(ini.Get("a", "X"), "1");  // a byte-order mark does not hide the first header
  EXPECT_EQ(ini.Get(Sjis("表"), "k"), "\x81");
  EXPECT_EQ(IniText("a\nb\rc").Bytes(), "a\r\nb\r\nc\r\n");
}

}  // namespace
}  // namespace zelm
