#include "text/FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace zelm {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct LoadCase {
  const char* name;
  std::string stored, loaded;
};

TEST(LoadTextFile, NormalisesLineEndsToCrLf) {
  const LoadCase cases[] = {
      {"cr cr lf", "a\r\r\nb", "a\r\n\r\nb"},
      {"cr cr", "a\r\rb", "a\r\nb"},
      {"mixed", "a\rb\nc", "a\r\nb\r\nc"},
      {"nul bytes kept", std::string("a\0b\n", 4), std::string("a\0b\r\n", 5)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteFile(dir / "page.html", c.stored);
    EXPECT_EQ(LoadTextFile((dir / "page.html").string()), c.loaded) << c.name;
  }
}

TEST(LoadTextFile, GivesEmptyTextForMissingFileOrEmptyPath) {
  TempDir dir;
  EXPECT_EQ(LoadTextFile((dir / "missing.html").string()), "");
  EXPECT_EQ(LoadTextFile(""), "");
}

TEST(ReadFileBytes, SaysWhyAFileCannotBeRead) {
  TempDir dir;
  EXPECT_EQ(ReadFileBytes((dir / "missing").string()).status, FileReadResult::Status::NotFound);
  EXPECT_EQ(ReadFileBytes(dir.path().string()).status, FileReadResult::Status::NotAFile);
  WriteFile(dir / "secret", "x");
  ::chmod((dir / "secret").c_str(), 0);
  if (::geteuid() != 0) {  // root reads everything
    EXPECT_EQ(ReadFileBytes((dir / "secret").string()).status, FileReadResult::Status::Unreadable);
  }
}

TEST(SaveTextFile, WritesBytesUnchanged) {
  TempDir dir;
  const std::string bytes = "\x83\x41\r\n<p>\r\n";
  ASSERT_TRUE(SaveTextFile(bytes, (dir / "out.html").string()).ok());
  EXPECT_EQ(ReadFile(dir / "out.html"), bytes);
}

TEST(SaveTextFile, EmptyTextLeavesTheFileUntouched) {
  TempDir dir;
  WriteFile(dir / "keep.html", "old");
  EXPECT_EQ(SaveTextFile("", (dir / "keep.html").string()).status, SaveResult::Status::Skipped);
  EXPECT_EQ(ReadFile(dir / "keep.html"), "old");
  EXPECT_EQ(SaveTextFile("x", (dir.path().string() + "/")).status, SaveResult::Status::Skipped);
}

TEST(SaveTextFile, ReplacesTheFileAndKeepsItsPermissions) {
  TempDir dir;
  WriteFile(dir / "page.html", "old contents");
  ::chmod((dir / "page.html").c_str(), 0640);
  ASSERT_TRUE(SaveTextFile("new", (dir / "page.html").string()).ok());
  EXPECT_EQ(ReadFile(dir / "page.html"), "new");
  struct stat info {};
  ::stat((dir / "page.html").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{"page.html"});  // no temporary left
}

TEST(SaveTextFile, AFailedWriteReportsAndKeepsTheOldFile) {
  TempDir dir;
  std::filesystem::create_directory(dir / "locked");
  WriteFile(dir / "locked" / "page.html", "old contents");
  ::chmod((dir / "locked").c_str(), 0555);
  const std::string path = (dir / "locked" / "page.html").string();
  if (::geteuid() == 0) {
    // Root writes into read-only folders; a missing folder fails for everyone.
    const SaveResult missing = SaveTextFile("new", (dir / "nowhere" / "page.html").string());
    EXPECT_EQ(missing.status, SaveResult::Status::Failed);
    EXPECT_EQ(missing.message, "【 " + (dir / "nowhere" / "page.html").string() + " 】が 開けません！");
    return;
  }
  const SaveResult result = SaveTextFile("new", path);
  EXPECT_EQ(result.status, SaveResult::Status::Failed);
  EXPECT_EQ(result.message, "【 " + path + " 】が 開けません！");
  EXPECT_EQ(ReadFile(path), "old contents");
}

TEST(SaveTextFile, APathThroughAFileFailsAndTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "page.html", "old contents");
  const SaveResult result = SaveTextFile("new", (dir / "page.html" / "x").string());
  EXPECT_EQ(result.status, SaveResult::Status::Failed);
  EXPECT_EQ(ReadFile(dir / "page.html"), "old contents");
}

}  // namespace
}  // namespace zelm
