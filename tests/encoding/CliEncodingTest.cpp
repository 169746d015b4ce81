// zelm-cli detect and convert, run as the real program.
#include <gtest/gtest.h>

#include "EncodingTestSupport.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::CliRun;
using test::RunCli;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool Contains(const std::string& text, std::string_view piece) { return text.find(piece) != std::string::npos; }

TEST(CliDetect, ReportsEachFileAndGoesOnPastMissingOnes) {
  test::TempDir dir;
  const std::string utf8 = (dir / "a.html").string(), euc = (dir / "b.html").string(),
                    missing = (dir / "none.html").string(), eucNoLabel = (dir / "c.html").string();
  test::WriteFile(utf8, test::ReadPage("faq-basic-defs.utf8.html"));
  test::WriteFile(euc, test::ReadPage("namazu-tutorial.eucjp.html"));
  test::WriteFile(eucNoLabel, test::ReadPage("namazu-manual.eucjp-nolabel.html"));
  const CliRun run = RunCli(dir, {"detect", utf8, missing, euc, eucNoLabel});
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_EQ(lines[0], utf8 + ": declared 2 utf-8, automatic 2 utf-8 (label utf-8\"), 8 characters without a Shift_JIS form");
  EXPECT_EQ(lines[1], euc + ": declared 1 euc-jp, automatic 1 euc-jp (label euc-jp\")");
  EXPECT_EQ(lines[2], eucNoLabel + ": declared 0 (none), automatic 3 Shift_JIS (no label, not UTF-8: kept as is)");
  EXPECT_TRUE(Contains(run.err, missing)) << run.err;
}

TEST(CliDetect, SucceedsWhenEveryFileIsRead) {
  test::TempDir dir;
  const std::string page = (dir / "p.html").string();
  test::WriteFile(page, test::ReadPage("lv-relnote.iso2022jp.html"));
  const CliRun run = RunCli(dir, {"detect", page});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, page + ": declared 4 ISO-2022-JP, automatic 4 ISO-2022-JP (label iso-2022-jp\")\n");
  EXPECT_EQ(run.err, "");
}

TEST(CliDetect, UsageErrors) {
  test::TempDir dir;
  const CliRun none = RunCli(dir, {"detect"});
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_TRUE(Contains(none.err, "no file")) << none.err;
  const CliRun option = RunCli(dir, {"detect", "--bogus", "x.html"});
  EXPECT_EQ(option.exitCode, 2);
  EXPECT_EQ(option.out, "");
  EXPECT_TRUE(Contains(option.err, "--bogus")) << option.err;
  const CliRun help = RunCli(dir, {"detect", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.out, "Usage: zelm-cli detect")) << help.out;
}

TEST(CliConvert, ConvertsStandardInputLikeTheSystemConverter) {
  test::TempDir dir;
  const std::string page = test::ReadPage("namazu-tutorial.eucjp.html");
  const std::string sjis = test::FoldByReplacing(test::Iconv(page, "EUC-JP", "CP932"));
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  const Case cases[] = {
      {{"convert"}, sjis},
      {{"convert", "--from", "euc-jp", "--to", "shift_jis"}, sjis},
      {{"convert", "--from=EUC-JP", "--to=UTF-8"}, test::Iconv(sjis, "CP932", "UTF-8")},
      {{"convert", "--from", "1", "--to", "euc-jp"}, test::Iconv(sjis, "CP932", "EUC-JP-MS")},
      {{"convert", "--from", "shift_jis"}, page},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(dir, c.args, page);
    EXPECT_EQ(run.exitCode, 0) << c.args.back();
    EXPECT_EQ(run.out, c.expected) << c.args.back();
    EXPECT_EQ(run.err, "") << c.args.back();
  }
  const CliRun jis = RunCli(dir, {"convert", "--to", "iso-2022-jp"}, page);
  EXPECT_EQ(jis.exitCode, 0);
  EXPECT_EQ(test::Iconv(jis.out, "ISO-2022-JP", "CP932"), sjis);
}

TEST(CliConvert, WarnsWithTheCountAndTheFirstPositionOfReplacedCharacters) {
  test::TempDir dir;
  // Two blank lines before the first loss fold into one.
  const std::string input = "<p>\n\n\na\xC2\xA0" "b\xE2\x82\xAC</p>\n";
  const CliRun run = RunCli(dir, {"convert", "--from", "utf-8"}, input);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "<p>\r\n\r\na?b?</p>\r\n");
  EXPECT_EQ(run.err,
            "zelm-cli: warning: 2 characters of the input had no Shift_JIS form and became \"?\" "
            "(first at line 3, byte 9 of the output)\n");

  const CliRun euc = RunCli(dir, {"convert", "--from", "shift_jis", "--to", "euc-jp"}, "ab\r\n\xF0\x40");
  EXPECT_EQ(euc.exitCode, 0);
  EXPECT_EQ(euc.out, "ab\r\n?");
  EXPECT_EQ(euc.err,
            "zelm-cli: warning: 1 character had no EUC-JP form and became \"?\" (first at line 2, byte 5 of the "
            "output)\n");
}

// Characters that would come back as others are reported; with --unmappable
// ncr they, and those without any form, become references.
TEST(CliConvert, ReportsChangedCharactersOrWritesReferences) {
  test::TempDir dir;
  const std::string input = "a\xC2\xA5\xE3\x80\x9C\xEA\xB0\x80";  // ¥〜가
  const CliRun changed = RunCli(dir, {"convert", "--from", "utf-8", "--to", "utf-8"}, input);
  EXPECT_EQ(changed.out, "a\\\xEF\xBD\x9E?");
  EXPECT_EQ(changed.err,
            "zelm-cli: warning: 1 character of the input had no Shift_JIS form and became \"?\", 2 characters "
            "were written as other characters (first at line 1 of the output)\n");
  const CliRun referenced = RunCli(dir, {"convert", "--from", "utf-8", "--unmappable", "ncr"}, input);
  EXPECT_EQ(referenced.out, "a&#165;&#12316;&#44032;");
  EXPECT_EQ(referenced.err,
            "zelm-cli: note: 3 characters without an exact form written as numeric character references\n");
  EXPECT_EQ(RunCli(dir, {"convert", "--unmappable", "drop"}, input).exitCode, 2);
}

TEST(CliConvert, RejectsBadOptionsWithoutWritingAnything) {
  test::TempDir dir;
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"convert", "--to", "latin1"}, "unknown output encoding 'latin1'"},
      {{"convert", "--from", "sjis"}, "unknown input encoding 'sjis'"},
      {{"convert", "--from", "6"}, "unknown input encoding '6'"},
      {{"convert", "--from"}, "option '--from' needs a value"},
      {{"convert", "--frob"}, "unknown option '--frob'"},
      {{"convert", "page.html"}, "unexpected argument 'page.html'"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(dir, c.args, "<p>text</p>");
    EXPECT_EQ(run.exitCode, 2) << c.message;
    EXPECT_EQ(run.out, "") << c.message;
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
  }
  const CliRun help = RunCli(dir, {"convert", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.out, "Usage: zelm-cli convert")) << help.out;
}

TEST(Cli, ListsTheEncodingCommands) {
  test::TempDir dir;
  const CliRun run = RunCli(dir, {"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(Contains(run.out, "  detect ")) << run.out;
  EXPECT_TRUE(Contains(run.out, "  convert ")) << run.out;
}

}  // namespace
}  // namespace zelm
