// Web addresses and frame pages.
#include <gtest/gtest.h>

#include "web/WebUtil.h"

namespace zelm {
namespace {

TEST(IsWebUrl, TakesOnlyHttpAndHttpsInExactCase) {
  const struct {
    std::string_view text;
    bool expected;
  } cases[] = {
      {"http://x", true},      {"https://x/page.html", true}, {"  https://x", true},
      {"\t\r\nhttp://x ", true}, {"HTTP://x", false},         {"Https://x", false},
      {"ftp://x", false},      {"C:/dir/page.html", false},   {"page.html", false},
      {"", false},             {"   ", false},                {"http:/x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWebUrl(c.text), c.expected) << '"' << c.text << '"';
}

TEST(StripUrlPrefix, RemovesTheFirstOccurrenceOfEachListedPrefix) {
  const struct {
    std::string_view address, expected;
  } cases[] = {
      {"https://www.example.com/a/", "example.com/a/"},
      {"http://www.example.com/a/", "example.com/a/"},
      {"https://example.com/", "example.com/"},
      {"https://wwwz.example.com", "example.com"},
      {"http://wwwz.example.com", "example.com"},
      // Longer before shorter: www12. goes whole, not as www1. and "2.".
      {"https://www12.example.com", "example.com"},
      {"http://www12.example.com", "example.com"},
      // Not listed: only the scheme goes.
      {"https://www20.example.com", "www20.example.com"},
      {"https://www10b.example.com", "www10b.example.com"},
      {"http://www1b.example.com", "www1b.example.com"},
      {"http://www1a.example.com", "www1a.example.com"},
      {"https://ww.example.com", "ww.example.com"},
      // Exact case, anywhere in the text, the first occurrence only.
      {"HTTP://WWW.example.com", "HTTP://WWW.example.com"},
      {"see https://www.example.com", "see example.com"},
      {"http://a/http://b", "a/http://b"},
      {"http://a/C:/b/C:/c", "a/b/C:/c"},
      // One after another: a later prefix is looked for in what the earlier left.
      {"https://www.http://www.example.com", "example.com"},
      {"http://C:/dir/page.html", "dir/page.html"},
      // Drives A to I with a forward slash only.
      {"C:/dir/page.html", "dir/page.html"},
      {"I:/page.html", "page.html"},
      {"J:/page.html", "J:/page.html"},
      {"c:/page.html", "c:/page.html"},
      {"C:\\dir\\page.html", "C:\\dir\\page.html"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(StripUrlPrefix(c.address), c.expected) << c.address;
}

// Every numbered host prefix of the list goes whole.
TEST(StripUrlPrefix, RemovesEveryNumberedHostPrefixWhole) {
  std::vector<std::string> prefixes;
  for (int n = 1; n <= 19; ++n) {
    prefixes.push_back("https://www" + std::to_string(n) + ".");
    prefixes.push_back("http://www" + std::to_string(n) + ".");
  }
  for (int n = 1; n <= 9; ++n) {
    prefixes.push_back("https://www" + std::to_string(n) + "a.");
    prefixes.push_back("https://www" + std::to_string(n) + "b.");
  }
  for (const std::string& prefix : prefixes) EXPECT_EQ(StripUrlPrefix(prefix + "host.jp/x"), "host.jp/x") << prefix;
}

TEST(UrlLastSegment, GivesThePageOrLastFolderName) {
  const struct {
    std::string_view address, expected;
  } cases[] = {
      {"http://www.example.com/dir/page.html", "page.html"},
      {"https://example.com/a/b/dir/", "dir"},
      {"http://example.com/page.html", "page.html"},
      {"http://example.com/", ""},
      {"http://example.com", "example.com"},
      {"http://example.com/dir", "dir"},
      {"http://example.com/page.php?id=1", "page.php?id=1"},
      {"C:/dir/page.html", "page.html"},
      {"C:\\dir\\page.html", "C:\\dir\\page.html"},
      {"page.html", "page.html"},
      {"", ""},
      // The first "//" after the prefixes is part of a name, never a separator.
      {"http://example.com/a//b", "a//b"},
      {"http://example.com/dir/a//b/", "a//b"},
      {"http://example.com//", "example.com//"},
      // A "|" is an ordinary byte of the address.
      {"http://example.com/a|b", "a|b"},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlLastSegment(c.address), c.expected) << c.address;
}

TEST(FrameKind, TellsFramesetsAndInlineFrames) {
  const struct {
    std::string_view html;
    int expected;
  } cases[] = {
      {"<html><body><p>x</p></body></html>", 0},
      {"<frameset cols=\"50%,50%\"><frame src=a></frameset>", kFramesetPage},
      {"<FRAMESET rows=2>", kFramesetPage},
      {"<body><iframe src=a></iframe>", kInlineFramePage},
      {"<body><IFRAME src=a>", kInlineFramePage},
      {"<body><!-- ==<iframe src=a> -->", 0},
      {"<body><!-- ==<IFRAME src=a> -->", 0},
      // Once one inline frame is commented out, no other counts either.
      {"<!-- ==<iframe src=a> --><iframe src=b>", 0},
      {"<frameset><iframe src=a>", kFramesetPage},
      {"<iframe src=a><frameset>", kFramesetPage},
      {"<!-- ==<iframe src=a> --><frameset>", kFramesetPage},
      {"<frame src=a>", 0},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FrameKind(c.html), c.expected) << c.html;
}

}  // namespace
}  // namespace zelm
