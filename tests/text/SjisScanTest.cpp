// The character-boundary test the one-scan passes are built on.
#include "text/SjisScan.h"

#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

TEST(IsCharBoundary, AgreesWithAWalkFromTheStart) {
  std::mt19937 rng(11);
  const std::vector<std::string> alphabet{"a", "<", ">", "\x81", "\x83", "\x9f", "\xe0", "\xfc", "\xa0", "\xfd",
                                          "\x40", "\x7f", "\x80", "\xa1", " "};
  for (int round = 0; round < 2000; ++round) {
    const std::string text = test::RandomText(rng, alphabet, 1 + round % 30);
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size(); i += SjisCharLength(text, i)) starts[i] = true;
    for (std::size_t p = 0; p < text.size(); ++p) ASSERT_EQ(IsCharBoundary(text, p), starts[p]) << text << " @" << p;
  }
}

}  // namespace
}  // namespace zelm
