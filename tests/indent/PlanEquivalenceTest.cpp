// A page cut into parts and run through its plan gives the bytes the plain
// passes give on the whole text, whatever the cuts and the threads: the
// executor on plans of many small parts against the passes one after
// another, and every stage with cutting forced against the same stage on
// one part.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "indent/AdjustLines.h"
#include "indent/BreakLines.h"
#include "indent/CharsetDecl.h"
#include "indent/LevelMarkers.h"
#include "indent/NormalizeTagCase.h"
#include "indent/PagePlan.h"
#include "indent/Pipeline.h"
#include "indent/PlanExecutor.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Joined;
using test::Sjis;

struct Sample {
  std::string name, text;
};

// The real pages with their line ends normalised, generated pages, and
// random texts of tags, text and the section and comment markers the passes
// keep state for, joined by CR LF mostly; charset declarations are rare.
std::vector<Sample> Samples(int randomTexts) {
  std::vector<Sample> samples;
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages"))
    if (name.ends_with(".html"))
      samples.push_back({name, NormalizeLineEnds(test::ReadFile(test::TestDataDir() / "pages" / name))});
  for (unsigned seed = 1; seed <= 3; ++seed)
    samples.push_back({"generated " + std::to_string(seed), bench::GeneratePage(30000 * seed, seed)});
  std::mt19937 rng(91);
  const std::vector<std::string> pieces{
      "<div>", "</div>", "<DIV class=a>", "<p>", "</p>", "<td></td>", "<TD>", "</tr>", "<table>", "</TABLE>",
      "<ul>", "<li>", "</li>", "<a href=x>", "</a>", "<script>", "</script>", "<!--", "-->", "<head>", "<tr>", "<TR>",
      "</head>", "<body>", "</body>", "<br>", "text", "x", "a;b", "(c)", " ", "  ", "\t", ">", "<", "</",
      "> <", "\x83", "\x83\x41", "\x81\x40", Sjis("日本語"), Sjis("テキスト"), "word", "more words", "z9"};
  const std::vector<std::string> breaks{"\r\n", "\r\n", "\r\n", "\r\n", "\r\n\r\n", "\n", "\r", "word\r\nword"};
  for (int round = 0; round < randomTexts; ++round) {
    std::string text;
    const std::size_t lines = 1 + rng() % 40;
    for (std::size_t i = 0; i < lines; ++i) {
      text += test::RandomText(rng, pieces, rng() % 5);
      if (rng() % 50 == 0) text += "<meta charset=\"utf-8\">";
      text += test::RandomText(rng, breaks, 1);
    }
    samples.push_back({"text: " + text, text});
  }
  return samples;
}

// The input passes one after another on the whole text.
std::string WholeLocalText(std::string_view text, bool normaliseCase, bool breakLines) {
  std::string out = normaliseCase ? NormalizeTagCase(text) : std::string(text);
  out = RewriteCharsetDecl(out, 0);
  if (breakLines) out = PreBreakLines(out);
  return AdjustLines(out);
}

// A plan of the input passes over `text`, cut into parts of about
// `partBytes`, with every declaration in the first part.
PagePlan InputPlan(std::string_view text, bool normaliseCase, bool breakLines, std::size_t partBytes,
                   unsigned threads) {
  PagePlan plan;
  plan.text = text;
  if (normaliseCase) plan.passes.push_back(PlanPass::kNormaliseCase);
  plan.passes.push_back(PlanPass::kRewriteCharsetDecl);
  if (breakLines) plan.passes.push_back(PlanPass::kBreakFull);
  plan.passes.push_back(PlanPass::kAdjust);
  plan.keepLocal = true;
  plan.threads = threads;
  CutPlan(plan, PartsFor(text.size(), PassSharing{}, partBytes));
  for (std::size_t k = plan.PartCount(); k-- > 1;) {
    if (!MayHoldCharsetDecl(plan.Part(k))) continue;
    MergeFirstParts(plan, k + 1);
    break;
  }
  return plan;
}

TEST(PlanExecutor, InputPassesOnPartsGiveTheBytesOfTheWholeText) {
  int round = 0, cut = 0;
  for (const Sample& sample : Samples(1500)) {
    const bool normaliseCase = round % 2 == 0, breakLines = round++ % 3 != 0;
    const std::string expected = WholeLocalText(sample.text, normaliseCase, breakLines);
    for (std::size_t partBytes : {std::size_t{1}, std::size_t{64}}) {
      PagePlan plan = InputPlan(sample.text, normaliseCase, breakLines, partBytes, 1 + round % 3);
      cut += plan.PartCount() > 1;
      plan.orgAfter = normaliseCase ? 2 : 1;
      const PlanTexts texts = ExecutePlan(std::move(plan));
      ASSERT_EQ(texts.local, expected) << sample.name << ", parts of " << partBytes;
      const std::string org = RewriteCharsetDecl(normaliseCase ? NormalizeTagCase(sample.text) : sample.text, 0);
      ASSERT_EQ(texts.org, org) << sample.name << ", parts of " << partBytes;
    }
  }
  EXPECT_GT(cut, 2000) << "of " << 2 * (1500 + 10);  // most texts are cut
}

TEST(PlanExecutor, LevelPassOnPartsGivesTheBytesOfTheWholeText) {
  int round = 0, cut = 0;
  for (const Sample& sample : Samples(1000)) {
    const bool normaliseCase = round % 2 == 0, breakLines = round % 3 != 0;
    const int indentType = round++ % 4;
    const std::string local = WholeLocalText(sample.text, normaliseCase, breakLines);
    const std::string expected = IndentWithoutMarkers(local, indentType);
    for (PlanJoin join : {PlanJoin::kWhole, PlanJoin::kPieces}) {
      // Through the input passes and the level pass, each part on one thread.
      PagePlan plan = InputPlan(sample.text, normaliseCase, breakLines, 48, 3);
      plan.keepLocal = false;
      plan.levels = PlanLevels::kResult;
      plan.indentType = indentType;
      plan.join = join;
      cut += plan.PartCount() > 1;
      const PlanTexts texts = ExecutePlan(std::move(plan));
      ASSERT_EQ(texts.result + Joined(texts.pieces), expected) << sample.name << ", indent " << indentType;
    }
    // The level pass alone on the Local text, the Result handed out.
    PagePlan levels;
    levels.text = local;
    levels.levels = PlanLevels::kResult;
    levels.indentType = indentType;
    CutPlan(levels, PartsFor(local.size(), PassSharing{}, 40));
    std::string handedOut;
    ExecutePlan(std::move(levels), [&](std::string_view piece) { handedOut += piece; });
    ASSERT_EQ(handedOut, expected) << sample.name << ", level pass alone";
  }
  EXPECT_GT(cut, 1000 + 10) << "of " << 2 * (1000 + 10);  // most texts are cut
}

// The level pass needs the line before a part's first line (an upper-case
// div repeated opens a level, a new one does not).
TEST(PlanExecutor, PartsStartingWithTagsGiveTheBytesOfTheWholeText) {
  std::string page = "<html><head><title>t</title></head><body>\r\n";
  for (int block = 0; block < 40; ++block)
    page += "text\r\n<DIV class=a>\r\n<DIV class=b>\r\n<table>\r\n<tr>\r\n<td>x</td>\r\n</tr>\r\n"
            "</table>\r\n<ul>\r\n  <li>a\r\n  <li>b\r\n</ul>\r\n</DIV>\r\n</DIV>\r\n";
  page += "</body></html>\r\n";
  for (bool normaliseCase : {false, true}) {
    for (int indentType = 0; indentType < 4; ++indentType) {
      const std::string expected = IndentWithoutMarkers(WholeLocalText(page, normaliseCase, true), indentType);
      for (std::size_t partBytes : {30u, 200u, 1000u}) {
        PagePlan plan = InputPlan(page, normaliseCase, true, partBytes, 2);
        ASSERT_GT(plan.PartCount(), 1u);
        plan.levels = PlanLevels::kResult;
        plan.indentType = indentType;
        EXPECT_EQ(ExecutePlan(std::move(plan)).result, expected) << partBytes << ", case " << normaliseCase;
      }
    }
  }
}

// Nesting too deep to indent is refused the same way, whatever part the
// indentation grows too large in.
TEST(PlanExecutor, RefusesNestingTooDeepAsTheWholeTextDoes) {
  std::string page = "<html><body>\r\n";
  for (int depth = 0; depth < 12000; ++depth) page += "<div>\r\nx\r\n";
  page += "</body></html>\r\n";
  const std::string local = WholeLocalText(page, false, true);
  EXPECT_THROW(IndentWithoutMarkers(local, kIndentTwoSpaces), IndentationTooLarge);
  for (int indentType : {kIndentTwoSpaces, kIndentFlushLeft}) {
    PagePlan plan = InputPlan(page, false, true, page.size() / 7, 3);
    plan.levels = PlanLevels::kResult;
    plan.indentType = indentType;
    if (indentType == kIndentTwoSpaces) {
      EXPECT_THROW(ExecutePlan(std::move(plan)), IndentationTooLarge);
    } else {
      EXPECT_EQ(ExecutePlan(std::move(plan)).result, IndentWithoutMarkers(local, kIndentFlushLeft));
    }
  }
}

// Declarations are rewritten by the first occurrence of each spelling in
// the whole text: the parts up to the last one that may hold one are one.
TEST(PlanExecutor, KeepsEveryCharsetDeclarationInTheFirstPart) {
  const std::string text =
      "<html>\r\n<body>\r\nab\r\ncd <meta charset=\"utf-8\">\r\nef\r\n<p>x</p>\r\n<p>y</p>\r\n</body>\r\n";
  PagePlan plan = InputPlan(text, false, true, 1, 2);
  ASSERT_GT(plan.PartCount(), 1u);
  EXPECT_GT(plan.cuts[1], text.find("charset"));
  EXPECT_EQ(ExecutePlan(std::move(plan)).local, WholeLocalText(text, false, true));
}

// Lines whose ends, blanks, labels and double-byte characters exercise every
// pass of the conversion, behind a head that declares Shift_JIS.
std::vector<std::string> RandomShiftJisPages(unsigned seed, int count) {
  std::mt19937 rng(seed);
  const std::vector<std::string> pieces{
      "<div>", "</div>", "<p>", "text", "x", " ", "  ", "\t", "\x83", "\x83\x41", "\x81\x40", Sjis("日本語"),
      "<meta charset=\"shift-jis\">", "<META CHARSET='utf-8'>", "charset=x-sjis\"", "<meta charset=\"euc-jp\">",
      "shift-jis\"", "XSJIS\"", "<body>", "</head>"};
  const std::vector<std::string> breaks{"\r\n", "\r\n", "\r\n", "\n", "\n", "\r", "\r\n\r\n", "\n\n", " \r\n",
                                        "\r\r\n", "\r\n  \r\n"};
  std::vector<std::string> pages;
  for (int round = 0; round < count; ++round) {
    std::string page = "<html><head><meta charset=\"Shift_JIS\">" + test::RandomText(rng, pieces, rng() % 3) +
                       "\r\n</head>\r\n<body>\r\n";
    const std::size_t lines = 1 + rng() % 60;
    for (std::size_t i = 0; i < lines; ++i) {
      page += test::RandomText(rng, pieces, rng() % 5);
      page += test::RandomText(rng, breaks, 1);
    }
    pages.push_back(page);
  }
  return pages;
}

// A Shift_JIS page converted part by part: the parts joined are the page
// converted whole, and their labels declare what the whole page's do.
TEST(PlanExecutor, PagesConvertedPartByPartGiveTheWholeConversion) {
  int cut = 0;
  for (const std::string& page : RandomShiftJisPages(7, 400)) {
    const std::string dropped = RemoveBlankLines(page);
    const AutoConversion whole = ConvertAutomatically(dropped);
    ASSERT_EQ(whole.readAs, kCharCodeShiftJis);
    PagePlan plan;
    plan.text = page;
    plan.keepLocal = true;
    plan.threads = 2;
    if (!PlanShiftJisPage(plan, 1 + page.size() % 7)) continue;
    ++cut;
    const ShiftJisPageParts parts = *plan.page;
    const PlanTexts texts = ExecutePlan(std::move(plan));
    ASSERT_EQ(texts.local, whole.result.text) << page;
    ASSERT_EQ(parts.Declared(texts.labels), GetCharCodeFromMeta(dropped)) << page;
  }
  EXPECT_GT(cut, 200);
  // Pages the automatic mode does not read as Shift_JIS, or read so only
  // for want of another reading, are converted whole.
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages")) {
    if (!name.ends_with(".html")) continue;
    const std::string native = test::ReadFile(test::TestDataDir() / "pages" / name);
    const AutoConversion whole = ConvertAutomatically(RemoveBlankLines(native));
    PagePlan plan;
    plan.text = native;
    EXPECT_EQ(PlanShiftJisPage(plan, 16), whole.readAs == kCharCodeShiftJis && !whole.keptAsIs) << name;
  }
}

// The stages with cutting forced on small pages and several threads give
// the texts they give on one part.
struct StageCase {
  const char* name;
  PipelineOptions options;
};

std::vector<StageCase> StageCases() {
  std::vector<StageCase> cases;
  auto add = [&](const char* name, auto set) {
    PipelineOptions options;
    set(options);
    cases.push_back({name, options});
  };
  add("default", [](PipelineOptions&) {});
  add("lower, four spaces", [](PipelineOptions& o) { o.ConvertUpper2Lower = true, o.IndentType = IndentType::kFourSpaces; });
  add("no preprocessing, tab", [](PipelineOptions& o) { o.DontPreprocessing = true, o.IndentType = IndentType::kTab; });
  add("div comments joined, flush left", [](PipelineOptions& o) { o.DivCommentConcat = true, o.IndentType = IndentType::kFlushLeft; });
  add("kept stretches", [](PipelineOptions& o) { o.KeepPre = true; });
  add("EUC-JP chosen", [](PipelineOptions& o) { o.OpenCharset = OpenCharset::kEucJp; });
  return cases;
}

TEST(Stages, CuttingForcedGivesTheTextsOfOnePart) {
  std::vector<Sample> pages;
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages"))
    if (name.ends_with(".html")) pages.push_back({name, test::ReadFile(test::TestDataDir() / "pages" / name)});
  std::string pre = bench::GeneratePage(60000, 4);
  pre.insert(pre.find("<div"), "<PRE>\r\n  kept\r\n\r\n</pre>\r\n<textarea>\r\n<div>\r\n</textarea>\r\n");
  pages.push_back({"generated with stretches", pre});
  for (const StageCase& c : StageCases()) {
    for (const Sample& page : pages) {
      const PipelineOptions& one = c.options;
      for (std::size_t partBytes : {std::size_t{97}, std::size_t{4096}}) {
        PipelineOptions cut = one;
        cut.Threads = 1 + partBytes % 4;
        cut.CutPartBytes = partBytes;
        const std::string at = std::string(c.name) + ", " + page.name + ", parts of " + std::to_string(partBytes);
        const FileInputTexts input = FileInputStage(page.text, one);
        const FileInputTexts inputCut = FileInputStage(page.text, cut);
        ASSERT_EQ(inputCut.Org, input.Org) << at;
        ASSERT_EQ(inputCut.Local, input.Local) << at;
        ASSERT_EQ(inputCut.DetectedCode, input.DetectedCode) << at;
        ASSERT_EQ(inputCut.lossLine, input.lossLine) << at;
        const IndentTexts indented = IndentStage(input.Local, one);
        ASSERT_EQ(IndentStage(input.Local, cut, WantedIndentTexts::Result).Result, indented.Result) << at;
        cut.ResultInPieces = true;
        const IndentedFileTexts straight = FileToResultStage(page.text, cut);
        ASSERT_EQ(straight.Result + Joined(straight.ResultPieces), indented.Result) << at;
        ASSERT_EQ(straight.DetectedCode, input.DetectedCode) << at;
        const PasteInputTexts paste = PasteInputStage(input.Org, one);
        const PasteInputTexts pasteCut = PasteInputStage(input.Org, cut);
        ASSERT_EQ(pasteCut.Org, paste.Org) << at;
        ASSERT_EQ(pasteCut.Local, paste.Local) << at;
        ASSERT_EQ(InnerHtmlStage(input.Org, cut, false), InnerHtmlStage(input.Org, one, false)) << at;
      }
    }
  }
}

// A page large enough to be shared with the default sizes, with lone line
// feeds and blank lines, through the file stages: more threads give the
// same texts, and the page really is shared (its Result comes in pieces).
TEST(Stages, LargePagesAreSharedAndGiveTheTextsOfOneThread) {
  std::string page = bench::GeneratePage(2'300'000, 5);
  for (std::size_t at = page.find("\r\n", 1000); at != std::string::npos; at = page.find("\r\n", at + 70'001))
    page.replace(at, 2, at % 3 == 0 ? "\n" : "\r\n \r\n\t\r\n");
  for (int indentType = 0; indentType < 4; ++indentType) {
    PipelineOptions one;
    one.IndentType = static_cast<IndentType>(indentType);
    one.ConvertUpper2Lower = indentType == 2;
    PipelineOptions many = one;
    many.Threads = 3;
    WantedInputTexts localOnly;
    localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
    const FileInputTexts input = FileInputStage(page, one, localOnly);
    const FileInputTexts sharedInput = FileInputStage(page, many, localOnly);
    ASSERT_EQ(sharedInput.Local, input.Local) << indentType;
    EXPECT_EQ(sharedInput.DetectedCode, input.DetectedCode);
    EXPECT_EQ(sharedInput.ReadAs, input.ReadAs);
    const std::string result = IndentStage(input.Local, one, WantedIndentTexts::Result).Result;
    ASSERT_EQ(IndentStage(input.Local, many, WantedIndentTexts::Result).Result, result) << indentType;
    ASSERT_EQ(FileToResultStage(page, one).Result, result) << indentType;
    many.ResultInPieces = true;
    const IndentedFileTexts pieces = FileToResultStage(page, many);
    EXPECT_TRUE(pieces.Result.empty());
    EXPECT_GT(pieces.ResultPieces.size(), 4u);
    ASSERT_EQ(Joined(pieces.ResultPieces), result) << indentType;
    EXPECT_EQ(pieces.DetectedCode, input.DetectedCode);
  }
}

TEST(Stages, FileToResultReportsWhatTheInputStageReports) {
  // A UTF-8 page with a character Shift_JIS lacks, cut into parts.
  std::string page = "<html><head><meta charset=\"utf-8\"></head><body>\r\n";
  while (page.size() < 60'000) page += "<div><p>caf\xc3\xa9 \xe2\x82\xac</p></div>\r\nword\r\n";
  page += "</body></html>\r\n";
  PipelineOptions many;
  many.Threads = 3;
  many.CutPartBytes = 4096;
  WantedInputTexts localOnly;
  localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
  const FileInputTexts input = FileInputStage(page, PipelineOptions{}, localOnly);
  const IndentedFileTexts both = FileToResultStage(page, many);
  EXPECT_EQ(both.Result, IndentStage(input.Local, PipelineOptions{}, WantedIndentTexts::Result).Result);
  EXPECT_EQ(both.ReadAs, input.ReadAs);
  EXPECT_EQ(both.DetectedCode, input.DetectedCode);
  EXPECT_GT(both.loss.count, 0u);
  EXPECT_EQ(both.loss.count, input.loss.count);
  EXPECT_EQ(both.lossLine, input.lossLine);
}

}  // namespace
}  // namespace zelm
