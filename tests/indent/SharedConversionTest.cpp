// The first passes of the file input on parts of a large Shift_JIS page
// side by side give the bytes and the declared code of the whole page.
#include <gtest/gtest.h>

#include <random>

#include "PageGenerator.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "indent/Pipeline.h"
#include "indent/SharedConversion.h"
#include "indent/SharedInputPasses.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Joined;
using test::Sjis;

// Any page is shared out, in parts as small as `minimumPiece`.
PassSharing Sharing(std::size_t minimumPiece) {
  return {.threads = 2, .minimumText = 1, .minimumPiece = minimumPiece};
}

// The whole page through the one-thread passes.
struct WholePage {
  CharCodeIndex declared = kCharCodeAuto;
  AutoConversion conversion;
};

// The parts the shared input passes take: each but the last ends with CR
// LF after a byte above blank, and each after the first starts alone.
std::string PartsTheInputPassesTake(const std::vector<std::string>& parts) {
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::string& part = parts[k];
    const bool endsAlone =
        part.size() >= 3 && part.ends_with("\r\n") && static_cast<unsigned char>(part[part.size() - 3]) > 0x20;
    if (k + 1 < parts.size() && !endsAlone)
      return "part " + std::to_string(k) + " does not end a line alone";
    if (k > 0 && !StartsLineAlone(part, 0)) return "part " + std::to_string(k) + " does not start alone";
  }
  return "";
}

WholePage ConvertWhole(std::string_view native) {
  const std::string text = RemoveBlankLines(native);
  return {GetCharCodeFromMeta(text), ConvertAutomatically(text)};
}

struct CutCase {
  const char* name;
  std::string text;  // the cut is looked for after its first line
  bool cut;
};

TEST(ConversionCuts, FallAfterAPrintableLineEndInFrontOfPrintableAscii) {
  const std::string head = "<html><head></head><body>\r\nfirst\r\n";
  const CutCase cases[] = {
      {"CR LF", "x\r\ny\r\n", true},
      {"LF alone", "x\ny\r\n", true},
      {"blank at the start of the next line", "x\r\n y\r\n", false},
      {"tab at the start of the next line", "x\r\n\ty\r\n", false},
      {"blank line next", "x\r\n\r\ny\r\n", false},
      {"blank at the end of the line", "x \r\ny\r\n", false},
      {"lead byte at the end of the line", "x\x83\r\ny\r\n", false},
      {"double-byte character next", "x\r\n\x83\x41y\r\n", false},
      {"CR CR LF", "x\r\r\ny\r\n", false},
      {"closing tag next", "x\r\n</p>\r\n", false},
      {"closing bracket next", "x\r\n>y\r\n", false},
      {"opening tag next", "x\r\n<p>\r\n", true},
  };
  for (const CutCase& c : cases) {
    const std::string page = head + c.text;
    const std::vector<std::size_t> cuts = ConversionCuts(page, Sharing(1));
    const std::size_t expected = head.size() + c.text.find('\n') + 1;
    const bool found = std::find(cuts.begin(), cuts.end(), expected) != cuts.end();
    EXPECT_EQ(found, c.cut) << c.name;
    for (std::size_t cut : cuts) EXPECT_TRUE(cut == 0 || cut <= head.size() || cut == expected) << c.name;
  }
}

TEST(ConversionCuts, TheFirstPartHoldsTheStartOfTheBody) {
  const std::string page = "<html>\r\n<head>\r\n<title>t</title>\r\n</head>\r\n<BODY>\r\n<p>a</p>\r\n<p>b</p>\r\n";
  const std::vector<std::size_t> cuts = ConversionCuts(page, Sharing(1));
  ASSERT_GE(cuts.size(), 2u);
  EXPECT_EQ(cuts[1], page.find("<p>a"));
  EXPECT_EQ(ConversionCuts("<html><p>no body</p>\r\n<p>x</p>\r\n", Sharing(1)).size(), 1u);
}

// Lines whose ends, blanks, labels and double-byte characters exercise every
// pass, behind a head that declares Shift_JIS.
std::vector<std::string> RandomPages(unsigned seed, int count) {
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

TEST(ConvertShiftJisPageSideBySide, RandomPagesGiveTheBytesOfTheWholePage) {
  int shared = 0;
  for (const std::string& page : RandomPages(7, 400)) {
    const WholePage whole = ConvertWhole(page);
    ASSERT_EQ(whole.conversion.readAs, kCharCodeShiftJis);
    const auto parts = ConvertShiftJisPageSideBySide(page, Sharing(1 + page.size() % 7));
    if (!parts) continue;
    ++shared;
    ASSERT_EQ(Joined(parts->parts), whole.conversion.result.text) << page;
    ASSERT_EQ(PartsTheInputPassesTake(parts->parts), "") << page;
    ASSERT_EQ(parts->declared, whole.declared) << page;
  }
  EXPECT_GT(shared, 300);
}

TEST(ConvertShiftJisPageSideBySide, LeavesPagesNotReadAsShiftJisToTheWholePass) {
  int labelled = 0;
  for (const std::string& name : test::FileNamesIn(test::TestDataDir() / "pages")) {
    if (!name.ends_with(".html")) continue;
    const std::string native = test::ReadFile(test::TestDataDir() / "pages" / name);
    const WholePage whole = ConvertWhole(native);
    const auto parts = ConvertShiftJisPageSideBySide(native, Sharing(4096));
    // Read as Shift_JIS by its label, not for want of another reading.
    const bool labelledShiftJis = whole.conversion.readAs == kCharCodeShiftJis && !whole.conversion.keptAsIs;
    if (!labelledShiftJis) {
      EXPECT_FALSE(parts.has_value()) << name;
      continue;
    }
    ++labelled;
    ASSERT_TRUE(parts.has_value()) << name;
    EXPECT_EQ(Joined(parts->parts), whole.conversion.result.text) << name;
    EXPECT_EQ(PartsTheInputPassesTake(parts->parts), "") << name;
    EXPECT_EQ(parts->declared, whole.declared) << name;
  }
  EXPECT_EQ(labelled, 2);
  const std::string noHeadEnd = "<html><meta charset=\"shift_jis\"><body>\r\n<p>a</p>\r\n<p>b</p>\r\n";
  EXPECT_FALSE(ConvertShiftJisPageSideBySide(noHeadEnd, Sharing(1)).has_value());
}

// A page large enough to be shared with the default settings, with lone
// line feeds and blank lines, through the file stages.
TEST(ConvertShiftJisPageSideBySide, FileStagesGiveTheSameTextsWithMoreThreads) {
  std::string page = bench::GeneratePage(2'300'000, 5);
  for (std::size_t at = page.find("\r\n", 1000); at != std::string::npos; at = page.find("\r\n", at + 70'001))
    page.replace(at, 2, at % 3 == 0 ? "\n" : "\r\n \r\n\t\r\n");
  PipelineOptions one, many;
  many.Threads = 2;
  WantedInputTexts localOnly;
  localOnly.Native = localOnly.Org = localOnly.RefOrg = false;
  const FileInputTexts input = FileInputStage(page, one, localOnly);
  const FileInputTexts sharedInput = FileInputStage(page, many, localOnly);
  EXPECT_EQ(sharedInput.Local, input.Local);
  EXPECT_EQ(sharedInput.DetectedCode, input.DetectedCode);
  EXPECT_EQ(sharedInput.ReadAs, input.ReadAs);
  const std::string result = FileToResultStage(page, one).Result;
  EXPECT_EQ(FileToResultStage(page, many).Result, result);
  // Asked for pieces, the shared stages give them instead of one text.
  many.ResultInPieces = true;
  const IndentedFileTexts pieces = FileToResultStage(page, many);
  EXPECT_TRUE(pieces.Result.empty());
  EXPECT_GT(pieces.ResultPieces.size(), 1u);
  EXPECT_EQ(Joined(pieces.ResultPieces), result);
  EXPECT_EQ(pieces.ReadAs, sharedInput.ReadAs);
  EXPECT_EQ(pieces.DetectedCode, sharedInput.DetectedCode);
}

}  // namespace
}  // namespace zelm
