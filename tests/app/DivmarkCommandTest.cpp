// zelm-cli divmark, run as the real program on real pages.
#include <gtest/gtest.h>

#include "encoding/JisConvert.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::ReadFile;
using test::RunCli;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

std::string Euc(std::string_view utf8) { return SjisToEuc(Sjis(utf8)).text; }

// Byte-wise, for texts that are not Shift_JIS.
std::size_t CountBytes(std::string_view text, std::string_view piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + piece.size())) ++count;
  return count;
}
std::string ReplaceBytes(std::string text, std::string_view old, std::string_view replacement) {
  for (std::size_t at = text.find(old); at != std::string::npos; at = text.find(old, at + replacement.size()))
    text.replace(at, old.size(), replacement);
  return text;
}

// An EUC-JP page of the test data: labelled in place, it keeps a backup;
// the labels are taken away again byte for byte, or become comments.
TEST(DivmarkCommand, LabelsAnEucJpPageInPlaceAndBack) {
  TempDir dir;
  const std::string original = ReadFile(test::TestDataDir() / "pages" / "namazu-tutorial.eucjp.html");
  const std::string page = (dir / "page.html").string();
  WriteFile(page, original);

  const auto insert = RunCli(dir, {"divmark", "insert", "--in-place", page});
  EXPECT_EQ(insert.exitCode, 0) << insert.err;
  EXPECT_EQ(insert.err, "zelm-cli: divmark: 1 of 1 file changed\n");
  EXPECT_EQ(ReadFile(dir / "ZZBU_page.html"), original);
  const std::string labelled = ReadFile(page);
  EXPECT_EQ(CountBytes(labelled, Euc("</div @--  ■■■■  --@ >\n")), 8u);
  EXPECT_EQ(CountBytes(labelled, "</div>"), 0u);

  const auto replace = RunCli(dir, {"divmark", "replace", page});
  EXPECT_EQ(replace.exitCode, 0) << replace.err;
  EXPECT_EQ(replace.out, ReplaceBytes(original, "</div>\n", Euc("</div><!--  ■■■■  -->\n")));

  const auto remove = RunCli(dir, {"divmark", "remove", "--in-place", "-q", page});
  EXPECT_EQ(remove.exitCode, 0) << remove.err;
  EXPECT_EQ(remove.err, "");
  EXPECT_EQ(ReadFile(page), original);
}

// Characters Shift_JIS lacks would become "?": written to standard output
// with a warning, in place only when forced.
TEST(DivmarkCommand, AUtf8PageThatWouldLoseCharactersIsNotWrittenInPlace) {
  TempDir dir;
  const std::string original = ReadFile(test::TestDataDir() / "pages" / "faq-basic-defs.utf8.html");
  const std::string page = (dir / "page.html").string();
  WriteFile(page, original);

  const auto refused = RunCli(dir, {"divmark", "insert", "--in-place", page});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("have no Shift_JIS form and became '?'"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("use --force"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFile(page), original);
  EXPECT_FALSE(std::filesystem::exists(dir / "ZZBU_page.html"));

  const auto shown = RunCli(dir, {"divmark", "insert", page});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_NE(shown.out.find("</div @--  \xE2\x96\xA0\xE2\x96\xA0\xE2\x96\xA0\xE2\x96\xA0  --@ >"), std::string::npos);

  const auto forced = RunCli(dir, {"divmark", "insert", "--in-place", "--force", page});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(ReadFile(page), shown.out);
}

// A UTF-8 page with a byte-order mark, LF line ends and no line end after
// its last line keeps all three.
TEST(DivmarkCommand, KeepsTheFormOfTheLineEnds) {
  TempDir dir;
  const std::string original =
      "\xEF\xBB\xBF<div>\n<p>\xE6\x97\xA5\xE6\x9C\xAC</p>\n\n\n</div>\n<div>x</div>\n</div>";
  const std::string page = (dir / "page.html").string();
  WriteFile(page, original);
  const auto insert = RunCli(dir, {"divmark", "insert", "--start", "$#", "--end", "$%", "--no-text", "--in-place", page});
  EXPECT_EQ(insert.exitCode, 0) << insert.err;
  EXPECT_EQ(ReadFile(page),
            "\xEF\xBB\xBF<div>\n<p>\xE6\x97\xA5\xE6\x9C\xAC</p>\n\n\n</div $# $% >\n<div>x</div>\n</div $# $% >");
  const auto remove = RunCli(dir, {"divmark", "remove", "--start=$#", "--end=$%", "--in-place", page});
  EXPECT_EQ(remove.exitCode, 0) << remove.err;
  EXPECT_EQ(ReadFile(page), original);
}

TEST(DivmarkCommand, OptionsOnStandardInput) {
  struct Case {
    std::vector<std::string> args;
    std::string input, expected;
  };
  const Case cases[] = {
      {{"insert", "--no-space", "--no-text", "-"}, "  </div>\r\n", "  </div@-- --@>\r\n"},
      {{"insert", "-"}, "<div id=a></div>\r\n", "<div id=a></div>\r\n"},
      {{"replace", "--no-space", "-"}, "</div@--x--@>\r\n", "</div><!--x-->\r\n"},
      {{"remove", "--no-space", "-"}, Sjis("</div @--  ■■■■  --@ >\r\n"), "</div  >\r\n"},
      {{"replace", "--start", "<!", "--end", "--", "--no-space", "-"}, "</div<! x -->\r\n", "</div><!-- x -->\r\n"},
      // A mark typed in UTF-8 ("＠") on a Shift_JIS page.
      {{"remove", "--start", "\xEF\xBC\xA0", "--open-charset", "shift_jis", "-"}, Sjis("</div ＠ a --@ >\r\n"),
       "</div>\r\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"divmark"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = RunCli(args, c.input);
    EXPECT_EQ(run.exitCode, 0) << c.args[0] << run.err;
    EXPECT_EQ(run.out, c.expected) << c.args[0];
  }
}

TEST(DivmarkCommand, SeveralFilesGoToAFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir / "out");
  WriteFile(dir / "a.html", "</div @-- a --@ >\r\n");
  WriteFile(dir / "b.html", "<p>no label</p>\r\n");
  const auto run = RunCli(dir, {"divmark", "replace", "-o", (dir / "out").string(), (dir / "a.html").string(),
                                (dir / "b.html").string(), (dir / "missing.html").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("missing.html: no such file"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("divmark: 1 of 3 files changed, 1 failed"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(dir / "out" / "a.html"), "</div><!-- a -->\r\n");
  EXPECT_EQ(ReadFile(dir / "out" / "b.html"), "<p>no label</p>\r\n");

  // In place, a file without labels is left alone: no backup is made.
  const auto inPlace = RunCli(dir, {"divmark", "remove", "--in-place", (dir / "b.html").string()});
  EXPECT_EQ(inPlace.exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "ZZBU_b.html"));
}

// Outputs that would overwrite one another, or an input, stop the run
// before anything is written; a page named twice is labelled once.
TEST(DivmarkCommand, OutputsThatClashWriteNothing) {
  TempDir dir;
  std::filesystem::create_directories(dir / "one");
  std::filesystem::create_directories(dir / "two");
  std::filesystem::create_directories(dir / "out");
  WriteFile(dir / "one" / "index.html", "</div @-- one --@ >\r\n");
  WriteFile(dir / "two" / "index.html", "</div @-- two --@ >\r\n");
  const std::string one = (dir / "one" / "index.html").string(), two = (dir / "two" / "index.html").string();
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"divmark", "replace", "-o", (dir / "out").string(), one, two}, "would both be written to"},
      {{"divmark", "replace", "-o", one, one}, "is an input"},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(dir, c.args);
    EXPECT_EQ(run.exitCode, 2) << c.reason;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  }
  EXPECT_TRUE(test::FileNamesIn(dir / "out").empty());
  EXPECT_EQ(ReadFile(one), "</div @-- one --@ >\r\n");

  const auto twice =
      RunCli(dir, {"divmark", "replace", "--in-place", one, (dir / "one" / "." / "index.html").string()});
  EXPECT_EQ(twice.exitCode, 0) << twice.err;
  EXPECT_NE(twice.err.find("1 of 1 file changed"), std::string::npos) << twice.err;
  EXPECT_EQ(ReadFile(dir / "one" / "ZZBU_index.html"), "</div @-- one --@ >\r\n");
  EXPECT_EQ(ReadFile(one), "</div><!-- one -->\r\n");
}

// What is no page is refused with the reason, as indent refuses it.
TEST(DivmarkCommand, RefusesWhatIsNoPage) {
  TempDir dir;
  WriteFile(dir / "empty.html", "");
  WriteFile(dir / "binary.html", std::string("</div>\0\r\n", 9));
  std::filesystem::create_directory(dir / "folder.html");
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {{"empty.html", "the file is empty"},
               {"binary.html", "binary file (it holds NUL bytes)"},
               {"folder.html", "is a folder, not a page"},
               {"missing.html", "no such file"}};
  for (const auto& c : cases) {
    const auto run = RunCli(dir, {"divmark", "insert", "--in-place", (dir / c.file).string()});
    EXPECT_EQ(run.exitCode, 1) << c.file;
    EXPECT_NE(run.err.find(std::string(c.file) + ": " + c.reason), std::string::npos) << run.err;
  }
  EXPECT_EQ(test::FileNamesIn(dir.path()), (std::vector<std::string>{"binary.html", "empty.html"}));
}

TEST(DivmarkCommand, WrongCommandLinesAreUsageErrors) {
  TempDir dir;
  WriteFile(dir / "a.html", "</div>\r\n");
  WriteFile(dir / "b.html", "</div>\r\n");
  const std::string a = (dir / "a.html").string(), b = (dir / "b.html").string();
  const std::vector<std::vector<std::string>> cases = {
      {"divmark"},
      {"divmark", a},
      {"divmark", "label", a},
      {"divmark", "insert"},
      {"divmark", "insert", "--start", "", a},
      {"divmark", "insert", "--end"},
      {"divmark", "insert", "--start", "\xF0\x9F\x98\x80", a},  // no Shift_JIS form
      {"divmark", "insert", "--in-place", "-o", "x.html", a},
      {"divmark", "insert", "--in-place", "-"},
      {"divmark", "insert", a, b},
      {"divmark", "insert", "--open-charset", "latin-1", a},
      {"divmark", "insert", "--indent", a},
  };
  for (const auto& args : cases) {
    const auto run = RunCli(dir, args);
    EXPECT_EQ(run.exitCode, 2) << args.back();
    EXPECT_NE(run.err.find("see 'zelm-cli divmark --help'"), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadFile(dir / "a.html"), "</div>\r\n");
  const auto help = RunCli(dir, {"divmark", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: zelm-cli divmark insert|remove|replace"));
}

}  // namespace
}  // namespace zelm
