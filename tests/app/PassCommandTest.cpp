// zelm-cli pass, run as the real program.
#include <gtest/gtest.h>

#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"
#include "support/CliRunner.h"

namespace zelm {
namespace {

using test::RunCli;

TEST(PassCommand, RunsEachPassOnRawBytes) {
  const std::string page = "<HTML><BODY>\r\n<DIV><P>x</P></DIV>\r\n</BODY></HTML>\r\n";
  struct Case {
    std::vector<std::string> args;
    std::string expected;
  };
  const Case cases[] = {
      {{"pass", "normalize"}, NormalizeTagCase(page)},
      {{"pass", "charset", "--target", "2"}, RewriteCharsetDecl(page, 2)},
      {{"pass", "prebreak"}, PreBreakLines(page)},
      {{"pass", "lightbreak"}, LightBreakLines(page)},
      {{"pass", "adjust"}, AdjustLines(page)},
      {{"pass", "mark", "--indent-type=2"}, MarkIndentLevels(page, 2)},
      {{"pass", "strip"}, StripLevelMarkers(page)},
      {{"pass", "symbols"}, RemoveMarkerSymbols(page)},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.args, page);
    EXPECT_EQ(run.exitCode, 0) << c.args[1] << run.err;
    EXPECT_EQ(run.out, c.expected) << c.args[1];
  }
}

TEST(PassCommand, RejectsBadUsageWithoutOutput) {
  const std::vector<std::vector<std::string>> bad{
      {"pass"}, {"pass", "bogus"}, {"pass", "mark", "--indent-type", "4"}, {"pass", "charset", "--target"},
      {"pass", "mark", "--colour"}, {"pass", "mark", "strip"}, {"bogus"},
  };
  for (const auto& args : bad) {
    const auto run = RunCli(args, "<p>");
    EXPECT_EQ(run.exitCode, 2) << args.back();
    EXPECT_EQ(run.out, "") << args.back();
    EXPECT_NE(run.err, "") << args.back();
  }
}

TEST(PassCommand, HelpListsThePasses) {
  const auto run = RunCli({"pass", "--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* name : {"normalize", "charset", "prebreak", "lightbreak", "adjust", "mark", "strip", "symbols"})
    EXPECT_NE(run.out.find(name), std::string::npos) << name;
  const auto overview = RunCli({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  EXPECT_NE(overview.out.find("indent"), std::string::npos);
}

// Nesting too deep to indent ends with the reason the indent command gives,
// not with an uncaught exception.
TEST(PassCommand, NestingTooDeepToIndentFailsWithTheReason) {
  std::string page = "<html><body>";
  for (int i = 0; i < 10000; ++i) page += "<div>\r\n";
  for (int i = 0; i < 10000; ++i) page += "</div>\r\n";
  const auto run = RunCli({"pass", "mark"}, page);
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("the indentation would take more than"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("'--indent-type 3'"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

// "--" ends the options of every command; after it nothing is an option.
TEST(Cli, DoubleDashEndsTheOptionsOfEveryCommand) {
  const std::string page = "<html><body><p>x</p></body></html>";
  const struct {
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {{"pass", "--", "adjust"}, 0},          {{"pass", "adjust", "--", "--target"}, 2},
      {{"convert", "--to", "utf-8", "--"}, 0}, {{"convert", "--", "--to"}, 2},
      {{"rtf", "--"}, 0},                      {{"rtf", "--", "--alternate-colors"}, 2},
      {{"tokens", "--"}, 0},                   {{"tokens", "--", "-h"}, 2},
      {{"detect", "--", "-missing.html"}, 1},  {{"indent", "--paste", "--"}, 0},
      {{"indent", "--", "-missing.html"}, 1},  {{"divmark", "insert", "--", "-"}, 0},
      {{"divmark", "--", "insert", "-"}, 0},   {{"divmark", "insert", "--", "--no-text"}, 1},
      {{"analyze", "counts", "--", "-"}, 1},   {{"analyze", "--", "counts", "--ignore-comments"}, 1},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.args, page);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << " " << c.args.back() << ": " << run.err;
  }
}

}  // namespace
}  // namespace zelm
