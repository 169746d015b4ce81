// Golden files: one-tag-per-line texts and their Work text with two-space
// indentation, checked line by line against the classification rules.
#include <gtest/gtest.h>

#include "indent/LevelMarkers.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

const std::filesystem::path kFolder = test::TestDataDir() / "levels";

class LevelGolden : public testing::TestWithParam<std::string> {};

TEST_P(LevelGolden, MarksAsExpected) {
  const std::string input = test::ReadFile(kFolder / "input" / GetParam());
  const std::string expected = test::ReadFile(kFolder / "expected" / GetParam());
  EXPECT_EQ(MarkIndentLevels(input, kIndentTwoSpaces), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, LevelGolden, testing::ValuesIn(test::FileNamesIn(kFolder / "input")),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return test::TestNameFrom(info.param);
                         });

TEST(LevelGolden, EveryInputHasAnExpectedFile) {
  const auto inputs = test::FileNamesIn(kFolder / "input");
  EXPECT_FALSE(inputs.empty());
  EXPECT_EQ(inputs, test::FileNamesIn(kFolder / "expected"));
}

}  // namespace
}  // namespace zelm
