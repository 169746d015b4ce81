// zelm-cli indent, run as the real program on real files.
#include <gtest/gtest.h>
#include <pwd.h>
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

// A file named twice, by whatever path, is indented once: its backup keeps
// the page as it was, not the first indentation of it.
TEST(IndentCommand, AFileNamedTwiceIsIndentedOnce) {
  const std::vector<std::vector<std::string>> namings{
      {"p.html", "p.html"}, {"d", "d/p.html"}, {"d/p.html", "./d/p.html"}, {"d/p.html", "d/link.html"}};
  for (const auto& names : namings) {
    TempDir dir;
    std::filesystem::create_directory(dir / "d");
    const std::string page = names[0] == "p.html" ? "p.html" : "d/p.html";
    WriteFile(dir / page, kSjisPage);
    std::filesystem::create_symlink("p.html", dir / "d" / "link.html");
    std::vector<std::string> args{"indent", "--in-place"};
    args.insert(args.end(), names.begin(), names.end());
    const auto run = RunCli(dir, args);
    EXPECT_EQ(run.exitCode, 0) << names[1] << ": " << run.err;
    const std::filesystem::path backup = std::filesystem::path(page).parent_path() / "ZZBU_p.html";
    EXPECT_EQ(ReadFile(dir.path() / backup), kSjisPage) << names[1];
    EXPECT_EQ(ReadFile(dir / page), ExpectedResult(kSjisPage)) << names[1];
  }
}

// -o FOLDER keeps each page's place below the folder it was found in; a
// run in which two inputs would go to one output, or an output is an
// input, writes nothing.
TEST(IndentCommand, AnOutputFolderMirrorsTheInputTree) {
  TempDir dir;
  std::filesystem::create_directories(dir / "src" / "sub");
  WriteFile(dir / "src" / "index.html", kSjisPage);
  WriteFile(dir / "src" / "sub" / "index.html", kSjisPage + "<!-- sub -->\r\n");
  std::filesystem::create_directory(dir / "out");
  const auto run = RunCli(dir, {"indent", "-q", "-o", "out", "src"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "out" / "index.html"), ExpectedResult(kSjisPage));
  EXPECT_EQ(ReadFile(dir / "out" / "sub" / "index.html"), ExpectedResult(kSjisPage + "<!-- sub -->\r\n"));

  for (const std::vector<std::string>& clash : {std::vector<std::string>{"-o", "out2", "src/index.html", "src/sub/index.html"},
                                                std::vector<std::string>{"-o", "src", "src"}}) {
    std::filesystem::create_directory(dir / "out2");
    std::vector<std::string> args{"indent"};
    args.insert(args.end(), clash.begin(), clash.end());
    const auto refused = RunCli(dir, args);
    EXPECT_EQ(refused.exitCode, 2) << clash[1];
    EXPECT_NE(refused.err.find("nothing written"), std::string::npos) << refused.err;
    EXPECT_EQ(test::FileNamesIn(dir / "out2"), std::vector<std::string>{}) << clash[1];
    EXPECT_EQ(ReadFile(dir / "src" / "index.html"), kSjisPage) << clash[1];
  }
}

// A page replaced in place, and its backup, keep the page's mode; a page
// with other names (hard links) is warned about.
TEST(IndentCommand, InPlaceKeepsTheModeAndWarnsAboutOtherNames) {
  for (const mode_t mode : {0600u, 0640u}) {
    TempDir dir;
    WriteFile(dir / "page.html", kSjisPage);
    ::chmod((dir / "page.html").c_str(), mode);
    std::filesystem::create_hard_link(dir / "page.html", dir / "other.html");
    const auto run = RunCli(dir, {"indent", "--in-place", "page.html"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* name : {"page.html", "ZZBU_page.html"}) {
      struct stat info {};
      ASSERT_EQ(::stat((dir / name).c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, mode) << name;
    }
    EXPECT_EQ(Contains(run.err, "page.html: the file had 1 other name (hard links), which keep the old text"), "");
    EXPECT_EQ(ReadFile(dir / "other.html"), kSjisPage);
  }
}

// Temporary names do not grow with the page's: a name of 250 bytes is
// replaced in place; at 252 its backup's name is too long, and the message
// names that file and the system's reason.
TEST(IndentCommand, PageNamesNearTheLengthLimit) {
  TempDir dir;
  const std::string longest = std::string(245, 'p') + ".html", tooLong = std::string(247, 'q') + ".html";
  WriteFile(dir / longest, kSjisPage);
  WriteFile(dir / tooLong, kSjisPage);
  const auto run = RunCli(dir, {"indent", "-q", "--in-place", longest, tooLong});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ReadFile(dir / longest), ExpectedResult(kSjisPage));
  EXPECT_EQ(ReadFile(dir / ("ZZBU_" + longest)), kSjisPage);
  EXPECT_EQ(Contains(run.err, "cannot write ZZBU_" + tooLong + ": File name too long"), "");
  EXPECT_EQ(ReadFile(dir / tooLong), kSjisPage);
  EXPECT_EQ(test::FileNamesIn(dir.path()).size(), 3u) << "nothing else left";
}

const std::string kUtf8Head = "<html><head><meta charset=\"utf-8\"></head>\n<body>\n";

// Characters that would come back as others, and broken UTF-8, are
// reported and refused in place; as references they show the same text.
TEST(IndentCommand, CharactersThatWouldChangeAreReportedOrWrittenAsReferences) {
  TempDir dir;
  const std::string changing = "\xC2\xA5 \xE2\x80\xBE \xE2\x80\x94 \xE3\x80\x9C \xE2\x88\x92 \xE2\x80\x96 \xC2\xA2\xC2\xA3\xC2\xAC";
  const std::string page = kUtf8Head + "<p>" + changing + "</p>\n</body></html>\n";
  WriteFile(dir / "page.html", page);
  const auto refused = RunCli(dir, {"indent", "--in-place", "page.html"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(Contains(refused.err, "9 characters were written as other characters (the first on line 3)"), "");
  EXPECT_EQ(ReadFile(dir / "page.html"), page);
  const auto kept = RunCli(dir, {"indent", "--in-place", "--unmappable", "ncr", "page.html"});
  EXPECT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_EQ(Contains(ReadFile(dir / "page.html"),
                     "<p>&#165; &#8254; &#8212; &#12316; &#8722; &#8214; &#162;&#163;&#172;</p>"), "");

  const std::string stray = kUtf8Head + "<p>\xE6\x97\xA5\xE6\x9C\xAC\xA9\xE8\xAA\x9E</p>\n</body></html>\n";
  WriteFile(dir / "stray.html", stray);
  const auto read = RunCli(dir, {"indent", "stray.html"});
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(Contains(read.out, "<p>\xE6\x97\xA5\xE6\x9C\xAC?\xE8\xAA\x9E</p>"), "");  // UTF-8 still
  EXPECT_EQ(Contains(read.err, "1 broken byte sequence became '?' (the first on line 3)"), "");
  EXPECT_EQ(RunCli(dir, {"indent", "--in-place", "stray.html"}).exitCode, 1);
  EXPECT_EQ(ReadFile(dir / "stray.html"), stray);
}

// Pages read as ISO-2022-JP or EUC-JP come back with the characters they had.
TEST(IndentCommand, JisBasedPagesComeBackAsTheyWere) {
  TempDir dir;
  const std::string jisHead = "<html><head><meta charset=\"iso-2022-jp\"></head>\r\n<body>\r\n";
  // 漢 then "/~user/" after ESC (J, and half-width katakana after ESC (I and between SO and SI.
  WriteFile(dir / "jis.html", jisHead + "<p>\x1B$B4A\x1B(J/~user/\\</p>\r\n<p>\x1B(I12\x1B(B \x0E" "34\x0F</p>\r\n</body></html>\r\n");
  const auto jis = RunCli(dir, {"indent", "--force", "--in-place", "jis.html"});
  EXPECT_EQ(jis.exitCode, 0) << jis.err;
  const std::string written = ReadFile(dir / "jis.html");
  EXPECT_EQ(Contains(written, "<p>\x1B$B4A\x1B(B/~user/\\</p>"), "");
  EXPECT_EQ(written.find("\x1B(J"), std::string::npos);
  const auto sjis = RunCli(dir, {"indent", "--output-charset", "shift_jis", "ZZBU_jis.html"});
  EXPECT_EQ(Contains(sjis.out, Sjis("<p>ｱｲ ｳｴ</p>")), "");

  const std::string euc = "<html><head><meta charset=\"euc-jp\"></head>\r\n<body>\r\n<p>\x8E\xB1\x8E\xB2 \xB4\xC1</p>\r\n</body></html>\r\n";
  WriteFile(dir / "euc.html", euc);
  const auto eucRun = RunCli(dir, {"indent", "--in-place", "euc.html"});
  EXPECT_EQ(eucRun.exitCode, 0) << eucRun.err;
  EXPECT_EQ(eucRun.err, "");
  EXPECT_EQ(Contains(ReadFile(dir / "euc.html"), "<p>\x8E\xB1\x8E\xB2 \xB4\xC1</p>"), "");
}

// A code listing keeps its lines and blanks with --keep-pre; --verify then
// checks the listing too.
TEST(IndentCommand, KeepPreKeepsListingsAsTheyWere) {
  TempDir dir;
  const std::string listing = "<pre>def f():\r\n\r\n    return <span>1</span><span>2</span>\r\n</pre>";
  WriteFile(dir / "page.html", "<html><head></head><body><div>" + listing + "</div></body></html>\r\n");
  const auto kept = RunCli(dir, {"indent", "--keep-pre", "page.html"});
  EXPECT_EQ(kept.exitCode, 0) << kept.err;
  EXPECT_EQ(Contains(kept.out, "\r\n    " + listing + "\r\n"), "");
  EXPECT_EQ(RunCli(dir, {"indent", "page.html"}).out.find(listing), std::string::npos);
  const auto verified = RunCli(dir, {"indent", "--keep-pre", "--verify", "page.html"});
  EXPECT_EQ(verified.exitCode, 0) << verified.err;
  EXPECT_EQ(Contains(verified.out, "page.html: content preserved"), "");
}

TEST(IndentCommand, PastedTextWithNulBytesIsRefused) {
  const auto run = RunCli({"indent", "--paste"}, std::string("<body><p>a\0b</p>\0</body>", 25));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Contains(run.err, "the pasted text holds NUL bytes"), "");
}

// Options that take no value refuse one in every command that reads pages.
TEST(Cli, OptionsWithoutValueRefuseOne) {
  TempDir dir;
  WriteFile(dir / "page.html", kSjisPage);
  const std::vector<std::vector<std::string>> cases = {
      {"indent", "--in-place=no"},           {"indent", "--force=yes"},  {"indent", "--verify=0"},
      {"indent", "--lower=false"},           {"indent", "--keep-pre=1"}, {"divmark", "insert", "--in-place=no"},
      {"divmark", "insert", "--no-text=1"},  {"divmark", "remove", "--force=yes"},
      {"analyze", "counts", "--ignore-comments=no"},
  };
  for (std::vector<std::string> args : cases) {
    const std::string option = args.back();
    args.push_back("page.html");
    const auto run = RunCli(dir, args);
    EXPECT_EQ(run.exitCode, 2) << args[0] << " " << option;
    EXPECT_EQ(Contains(run.err, "takes no value"), "") << args[0] << " " << option;
  }
  EXPECT_EQ(ReadFile(dir / "page.html"), kSjisPage);
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"page.html"});
}

// A folder that cannot be read is reported and fails the run; the other
// pages are done. Run as another user, since root reads every folder.
TEST(IndentCommand, EveryFolderThatCannotBeReadIsReported) {
  TempDir dir;
  std::filesystem::create_directories(dir / "site" / "locked");
  WriteFile(dir / "site" / "page.html", kSjisPage);
  WriteFile(dir / "site" / "locked" / "hidden.html", kSjisPage);
  std::filesystem::create_directory(dir / "top");
  ::chmod(dir.path().c_str(), 0777);
  ::chmod((dir / "site").c_str(), 0777);
  ::chmod((dir / "site" / "page.html").c_str(), 0666);
  ::chmod((dir / "site" / "locked").c_str(), 0);
  ::chmod((dir / "top").c_str(), 0);
  const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
  if (::geteuid() == 0 && !nobody) GTEST_SKIP() << "no user nobody to run as";
  const test::RunAs user{nobody ? nobody->pw_uid : ::geteuid(), nobody ? nobody->pw_gid : ::getegid()};
  const auto run = test::WaitForCli(dir, test::StartCli(dir, {"indent", "--in-place", "-q", "site"}, "site", &user));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(Contains(run.err, "site/locked: cannot read the folder: Permission denied"), "");
  EXPECT_EQ(ReadFile(dir / "site" / "page.html"), ExpectedResult(kSjisPage));
  const auto top = test::WaitForCli(dir, test::StartCli(dir, {"indent", "--in-place", "top"}, "top", &user));
  EXPECT_EQ(top.exitCode, 1);
  EXPECT_EQ(Contains(top.err, "top: cannot read the folder: Permission denied"), "");
  EXPECT_EQ(top.err.find("no .htm or .html files found"), std::string::npos) << top.err;
}

}  // namespace
}  // namespace zelm
