#include "text/FileIO.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>

#include "support/TestSupport.h"
#include "text/SafeFile.h"

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

TEST(MappedFile, GivesTheStoredBytesOrNothingForWhatIsNoFile) {
  TempDir dir;
  const std::string bytes = std::string("\x83\x41\r\n<p>\0x\n", 10) + std::string(100'000, 'y');
  WriteFile(dir / "page.html", bytes);
  std::optional<MappedFile> mapped = MappedFile::Map((dir / "page.html").string());
  ASSERT_TRUE(mapped.has_value());
  EXPECT_EQ(mapped->bytes(), bytes);
  MappedFile moved = std::move(*mapped);
  EXPECT_EQ(moved.bytes(), bytes);
  EXPECT_TRUE(mapped->bytes().empty());

  WriteFile(dir / "empty.html", "");
  EXPECT_FALSE(MappedFile::Map((dir / "empty.html").string()).has_value());
  EXPECT_FALSE(MappedFile::Map((dir / "missing.html").string()).has_value());
  EXPECT_FALSE(MappedFile::Map(dir.path().string()).has_value());
}

// A mapped file that another program shortens reads as zeros where it lost
// its bytes, instead of ending the process with SIGBUS, and says so.
TEST(MappedFile, AFileShortenedWhileMappedReadsAsZerosAndSaysSo) {
  TempDir dir;
  const std::string path = (dir / "page.html").string();
  WriteFile(path, std::string(std::size_t{1} << 20, 'x'));
  std::optional<MappedFile> untouched = MappedFile::Map(path);
  ASSERT_TRUE(untouched.has_value());
  EXPECT_FALSE(untouched->Damaged());
  untouched.reset();

  std::optional<MappedFile> mapped = MappedFile::Map(path);
  ASSERT_TRUE(mapped.has_value());
  ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
  std::size_t xs = 0;
  for (char c : mapped->bytes()) xs += c == 'x';
  EXPECT_EQ(xs, 4096u);
  EXPECT_TRUE(mapped->Damaged());
}

// The umask is never changed, not even for a moment: another thread that
// creates a file meanwhile gets the mode the umask gives.
TEST(SaveTextFile, NeverChangesTheUmaskThatOtherThreadsCreateFilesWith) {
  TempDir dir;
  const mode_t mask = ::umask(027);
  std::atomic<bool> saving{true};
  std::vector<std::thread> savers;
  for (int t = 0; t < 4; ++t) {
    savers.emplace_back([&, t] {
      for (int i = 0; saving; ++i) {  // each time a new file
        const std::string path = (dir / ("new" + std::to_string(t) + "-" + std::to_string(i) + ".html")).string();
        SaveTextFile("x", path);
        if (saving) ::unlink(path.c_str());
      }
    });
  }
  int wrongModes = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
    const std::string path = (dir / ("other" + std::to_string(i % 50))).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && (info.st_mode & 0777) != 0640) ++wrongModes;
    if (fd >= 0) ::close(fd);
    ::unlink(path.c_str());
  }
  saving = false;
  for (std::thread& saver : savers) saver.join();
  ::umask(mask);
  EXPECT_EQ(wrongModes, 0);
  for (const std::string& name : test::FileNamesIn(dir.path())) {
    struct stat saved {};
    ASSERT_EQ(::stat((dir / name).c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0640u) << name;
  }
}

// A new file under a temporary name (where the system has no unnamed ones)
// is removed when the process is stopped by SIGINT, SIGTERM or SIGHUP.
TEST(NewFile, ATemporaryNameIsRemovedWhenTheProcessIsStopped) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      auto folder = OpenFolder(dir.path().string());
      auto file = NewFile::Create(std::get<UniqueFd>(folder).get(), NewFileWay::Named);
      const std::string_view piece = "half a page";
      std::get<NewFile>(file).Write(std::span<const std::string_view>(&piece, 1));
      ::write(ready[1], "1", 1);
      ::pause();
      ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(test::FileNamesIn(dir.path()).size(), 1u) << "the child made its file";
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_EQ(test::FileNamesIn(dir.path()), std::vector<std::string>{}) << signal;
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
    EXPECT_EQ(missing.reason, std::strerror(ENOENT));
    return;
  }
  const SaveResult result = SaveTextFile("new", path);
  EXPECT_EQ(result.status, SaveResult::Status::Failed);
  EXPECT_EQ(result.message, "【 " + path + " 】が 開けません！");
  EXPECT_EQ(result.path, path);
  EXPECT_EQ(result.reason, std::strerror(EACCES));
  EXPECT_EQ(ReadFile(path), "old contents");
}

TEST(SaveTextFile, APathThroughAFileFailsAndTouchesNothing) {
  TempDir dir;
  WriteFile(dir / "page.html", "old contents");
  const SaveResult result = SaveTextFile("new", (dir / "page.html" / "x").string());
  EXPECT_EQ(result.status, SaveResult::Status::Failed);
  EXPECT_EQ(ReadFile(dir / "page.html"), "old contents");
}

TEST(SaveTextFile, ALinkIsFollowedAndStaysALink) {
  TempDir dir;
  WriteFile(dir / "page.html", "old contents");
  std::filesystem::create_symlink("page.html", dir / "link.html");
  ASSERT_TRUE(SaveTextFile("new", (dir / "link.html").string()).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.html"));
  EXPECT_EQ(ReadFile(dir / "page.html"), "new");
}

// A pipe (as /dev/null or /dev/stdout would be) is written to, not replaced
// by a file of the same name.
TEST(SaveTextFile, APipeIsWrittenToNotReplaced) {
  TempDir dir;
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Held open for writing, so the reader ends even when the save misses the pipe.
  const int holder = ::open(fifo.c_str(), O_RDWR);
  ASSERT_GE(holder, 0);
  std::promise<void> opened;
  std::string received;
  std::thread reader([&] {
    const int in = ::open(fifo.c_str(), O_RDONLY);
    opened.set_value();
    char buffer[256];
    for (ssize_t n; in >= 0 && (n = ::read(in, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
    if (in >= 0) ::close(in);
  });
  opened.get_future().wait();
  const SaveResult result = SaveTextFile("through the pipe", fifo);
  ::close(holder);
  reader.join();
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(received, "through the pipe");
  struct stat info {};
  ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()), {});
  EXPECT_EQ(entries, 1);  // the pipe, no temporary
}

}  // namespace
}  // namespace zelm
