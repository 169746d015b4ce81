// zelm-cli in a site's tool chain, run as the real program: --check and
// --diff, .zelmrc and .zelmignore files, pages on standard input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "encoding/JisConvert.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCli;
using test::Sjis;
using test::TempDir;

// Writes a file, making its folders first.
void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  test::WriteFile(path, bytes);
}

// A page with CR LF line ends, not yet indented; {charset} is its label.
std::string RawPage(std::string_view charset) {
  return Sjis("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + std::string(charset) +
              "\"></head>\r\n<body>\r\n<div><p>日本語</p>\r\n<ul><li>一</li></ul>\r\n</div>\r\n</body></html>\r\n");
}

// The same page indented by zelm-cli itself.
std::string Indented(const std::string& page) {
  TempDir dir;
  WriteFile(dir / "p.html", page);
  return RunCli(dir, {"indent", "p.html"}).out;
}

// The hunk every diff of RawPage shows, in UTF-8, with the page's charset
// label and the label the result is written with.
std::string ExpectedDiff(const std::string& name, const std::string& label, const std::string& written) {
  return "--- a/" + name + "\n+++ b/" + name +
         "\n@@ -1,6 +1,9 @@\n"
         "-<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + label + "\"></head>\r\n"
         "+<html>\r\n"
         "+<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + written + "\"></head>\r\n"
         " <body>\r\n"
         "-<div><p>日本語</p>\r\n"
         "-<ul><li>一</li></ul>\r\n"
         "-</div>\r\n"
         "+  <div><p>日本語</p>\r\n"
         "+    <ul>\r\n"
         "+      <li>一</li>\r\n"
         "+    </ul>\r\n"
         "+  </div>\r\n"
         " </body></html>\r\n";
}

TEST(ToolChain, CheckListsThePagesThatWouldChangeAndWritesNothing) {
  TempDir dir;
  const std::string raw = RawPage("Shift_JIS"), indented = Indented(raw);
  for (const char* name : {"a.html", "sub/b.htm"}) {
    WriteFile(dir / "done" / name, indented);
    WriteFile(dir / "todo" / name, raw);
  }
  const auto done = RunCli(dir, {"indent", "--check", "done"});
  EXPECT_EQ(done.exitCode, 0) << done.err;
  EXPECT_EQ(done.out, "");
  EXPECT_EQ(done.err, "zelm-cli: 0 of 2 pages would be re-indented\n");

  const auto todo = RunCli(dir, {"indent", "--check", "-j", "2", "todo", "done/a.html"});
  EXPECT_EQ(todo.exitCode, 1) << todo.err;
  EXPECT_EQ(todo.out, "todo/a.html\ntodo/sub/b.htm\n");
  EXPECT_EQ(todo.err, "zelm-cli: 2 of 3 pages would be re-indented\n");
  EXPECT_EQ(ReadFile(dir / "todo" / "a.html"), raw);
  EXPECT_EQ(test::FileNamesIn(dir / "todo"), std::vector<std::string>{"a.html"});
  EXPECT_EQ(test::FileNamesIn(dir / "todo" / "sub"), std::vector<std::string>{"b.htm"});

  // The options of indent count: flush left, the page would change again.
  const auto flush = RunCli(dir, {"indent", "--check", "--indent", "none", "done/a.html"});
  EXPECT_EQ(flush.exitCode, 1);
  EXPECT_EQ(flush.out, "done/a.html\n");
}

TEST(ToolChain, CheckAndDiffRefuseWhatWouldWrite) {
  TempDir dir;
  WriteFile(dir / "a.html", RawPage("Shift_JIS"));
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
           {"--in-place"}, {"-o", "out.html"}, {"--verify"}, {"--emit", "work"}, {"--check=yes"}}) {
    std::vector<std::string> args{"indent", "--diff", "a.html"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto run = RunCli(dir, args);
    EXPECT_EQ(run.exitCode, 2) << extra[0];
    EXPECT_EQ(run.out, "") << extra[0];
  }
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"a.html"});
}

// The diff shows both sides in UTF-8 whatever the page's encoding, and is
// empty for a page already indented.
TEST(ToolChain, DiffShowsShiftJisAndEucJpPagesInUtf8) {
  struct Case {
    const char* label;
    std::string page;
    const char* writtenLabel;
  };
  const Case cases[] = {{"Shift_JIS", RawPage("Shift_JIS"), "Shift_JIS"},
                        {"EUC-JP", SjisToEuc(RawPage("EUC-JP")).text, "euc-jp"}};
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir / "page.html", c.page);
    const auto run = RunCli(dir, {"indent", "--diff", "./page.html"});
    EXPECT_EQ(run.exitCode, 1) << c.label << run.err;
    EXPECT_EQ(run.out, ExpectedDiff("page.html", c.label, c.writtenLabel)) << c.label;
    EXPECT_EQ(ReadFile(dir / "page.html"), c.page) << c.label;

    WriteFile(dir / "page.html", Indented(c.page));
    const auto again = RunCli(dir, {"indent", "--diff", "page.html"});
    EXPECT_EQ(again.exitCode, 0) << c.label << again.err;
    EXPECT_EQ(again.out, "") << c.label;
  }
}

// For a UTF-8 page the diff is a patch: applied, it gives what --in-place writes.
TEST(ToolChain, DiffOfAUtf8PageAppliesWithGit) {
  TempDir dir;
  const std::string page = "<html><head><meta charset=\"utf-8\"></head>\r\n<body><div><p>\xe6\x97\xa5</p></div>\r\n"
                           "</body></html>\r\n";
  WriteFile(dir / "site" / "page.html", page);
  const auto diff = RunCli(dir, {"indent", "--diff", "site/page.html"});
  ASSERT_EQ(diff.exitCode, 1) << diff.err;
  WriteFile(dir / "change.patch", diff.out);
  ASSERT_EQ(std::system(("cd '" + dir.path().string() + "' && git apply change.patch").c_str()), 0) << diff.out;
  EXPECT_EQ(ReadFile(dir / "site" / "page.html"), Indented(page));
}

struct ConfigCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // .zelmrc files below the temporary folder
  std::vector<std::string> options;
  std::string unit;  // the indentation of one level, for the <ul> line two levels deep
};

void PrintTo(const ConfigCase& c, std::ostream* out) { *out << c.name; }

class ConfigTest : public testing::TestWithParam<ConfigCase> {};

// The page site/a/b/page.html, with .zelmrc files placed around it.
TEST_P(ConfigTest, ChoosesTheIndentation) {
  const ConfigCase& c = GetParam();
  TempDir dir;
  WriteFile(dir / "site" / "a" / "b" / "page.html", RawPage("Shift_JIS"));
  for (const auto& [path, text] : c.files) WriteFile(dir / path, text);
  std::vector<std::string> args{"indent"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("site/a/b/page.html");
  const auto run = RunCli(dir, args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\r\n" + c.unit + c.unit + "<ul>\r\n"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigTest,
    testing::Values(
        ConfigCase{"None", {}, {}, "  "},
        ConfigCase{"FoundAbove", {{"site/.zelmrc", "IndentType=2\r\n"}}, {}, "\t"},
        ConfigCase{"OptionWins", {{"site/.zelmrc", "IndentType=2\n"}}, {"--indent", "4"}, "    "},
        ConfigCase{"NoConfig", {{"site/.zelmrc", "IndentType=2\n"}}, {"--no-config"}, "  "},
        ConfigCase{"NearestWins", {{"site/.zelmrc", "IndentType=2\n"}, {"site/a/.zelmrc", "IndentType=1\n"}}, {}, "    "},
        ConfigCase{"SettingsFileSection", {{"site/.zelmrc", "[RadioGroup]\nIndentType=2\n"}}, {}, "\t"},
        ConfigCase{"KeyBeforeSectionsWins", {{"site/.zelmrc", "IndentType=1\n[RadioGroup]\nIndentType=2\n"}}, {}, "    "},
        ConfigCase{"OtherKeysIgnored", {{"site/.zelmrc", "; mine\n[Menu]\nMaximized=1\n[RadioGroup]\nIndentType=\n"}}, {}, "  "}),
    [](const testing::TestParamInfo<ConfigCase>& info) { return std::string(info.param.name); });

TEST(ToolChain, ConfigSetsTheOtherChoicesAndRefusesBadValues) {
  TempDir dir;
  WriteFile(dir / "site" / "page.html", RawPage("Shift_JIS"));
  WriteFile(dir / "site" / ".zelmrc", "[CheckBox]\nDivCommentConcat=1\n[RadioGroup]\nSaveCharSet=2\n");
  const auto utf8 = RunCli(dir, {"indent", "site/page.html"});
  EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
  EXPECT_NE(utf8.out.find("charset=UTF-8\""), std::string::npos) << utf8.out;
  EXPECT_NE(utf8.out.find("\r\n  <div><p>\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e</p>\r\n"), std::string::npos) << utf8.out;

  const auto shown = RunCli(dir, {"config", "--indent", "tab", "site/page.html"});
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  const std::string zelmrc = fs::absolute(dir / "site" / ".zelmrc").lexically_normal().string();
  for (const std::string& line : {"configuration: " + zelmrc + "\n",
                                  std::string("  IndentType=2          tab                       command line (--indent)\n"),
                                  std::string("  OpenCharset=0         automatic                 default\n"),
                                  "  DivCommentConcat=1    on                        " + zelmrc + "\n",
                                  "  SaveCharSet=2         UTF-8                     " + zelmrc + "\n",
                                  std::string("under [RadioGroup]")})
    EXPECT_NE(shown.out.find(line), std::string::npos) << line << "\nin:\n" << shown.out;

  WriteFile(dir / "site" / ".zelmrc", "IndentType=7\n");
  const auto bad = RunCli(dir, {"indent", "--in-place", "site"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find(".zelmrc: IndentType=7 is not one of 0 (two spaces), 1 (four spaces)"), std::string::npos)
      << bad.err;
  EXPECT_EQ(ReadFile(dir / "site" / "page.html"), RawPage("Shift_JIS"));
  EXPECT_EQ(RunCli(dir, {"indent", "--no-config", "--check", "site"}).exitCode, 1);
  EXPECT_EQ(RunCli(dir, {"config", "site/page.html"}).exitCode, 1);
}

struct IgnoreCase {
  const char* name;
  std::string zelmignore;   // at the top of the site
  std::string listed;       // what --check lists, one a line
};

void PrintTo(const IgnoreCase& c, std::ostream* out) { *out << c.name; }

class IgnoreTest : public testing::TestWithParam<IgnoreCase> {};

TEST_P(IgnoreTest, LeavesPathsOutOfFolderRuns) {
  const IgnoreCase& c = GetParam();
  TempDir dir;
  for (const char* page : {"b.html", "index.html", "gen/out.html", "sub/page.htm", "sub/gen/out.html",
                           "sub/deep/a.min.html", "vendor/keep.html", "vendor/lib.html"})
    WriteFile(dir / "site" / page, RawPage("Shift_JIS"));
  if (!c.zelmignore.empty()) WriteFile(dir / "site" / ".zelmignore", c.zelmignore);
  const auto run = RunCli(dir, {"indent", "--check", "-q", "site"});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  std::string expected;
  for (std::size_t at = 0; at < c.listed.size();) {
    const std::size_t end = c.listed.find(' ', at);
    expected += "site/" + c.listed.substr(at, end - at) + "\n";
    at = end == std::string::npos ? c.listed.size() : end + 1;
  }
  EXPECT_EQ(run.out, expected);
}

const std::string kAll = "b.html gen/out.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm "
                         "vendor/keep.html vendor/lib.html";

INSTANTIATE_TEST_SUITE_P(
    Patterns, IgnoreTest,
    testing::Values(
        IgnoreCase{"Nothing", "# only a comment\n\n", kAll},
        IgnoreCase{"Folder", "vendor/\n",
                   "b.html gen/out.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm"},
        IgnoreCase{"AnchoredFolder", "/gen/\n",
                   "b.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"FolderAtAnyDepth", "gen\r\n",
                   "b.html index.html sub/deep/a.min.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"Star", "*.min.html\n",
                   "b.html gen/out.html index.html sub/gen/out.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"StarStopsAtSlash", "sub/*.html\n", kAll},
        IgnoreCase{"DoubleStarInside", "sub/**/*.html\n",
                   "b.html gen/out.html index.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"DoubleStarInFront", "**/gen/out.html\n",
                   "b.html index.html sub/deep/a.min.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"QuestionMark", "?.html\n",
                   "gen/out.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm vendor/keep.html "
                   "vendor/lib.html"},
        IgnoreCase{"Brackets", "[a-c]*.html\n[!p]*.htm\n",
                   "gen/out.html index.html sub/gen/out.html sub/page.htm vendor/keep.html vendor/lib.html"},
        IgnoreCase{"Negation", "vendor/*\n!vendor/keep.html\n",
                   "b.html gen/out.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm vendor/keep.html"},
        IgnoreCase{"NoReincludeInLeftOutFolder", "vendor/\n!vendor/keep.html\n",
                   "b.html gen/out.html index.html sub/deep/a.min.html sub/gen/out.html sub/page.htm"},
        IgnoreCase{"EverythingInside", "sub/**\n",
                   "b.html gen/out.html index.html vendor/keep.html vendor/lib.html"},
        IgnoreCase{"EscapedHash", "\\#x.html\nindex.html # not a comment\n", kAll}),
    [](const testing::TestParamInfo<IgnoreCase>& info) { return std::string(info.param.name); });

// .zelmignore files below and above the folder searched count; a file named
// on the command line is processed anyway; --no-ignore searches everything.
TEST(ToolChain, IgnoreFilesAroundTheSearchAndNamedFiles) {
  TempDir dir;
  for (const char* page : {"sub/page.html", "sub/deep/a.html", "sub/keep.html"})
    WriteFile(dir / "site" / page, RawPage("Shift_JIS"));
  WriteFile(dir / "site" / ".zelmignore", "page.html\n");
  WriteFile(dir / "site" / "sub" / ".zelmignore", "deep/\n");
  EXPECT_EQ(RunCli(dir, {"indent", "--check", "-q", "site/sub"}).out, "site/sub/keep.html\n");
  EXPECT_EQ(RunCli(dir, {"indent", "--check", "-q", "site/sub", "site/sub/page.html"}).out,
            "site/sub/keep.html\nsite/sub/page.html\n");
  EXPECT_EQ(RunCli(dir, {"indent", "--check", "-q", "--no-ignore", "site"}).out,
            "site/sub/deep/a.html\nsite/sub/keep.html\nsite/sub/page.html\n");
}

TEST(ToolChain, StdinFilepathReadsAPageAndNamesIt) {
  TempDir dir;
  WriteFile(dir / "site" / ".zelmrc", "IndentType=2\n");
  const std::string euc = SjisToEuc(RawPage("EUC-JP")).text;
  WriteFile(dir / "site" / "sub" / "copy.html", euc);
  const std::string asFile = RunCli(dir, {"indent", "site/sub/copy.html"}).out;
  ASSERT_NE(asFile.find("\t<div>"), std::string::npos);

  const auto run = RunCli(dir, {"indent", "--stdin-filepath", "site/sub/new.html"}, euc);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, asFile);

  const auto changed = RunCli(dir, {"indent", "--check", "--stdin-filepath=site/sub/new.html"}, euc);
  EXPECT_EQ(changed.exitCode, 1);
  EXPECT_EQ(changed.out, "site/sub/new.html\n");
  const auto same = RunCli(dir, {"indent", "--check", "--stdin-filepath", "site/sub/new.html"}, asFile);
  EXPECT_EQ(same.exitCode, 0) << same.err;
  EXPECT_EQ(same.out, "");

  const auto binary = RunCli(dir, {"indent", "--stdin-filepath", "site/x.html"}, std::string("<p>\0</p>", 8));
  EXPECT_EQ(binary.exitCode, 1);
  EXPECT_EQ(binary.err, "zelm-cli: site/x.html: binary text (it holds NUL bytes): nothing to indent\n");
  const auto usage = RunCli(dir, {"indent", "--stdin-filepath", "x.html", "site/sub/copy.html"}, euc);
  EXPECT_EQ(usage.exitCode, 2);
}

TEST(ToolChain, VersionNamesTheRevision) {
  const auto run = RunCli({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(std::regex_match(run.out, std::regex("zelm-cli [0-9]+\\.[0-9]+\\.[0-9]+ \\(revision [^ )]+\\)\n")))
      << run.out;
}

}  // namespace
}  // namespace zelm
