// zelm-cli's memory policy. It changes how the whole process allocates, so
// its tests run in a process of their own.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/MemoryPolicy.h"

namespace zelm::cli {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kOwnAllocator = true;  // the sanitizer's allocator takes no advice
#else
constexpr bool kOwnAllocator = false;
#endif

// Whether the kernel gives large pages to memory that asks for them.
bool LargePagesOnRequest() {
  std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(in, modes);
  return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
}

// Whether the mapping that holds `address` may be given large pages, as
// /proc/self/smaps tells.
bool InLargePageMapping(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  bool holds = false;
  for (std::string line; std::getline(smaps, line);) {
    std::uintptr_t start = 0, end = 0;
    char dash = 0;
    std::istringstream header(line);
    if (header >> std::hex >> start >> dash >> end && dash == '-') {
      holds = start <= at && at < end;
      continue;
    }
    if (holds && line.starts_with("THPeligible:")) return line.find('1') != std::string::npos;
  }
  return false;
}

TEST(MemoryPolicy, TheTextsTakenAfterPreparingLieWhereLargePagesGo) {
  if (kOwnAllocator) GTEST_SKIP() << "sanitizer build";
  if (!LargePagesOnRequest()) GTEST_SKIP() << "this system gives no large pages on request";
  KeepFreedMemoryForReuse();
  PrepareHeapInLargePages(std::size_t{64} << 20);
  // The first texts of a large page's passes, small and large: none of them
  // below the first large page.
  std::vector<std::string> texts;
  for (std::size_t size : {std::size_t{3} << 20, std::size_t{300} << 10, std::size_t{5} << 20})
    texts.emplace_back(size, 'x');
  for (const std::string& text : texts) EXPECT_TRUE(InLargePageMapping(text.data())) << text.size() << " bytes";
}

}  // namespace
}  // namespace zelm::cli
