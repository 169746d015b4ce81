// zelm-cli on input a user can throw at it: huge pages, endless lines, full
// and read-only disks. The real program on real files.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "PageGenerator.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

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

}  // namespace
}  // namespace zelm
