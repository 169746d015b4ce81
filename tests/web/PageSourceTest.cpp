// A page's source for the analyser, from a file or a real HTTP server on
// 127.0.0.1, brought to Shift_JIS.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/HttpTestServer.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"
#include "web/PageSource.h"

namespace zelm {
namespace {

TEST(PageSource, FromAFileOrAnAddress) {
  ::setenv("no_proxy", "127.0.0.1", 1);
  test::TempDir dir;
  test::HttpTestServer server;
  const std::string page = test::ReadFile(test::TestDataDir() / "pages" / "namazu-tutorial.eucjp.html");
  const std::string converted = DownloadedPageToShiftJis(NormalizeLineEnds(page)).sjis.text;
  test::WriteFile(dir / "page.html", page);
  test::WriteFile(dir / "binary.html", std::string("<html>\0</html>", 14));
  server.Serve("/page.html", test::Page(page));
  const struct {
    std::string source;
    PageSource::Failure failure;
    std::string text;  // when it did not fail
  } cases[] = {
      {(dir / "page.html").string(), PageSource::Failure::None, converted},
      {"  " + server.Url("/page.html"), PageSource::Failure::None, converted},
      {(dir / "missing.html").string(), PageSource::Failure::File, ""},
      {(dir / "binary.html").string(), PageSource::Failure::File, ""},
      {dir.path().string(), PageSource::Failure::File, ""},
      {server.Url("/missing.html"), PageSource::Failure::Download, ""},
  };
  for (const auto& c : cases) {
    const PageSource source = LoadPageSource(c.source, DownloadOptions{});
    EXPECT_EQ(source.failure, c.failure) << c.source;
    EXPECT_EQ(source.fromFile, !IsWebUrl(c.source)) << c.source;
    EXPECT_TRUE(source.page.sjis.text == c.text) << c.source;
    if (source.ok()) {
      EXPECT_EQ(source.page.declared, kCharCodeEucJp) << c.source;
    } else if (source.fromFile) {
      EXPECT_FALSE(source.reason.empty()) << c.source;
    }
  }
}

}  // namespace
}  // namespace zelm
