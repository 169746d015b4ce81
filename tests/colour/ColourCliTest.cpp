// zelm-cli rtf and tokens, run as the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "colour/ColourTestSupport.h"
#include "colour/RtfReader.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

// Runs zelm-cli with `arguments` (split at spaces), `input` on standard input.
test::CliRun RunCli(const std::string& arguments, std::string_view input) {
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < arguments.size()) {
    std::size_t end = arguments.find(' ', start);
    if (end == std::string::npos) end = arguments.size();
    if (end > start) args.push_back(arguments.substr(start, end - start));
    start = end + 1;
  }
  return test::RunCli(args, input);
}

TEST(RtfCommand, WritesTheColouredDocument) {
  const std::string page = test::Sjis("<P class=\"x\">日本語 &amp; {ソ}</P>\r\n<Foo>\r\n");
  const test::CliRun run = RunCli("rtf", page);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, test::ColourDocument(page));
  EXPECT_EQ(ReadRTF(run.out).text, page);
  EXPECT_NE(run.out.find("\\cf9 \\b Foo\\b0 "), std::string::npos);
}

TEST(RtfCommand, AlternateColours) {
  const test::CliRun run = RunCli("rtf --alternate-colors", "<p>");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, test::ColourDocument("<p>", true));
  EXPECT_NE(run.out, test::ColourDocument("<p>"));
}

TEST(RtfCommand, RefusesBadOptionsAndNulBytesWithoutOutput) {
  const test::CliRun bad = RunCli("rtf --colour", "<p>");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("unknown option '--colour'"), std::string::npos) << bad.err;

  const test::CliRun nul = RunCli("rtf", std::string("<p>a\0b", 6));
  EXPECT_EQ(nul.exitCode, 1);
  EXPECT_EQ(nul.out, "");
  EXPECT_NE(nul.err.find("NUL byte at offset 4"), std::string::npos) << nul.err;

  const test::CliRun help = RunCli("rtf --help", "");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: zelm-cli rtf [--alternate-colors]")) << help.out;
}

TEST(TokensCommand, ListsKindStyleAndEscapedBytes) {
  const test::CliRun run = RunCli("tokens", "<a href=\"x\">\x83\x41\t&amp;\r\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "Symbol 7 \"<\"\n"
            "KnownTag 4 \"a\"\n"
            "Space 5 \" \"\n"
            "AttributeName 3 \"href\"\n"
            "Symbol 7 \"=\"\n"
            "AttributeValue 10 \"\\\"x\\\"\"\n"
            "Symbol 7 \">\"\n"
            "Text 8 \"\\x83A\"\n"
            "Space 5 \"\\t\"\n"
            "Text 8 \"\"\n"
            "Entity 11 \"&amp;\"\n"
            "Space 5 \"\\r\\n\"\n"
            "End 11 \"\"\n");
}

TEST(TokensCommand, HelpAndBadOptions) {
  const test::CliRun help = RunCli("tokens -h", "");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: zelm-cli tokens")) << help.out;
  const test::CliRun bad = RunCli("tokens extra", "<p>");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("unknown option 'extra'"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace zelm
