// zelm-cli indent, run as the real program on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "PageGenerator.h"
#include "app/FileCommands.h"
#include "indent/Pipeline.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"

namespace zelm {
namespace {

using test::ReadFile;
using test::RunCli;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

std::string Contains(const std::string& text, std::string_view piece) {
  return text.find(piece) != std::string::npos ? "" : "missing '" + std::string(piece) + "' in: " + text;
}

const std::string kSjisPage = Sjis(
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\"></head>\r\n"
    "<body><div><p>日本語</p><ul><li>一</li></ul></div></body></html>\r\n");

std::string ExpectedResult(const std::string& page) {
  return IndentStage(FileInputStage(NormalizeLineEnds(page), PipelineOptions{}).Local, PipelineOptions{}).Result;
}

TEST(IndentCommand, WritesOneFileToStandardOutput) {
  TempDir dir;
  WriteFile(dir / "page.html", kSjisPage);
  const auto run = RunCli(dir, {"indent", (dir / "page.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, ExpectedResult(kSjisPage));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Contains(run.out, Sjis("  <div><p>日本語</p>\r\n    <ul>\r\n      <li>一</li>\r\n")), "");
}

TEST(IndentCommand, EmitsTheTextAskedFor) {
  TempDir dir;
  WriteFile(dir / "page.html", kSjisPage);
  const auto work = RunCli(dir, {"indent", "--emit", "work", (dir / "page.html").string()});
  EXPECT_EQ(Contains(work.out, "%-->"), "");
  const auto native = RunCli(dir, {"indent", "--emit=native", (dir / "page.html").string()});
  EXPECT_EQ(native.out, kSjisPage);
  const auto tab = RunCli(dir, {"indent", "--indent", "tab", (dir / "page.html").string()});
  EXPECT_EQ(Contains(tab.out, "\t\t<ul>"), "");
  const auto utf8 = RunCli(dir, {"indent", "--output-charset", "utf-8", (dir / "page.html").string()});
  EXPECT_EQ(Contains(utf8.out, "charset=UTF-8\""), "");
  EXPECT_EQ(Contains(utf8.out, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"), "");  // 日本語
}

// A page large enough to be read through a mapping and shared over
// threads gives what the stages give for its bytes; a large binary file is
// refused as a small one is.
TEST(IndentCommand, LargePagesGiveWhatTheStagesGive) {
  TempDir dir;
  const std::string page = bench::GeneratePage(2'500'000, 3);
  WriteFile(dir / "large.html", page);
  const auto run = RunCli(dir, {"indent", (dir / "large.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::string result = FileToResultStage(page, PipelineOptions{}).Result;
  EXPECT_TRUE(run.out == result);
  const auto saved = RunCli(dir, {"indent", (dir / "large.html").string(), "-o", (dir / "out.html").string()});
  EXPECT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_TRUE(ReadFile(dir / "out.html") == result);
  const auto utf8 = RunCli(dir, {"indent", "--output-charset", "utf-8", (dir / "large.html").string()});
  EXPECT_EQ(utf8.exitCode, 0) << utf8.err;
  EXPECT_TRUE(utf8.out == EncodeForSaving(result, kCharCodeUtf8).text);

  std::string binary = page;
  binary[2'000'000] = '\0';
  WriteFile(dir / "binary.html", binary);
  const auto refused = RunCli(dir, {"indent", (dir / "binary.html").string()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(Contains(refused.err, "binary file"), "");
  EXPECT_EQ(refused.out, "");
}

// The README's example: an EUC-JP page re-indented in place comes back as
// EUC-JP, and the original is kept byte for byte.
TEST(IndentCommand, InPlaceKeepsTheEncodingAndABackup) {
  TempDir dir;
  const std::string original = ReadFile(test::TestDataDir() / "pages" / "namazu-tutorial.eucjp.html");
  WriteFile(dir / "tutorial.html", original);
  const auto run = RunCli(dir, {"indent", "--in-place", (dir / "tutorial.html").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "ZZBU_tutorial.html"), original);
  const std::string written = ReadFile(dir / "tutorial.html");
  EXPECT_EQ(Contains(written, "charset=euc-jp\""), "");
  EXPECT_EQ(Contains(written, "\xb8\xa1\xba\xf7"), "");  // 検索 in EUC-JP
  // Read back as EUC-JP it is the same indented page.
  const auto again = RunCli(dir, {"indent", "--output-charset", "shift_jis", (dir / "tutorial.html").string()});
  EXPECT_EQ(again.out, ExpectedResult(original));
}

TEST(IndentCommand, RefusesToLoseCharactersInPlaceUnlessForced) {
  TempDir dir;
  const std::string page = "<html><head><meta charset=\"utf-8\"></head>\n<body><p>\xea\xb0\x80</p></body></html>\n";
  WriteFile(dir / "k.html", page);
  const auto refused = RunCli(dir, {"indent", "--in-place", (dir / "k.html").string()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(Contains(refused.err, "1 character has no Shift_JIS form and became '?' (the first on line 2)"), "");
  EXPECT_EQ(Contains(refused.err, "--force"), "");
  EXPECT_EQ(ReadFile(dir / "k.html"), page);
  const auto forced = RunCli(dir, {"indent", "--in-place", "--force", (dir / "k.html").string()});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(Contains(ReadFile(dir / "k.html"), "<p>?</p>"), "");
}

TEST(IndentCommand, WalksFoldersInParallelAndSummarises) {
  TempDir dir;
  std::filesystem::create_directories(dir / "site" / "sub");
  for (int i = 0; i < 6; ++i) WriteFile(dir / "site" / ("p" + std::to_string(i) + ".html"), kSjisPage);
  WriteFile(dir / "site" / "sub" / "deep.HTM", kSjisPage);
  WriteFile(dir / "site" / "notes.txt", "not a page");
  WriteFile(dir / "site" / "ZZBU_old.html", "backup");
  const auto run = RunCli(dir, {"indent", "--in-place", "-j", "2", (dir / "site").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Contains(run.err, "7 of 7 files indented"), "");
  EXPECT_EQ(ReadFile(dir / "site" / "sub" / "deep.HTM"), ExpectedResult(kSjisPage));
  EXPECT_EQ(ReadFile(dir / "site" / "notes.txt"), "not a page");
  EXPECT_EQ(ReadFile(dir / "site" / "ZZBU_old.html"), "backup");
}

TEST(IndentCommand, WritesSeveralFilesIntoAnOutputFolder) {
  TempDir dir;
  WriteFile(dir / "a.html", kSjisPage);
  WriteFile(dir / "b.htm", kSjisPage);
  std::filesystem::create_directory(dir / "out");
  const auto run = RunCli(dir, {"indent", "-q", "-o", (dir / "out").string(), (dir / "a.html").string(),
                                (dir / "b.htm").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFile(dir / "out" / "b.htm"), ExpectedResult(kSjisPage));
  EXPECT_EQ(ReadFile(dir / "a.html"), kSjisPage);
}

struct BadInputCase {
  const char* name;
  std::string fileName;
  std::string content;  // empty: the file is not created
  std::string reason;
};

// A page large enough to be read through a mapping and shared over threads,
// with a NUL byte in the middle; relabelled, it is read as another encoding.
std::string LargePageWithNul(std::string_view label) {
  std::string page = bench::GeneratePage(std::size_t{3} << 20, 5);
  page.insert(page.size() / 2, 1, '\0');
  const std::size_t at = page.find("Shift_JIS");
  page.replace(at, 9, label);
  return page;
}

TEST(IndentCommand, BadInputFailsWithAReasonAndTheOthersGoOn) {
  const std::string kBinary = "binary file (it holds NUL bytes): skipped";
  const BadInputCase cases[] = {
      {"missing", "missing.html", "", "no such file"},
      {"empty", "empty.html", "\x01", "the file is empty"},
      {"binary", "binary.html", std::string("<p>\0\x01", 5), kBinary},
      {"large binary", "large.html", LargePageWithNul("Shift_JIS"), kBinary},
      {"large binary read as EUC-JP", "large-euc.html", LargePageWithNul("EUC-JP"), kBinary},
  };
  for (const auto& c : cases) {
    TempDir dir;
    if (!c.content.empty()) WriteFile(dir / c.fileName, c.content == "\x01" ? "" : c.content);
    WriteFile(dir / "good.html", kSjisPage);
    std::filesystem::create_directory(dir / "out");
    const auto run = RunCli(dir, {"indent", "-o", (dir / "out").string(), (dir / c.fileName).string(),
                                  (dir / "good.html").string()});
    EXPECT_EQ(run.exitCode, 1) << c.name;
    EXPECT_EQ(Contains(run.err, c.fileName + ": " + c.reason), "") << c.name;
    EXPECT_EQ(Contains(run.err, "1 of 2 files indented, 1 failed"), "") << c.name;
    EXPECT_EQ(ReadFile(dir / "out" / "good.html"), ExpectedResult(kSjisPage)) << c.name;
    EXPECT_FALSE(std::filesystem::exists(dir / "out" / c.fileName)) << c.name;
  }
}

// Alone, a large page has every core to itself and goes through the passes
// in parts side by side, which look for the NUL byte on their way.
TEST(IndentCommand, ALargePageHoldingANulByteIsRefusedAlone) {
  for (std::string_view label : {"Shift_JIS", "EUC-JP"}) {
    TempDir dir;
    WriteFile(dir / "large.html", LargePageWithNul(label));
    const auto run = RunCli(dir, {"indent", "-j", "2", "-o", (dir / "out.html").string(), (dir / "large.html").string()});
    EXPECT_EQ(run.exitCode, 1) << label;
    EXPECT_EQ(Contains(run.err, "large.html: binary file (it holds NUL bytes): skipped"), "") << label;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.html")) << label;
  }
}

TEST(IndentCommand, UsageErrorsWriteNothing) {
  TempDir dir;
  WriteFile(dir / "a.html", kSjisPage);
  WriteFile(dir / "b.html", kSjisPage);
  const std::string a = (dir / "a.html").string(), b = (dir / "b.html").string();
  const std::vector<std::vector<std::string>> bad{
      {"indent"},
      {"indent", "--indent", "3", a},
      {"indent", "--emit", "everything", a},
      {"indent", "--open-charset", "latin1", a},
      {"indent", "--frobnicate", a},
      {"indent", "--in-place", "-o", "x.html", a},
      {"indent", a, b},  // two outputs cannot share standard output
      {"indent", "--paste", a},
  };
  for (const auto& args : bad) {
    const auto run = RunCli(dir, args);
    EXPECT_EQ(run.exitCode, 2) << args[1];
    EXPECT_EQ(run.out, "") << args[1];
    EXPECT_NE(run.err, "") << args[1];
  }
  EXPECT_EQ(ReadFile(dir / "a.html"), kSjisPage);
  EXPECT_EQ(test::FileNamesIn(dir.path()), (std::vector<std::string>{"a.html", "b.html"}));
}

TEST(IndentCommand, PastedTextNeedsABodyTag) {
  const std::string pasted = "<HTML><BODY><TABLE><TR><TD>x</TD></TR></TABLE></BODY></HTML>";
  const auto run = RunCli({"indent", "--paste"}, pasted);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, IndentStage(PasteInputStage(pasted, {}).Local, {}).Result);
  EXPECT_EQ(Contains(run.out, "  <table>\r\n    <tr>\r\n"), "");
  const auto refused = RunCli({"indent", "--paste"}, "<div>no body</div>");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(Contains(refused.err, "no <body> tag"), "");
}

TEST(IndentCommand, AReadOnlyFolderKeepsTheOriginal) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  std::filesystem::create_directory(dir / "ro");
  WriteFile(dir / "ro" / "page.html", kSjisPage);
  ::chmod((dir / "ro").c_str(), 0555);
  const auto run = RunCli(dir, {"indent", "--in-place", (dir / "ro" / "page.html").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ReadFile(dir / "ro" / "page.html"), kSjisPage);
}

TEST(IndentCommand, VerifySaysWhetherTheContentIsKept) {
  TempDir dir;
  WriteFile(dir / "page.html", kSjisPage);
  const auto run = RunCli(dir, {"indent", "--verify", (dir / "page.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Contains(run.out, "page.html: content preserved"), "");
  EXPECT_EQ(ReadFile(dir / "page.html"), kSjisPage);
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"page.html"});
  EXPECT_EQ(RunCli(dir, {"indent", "--verify", "--in-place", (dir / "page.html").string()}).exitCode, 2);
}

TEST(IndentCommand, TooDeepNestingNamesTheLimitAndFlushLeftWorks) {
  TempDir dir;
  std::string page = "<html><body>";
  for (int i = 0; i < 100000; ++i) page += "<div>";
  page += "x";
  for (int i = 0; i < 100000; ++i) page += "</div>";
  page += "</body></html>";
  WriteFile(dir / "deep.html", page);
  const auto refused = RunCli(dir, {"indent", (dir / "deep.html").string()});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(Contains(refused.err, "the indentation would take more than"), "");
  EXPECT_EQ(Contains(refused.err, "'--indent none'"), "");
  const auto flush = RunCli(dir, {"indent", "--indent", "none", (dir / "deep.html").string()});
  EXPECT_EQ(flush.exitCode, 0) << flush.err;
  EXPECT_EQ(Contains(flush.out, "<div>\r\n<div>\r\n"), "");
}

TEST(IndentCommand, NamesWithoutExtensionMeanPages) {
  TempDir dir;
  WriteFile(dir / "page.html", kSjisPage);
  const auto run = RunCli(dir, {"indent", "-o", (dir / "result").string(), (dir / "page").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "result.html"), ExpectedResult(kSjisPage));
}

}  // namespace
}  // namespace zelm
