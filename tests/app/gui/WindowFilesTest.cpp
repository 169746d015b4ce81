// The window's save commands on real files: the save-charset choice, the
// overwrite question, the backup, the saved message, characters that would
// be lost, and a write that cannot succeed.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QButtonGroup>

#include "WindowTestSupport.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "indent/CharsetDecl.h"

namespace zelm::test {
namespace {

using gui::PaneId;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct SaveCase {
  const char* name;
  const char* page;
  int saveCharSet;  // item of the save-charset choice
  CharCodeIndex written;
  friend void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }
};

class SaveResult : public WindowTest, public ::testing::WithParamInterface<SaveCase> {};

// The saved bytes read back as Shift_JIS.
std::string ReadBack(const std::string& bytes, CharCodeIndex encoding) {
  switch (encoding) {
    case kCharCodeEucJp: return EucToSjis(bytes).text;
    case kCharCodeUtf8: return Utf8ToSjis(bytes).text;
    default: return bytes;
  }
}

TEST_P(SaveResult, OverTheOpenedFileWithBackup) {
  const auto page = CopyPage(GetParam().page);
  const std::string original = ReadFile(page);
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  window->RadioGroupSaveCharSet.SetItemIndex(GetParam().saveCharSet);
  window->action("MenuFileSaveLocalText")->trigger();

  ASSERT_EQ(asker->questions.size(), 1u);
  EXPECT_EQ(asker->questions[0], U("本当に上書き保存してもいいですか？"));
  EXPECT_TRUE(asker->messages.empty());
  EXPECT_EQ(ReadFile(dir / ("ZZBU_" + page.filename().string())), original);
  const std::string result = Text(PaneId::Result);
  const std::string expected =
      GetParam().written == kCharCodeShiftJis ? result : RewriteCharsetDecl(result, GetParam().written);
  EXPECT_EQ(ReadBack(ReadFile(page), GetParam().written), expected);
  EXPECT_EQ(window->StatusBarGlobal[1]->text(), U("  【  ") + Q(page) + U("  】として保存されました"));

  // The backup is the file right before each save: after a second save,
  // the text of the first. The window knows the file it wrote: no question
  // but the overwrite one.
  const std::string firstSave = ReadFile(page);
  window->action("MenuFileSaveLocalText")->trigger();
  EXPECT_EQ(ReadFile(dir / ("ZZBU_" + page.filename().string())), firstSave);
  EXPECT_EQ(asker->questions.size(), 2u);
  EXPECT_TRUE(asker->messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, SaveResult,
    ::testing::Values(SaveCase{"AutoFollowsTheDeclaredEucJp", "namazu-tutorial.eucjp.html", 0, kCharCodeEucJp},
                      SaveCase{"AutoKeepsShiftJis", "namazu-nmz.sjis.html", 0, kCharCodeShiftJis},
                      SaveCase{"ShiftJis", "namazu-tutorial.eucjp.html", 1, kCharCodeShiftJis},
                      SaveCase{"Utf8", "namazu-nmz.sjis.html", 2, kCharCodeUtf8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, DecliningTheOverwriteWritesNothing) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  const std::string original = ReadFile(page);
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  asker->answers = {false};
  window->MenuFileSaveLocalTextClick();
  EXPECT_EQ(ReadFile(page), original);
  EXPECT_FALSE(std::filesystem::exists(dir / "ZZBU_namazu-nmz.sjis.html"));
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());
}

TEST_F(WindowTest, SaveAsAddsHtmlAndAsksBeforeLosingCharacters) {
  window->OpenHtmlFile(Q(CopyPage("faq-basic-defs.utf8.html")));  // 8 characters became "?"
  window->tbIndentGoClick();
  asker->saveName = Q(dir / "out");
  asker->answers = {false};
  window->MenuFileSaveAsLocalTextClick();
  ASSERT_EQ(asker->questions.size(), 1u);
  EXPECT_TRUE(asker->questions[0].contains(U(" 8 文字"))) << asker->questions[0].toStdString();
  EXPECT_FALSE(std::filesystem::exists(dir / "out.html"));

  window->MenuFileSaveAsLocalTextClick();  // yes this time
  EXPECT_EQ(ReadFile(dir / "out.html"), SjisToUtf8(RewriteCharsetDecl(Text(PaneId::Result), kCharCodeUtf8)).text);
}

TEST_F(WindowTest, AWriteThatCannotSucceedIsToldAndChangesNothing) {
  window->OpenHtmlFile(Q(CopyPage("namazu-nmz.sjis.html")));
  window->tbIndentGoClick();
  WriteFile(dir / "afile", "x");
  const auto target = dir / "afile" / "out.html";  // under a file: no one can write there
  asker->saveName = Q(target);
  window->RichEditResultClick();
  window->tbSaveAsClick();
  ASSERT_EQ(asker->messages.size(), 1u);
  EXPECT_TRUE(asker->messages[0].startsWith(U("【 ") + Q(target) + U(" 】が 開けません！")));
  EXPECT_GT(asker->messages[0].size(), Q(target).size() + 12);  // with the system's reason
  EXPECT_EQ(ReadFile(dir / "afile"), "x");
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());
}

TEST_F(WindowTest, ABackupThatCannotBeWrittenLeavesTheOldFile) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  const std::string original = ReadFile(page);
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  std::filesystem::create_directory(dir / "ZZBU_namazu-nmz.sjis.html");  // in the backup's way
  window->MenuFileSaveLocalTextClick();
  ASSERT_EQ(asker->messages.size(), 1u);
  EXPECT_TRUE(asker->messages[0].startsWith(U("【 ") + Q(page) + U(" 】が 開けません！")));
  EXPECT_EQ(ReadFile(page), original);
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());
}

TEST_F(WindowTest, AFileAnotherProgramChangedSinceItWasOpenedIsOverwrittenOnlyWhenAsked) {
  const auto page = CopyPage("namazu-nmz.sjis.html");
  window->OpenHtmlFile(Q(page));
  window->tbIndentGoClick();
  const std::string theirs = "<html><body><p>written by another program</p></body></html>\r\n";
  WriteFile(page, theirs);
  asker->answers = {true, false};  // overwrite: yes; although it changed: no
  window->MenuFileSaveLocalTextClick();
  ASSERT_EQ(asker->questions.size(), 2u);
  EXPECT_TRUE(asker->questions[1].startsWith(U("【 ") + Q(page) + U(" 】は、読み込んだ後に他のプログラムによって変更されています。")))
      << asker->questions[1].toStdString();
  EXPECT_EQ(ReadFile(page), theirs);
  EXPECT_FALSE(std::filesystem::exists(dir / "ZZBU_namazu-nmz.sjis.html"));
  EXPECT_TRUE(window->StatusBarGlobal[1]->text().isEmpty());

  window->MenuFileSaveLocalTextClick();  // yes to both
  EXPECT_EQ(asker->questions.size(), 4u);
  EXPECT_EQ(ReadFile(page), Text(PaneId::Result));
  EXPECT_EQ(ReadFile(dir / "ZZBU_namazu-nmz.sjis.html"), theirs);
}

TEST_F(WindowTest, PlainTextFileRoundTrip) {
  // UTF-8 style sheets with blank lines, one with a byte-order mark: opened
  // into Local, saved back as they were.
  const std::string css = "/* 見出し */\r\n\r\n\r\nh1 { color: red; }\r\n";
  for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
    const std::string file = mark + SjisToUtf8(Sjis(css)).text;
    WriteFile(dir / "style.css", file);
    asker->openName = Q(dir / "style.css");
    window->MenuFileOpenTXTCSSJSClick();
    EXPECT_EQ(Text(PaneId::Local), Sjis(css));
    window->MenuFileSaveTxtCSSJSClick();
    EXPECT_EQ(ReadFile(dir / "style.css"), file);
    EXPECT_EQ(ReadFile(dir / "ZZBU_style.css"), file);
  }
  EXPECT_TRUE(asker->messages.empty());
}

}  // namespace
}  // namespace zelm::test
