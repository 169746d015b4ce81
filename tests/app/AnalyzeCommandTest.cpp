// zelm-cli analyze, run as the real program on real pages, and the window's
// texts of the same checks.
#include <gtest/gtest.h>

#include "app/AnalysisTexts.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"
#include "text/FileIO.h"

namespace zelm {
namespace {

using test::RunCli;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

std::string Page(std::string_view name) { return (test::TestDataDir() / "pages" / name).string(); }

bool Holds(const std::string& text, std::string_view piece) { return text.find(piece) != std::string::npos; }

// The text with every run of blanks made one blank: columns without their
// widths.
std::string Squeezed(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  return out;
}

TEST(WindowAnalysisTexts, GiveTheCheckPaneItsMessage) {
  const StructureLabels& labels = WindowStructureLabels();
  const std::string message = Sjis("　　　インデント・レベル表示タグが、行頭になっていない行はありませんでした。");
  EXPECT_EQ(RenderLineList({}, labels.noMisplacedLines), std::vector<std::string>{message});
  EXPECT_EQ(labels.balancedFiller, "     ");
  EXPECT_EQ(labels.neverClosed, Sjis("← 閉じられていない <div>"));
  const std::string page = EntityListPage(WindowEntityPageLabels());
  EXPECT_TRUE(Holds(page, "<meta charset=\"Shift_JIS\">"));
  EXPECT_TRUE(Holds(page, "<title>" + Sjis("HTMLエンティティ一覧") + "</title>"));
}

TEST(AnalyzeCommand, CountsExitWithOneWhenAnElementIsUnbalanced) {
  const struct {
    const char* page;
    int exitCode;
    const char* row;
  } cases[] = {
      {"namazu-tutorial.eucjp.html", 0, "\n tr 39 39 0\n"},
      {"jlha-LhaHeader.sjis.html", 0, "\n div 94 94 0\n"},
      {"lv-index.utf8-nolabel.html", 1, "\n* tr 26 0 26 more opening than closing tags\n"},
  };
  for (const auto& c : cases) {
    const auto run = RunCli({"analyze", "counts", Page(c.page)});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.page << run.err;
    EXPECT_TRUE(Holds(Squeezed(run.out), c.row)) << c.page << run.out;
    EXPECT_EQ(run.err, "");
  }
  const auto several = RunCli({"analyze", "counts", Page("namazu-nmz.sjis.html"), Page("lv-index.utf8-nolabel.html")});
  EXPECT_EQ(several.exitCode, 1);
  EXPECT_TRUE(several.out.starts_with("==> " + Page("namazu-nmz.sjis.html") + " <==\n")) << several.out;
  EXPECT_TRUE(Holds(several.out, "\n\n==> " + Page("lv-index.utf8-nolabel.html") + " <==\n")) << several.out;
}

TEST(AnalyzeCommand, ListsLinesInUtf8) {
  const struct {
    std::vector<std::string> args;
    const char* line;
  } cases[] = {
      {{"misplaced", Page("lv-index.utf8-nolabel.html")}, "  31: Table of Contents </h2>\n"},
      {{"levels", Page("namazu-nmz.sjis.html")}, "  12: <h1>NMZ.* ファイルの仕様</h1>\n"},
      {{"misplaced", Page("namazu-nmz.sjis.html")},
       "no line holds a level element's tag elsewhere than at its start\n"},
      {{"skeleton", Page("namazu-tutorial.eucjp.html")}, " 995  <div class=\"copyright\">\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"analyze"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.exitCode, 0) << c.args[0] << run.err;
    EXPECT_TRUE(Holds(run.out, c.line)) << c.args[0] << "\n" << run.out;
  }
}

TEST(AnalyzeCommand, NamesTheUnbalancedDivsOfAPage) {
  TempDir dir;
  std::string page = LoadTextFile(Page("namazu-nmz.sjis.html"));
  page.insert(page.find("<body lang=\"ja\">\r\n") + 18, "</div>\r\n");
  page.erase(page.find("</div>", page.find("<div class=\"copyright\">")), 8);
  WriteFile(dir / "broken.html", page);
  const auto summary = RunCli({"analyze", "summary", (dir / "broken.html").string()});
  EXPECT_EQ(summary.exitCode, 0) << summary.err;
  EXPECT_TRUE(Holds(summary.out, "unbalanced places:\n")) << summary.out;
  EXPECT_TRUE(Holds(summary.out, "  </div>  <- closes no open div\n")) << summary.out;
  EXPECT_TRUE(Holds(summary.out, "  <div class=\"copyright\">  <- never closed\n")) << summary.out;
  const auto counts = RunCli({"analyze", "counts", (dir / "broken.html").string()});
  EXPECT_EQ(counts.exitCode, 0) << "one div too few closed and one too many: the counts agree";
}

TEST(AnalyzeCommand, RejectsBadUsageWithoutOutput) {
  const std::vector<std::vector<std::string>> bad{
      {"analyze"},
      {"analyze", "counts"},
      {"analyze", "bogus", Page("namazu-nmz.sjis.html")},
      {"analyze", "counts", "--text", "work", Page("namazu-nmz.sjis.html")},
      {"analyze", "counts", "--open-charset", "latin1", Page("namazu-nmz.sjis.html")},
      {"analyze", "counts", "--colour", Page("namazu-nmz.sjis.html")},
  };
  for (const auto& args : bad) {
    const auto run = RunCli(args);
    EXPECT_EQ(run.exitCode, 2) << args.size();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
  }
}

TEST(AnalyzeCommand, ReportsAFileItCannotReadAndGoesOn) {
  TempDir dir;
  WriteFile(dir / "empty.html", "");
  const auto run = RunCli(dir, {"analyze", "levels", (dir / "missing.html").string(), (dir / "empty.html").string(),
                                Page("namazu-nmz.sjis.html")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Holds(run.err, "missing.html': no such file")) << run.err;
  EXPECT_TRUE(Holds(run.err, "empty.html': the file is empty")) << run.err;
  EXPECT_TRUE(Holds(run.out, "<h1>NMZ.*")) << run.out;
}

TEST(AnalyzeCommand, WarnsOfCharactersThePageLostOnItsWayToShiftJis) {
  const auto run = RunCli({"analyze", "summary", Page("faq-basic-defs.utf8.html")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Holds(run.err, "faq-basic-defs.utf8.html: 8 characters have no Shift_JIS form and became '?'"))
      << run.err;
  EXPECT_FALSE(run.out.empty());
}

TEST(AnalyzeCommand, HelpNamesTheReports) {
  const auto run = RunCli({"analyze", "--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* report : {"counts", "misplaced", "levels", "skeleton", "summary", "--ignore-comments"})
    EXPECT_TRUE(Holds(run.out, report)) << report;
  EXPECT_TRUE(Holds(RunCli({"--help"}).out, "analyze"));
}

}  // namespace
}  // namespace zelm
