#include "text/LineDiff.h"

#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"

namespace zelm {
namespace {

struct DiffCase {
  const char* name;
  std::string before, after, expected;
};

void PrintTo(const DiffCase& c, std::ostream* out) { *out << c.name; }

class UnifiedDiffTest : public testing::TestWithParam<DiffCase> {};

TEST_P(UnifiedDiffTest, WritesTheExpectedHunks) {
  const DiffCase& c = GetParam();
  EXPECT_EQ(UnifiedDiff(c.before, c.after, "a/p", "b/p"), c.expected);
}

const std::string kTen = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, UnifiedDiffTest,
    testing::Values(
        DiffCase{"Equal", kTen, kTen, ""},
        DiffCase{"ChangedLine", kTen, "1\n2\n3\n4\n5\nsix\n7\n8\n9\n10\n",
                 "--- a/p\n+++ b/p\n@@ -3,7 +3,7 @@\n 3\n 4\n 5\n-6\n+six\n 7\n 8\n 9\n"},
        DiffCase{"AddedAtStart", "a\nb\n", "new\na\nb\n", "--- a/p\n+++ b/p\n@@ -1,2 +1,3 @@\n+new\n a\n b\n"},
        DiffCase{"RemovedAtEnd", "a\nb\nc\n", "a\nb\n", "--- a/p\n+++ b/p\n@@ -1,3 +1,2 @@\n a\n b\n-c\n"},
        DiffCase{"NothingInCommon", "a\nb\n", "c\n", "--- a/p\n+++ b/p\n@@ -1,2 +1 @@\n-a\n-b\n+c\n"},
        DiffCase{"FromNothing", "", "x\n", "--- a/p\n+++ b/p\n@@ -0,0 +1 @@\n+x\n"},
        DiffCase{"NoNewlineAtEnd", "a\nb\n", "a\nb",
                 "--- a/p\n+++ b/p\n@@ -1,2 +1,2 @@\n a\n-b\n+b\n\\ No newline at end of file\n"},
        DiffCase{"LineEndsDiffer", "a\r\nb\n", "a\nb\n", "--- a/p\n+++ b/p\n@@ -1,2 +1,2 @@\n-a\r\n+a\n b\n"},
        // Changes six lines apart share a hunk; seven apart do not.
        DiffCase{"CloseChangesShareAHunk", kTen, "x\n2\n3\n4\n5\n6\n7\ny\n9\n10\n",
                 "--- a/p\n+++ b/p\n@@ -1,10 +1,10 @@\n-1\n+x\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+y\n 9\n 10\n"},
        DiffCase{"FarChangesTwoHunks", kTen, "x\n2\n3\n4\n5\n6\n7\n8\ny\n10\n",
                 "--- a/p\n+++ b/p\n@@ -1,4 +1,4 @@\n-1\n+x\n 2\n 3\n 4\n@@ -6,5 +6,5 @@\n 6\n 7\n 8\n-9\n+y\n 10\n"}),
    [](const testing::TestParamInfo<DiffCase>& info) { return std::string(info.param.name); });

// The plain longest-common-subsequence length, by the quadratic table.
std::size_t LcsLength(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  std::vector<std::size_t> row(b.size() + 1, 0), previous(b.size() + 1, 0);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j)
      row[j] = a[i - 1] == b[j - 1] ? previous[j - 1] + 1 : std::max(previous[j], row[j - 1]);
    std::swap(row, previous);
  }
  return previous[b.size()];
}

// The runs stand in order, do not touch, and name equal lines; returns
// how many lines they keep.
std::size_t CheckedKeptLines(const LineDiffResult& diff, const std::vector<std::string_view>& a,
                             const std::vector<std::string_view>& b) {
  std::size_t kept = 0, x = 0, y = 0;
  for (std::size_t r = 0; r < diff.common.size(); ++r) {
    const CommonLines& run = diff.common[r];
    EXPECT_GT(run.length, 0u);
    EXPECT_TRUE(r == 0 || run.before >= x) << r;
    EXPECT_TRUE(r == 0 || run.after >= y) << r;
    EXPECT_TRUE(r == 0 || run.before > x || run.after > y) << "runs touch at " << r;
    EXPECT_LE(run.before + run.length, a.size());
    EXPECT_LE(run.after + run.length, b.size());
    for (std::size_t i = 0; i < run.length; ++i) EXPECT_EQ(a[run.before + i], b[run.after + i]);
    x = run.before + run.length;
    y = run.after + run.length;
    kept += run.length;
  }
  return kept;
}

// On random texts of few distinct lines the diff keeps as many lines as
// the longest common subsequence has.
TEST(LineDiff, IsAShortestDiffOnRandomTexts) {
  std::mt19937 rng(18);
  const std::vector<std::string> alphabet{"<div>\n", "</div>\n", "<p>\n", "x\n", "y\r\n", "z"};
  for (int round = 0; round < 300; ++round) {
    const std::string before = test::RandomText(rng, alphabet, rng() % 40);
    const std::string after = test::RandomText(rng, alphabet, rng() % 40);
    const auto a = SplitLinesKeepingEnds(before), b = SplitLinesKeepingEnds(after);
    const LineDiffResult diff = DiffLines(a, b);
    EXPECT_TRUE(diff.minimal);
    EXPECT_EQ(CheckedKeptLines(diff, a, b), LcsLength(a, b)) << "before:\n" << before << "\nafter:\n" << after;
  }
}

// Large, widely changed texts of few distinct lines: the search is cut
// short and the diff is still a correct one.
TEST(LineDiff, BoundedSearchStillGivesACorrectDiff) {
  std::mt19937 rng(7);
  const std::vector<std::string> alphabet{"<tr>\n", "</tr>\n", "<td>\n"};
  const std::string before = test::RandomText(rng, alphabet, 200'000);
  const std::string after = test::RandomText(rng, alphabet, 200'000);
  const auto a = SplitLinesKeepingEnds(before), b = SplitLinesKeepingEnds(after);
  const LineDiffResult diff = DiffLines(a, b);
  EXPECT_FALSE(diff.minimal);
  EXPECT_GT(CheckedKeptLines(diff, a, b), 0u);
}

}  // namespace
}  // namespace zelm
