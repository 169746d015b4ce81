// zelm-cli indent on web addresses, run as the real program against a real
// HTTP server on 127.0.0.1 serving real pages.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/FileCommands.h"
#include "indent/Pipeline.h"
#include "support/CliRunner.h"
#include "support/HttpTestServer.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"
#include "web/WebUtil.h"

namespace zelm {
namespace {

using test::HttpTestServer;
using test::ReadFile;
using test::RunCli;
using test::TempDir;

// What the stages make of the page: downloaded (its line ends are LF, so
// only they change), converted by its label, the paste input stage, the
// indent stage, and written in `encoding`.
std::string ExpectedResult(const std::string& page, CharCodeIndex encoding) {
  const DownloadedPage downloaded = DownloadedPageToShiftJis(NormalizeLineEnds(page));
  const PasteInputTexts input = PasteInputStage(downloaded.sjis.text, PipelineOptions{});
  return EncodeForSaving(IndentStage(input.Local, PipelineOptions{}).Result, encoding).text;
}

class IndentAddress : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // zelm-cli inherits this: a proxy named in the environment must not
    // take the loopback server's requests.
    ::setenv("no_proxy", "127.0.0.1", 1);
  }
  HttpTestServer server;
};

TEST_F(IndentAddress, IndentsAPageInItsOwnEncoding) {
  const struct {
    const char* file;
    CharCodeIndex encoding;
    std::vector<std::string> lines;  // lines of the result, in UTF-8
    std::string warning;
  } cases[] = {
      {"namazu-tutorial.eucjp.html", kCharCodeEucJp,
       {"  <h1>Namazu 2.0 入門</h1>\r\n", "    <li><a href=\"#mission\">本書の目的</a></li>\r\n"}, ""},
      {"faq-basic-defs.utf8.html", kCharCodeUtf8,
       {"        <th colspan=\"3\" align=\"center\">第1章 定義と概要</th>\r\n"},
       "8 characters have no Shift_JIS form and became '?' (the first on line 7)"},
  };
  for (const auto& c : cases) {
    const std::string page = ReadFile(test::TestDataDir() / "pages" / c.file);
    server.Serve(std::string("/") + c.file, test::Page(page));
    const std::string address = server.Url(std::string("/") + c.file);
    const auto run = RunCli({"indent", address});
    EXPECT_EQ(run.exitCode, 0) << c.file << ": " << run.err;
    EXPECT_TRUE(run.out == ExpectedResult(page, c.encoding)) << c.file;
    for (const std::string& line : c.lines) {
      const std::string encoded = EncodeForSaving(test::Sjis(line), c.encoding).text;
      EXPECT_NE(run.out.find(encoded), std::string::npos) << c.file << ": " << line;
    }
    if (c.warning.empty()) EXPECT_EQ(run.err, "") << c.file;
    else EXPECT_NE(run.err.find(c.warning), std::string::npos) << c.file << ": " << run.err;

    // -o FILE in another encoding.
    TempDir dir;
    const auto saved = RunCli(dir, {"indent", "--output-charset", "shift_jis", "-o", (dir / "out.html").string(), address});
    EXPECT_EQ(saved.exitCode, 0) << c.file << ": " << saved.err;
    EXPECT_TRUE(ReadFile(dir / "out.html") == ExpectedResult(page, kCharCodeShiftJis)) << c.file;
  }
}

// Characters without a Shift_JIS form written as references, as for files.
TEST_F(IndentAddress, WritesReferencesWhenAsked) {
  server.Serve("/faq.html", test::Page(ReadFile(test::TestDataDir() / "pages" / "faq-basic-defs.utf8.html")));
  const std::string address = server.Url("/faq.html");
  const auto run = RunCli({"indent", "--unmappable", "ncr", address});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("note: " + address + ": 8 characters without an exact form written as numeric character references"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("&#"), std::string::npos);
}

TEST_F(IndentAddress, FailsWithTheReason) {
  server.Serve("/empty.html", test::Page(""));
  const std::string missing = server.Url("/missing.html");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string inError;
  } cases[] = {
      {{"indent", missing}, 1, "zelm-cli: " + missing + ": the server answered with an error: HTTP status 404\n"},
      {{"indent", server.Url("/empty.html")}, 1, "the page is empty"},
      {{"indent", "--in-place", missing}, 2, "--in-place has no file to replace"},
      {{"indent", missing, "page.html"}, 2, "an address is indented alone"},
      {{"indent", "--verify", missing}, 2, "--verify checks files"},
  };
  for (const auto& c : cases) {
    const auto run = RunCli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1] << ": " << run.err;
    EXPECT_EQ(run.out, "") << c.args[1];
    EXPECT_NE(run.err.find(c.inError), std::string::npos) << c.args[1] << ": " << run.err;
  }
}

}  // namespace
}  // namespace zelm
