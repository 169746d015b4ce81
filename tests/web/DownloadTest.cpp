// Page download against a real HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "support/HttpTestServer.h"
#include "web/PageTextBuilder.h"
#include "web/WebUtil.h"

namespace zelm {
namespace {

using namespace std::chrono_literals;
using test::HttpTestServer;

// The plain form of what a download gives: zero bytes dropped, then CR LF
// to LF, the remaining CRs to LF, every LF to CR LF.
std::string ExpectedText(std::string_view served) {
  std::string text;
  for (char c : served)
    if (c != '\0') text += c;
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      lf += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      lf += text[i];
    }
  }
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

TEST(PageTextBuilder, JoinsLineEndsAcrossChunksAndDropsOnlyZeroBytes) {
  using namespace std::string_literals;
  const struct {
    const char* name;
    std::vector<std::string> chunks;
    std::string expected;
  } cases[] = {
      {"mixed line ends", {"a\r\nb\nc\rd"}, "a\r\nb\r\nc\r\nd"},
      {"CR CR is two line ends", {"a\r\r\nb"}, "a\r\n\r\nb"},
      {"CR LF cut between chunks", {"a\r", "\nb"}, "a\r\nb"},
      {"lone CR at a chunk's end", {"a\r", "b"}, "a\r\nb"},
      {"CR at the very end", {"a\r"}, "a\r\n"},
      {"zero bytes go, the rest stays", {"a\0b\0\0c"s, "\0d"s}, "abcd"},
      {"a zero byte does not part CR and LF", {"a\r\0"s, "\0\nb"s}, "a\r\nb"},
      {"empty chunks", {"", "a", "", "\n"}, "a\r\n"},
  };
  for (const auto& c : cases) {
    web::PageTextBuilder builder;
    for (const std::string& chunk : c.chunks) builder.Append(chunk);
    EXPECT_EQ(builder.Finish(), c.expected) << c.name;
  }
}

TEST(PageTextBuilder, GivesThePlainFormWhateverTheChunks) {
  std::mt19937 rng(15);
  const std::string alphabet("ab\r\n\0", 5);
  for (int round = 0; round < 200; ++round) {
    std::string served(rng() % 200, ' ');
    for (char& c : served) c = alphabet[rng() % alphabet.size()];
    web::PageTextBuilder builder;
    for (std::size_t at = 0; at < served.size();) {
      const std::size_t size = std::min<std::size_t>(rng() % 8, served.size() - at);
      builder.Append(std::string_view(served).substr(at, size));
      at += size;
    }
    EXPECT_EQ(builder.Finish(), ExpectedText(served)) << "round " << round;
  }
}

class Download : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A proxy named in the environment must not take the loopback server's
    // requests; this process's environment only.
    ::setenv("no_proxy", "127.0.0.1", 1);
  }
  HttpTestServer server;
};

TEST_F(Download, GivesThePageWithCrLfLineEndsAndWithoutZeroBytes) {
  // Zero bytes inside the first 1024 bytes and after them: only they go.
  std::string body = "<html>\r\n<body>\nline\rnext\r\r\n";
  body += std::string("a\0b", 3);
  body += std::string(1500, 'x');
  body += std::string("\0tail\r\n", 7);
  server.Serve("/page.html", test::Page(body));
  const DownloadResult result = DownloadUrlText(server.Url("/page.html"));
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(result.text, ExpectedText(body));
  EXPECT_EQ(result.text.substr(0, 32), "<html>\r\n<body>\r\nline\r\nnext\r\n\r\nab");
  EXPECT_EQ(result.httpStatus, 200);
  EXPECT_EQ(result.message, "");
  const std::vector<std::string> heads = server.RequestHeads();
  ASSERT_EQ(heads.size(), 1u);
  EXPECT_NE(heads[0].find("\r\nUser-Agent: MyApp\r\n"), std::string::npos) << heads[0];
}

TEST_F(Download, KeepsEveryByteOfALargePage) {
  std::string body;
  body.reserve(5'300'000);
  std::mt19937 rng(5);
  for (int line = 0; body.size() < 5'000'000; ++line) {
    body += "<p>line " + std::to_string(line) + " \x93\xfa\x96\x7b";  // Shift_JIS bytes pass untouched
    const char* ends[] = {"\n", "\r\n", "\r"};
    body += ends[rng() % 3];
  }
  server.Serve("/large.html", test::Page(body));
  const DownloadResult result = DownloadUrlText(server.Url("/large.html"));
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_TRUE(result.text == ExpectedText(body)) << "sizes " << result.text.size() << " and "
                                                 << ExpectedText(body).size();
}

TEST_F(Download, FollowsRedirects) {
  server.Serve("/old", test::Redirect("/older", 301));
  server.Serve("/older", test::Redirect(server.Url("/new")));
  server.Serve("/new", test::Page("moved\n"));
  const DownloadResult result = DownloadUrlText(server.Url("/old"));
  ASSERT_TRUE(result.ok()) << result.message;
  EXPECT_EQ(result.text, "moved\r\n");
  EXPECT_EQ(result.finalAddress, server.Url("/new"));
}

// Each failure gives an empty text, its kind and a message that names it.
TEST_F(Download, SaysWhyItFailed) {
  server.Serve("/missing", test::Page("<html><body>Not here</body></html>", 404));
  server.Serve("/broken", test::Page("oops", 500));
  server.Serve("/loop", test::Redirect("/loop"));
  server.Serve("/ftp", test::Redirect("ftp://127.0.0.1/page.html"));
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/";
  const struct {
    std::string address;
    DownloadError error;
    long status;
    std::string_view inMessage;
  } cases[] = {
      {server.Url("/missing"), DownloadError::HttpStatus, 404, "HTTP status 404"},
      {server.Url("/broken"), DownloadError::HttpStatus, 500, "HTTP status 500"},
      {server.Url("/loop"), DownloadError::Redirects, 302, "too many redirects"},
      {server.Url("/ftp"), DownloadError::BadAddress, 302, "not an address that can be downloaded"},
      {refused, DownloadError::Connection, 0, "the connection failed"},
      {"ftp://127.0.0.1/page.html", DownloadError::BadAddress, 0, "only http:// and https://"},
      {"example.com/page.html", DownloadError::BadAddress, 0, "only http:// and https://"},
      {"http://[::1/", DownloadError::BadAddress, 0, "not an address that can be downloaded"},
  };
  for (const auto& c : cases) {
    const DownloadResult result = DownloadUrlText(c.address);
    EXPECT_EQ(result.error, c.error) << c.address << ": " << result.message;
    EXPECT_EQ(result.text, "") << c.address;
    EXPECT_EQ(result.httpStatus, c.status) << c.address;
    EXPECT_NE(result.message.find(c.inMessage), std::string::npos) << c.address << ": " << result.message;
  }
}

TEST_F(Download, TimesOutOnAServerThatStalls) {
  server.Serve("/stalls", test::Stalling(std::string(4000, 'x'), 1500));
  DownloadOptions options;
  options.timeout = 300ms;
  const DownloadResult result = DownloadUrlText(server.Url("/stalls"), options);
  EXPECT_EQ(result.error, DownloadError::Timeout) << result.message;
  EXPECT_EQ(result.text, "");
  EXPECT_NE(result.message.find("timed out"), std::string::npos) << result.message;
}

// The stop comes from another thread while the download waits for a
// server that sends nothing; the timeouts are far away.
TEST_F(Download, StopsWhenAnotherThreadAsks) {
  server.Serve("/stalls", test::Stalling(std::string(4000, 'x'), 0));
  std::stop_source stop;
  DownloadOptions options;
  options.timeout = 10min;
  options.stop = stop.get_token();
  std::jthread stopper([&] {
    // Once the request has arrived, the download is waiting.
    while (server.RequestHeads().empty()) std::this_thread::sleep_for(5ms);
    stop.request_stop();
  });
  const DownloadResult result = DownloadUrlText(server.Url("/stalls"), options);
  EXPECT_EQ(result.error, DownloadError::Cancelled) << result.message;
  EXPECT_EQ(result.text, "");
  EXPECT_EQ(result.message, "the download was cancelled");

  // A stop asked for before the start: nothing is requested.
  const DownloadResult late = DownloadUrlText(server.Url("/stalls"), options);
  EXPECT_EQ(late.error, DownloadError::Cancelled);
  EXPECT_EQ(server.RequestHeads().size(), 1u);
}

}  // namespace
}  // namespace zelm
