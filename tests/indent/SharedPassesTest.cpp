// A large page shared out over threads: the input passes on parts cut at
// independent line breaks, and the whole stages with more than one thread,
// give the same bytes as on the whole text with one.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "indent/HTMLAdjustText.h"
#include "indent/IndentUtil.h"
#include "indent/Pipeline.h"
#include "indent/SharedInputPasses.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Joined;
using test::Sjis;

// The passes one after another on the whole text, as the input stage runs them.
std::string WholeLocalText(std::string_view text, bool normaliseCase, bool breakLines) {
  std::string out = normaliseCase ? NormalizeTagCase(text) : std::string(text);
  out = RewriteCharsetDecl(out, 0);
  if (breakLines) out = PreBreakLines(out);
  return AdjustLines(out);
}

// Any text is shared out, in parts as small as `minimumPiece`.
PassSharing Sharing(unsigned threads, std::size_t minimumPiece = 1) {
  return {.threads = threads, .minimumText = 1, .minimumPiece = minimumPiece};
}

InputPasses Passes(bool normaliseCase, bool breakLines) {
  return {normaliseCase, [breakLines](std::string_view text) {
            return breakLines ? PreBreakLines(text) : std::string(text);
          }};
}

// Lines of tags, text and the section and comment markers the passes keep
// state for, joined by CR LF mostly; charset declarations are rare, so that
// most texts are shared out rather than refused.
std::vector<std::string> RandomTexts(unsigned seed, int count) {
  std::mt19937 rng(seed);
  std::vector<std::string> pieces{
      "<div>", "</div>", "<DIV class=a>", "<p>", "</p>", "<td></td>", "<TD>", "</tr>", "<table>", "</TABLE>",
      "<ul>", "<li>", "</li>", "<a href=x>", "</a>", "<script>", "</script>", "<!--", "-->", "<head>", "<tr>", "<TR>",
      "</head>", "<body>", "</body>", "<br>", "text", "x", "a;b", "(c)", " ", "  ", "\t", ">", "<", "</",
      "> <", "\x83", "\x83\x41", "\x81\x40", Sjis("日本語"), Sjis("テキスト"), "word", "more words", "z9"};
  const std::vector<std::string> breaks{"\r\n", "\r\n", "\r\n", "\r\n", "\r\n\r\n", "\n", "\r",
                                        "word\r\nword"};
  std::vector<std::string> texts;
  for (int round = 0; round < count; ++round) {
    std::string text;
    const std::size_t lines = 1 + rng() % 40;
    for (std::size_t i = 0; i < lines; ++i) {
      text += test::RandomText(rng, pieces, rng() % 5);
      if (rng() % 50 == 0) text += "<meta charset=\"utf-8\">";
      text += test::RandomText(rng, breaks, 1);
    }
    texts.push_back(text);
  }
  return texts;
}

struct Sample {
  std::string name, text;
};

std::vector<Sample> Pages() {
  std::vector<Sample> pages;
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages"))
    pages.push_back({name, NormalizeLineEnds(test::ReadFile(test::TestDataDir() / "pages" / name))});
  for (unsigned seed = 1; seed <= 4; ++seed)
    pages.push_back({"generated " + std::to_string(seed), bench::GeneratePage(40000 * seed, seed)});
  return pages;
}

struct CutCase {
  const char* second;  // the line after "x" CR LF
  bool cut;
};

TEST(InputPassCuts, FallOnlyBeforeLinesNoPassJoinsToTheLineBefore) {
  const CutCase cases[] = {
      {"text", true},   {"  <div>", true}, {"<li>a</li>", true}, {"\t<!-- c -->", true}, {"(", true},
      {"<tr>", true},
      {"</div>", false}, {"  </a>", false}, {">", false},        {"  >x", false},
      {"", false},       {"   ", false},    {"\x83\x41", false},
  };
  for (const CutCase& c : cases) {
    const std::string first(40, 'x');  // long enough for the aimed-at places to reach its end
    const std::string text = first + "\r\n" + c.second + "\r\n</p>";
    const std::vector<std::size_t> expected = c.cut ? std::vector<std::size_t>{0, 42} : std::vector<std::size_t>{0};
    EXPECT_EQ(InputPassCuts(text, Sharing(2)), expected) << c.second;
  }
  // Nor after a blank line, nor at a lone line feed.
  EXPECT_EQ(InputPassCuts("x\r\n\r\ntext\r\n", Sharing(2)), std::vector<std::size_t>{0});
  EXPECT_EQ(InputPassCuts("x\ntext\nmore\n", Sharing(2)), std::vector<std::size_t>{0});
  // One thread, or a text below the smallest part, stays whole.
  EXPECT_EQ(InputPassCuts("x\r\ntext\r\n", Sharing(1)), std::vector<std::size_t>{0});
  EXPECT_EQ(InputPassCuts("x\r\ntext\r\n", Sharing(2, 100)), std::vector<std::size_t>{0});
}

TEST(InputPassCuts, KeepOutOfCommentsAndScripts) {
  const std::string text =
      "first line\r\n<!--\r\nin a comment\r\n-->\r\n<script>\r\nvar x;\r\n</script>\r\nafter\r\n";
  const std::vector<std::size_t> cuts = InputPassCuts(text, Sharing(2));
  ASSERT_GT(cuts.size(), 1u);
  for (std::size_t k = 1; k < cuts.size(); ++k) {
    const std::string_view line = std::string_view(text).substr(cuts[k], text.find('\r', cuts[k]) - cuts[k]);
    EXPECT_TRUE(line == "<!--" || line == "<script>" || line == "after") << line;
  }
}

TEST(SharedLocalText, PagesGiveTheBytesOfTheWholeText) {
  int shared = 0;
  for (const Sample& page : Pages()) {
    for (bool normaliseCase : {false, true}) {
      for (bool breakLines : {true, false}) {
        const std::string expected = WholeLocalText(page.text, normaliseCase, breakLines);
        for (unsigned threads : {2u, 5u, 33u}) {
          const auto local = SharedLocalText(page.text, Passes(normaliseCase, breakLines), Sharing(threads, 64));
          if (!local) continue;
          ++shared;
          ASSERT_EQ(*local, expected) << page.name << ", threads " << threads << ", case " << normaliseCase
                                      << ", breaking " << breakLines;
        }
      }
    }
  }
  EXPECT_GT(shared, 40);  // most pages are shared out
}

TEST(SharedLocalText, RandomTextsGiveTheBytesOfTheWholeText) {
  int shared = 0, round = 0;
  for (const std::string& text : RandomTexts(91, 3000)) {
    const bool normaliseCase = round % 2 == 0, breakLines = round++ % 3 != 0;
    const auto local = SharedLocalText(text, Passes(normaliseCase, breakLines), Sharing(4));
    if (!local) continue;
    ++shared;
    ASSERT_EQ(*local, WholeLocalText(text, normaliseCase, breakLines)) << "text: " << text;
  }
  EXPECT_GT(shared, 1500) << "of 3000";
}

std::vector<std::string> PartsAtInputPassCuts(std::string_view text, const PassSharing& sharing) {
  const std::vector<std::size_t> cuts = InputPassCuts(text, sharing);
  std::vector<std::string> parts;
  for (std::size_t k = 0; k < cuts.size(); ++k)
    parts.emplace_back(text.substr(cuts[k], (k + 1 < cuts.size() ? cuts[k + 1] : text.size()) - cuts[k]));
  return parts;
}

TEST(SharedIndentedText, PagesAndRandomTextsGiveTheBytesOfTheWholeText) {
  int shared = 0, round = 0;
  std::vector<Sample> samples = Pages();
  for (const std::string& text : RandomTexts(92, 2000)) samples.push_back({"text: " + text, text});
  for (const Sample& sample : samples) {
    const bool normaliseCase = round % 2 == 0, breakLines = round % 3 != 0;
    const int indentType = round++ % 4;
    const std::string expected = IndentWithoutMarkers(WholeLocalText(sample.text, normaliseCase, breakLines), indentType);
    for (unsigned threads : {2u, 9u}) {
      const auto result = SharedIndentedText(sample.text, Passes(normaliseCase, breakLines), indentType,
                                             Sharing(threads));
      if (!result) continue;
      ++shared;
      ASSERT_EQ(*result, expected) << sample.name << ", threads " << threads;
      // The same text handed over in parts, cut where the text form cuts it.
      const auto fromParts = SharedIndentedText(PartsAtInputPassCuts(sample.text, Sharing(threads)),
                                                Passes(normaliseCase, breakLines), indentType, Sharing(threads));
      ASSERT_TRUE(fromParts.has_value()) << sample.name;
      ASSERT_EQ(*fromParts, expected) << sample.name << ", threads " << threads << ", in parts";
      // And made part by part as the passes ask, the Result in pieces.
      const std::vector<std::string> parts = PartsAtInputPassCuts(sample.text, Sharing(threads));
      std::vector<int> made(parts.size(), 0);
      const auto pieces = SharedIndentedPieces(
          parts.size(), [&](std::size_t k) {
            ++made[k];
            return parts[k];
          }, Passes(normaliseCase, breakLines),
          indentType, Sharing(threads));
      ASSERT_TRUE(pieces.has_value()) << sample.name;
      ASSERT_EQ(Joined(*pieces), expected) << sample.name << ", threads " << threads << ", in pieces";
      for (int times : made) ASSERT_GE(times, 1) << sample.name;
    }
  }
  EXPECT_GT(shared, 2000) << "of " << 2 * samples.size();
}

// Parts that start with a tag: the level pass needs the line before a part's
// first line (an upper-case div repeated opens a level, a new one does not).
TEST(SharedIndentedText, PartsStartingWithTagsGiveTheBytesOfTheWholeText) {
  std::string page = "<html><head><title>t</title></head><body>\r\n";
  for (int block = 0; block < 40; ++block)
    page += "text\r\n<DIV class=a>\r\n<DIV class=b>\r\n<table>\r\n<tr>\r\n<td>x</td>\r\n</tr>\r\n"
            "</table>\r\n<ul>\r\n  <li>a\r\n  <li>b\r\n</ul>\r\n</DIV>\r\n</DIV>\r\n";
  page += "</body></html>\r\n";
  int shared = 0;
  for (bool normaliseCase : {false, true}) {
    for (int indentType = 0; indentType < 4; ++indentType) {
      const std::string expected = IndentWithoutMarkers(WholeLocalText(page, normaliseCase, true), indentType);
      for (unsigned threads : {2u, 3u, 16u}) {
        const auto result = SharedIndentedText(page, Passes(normaliseCase, true), indentType, Sharing(threads));
        ASSERT_TRUE(result.has_value());
        ++shared;
        ASSERT_EQ(*result, expected) << "threads " << threads << ", case " << normaliseCase << ", indent " << indentType;
      }
    }
  }
  EXPECT_EQ(shared, 24);
}

// Nesting too deep to indent is refused the same way, whatever part the
// indentation grows too large in.
TEST(SharedIndentedText, RefusesNestingTooDeepAsTheWholeTextDoes) {
  std::string page = "<html><body>\r\n";
  for (int depth = 0; depth < 12000; ++depth) page += "<div>\r\nx\r\n";
  page += "</body></html>\r\n";
  EXPECT_THROW(IndentWithoutMarkers(WholeLocalText(page, false, true), kIndentTwoSpaces), IndentationTooLarge);
  EXPECT_THROW(SharedIndentedText(page, Passes(false, true), kIndentTwoSpaces, Sharing(3)), IndentationTooLarge);
  const auto flush = SharedIndentedText(page, Passes(false, true), kIndentFlushLeft, Sharing(3));
  ASSERT_TRUE(flush.has_value());
  EXPECT_EQ(*flush, IndentWithoutMarkers(WholeLocalText(page, false, true), kIndentFlushLeft));
}

TEST(SharedLocalText, RefusesWhenALaterPartMayHoldACharsetDeclaration) {
  const std::string text = "<html>\r\n<body>\r\nab\r\ncd <meta charset=\"utf-8\">\r\n</body>\r\n";
  EXPECT_FALSE(SharedLocalText(text, Passes(false, true), Sharing(2)).has_value());
  const std::string declaredFirst = "<meta charset=\"utf-8\">ab\r\ncd\r\n</body>\r\n";
  const auto local = SharedLocalText(declaredFirst, Passes(false, true), Sharing(2));
  ASSERT_TRUE(local.has_value());
  EXPECT_EQ(*local, WholeLocalText(declaredFirst, false, true));
}

// The stages through the public interface: one thread against several, on
// pages large enough to be shared out, and both stages at once against one
// after the other.
TEST(SharedStages, MoreThreadsGiveTheSameTexts) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const std::string page = bench::GeneratePage(1'200'000, seed);
    for (int indentType = 0; indentType < 4; ++indentType) {
      PipelineOptions one;
      one.IndentType = indentType;
      one.ConvertUpper2Lower = seed == 2;
      one.DivCommentConcat = indentType == 1;
      PipelineOptions many = one;
      many.Threads = 4;
      WantedInputTexts localOnly;
      localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
      const std::string local = FileInputStage(page, one, localOnly).Local;
      ASSERT_EQ(FileInputStage(page, many, localOnly).Local, local) << seed;
      const std::string result = IndentStage(local, one, WantedIndentTexts::Result).Result;
      ASSERT_EQ(IndentStage(local, many, WantedIndentTexts::Result).Result, result) << seed << ", " << indentType;
      ASSERT_EQ(FileToResultStage(page, one).Result, result) << seed << ", " << indentType;
      ASSERT_EQ(FileToResultStage(page, many).Result, result) << seed << ", " << indentType;
    }
  }
}

TEST(FileToResultStage, ReportsWhatTheInputStageReports) {
  // A UTF-8 page with a character Shift_JIS lacks, large enough to share.
  std::string page = "<html><head><meta charset=\"utf-8\"></head><body>\r\n";
  while (page.size() < 600'000) page += "<div><p>caf\xc3\xa9 \xe2\x82\xac</p></div>\r\nword\r\n";
  page += "</body></html>\r\n";
  PipelineOptions many;
  many.Threads = 3;
  WantedInputTexts localOnly;
  localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
  const FileInputTexts input = FileInputStage(page, many, localOnly);
  const IndentedFileTexts both = FileToResultStage(page, many);
  EXPECT_EQ(both.Result, IndentStage(input.Local, many, WantedIndentTexts::Result).Result);
  EXPECT_EQ(both.ReadAs, input.ReadAs);
  EXPECT_EQ(both.DetectedCode, input.DetectedCode);
  EXPECT_GT(both.loss.count, 0u);
  EXPECT_EQ(both.loss.count, input.loss.count);
  EXPECT_EQ(both.lossLine, input.lossLine);
}

}  // namespace
}  // namespace zelm
