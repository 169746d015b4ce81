// The file commands the window and zelm-cli share, on real files in
// temporary folders.
#include "app/FileCommands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "encoding/JisConvert.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::ReadFile;
using test::Sjis;
using test::TempDir;
using test::WriteFile;

struct stat StatOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

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
  const EncodedText euc = EncodeForSaving(page, kCharCodeEucJp);
  EXPECT_NE(euc.text.find("charset=euc-jp\""), std::string::npos);
  EXPECT_NE(euc.text.find("\xc6\xfc\xcb\xdc"), std::string::npos);  // 日本 in EUC-JP
  const Converted jis = EncodeForSaving(page, kCharCodeIso2022Jp);  // a plain Converted takes it too
  EXPECT_NE(jis.text.find("charset=iso-2022-jp\""), std::string::npos);
}

// What the target encoding lacks is reported with its line, or written as
// a numeric character reference when asked.
TEST(EncodeForSaving, ReportsWhatTheTargetLacksOrWritesReferences) {
  const std::string text = "<p>a</p>\r\n<p>\xFA\x40</p>\r\n";  // an IBM extension character (ⅰ) on line 2
  const EncodedText euc = EncodeForSaving(text, kCharCodeEucJp);
  EXPECT_EQ(euc.loss.count, 1u);
  EXPECT_EQ(euc.loss.line, 2u);
  EXPECT_EQ(euc.loss.Describe(), "1 character has no EUC-JP form and became '?' (the first on line 2)");
  const EncodedText referenced = EncodeForSaving(text, kCharCodeIso2022Jp, Unmappable::Reference);
  EXPECT_FALSE(referenced.loss.any());
  EXPECT_EQ(referenced.loss.referenced, 1u);
  EXPECT_NE(referenced.text.find("<p>&#8560;</p>"), std::string::npos);
}

TEST(FileNames, BackupAndExtension) {
  EXPECT_EQ(BackupPathFor("/site/docs/index.html"), "/site/docs/ZZBU_index.html");
  EXPECT_EQ(BackupPathFor("index.html"), "ZZBU_index.html");
  EXPECT_EQ(WithHtmlExtension("/site/page"), "/site/page.html");
  EXPECT_EQ(WithHtmlExtension("/site/page.htm"), "/site/page.htm");
}

// Nothing of a save's own is left in the folder: no temporary file.
void ExpectNoTemporaryFiles(const std::filesystem::path& folder) {
  for (const std::string& name : test::FileNamesIn(folder))
    EXPECT_FALSE(name.starts_with(".zelm-")) << "left behind: " << name;
}

// A link, a pipe or a folder at the backup's name is never written through
// or replaced: the page is refused and stays as it was.
TEST(SaveWithBackup, NeverWritesThroughWhatStandsAtTheBackupsName) {
  struct Case {
    const char* name;
    void (*make)(const std::filesystem::path& backup, const std::filesystem::path& victim);
    const char* found;
  };
  const Case cases[] = {
      {"a link to another file", [](auto& backup, auto& victim) { std::filesystem::create_symlink(victim, backup); },
       "is a symbolic link"},
      {"a link to /dev/null", [](auto& backup, auto&) { std::filesystem::create_symlink("/dev/null", backup); },
       "is a symbolic link"},
      {"a pipe", [](auto& backup, auto&) { ASSERT_EQ(::mkfifo(backup.c_str(), 0600), 0); }, "is a pipe"},
      {"a folder", [](auto& backup, auto&) { std::filesystem::create_directory(backup); }, "is a folder"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "page.html", "original");
    WriteFile(dir / "victim.txt", "someone else's file");
    c.make(dir / "ZZBU_page.html", dir / "victim.txt");
    const SaveOutcome saved = SaveWithBackup("new", (dir / "page.html").string());
    ASSERT_TRUE(saved.error.has_value()) << c.name;
    EXPECT_EQ(saved.error->kind, FileErrorKind::BackupInTheWay) << c.name;
    EXPECT_EQ(saved.error->path, (dir / "ZZBU_page.html").string()) << c.name;
    EXPECT_EQ(saved.error->reason, c.found) << c.name;
    EXPECT_EQ(ReadFile(dir / "page.html"), "original") << c.name;
    EXPECT_EQ(ReadFile(dir / "victim.txt"), "someone else's file") << c.name;
    ExpectNoTemporaryFiles(dir.path());
  }
}

// The backup is the file as it was right before this save, with its mode
// and times; the new file has the old one's mode. Both ways of making new
// files are taken.
TEST(SaveWithBackup, TheBackupIsTheFileRightBeforeThisSaveWithItsMode) {
  for (const NewFileWay way : {NewFileWay::Unnamed, NewFileWay::Named}) {
    for (const mode_t mode : {0600u, 0640u}) {
      TempDir dir;
      const std::string page = (dir / "page.html").string();
      WriteFile(page, "first");
      ::chmod(page.c_str(), mode);
      const timespec past[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
      ::utimensat(AT_FDCWD, page.c_str(), past, 0);
      SaveOptions options;
      options.way = way;
      SaveOutcome saved = SaveWithBackup("second", page, options);
      ASSERT_TRUE(saved.ok()) << saved.error->Describe();
      EXPECT_EQ(saved.backupPath, (dir / "ZZBU_page.html").string());
      EXPECT_EQ(ReadFile(dir / "ZZBU_page.html"), "first");
      EXPECT_EQ(StatOf(dir / "ZZBU_page.html").st_mode & 07777, mode);
      EXPECT_EQ(StatOf(dir / "ZZBU_page.html").st_mtim.tv_sec, 1'000'000'000);
      EXPECT_EQ(ReadFile(page), "second");
      EXPECT_EQ(StatOf(page).st_mode & 07777, mode);
      saved = SaveWithBackup("third", page, options);
      ASSERT_TRUE(saved.ok());
      EXPECT_EQ(ReadFile(dir / "ZZBU_page.html"), "second");
      EXPECT_EQ(test::FileNamesIn(dir.path()), (std::vector<std::string>{"ZZBU_page.html", "page.html"}));
    }
  }
}

TEST(SaveWithBackup, ANewFileNeedsNoBackupAndGetsTheUsualMode) {
  TempDir dir;
  const mode_t mask = ::umask(022);
  const SaveOutcome saved = SaveWithBackup("new", (dir / "page.html").string());
  ::umask(mask);
  EXPECT_TRUE(saved.ok());
  EXPECT_EQ(saved.backupPath, "");
  EXPECT_EQ(StatOf(dir / "page.html").st_mode & 0777, 0644u);
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"page.html"});
}

TEST(SaveWithBackup, KeepsTheOwnerAndGroupWhereTheProcessMay) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root gives files to others";
  const passwd* nobody = ::getpwnam("nobody");
  if (!nobody) GTEST_SKIP() << "no user nobody";
  TempDir dir;
  const std::string page = (dir / "page.html").string();
  WriteFile(page, "old");
  ASSERT_EQ(::chown(page.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  ::chmod(page.c_str(), 0640);
  ASSERT_TRUE(SaveWithBackup("new", page).ok());
  for (const char* name : {"page.html", "ZZBU_page.html"}) {
    EXPECT_EQ(StatOf(dir / name).st_uid, nobody->pw_uid) << name;
    EXPECT_EQ(StatOf(dir / name).st_gid, nobody->pw_gid) << name;
    EXPECT_EQ(StatOf(dir / name).st_mode & 07777, 0640u) << name;
  }
}

TEST(SaveWithBackup, SaysWhenTheFileHadOtherNames) {
  TempDir dir;
  WriteFile(dir / "page.html", "old");
  std::filesystem::create_hard_link(dir / "page.html", dir / "other.html");
  const SaveOutcome saved = SaveWithBackup("new", (dir / "page.html").string());
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.otherNames, 1u);
  EXPECT_EQ(ReadFile(dir / "other.html"), "old");
  EXPECT_EQ(ReadFile(dir / "page.html"), "new");
}

// Savers of one file take turns, and a file changed since it was read is
// not replaced (its backup would not be what the new text was made from).
TEST(SaveWithBackup, TakesTurnsAndReplacesNoFileThatChangedSinceItWasRead) {
  TempDir dir;
  const std::string page = (dir / "page.html").string();
  WriteFile(page, "read");
  const FileIdentity read = FileIdentity::Of(StatOf(page));
  SaveOptions options;
  options.expected = read;
  options.lockPatience = std::chrono::milliseconds(100);
  {
    const int holder = ::open(page.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const SaveOutcome locked = SaveWithBackup("mine", page, options);
    ::close(holder);
    ASSERT_FALSE(locked.ok());
    EXPECT_EQ(locked.error->kind, FileErrorKind::Locked);
    EXPECT_EQ(ReadFile(page), "read");
  }
  {
    // Another saver holds the lock, replaces the file, and lets go: this
    // one waits, then finds the file changed.
    const int holder = ::open(page.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    std::thread other([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      WriteFile(dir / "replacement", "theirs");
      std::filesystem::rename(dir / "replacement", page);
      ::close(holder);
    });
    options.lockPatience = std::chrono::seconds(10);
    const SaveOutcome changed = SaveWithBackup("mine", page, options);
    other.join();
    ASSERT_FALSE(changed.ok());
    EXPECT_EQ(changed.error->kind, FileErrorKind::ChangedSinceRead);
    EXPECT_EQ(ReadFile(page), "theirs");
    EXPECT_FALSE(std::filesystem::exists(dir / "ZZBU_page.html"));
  }
  ExpectNoTemporaryFiles(dir.path());
}

// Temporary names do not grow with the page's name: a page whose name is
// near the limit is saved; when its backup's name would pass the limit,
// the failure names that file and the system's reason.
TEST(SaveWithBackup, NamesNearTheLengthLimit) {
  for (const NewFileWay way : {NewFileWay::Unnamed, NewFileWay::Named}) {
    TempDir dir;
    const std::string longest = std::string(245, 'p') + ".html";  // 250 bytes: ZZBU_ makes 255
    WriteFile(dir / longest, "old");
    SaveOptions options;
    options.way = way;
    const SaveOutcome saved = SaveWithBackup("new", (dir / longest).string(), options);
    ASSERT_TRUE(saved.ok()) << saved.error->Describe();
    EXPECT_EQ(ReadFile(dir / ("ZZBU_" + longest)), "old");

    const std::string tooLong = std::string(247, 'q') + ".html";  // 252 bytes: no room for ZZBU_
    WriteFile(dir / tooLong, "old");
    const SaveOutcome refused = SaveWithBackup("new", (dir / tooLong).string(), options);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error->kind, FileErrorKind::CannotWrite);
    EXPECT_EQ(refused.error->path, (dir / ("ZZBU_" + tooLong)).string());
    EXPECT_EQ(refused.error->reason, std::strerror(ENAMETOOLONG));
    EXPECT_EQ(refused.error->Describe(), "cannot write " + refused.error->path + ": " + std::strerror(ENAMETOOLONG));
    EXPECT_EQ(ReadFile(dir / tooLong), "old");
    ExpectNoTemporaryFiles(dir.path());
  }
}

TEST(SaveWithBackup, ALinkIsFollowedAndADeviceIsNeverWrittenThrough) {
  TempDir dir;
  WriteFile(dir / "page.html", "old");
  std::filesystem::create_symlink("page.html", dir / "link.html");
  const SaveOutcome saved = SaveWithBackup("new", (dir / "link.html").string());
  ASSERT_TRUE(saved.ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.html"));
  EXPECT_EQ(ReadFile(dir / "page.html"), "new");
  EXPECT_EQ(ReadFile(dir / "ZZBU_page.html"), "old");
  const SaveOutcome device = SaveWithBackup("new", "/dev/null");
  ASSERT_FALSE(device.ok());
  EXPECT_EQ(device.error->kind, FileErrorKind::NotReplaceable);
}

// Every check a page gets when it is read; a pipe is refused without
// waiting for a writer.
TEST(LoadPageFile, RefusesWhatIsNoPageWithTheKind) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.html");
  ASSERT_EQ(::mkfifo((dir / "pipe.html").c_str(), 0600), 0);
  WriteFile(dir / "empty.html", "");
  WriteFile(dir / "binary.html", std::string("<p>\0</p>", 8));
  const struct {
    const char* name;
    FileErrorKind kind;
  } cases[] = {
      {"missing.html", FileErrorKind::NotFound}, {"folder.html", FileErrorKind::NotAFile},
      {"pipe.html", FileErrorKind::NotAFile},    {"empty.html", FileErrorKind::Empty},
      {"binary.html", FileErrorKind::Binary},
  };
  for (const auto& c : cases) {
    const LoadedPage page = LoadPageFile((dir / c.name).string(), PipelineOptions{});
    ASSERT_FALSE(page.ok()) << c.name;
    EXPECT_EQ(page.error->kind, c.kind) << c.name;
    EXPECT_EQ(page.error->path, (dir / c.name).string()) << c.name;
  }
}

TEST(LoadPageFile, GivesTheStageTextsTheEncodingsAndTheLossReport) {
  TempDir dir;
  WriteFile(dir / "page.html",
            "<html><head><meta charset=\"utf-8\"></head>\n<body>\n<p>\xE6\x97\xA5</p>\n<p>\xC2\xA5\xEA\xB0\x80</p>\n"
            "</body></html>\n");
  const LoadedPage page = LoadPageFile((dir / "page.html").string(), PipelineOptions{});
  ASSERT_TRUE(page.ok()) << page.error->Describe();
  EXPECT_EQ(page.texts.DetectedCode, kCharCodeUtf8);
  EXPECT_EQ(page.texts.ReadAs, kCharCodeUtf8);
  EXPECT_NE(page.texts.Native.find("\r\n"), std::string::npos);
  EXPECT_NE(page.texts.Local.find(Sjis("<p>日</p>")), std::string::npos);
  EXPECT_EQ(page.texts.Org, page.texts.RefOrg);
  EXPECT_EQ(page.loss.count, 2u);
  EXPECT_EQ(page.loss.of(LossKind::Changed), 1u);  // "¥" comes back as "\"
  EXPECT_EQ(page.loss.of(LossKind::NoForm), 1u);   // a Hangul syllable has no form
  EXPECT_EQ(page.loss.line, 4u);
  EXPECT_EQ(page.identity.size, static_cast<off_t>(std::filesystem::file_size(dir / "page.html")));
}

}  // namespace
}  // namespace zelm
