#include "encoding/CharsetLabel.h"

#include <gtest/gtest.h>

#include <random>

#include "encoding/ByteSearch.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

struct LabelCase {
  std::string label;
  bool headOnly;  // not found once it stands after "<body"
  CharCodeIndex code;
};

// Every label form, in the order of preference (later rows win).
const std::vector<LabelCase>& LabelCases() {
  static const std::vector<LabelCase> cases = {
      {"charset=shift_jis\"", true, 3},
      {"charset=shift-jis\"", true, 3},
      {"charset=x-sjis\"", true, 3},
      {"charset=euc-jp\"", true, 1},
      {"charset=utf-8\"", true, 2},
      {"charset=iso-2022", true, 4},
      {"<meta charset=\"utf-8\"", false, 2},
      {"<meta charset=\"shift_jis\"", false, 3},
      {"<meta charset=\"euc-jp\"", false, 1},
      {"<meta charset=\"shift-jis\"", false, 3},
      {"<meta charset='utf-8", false, 2},
      {"<meta charset='shift_jis", false, 3},
      {"<meta charset='euc-jp", false, 1},
      {"<meta charset='shift-jis'", false, 3},
      {"charset=utf-8'", true, 2},
      {"charset=shift_jis'", true, 3},
      {"charset=euc-jp'", true, 1},
  };
  return cases;
}

std::string Page(std::string_view head, std::string_view body) {
  return "<html><head>\r\n" + std::string(head) + "\r\n</head><body>\r\n" + std::string(body) + "\r\n</body></html>";
}

TEST(GetCharCodeFromMeta, ReadsEveryLabelForm) {
  for (const auto& c : LabelCases()) {
    EXPECT_EQ(GetCharCodeFromMeta(Page("<meta content=\"text/html; " + c.label + ">", "")), c.code) << c.label;
    EXPECT_EQ(GetCharCodeFromMeta(Page("", c.label)), c.headOnly ? 0 : c.code) << c.label << " in the body";
  }
}

TEST(GetCharCodeFromMeta, TheLaterFormInTheListWins) {
  const auto& cases = LabelCases();
  for (std::size_t earlier = 0; earlier < cases.size(); ++earlier) {
    for (std::size_t later = earlier + 1; later < cases.size(); ++later) {
      // Written in the opposite order in the page: the order of the list
      // decides, not the order of the text.
      const std::string page = Page(cases[later].label + "\r\n" + cases[earlier].label, "");
      EXPECT_EQ(GetCharCodeFromMeta(page), cases[later].code) << cases[earlier].label << " + " << cases[later].label;
    }
  }
}

TEST(GetCharCodeFromMeta, EdgeCases) {
  struct Case {
    const char* name;
    std::string text;
    CharCodeIndex expected;
  };
  const Case cases[] = {
      {"nothing declared", Page("<title>x</title>", "charset"), 0},
      {"empty", "", 0},
      {"letters compared without case", Page("<META CONTENT='text/html; CHARSET=EUC-JP\">", ""), 1},
      {"label without its closing quote", Page("content=\"text/html; charset=euc-jp>", ""), 0},
      {"euc-jp in the head loses to <meta charset='shift_jis", Page("charset=euc-jp\"", "<meta charset='shift_jis'>"),
       3},
      {"no <body: all of it is head", "<p>charset=euc-jp\"</p>", 1},
      {"<BODY cuts the head as well", "<BODY>charset=euc-jp\"", 0},
      {"a label inside an opening script tag is ignored",
       Page("<script src=\"a.js\" type=\"text/javascript; charset=utf-8\">", ""), 0},
      {"the script's body is not removed", Page("<script>var x='charset=euc-jp\"';</script>", ""), 1},
      {"a script tag formed by a deletion is deleted too",
       Page("<scr<script>ipt charset=euc-jp\">", ""), 0},
      {"a label before an opening script tag still counts", Page("charset=euc-jp\" <script", ""), 1},
      {"a NUL byte does not end the search", Page(std::string("\0\0", 2) + "charset=euc-jp\"", ""), 1},
      // Byte-wise: the "C" after the lead byte 0x82 is still a letter here.
      {"letters after a lead byte are compared too", Page("\x82" "CHARSET=EUC-JP\"", ""), 1},
      {"iso-2022 needs no more than its prefix", Page("charset=ISO-2022-JP\"", ""), 4},
  };
  for (const auto& c : cases) EXPECT_EQ(GetCharCodeFromMeta(c.text), c.expected) << c.name;
}

// The straightforward way: delete the first block, search again from the
// start of what is left.
std::string DeleteBlocksSlowly(std::string text, std::string_view start, std::string_view end) {
  while (true) {
    const std::size_t p = text.find(start);
    if (p == std::string::npos) return text;
    const std::size_t e = text.find(end, p + start.size() - 1);
    if (e == std::string::npos) return text;
    text.erase(p, e + end.size() - p);
  }
}

TEST(DeleteBlocksBytewise, DeletesLikeRepeatedSearchesFromTheStart) {
  std::mt19937 rng(11);
  const std::vector<std::string> alphabet = {"<", "s", "c", "<s", "<sc", ">", "x", "\x82", std::string(1, '\0')};
  for (int round = 0; round < 3000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, round % 25);
    ASSERT_EQ(DeleteBlocksBytewise(text, "<sc", ">"), DeleteBlocksSlowly(text, "<sc", ">")) << text;
    ASSERT_EQ(DeleteBlocksBytewise(text, "c", "c>"), DeleteBlocksSlowly(text, "c", "c>")) << text;
  }
  EXPECT_EQ(DeleteBlocksBytewise("a/*x*/b/*/c*/d", "/*", "*/"), "abc*/d");
}

}  // namespace
}  // namespace zelm
