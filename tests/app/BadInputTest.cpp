// zelm-cli on input a user can throw at it: huge pages, endless lines, full
// and read-only disks. The real program on real files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "PageGenerator.h"
#include "support/CliRunner.h"
#include "indent/Pipeline.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

bool Contains(const std::string& text, std::string_view piece) { return text.find(piece) != std::string::npos; }

// Sanitizer builds are many times slower and hungrier: they skip the pages
// whose point is their size.
bool HugeInputsSkipped() { return std::getenv("ZELM_SKIP_HUGE_INPUTS") != nullptr; }

TEST(BadInput, AHundredMegabytePageWorksInLessThanTenTimesItsSize) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  TempDir dir;
  const std::string page = bench::GeneratePage(std::size_t(100) << 20, 11);
  WriteFile(dir / "big.html", page);
  const auto run = RunCli(dir, {"indent", "-o", (dir / "out.html").string(), (dir / "big.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_GT(std::filesystem::file_size(dir / "out.html"), page.size() / 2);
  EXPECT_LT(run.maxRssKb * 1024.0, 10.0 * static_cast<double>(page.size())) << run.maxRssKb << " KB";
}

// --verify checks the Result part by part: it never holds it whole beside
// the prepared text.
TEST(BadInput, VerifyStaysUnderSixTimesThePage) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  TempDir dir;
  const std::string page = bench::GeneratePage(std::size_t(50) << 20, 13);
  WriteFile(dir / "big.html", page);
  const auto run = RunCli(dir, {"indent", "--verify", (dir / "big.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "content preserved")) << run.out;
  EXPECT_LT(run.maxRssKb * 1024.0, 6.0 * static_cast<double>(page.size())) << run.maxRssKb << " KB";
}

TEST(BadInput, ATenMegabyteLineWithoutALineBreak) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  TempDir dir;
  std::string page = "<html><head></head><body><p>";
  page.append(std::size_t(10) << 20, 'x');
  page += "</p></body></html>";
  WriteFile(dir / "line.html", page);
  const auto run = RunCli(dir, {"indent", "--verify", (dir / "line.html").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "content preserved")) << run.out;
}

TEST(BadInput, AFolderOrAnUnreadableFileIsReported) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.html");
  WriteFile(dir / "page.html", "<html><body><p>x</p></body></html>");
  std::filesystem::create_directory(dir / "out");
  // A folder named on its own is searched; inside a search it is not a page.
  const auto run = RunCli(dir, {"indent", "-o", (dir / "out").string(), (dir / "folder.html").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "no .htm or .html files found")) << run.err;
}

// A small file system of our own, full or read-only; needs the right to
// mount, which root has.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& where, const char* size) : where_(where) {
    std::filesystem::create_directory(where_);
    mounted_ = ::mount("tmpfs", where_.c_str(), "tmpfs", 0, size) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount(where_.c_str());
  }
  bool mounted() const { return mounted_; }
  bool MakeReadOnly() { return ::mount(nullptr, where_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  std::filesystem::path where_;
  bool mounted_ = false;
};

std::string PageOfAbout(std::size_t bytes) {
  std::string page = "<html><head></head><body>";
  while (page.size() < bytes) page += "<div><p>text</p></div>";
  return page + "</body></html>";
}

// The backup is the old file under a second name, so it takes no room; the
// new file does not fit beside the old one.
TEST(BadInput, AFullDiskKeepsTheOriginalAndLeavesNoHalfWrittenBackup) {
  TempDir dir;
  SmallDisk disk(dir / "disk", "size=64k");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const std::string page = PageOfAbout(40000);
  WriteFile(dir / "disk" / "page.html", page);
  const auto run = RunCli(dir, {"indent", "--in-place", (dir / "disk" / "page.html").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "cannot write " + (dir / "disk" / "page.html").string() + ": No space left on device"))
      << run.err;
  EXPECT_EQ(ReadFile(dir / "disk" / "page.html"), page);
  for (const std::string& name : test::FileNamesIn(dir / "disk")) {
    if (name == "page.html") continue;
    EXPECT_EQ(name, "ZZBU_page.html") << "a temporary file was left behind";
    EXPECT_EQ(ReadFile(dir / "disk" / name), page) << "the backup is incomplete";
  }
}

TEST(BadInput, AReadOnlyDiskKeepsTheOriginal) {
  TempDir dir;
  SmallDisk disk(dir / "disk", "size=1m");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  const std::string page = PageOfAbout(2000);
  WriteFile(dir / "disk" / "page.html", page);
  ASSERT_TRUE(disk.MakeReadOnly());
  const auto run = RunCli(dir, {"indent", "--in-place", (dir / "disk" / "page.html").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "page.html")) << run.err;
  EXPECT_EQ(ReadFile(dir / "disk" / "page.html"), page);
  EXPECT_EQ(test::FileNamesIn(dir / "disk"), std::vector<std::string>{"page.html"});
}

// Names that are not what they seem at a page's backup name: a link (to a
// file someone else would lose, or to /dev/null), a pipe (which would make
// the run wait forever) and a folder. The page is refused and kept.
TEST(BadInput, WhatStandsAtABackupsNameIsNeverWrittenThrough) {
  const struct {
    const char* what;
    void (*make)(const std::filesystem::path& backup, const std::filesystem::path& victim);
  } cases[] = {
      {"link to a file", [](auto& backup, auto& victim) { std::filesystem::create_symlink(victim, backup); }},
      {"link to /dev/null", [](auto& backup, auto&) { std::filesystem::create_symlink("/dev/null", backup); }},
      {"pipe", [](auto& backup, auto&) { ::mkfifo(backup.c_str(), 0600); }},
      {"folder", [](auto& backup, auto&) { std::filesystem::create_directory(backup); }},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string page = PageOfAbout(2000);
    WriteFile(dir / "page.html", page);
    WriteFile(dir / "victim.txt", "another file");
    c.make(dir / "ZZBU_page.html", dir / "victim.txt");
    const auto run = test::WaitForCli(dir, test::StartCli(dir, {"indent", "--in-place", "page.html"}, "run"),
                                      std::chrono::seconds(30));
    EXPECT_EQ(run.exitCode, 1) << c.what << ": " << run.err;
    EXPECT_TRUE(Contains(run.err, "page.html: the backup's name ZZBU_page.html ")) << run.err;
    EXPECT_TRUE(Contains(run.err, ": the page was left as it was")) << run.err;
    EXPECT_TRUE(ReadFile(dir / "page.html") == page) << c.what << ": the page was replaced";
    EXPECT_TRUE(ReadFile(dir / "victim.txt") == "another file") << c.what << ": the other file was written";
  }
}

// "p00.html", "p01.html", ...
std::string NumberedPage(int i) {
  std::string name(i < 10 ? "p0" : "p");
  name += std::to_string(i);
  name += ".html";
  return name;
}

// Two runs over one folder at the same time, the second taking the pages in
// the other order, so that each meets pages the other has done: every page
// is indented once, and every backup is the page as it was.
TEST(BadInput, TwoRunsOverOneFolderAtOnce) {
  TempDir dir;
  std::filesystem::create_directory(dir / "site");
  std::vector<std::string> pages, reversed{"indent", "--in-place", "-q", "-j", "1"};
  for (int i = 0; i < 24; ++i) {
    const std::string name = NumberedPage(i);
    pages.push_back(bench::GeneratePage(i == 0 ? 4'000'000 : 150'000, 100 + i));
    WriteFile(dir / "site" / name, pages.back());
    reversed.insert(reversed.begin() + 5, "site/" + name);
  }
  // Both runs must be under way before either replaces a page; otherwise
  // the later one is simply a second run, whose backups hold the first
  // one's output. The forward run's first page stays locked (as a saving
  // run locks it) until the backward run has replaced its first page.
  const int held = ::open((dir / "site" / NumberedPage(0)).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_TRUE(held >= 0 && ::flock(held, LOCK_EX) == 0);
  const auto forward = test::StartCli(dir, {"indent", "--in-place", "-q", "-j", "1", "site"}, "forward");
  const auto backward = test::StartCli(dir, reversed, "backward");
  const auto backwardsFirst = dir / "site" / ("ZZBU_" + NumberedPage(23));
  for (int waited = 0; waited < 500 && !std::filesystem::exists(backwardsFirst); ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ::close(held);
  const auto one = test::WaitForCli(dir, forward), other = test::WaitForCli(dir, backward);
  for (const auto* run : {&one, &other}) {
    EXPECT_TRUE(run->exitCode == 0 || run->exitCode == 1) << run->err;
    // A run skips a page the other replaced before, or while, it read it.
    for (std::string_view line : SplitLines(run->err))
      EXPECT_TRUE(Contains(std::string(line), "another program changed the file") ||
                  Contains(std::string(line), "the file changed while it was read"))
          << line;
  }
  for (int i = 0; i < 24; ++i) {
    const std::string name = NumberedPage(i);
    EXPECT_TRUE(ReadFile(dir / "site" / ("ZZBU_" + name)) == pages[i]) << name << ": the backup is not the page";
    EXPECT_TRUE(ReadFile(dir / "site" / name) == FileToResultStage(pages[i], PipelineOptions{}).Result) << name;
  }
  EXPECT_EQ(test::FileNamesIn(dir / "site").size(), 48u) << "a temporary file was left behind";
}

// A run stopped by a signal while it writes a large page leaves the page
// either as it was or indented, and no temporary file.
TEST(BadInput, AStoppedRunLeavesNoTemporaryFile) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  const std::string page = bench::GeneratePage(std::size_t(10) << 20, 21);
  const std::string result = FileToResultStage(page, PipelineOptions{}).Result;
  for (int delayMs = 5; delayMs <= 200; delayMs += 12) {
    TempDir dir;
    WriteFile(dir / "page.html", page);
    const auto started = test::StartCli(dir, {"indent", "--in-place", "page.html"}, "run");
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(started.pid, delayMs % 3 == 0 ? SIGINT : delayMs % 3 == 1 ? SIGTERM : SIGHUP);
    const auto run = test::WaitForCli(dir, started);
    const std::string now = ReadFile(dir / "page.html");
    EXPECT_TRUE(now == page || now == result) << delayMs << " ms: the page is neither as it was nor indented";
    for (const std::string& name : test::FileNamesIn(dir.path()))
      EXPECT_TRUE(name == "page.html" || name == "ZZBU_page.html") << delayMs << " ms: left behind " << name;
  }
}

// A page that another program shortens while it is read is reported; the
// process does not die of SIGBUS.
TEST(BadInput, APageShortenedWhileItIsReadIsReported) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  const std::string page = bench::GeneratePage(std::size_t(30) << 20, 22);
  for (int delayMs : {5, 15, 30, 50, 80, 120}) {
    TempDir dir;
    WriteFile(dir / "page.html", page);
    const auto started = test::StartCli(dir, {"indent", "-o", "out.html", "page.html"}, "run");
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ASSERT_EQ(::truncate((dir / "page.html").c_str(), 1000), 0);
    const auto run = test::WaitForCli(dir, started);
    EXPECT_EQ(run.signal, 0) << delayMs << " ms: ended by signal " << run.signal;
    EXPECT_TRUE(run.exitCode == 0 || Contains(run.err, "the file changed while it was read")) << run.err;
  }
}

// A page another program changes after the run started (here while a large
// page before it is indented) is not replaced: its backup would hold text
// the run did not read.
TEST(BadInput, APageChangedDuringTheRunIsNotReplaced) {
  if (HugeInputsSkipped()) GTEST_SKIP() << "huge inputs skipped in this build";
  TempDir dir;
  std::filesystem::create_directory(dir / "site");
  WriteFile(dir / "site" / "a.html", bench::GeneratePage(std::size_t(40) << 20, 23));
  WriteFile(dir / "site" / "b.html", PageOfAbout(2000));
  const auto started = test::StartCli(dir, {"indent", "--in-place", "-q", "-j", "1", "site"}, "run");
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  WriteFile(dir / "site" / "b.new", "<html><body><p>changed</p></body></html>");
  std::filesystem::rename(dir / "site" / "b.new", dir / "site" / "b.html");
  const auto run = test::WaitForCli(dir, started);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "b.html: another program changed the file after this run started")) << run.err;
  EXPECT_EQ(ReadFile(dir / "site" / "b.html"), "<html><body><p>changed</p></body></html>");
  EXPECT_FALSE(std::filesystem::exists(dir / "site" / "ZZBU_b.html"));
  EXPECT_TRUE(std::filesystem::exists(dir / "site" / "ZZBU_a.html"));
}

}  // namespace
}  // namespace zelm
