#include "app/FileCommands.h"

#include <gtest/gtest.h>

#include "encoding/JisConvert.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::Sjis;

TEST(SaveEncodingFor, FollowsTheDeclaredCharsetThenTheOneReadAs) {
  struct Case {
    SaveCharSet choice;
    CharCodeIndex declared, readAs, expected;
  };
  const Case cases[] = {
      {SaveCharSet::Auto, kCharCodeEucJp, kCharCodeEucJp, kCharCodeEucJp},
      {SaveCharSet::Auto, kCharCodeShiftJis, kCharCodeShiftJis, kCharCodeShiftJis},
      {SaveCharSet::Auto, kCharCodeAuto, kCharCodeUtf8, kCharCodeUtf8},  // unlabelled UTF-8 stays UTF-8
      {SaveCharSet::Auto, kCharCodeIso2022Jp, kCharCodeIso2022Jp, kCharCodeIso2022Jp},
      {SaveCharSet::ShiftJis, kCharCodeEucJp, kCharCodeEucJp, kCharCodeShiftJis},
      {SaveCharSet::Utf8, kCharCodeEucJp, kCharCodeEucJp, kCharCodeUtf8},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SaveEncodingFor(c.choice, c.declared, c.readAs), c.expected)
        << int(c.choice) << " " << c.declared << " " << c.readAs;
}

TEST(EncodeForSaving, RewritesTheDeclarationForTheTargetEncoding) {
  const std::string page = Sjis("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n日本\r\n");
  EXPECT_EQ(EncodeForSaving(page, kCharCodeShiftJis).text, page);
  EXPECT_EQ(EncodeForSaving(page, kCharCodeUtf8).text,
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n\xe6\x97\xa5\xe6\x9c\xac\r\n");
  const Converted euc = EncodeForSaving(page, kCharCodeEucJp);
  EXPECT_NE(euc.text.find("charset=euc-jp\""), std::string::npos);
  EXPECT_NE(euc.text.find("\xc6\xfc\xcb\xdc"), std::string::npos);  // 日本 in EUC-JP
  const Converted jis = EncodeForSaving(page, kCharCodeIso2022Jp);
  EXPECT_NE(jis.text.find("charset=iso-2022-jp\""), std::string::npos);
}

TEST(FileNames, BackupAndExtension) {
  EXPECT_EQ(BackupPathFor("/site/docs/index.html"), "/site/docs/ZZBU_index.html");
  EXPECT_EQ(BackupPathFor("index.html"), "ZZBU_index.html");
  EXPECT_EQ(WithHtmlExtension("/site/page"), "/site/page.html");
  EXPECT_EQ(WithHtmlExtension("/site/page.htm"), "/site/page.htm");
}

TEST(SaveWithBackup, KeepsTheOldFileAsItWasFirstLoaded) {
  test::TempDir dir;
  const std::string path = (dir / "page.html").string();
  test::WriteFile(path, "original\n");
  const SaveOutcome outcome = SaveWithBackup("new\r\n", path, "original\n");
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(outcome.backupPath, (dir / "ZZBU_page.html").string());
  EXPECT_EQ(test::ReadFile(dir / "ZZBU_page.html"), "original\n");
  EXPECT_EQ(test::ReadFile(path), "new\r\n");
}

TEST(SaveWithBackup, ANewFileNeedsNoBackup) {
  test::TempDir dir;
  const SaveOutcome outcome = SaveWithBackup("new", (dir / "page.html").string(), "");
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.backupPath, "");
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"page.html"});
}

}  // namespace
}  // namespace zelm
