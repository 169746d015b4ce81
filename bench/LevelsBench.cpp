#include <map>

#include "BenchSupport.h"
#include "indent/LevelMarkers.h"
#include "text/StringUtil.h"

namespace zelm::bench {
namespace {

void BM_MarkIndentLevels(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return MarkIndentLevels(page, kIndentTwoSpaces); });
}
ZELM_PAGE_BENCHMARK(BM_MarkIndentLevels);

// The page with a line break between every two adjacent tags: a rough
// stand-in for the one-tag-per-line text the pass is normally given.
const std::string& TagPerLinePage(int megabytes) {
  static std::map<int, std::string> pages;
  auto it = pages.find(megabytes);
  if (it == pages.end())
    it = pages.emplace(megabytes, ReplaceAllText(PageOfMegabytes(megabytes), "><", ">\r\n<")).first;
  return it->second;
}

void BM_MarkIndentLevelsTagPerLine(benchmark::State& state) {
  RunOver(state, TagPerLinePage(static_cast<int>(state.range(0))),
          [](const std::string& page) { return MarkIndentLevels(page, kIndentTwoSpaces); });
}
ZELM_PAGE_BENCHMARK(BM_MarkIndentLevelsTagPerLine);

// The Work text of the page of `megabytes`, marked once and kept.
const std::string& MarkedPage(int megabytes) {
  static std::map<int, std::string> marked;
  auto it = marked.find(megabytes);
  if (it == marked.end())
    it = marked.emplace(megabytes, MarkIndentLevels(PageOfMegabytes(megabytes), kIndentTwoSpaces)).first;
  return it->second;
}

void BM_StripLevelMarkers(benchmark::State& state) {
  RunOver(state, MarkedPage(static_cast<int>(state.range(0))),
          [](const std::string& work) { return StripLevelMarkers(work); });
}
ZELM_PAGE_BENCHMARK(BM_StripLevelMarkers);

}  // namespace
}  // namespace zelm::bench
